#include "tests/x11/InputDriver.h"

#include <X11/extensions/XTest.h>

#include <chrono>

namespace {

// A person's hand rests a moment between moving and pressing.
constexpr int kRestBeforePress = 40;

}  // namespace

bool InputDriver::isAvailable() {
  Display* probe = XOpenDisplay(nullptr);
  if (probe == nullptr) return false;
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  const bool available = XTestQueryExtension(probe, &eventBase, &errorBase, &major, &minor);
  XCloseDisplay(probe);
  return available;
}

InputDriver::InputDriver(std::function<void(InputDriver&)> gesture)
    : display(XOpenDisplay(nullptr)), thread([this, gesture = std::move(gesture)] {
        if (display != nullptr) gesture(*this);
        finished.store(true);
      }) {}

InputDriver::~InputDriver() {
  thread.join();
  if (display != nullptr) XCloseDisplay(display);
}

void InputDriver::pause(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void InputDriver::moveTo(int x, int y) {
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XSync(display, False);
  pause(10);
}

void InputDriver::button(unsigned int number, bool down) {
  XTestFakeButtonEvent(display, number, down ? True : False, CurrentTime);
  XSync(display, False);
}

void InputDriver::pressLeft() {
  pause(kRestBeforePress);
  button(Button1, true);
}

void InputDriver::releaseLeft() { button(Button1, false); }

void InputDriver::clickAt(int x, int y) {
  moveTo(x, y);
  pressLeft();
  pause(120);
  releaseLeft();
}

void InputDriver::wheel(int notches) {
  const unsigned int number = notches > 0 ? Button4 : Button5;
  for (int i = 0; i < (notches > 0 ? notches : -notches); ++i) {
    button(number, true);
    button(number, false);
  }
}

void InputDriver::key(KeySym symbol) {
  const KeyCode code = XKeysymToKeycode(display, symbol);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
  pause(10);
}

void InputDriver::type(const std::string& text) {
  for (char c : text) {
    const char name[2] = {c, '\0'};
    key(XStringToKeysym(name));
  }
}
