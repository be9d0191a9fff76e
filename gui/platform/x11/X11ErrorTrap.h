#pragma once

// What an X error does inside the X11 window half (no seam operation of its own; every X11 file
// talks to the server inside a trap):
// - XSetErrorHandler and XSetIOErrorHandler: while a trap lives on any thread, an error on one of
//   this library's connections is counted against that connection instead of ending the process,
//   and an error on any other connection (the host's) goes on to the handler installed before.
//   The last trap to end puts the earlier handlers back, so nothing of the library stays
//   installed in the host between its calls (a host may unload the library).
// - XSetIOErrorExitHandler: a connection that breaks is marked broken and left alone afterwards,
//   where Xlib would otherwise end the process.

#include <X11/Xlib.h>

namespace gui {
namespace platform {
namespace x11 {

class X11ErrorTrap {
 public:
  X11ErrorTrap();
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // From adopt until forget, the errors of `display` are this library's: counted, never fatal.
  static void adopt(Display* display);
  static void forget(Display* display);
  // Errors counted for the display so far.
  static unsigned long errorCount(Display* display);
  // The connection broke (an I/O error): no request may be sent on it any more.
  static bool isBroken(Display* display);
};

}  // namespace x11
}  // namespace platform
}  // namespace gui
