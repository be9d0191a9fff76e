// The X11 window half's connection to the display server, for createChildWindow (XOpenDisplay)
// and destroyWindow (XCloseDisplay); see X11Connection.h.

#include "gui/platform/x11/X11Connection.h"

#include <cstdlib>

#include "gui/platform/x11/X11ErrorTrap.h"

namespace gui {
namespace platform {
namespace x11 {

std::unique_ptr<X11Connection> X11Connection::open() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || name[0] == '\0') return nullptr;
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return nullptr;
  X11ErrorTrap::adopt(display);
  return std::unique_ptr<X11Connection>(new X11Connection(display));
}

X11Connection::X11Connection(Display* display) : connection(display) {}

// XCloseDisplay also frees a broken connection's memory; the requests it would send go nowhere.
X11Connection::~X11Connection() {
  {
    X11ErrorTrap trap;
    XCloseDisplay(connection);
  }
  X11ErrorTrap::forget(connection);
}

bool X11Connection::isBroken() const { return X11ErrorTrap::isBroken(connection); }

unsigned long X11Connection::errorCount() const { return X11ErrorTrap::errorCount(connection); }

bool X11Connection::syncWithoutErrorsSince(unsigned long errorsBefore) {
  if (isBroken()) return false;
  X11ErrorTrap trap;
  XSync(connection, False);
  return !isBroken() && errorCount() == errorsBefore;
}

}  // namespace x11
}  // namespace platform
}  // namespace gui
