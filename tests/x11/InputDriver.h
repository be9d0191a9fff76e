#pragma once

// Real input, as a user makes it: XTest on a connection of its own, from a thread of its own,
// while the host's thread keeps sending effEditIdle (XTest moves the pointer and the buttons that
// the server reports to every client, which the editor's drag loop polls with XQueryPointer).

#include <X11/Xlib.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class InputDriver {
 public:
  // True when the display offers XTest.
  static bool isAvailable();

  // Plays `gesture` on a new thread; done() tells when it has finished.
  explicit InputDriver(std::function<void(InputDriver&)> gesture);
  ~InputDriver();
  InputDriver(const InputDriver&) = delete;
  InputDriver& operator=(const InputDriver&) = delete;
  bool done() const { return finished.load(); }

  // Moves the pointer to (x, y) on the screen.
  void moveTo(int x, int y);
  void pressLeft();
  void releaseLeft();
  // One click of the left button at (x, y).
  void clickAt(int x, int y);
  // Wheel notches: buttons 4 (away from the user) or 5 (towards), pressed and released.
  void wheel(int notches);
  // A key press and release.
  void key(KeySym symbol);
  // Digits and letters typed as key presses.
  void type(const std::string& text);
  static void pause(int milliseconds);

 private:
  void button(unsigned int number, bool down);
  Display* display = nullptr;
  std::atomic<bool> finished{false};
  std::thread thread;
};
