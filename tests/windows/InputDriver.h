#pragma once

// Real input, as a user makes it: SendInput from a thread of its own while the window's thread
// keeps pumping messages (SendInput moves what GetAsyncKeyState and GetCursorPos report, which
// the editor's drag loop polls; posted mouse messages would not).

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class InputDriver {
 public:
  // Moves the pointer to (x, y) on the screen.
  static void moveTo(int x, int y);
  static void pressLeft();
  static void releaseLeft();
  // One click of the left button at (x, y).
  static void clickAt(int x, int y);
  // Wheel notches (120 each; positive away from the user).
  static void wheel(int notches);
  // A key press and release of a virtual key.
  static void key(WORD virtualKey);
  // Digits and letters typed as key presses.
  static void type(const std::string& text);
  static void pause(int milliseconds) { Sleep(DWORD(milliseconds)); }

  // Plays `gesture` on a new thread; done() tells when it has finished.
  explicit InputDriver(std::function<void()> gesture);
  ~InputDriver();
  InputDriver(const InputDriver&) = delete;
  InputDriver& operator=(const InputDriver&) = delete;
  bool done() const { return finished.load(); }

 private:
  std::atomic<bool> finished{false};
  std::thread thread;
};
