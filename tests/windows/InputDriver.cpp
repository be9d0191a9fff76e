#include "tests/windows/InputDriver.h"

#include <cctype>

namespace {

// Time for the system to turn one input into messages and key state before the next comes.
constexpr int kSettle = 15;
// Before a button goes down, the pointer rests this long where it went. Under Wine a thread that
// read GetAsyncKeyState in the last 50 ms may be answered from that reading when the input came
// from another thread, and handling the move's messages reads it: the press would then be
// polled as "up". Resting lets that reading age.
constexpr int kRestBeforePress = 60;

void send(INPUT input) {
  SendInput(1, &input, sizeof(INPUT));
  Sleep(kSettle);
}

INPUT mouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.mouseData = data;
  input.mi.dwFlags = flags;
  return input;
}

INPUT keyboard(WORD virtualKey, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = flags;
  return input;
}

// Absolute positions are given in 65536ths of the screen; the centre of a pixel is aimed at so
// that rounding lands on it.
LONG normalised(int coordinate, int screenSize) {
  return LONG((int64_t(coordinate) * 65536 + 32768) / screenSize);
}

}  // namespace

void InputDriver::moveTo(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  send(mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, normalised(x, width), normalised(y, height)));
}

void InputDriver::pressLeft() {
  Sleep(kRestBeforePress);
  send(mouse(MOUSEEVENTF_LEFTDOWN));
}

void InputDriver::releaseLeft() { send(mouse(MOUSEEVENTF_LEFTUP)); }

void InputDriver::clickAt(int x, int y) {
  moveTo(x, y);
  pressLeft();
  // As long as a person holds the button: the window's thread polls it after the message comes.
  pause(120);
  releaseLeft();
}

void InputDriver::wheel(int notches) {
  send(mouse(MOUSEEVENTF_WHEEL, 0, 0, DWORD(notches * WHEEL_DELTA)));
}

void InputDriver::key(WORD virtualKey) {
  send(keyboard(virtualKey, 0));
  send(keyboard(virtualKey, KEYEVENTF_KEYUP));
}

void InputDriver::type(const std::string& text) {
  for (char c : text) key(WORD(std::toupper(static_cast<unsigned char>(c))));
}

InputDriver::InputDriver(std::function<void()> gesture)
    : thread([this, gesture = std::move(gesture)] {
        gesture();
        finished.store(true);
      }) {}

InputDriver::~InputDriver() { thread.join(); }
