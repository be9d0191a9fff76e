#pragma once

// One connection of the X11 window half to the display server, one per open editor window (no
// seam operation of its own): XOpenDisplay of $DISPLAY, its errors recorded (X11ErrorTrap), and
// XCloseDisplay at the end.

#include <X11/Xlib.h>

#include <memory>

namespace gui {
namespace platform {
namespace x11 {

class X11Connection {
 public:
  // Null without a DISPLAY or when the server refuses the connection.
  static std::unique_ptr<X11Connection> open();
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  Display* display() const { return connection; }
  // After an I/O error nothing more may be sent.
  bool isBroken() const;
  unsigned long errorCount() const;
  // XSync: true when the connection is sound and no error was counted since `errorsBefore`.
  bool syncWithoutErrorsSince(unsigned long errorsBefore);

 private:
  explicit X11Connection(Display* display);
  Display* connection;
};

}  // namespace x11
}  // namespace platform
}  // namespace gui
