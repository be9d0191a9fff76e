// The X11 window half's error handlers, for every seam operation that talks to the server
// (see X11ErrorTrap.h): XSetErrorHandler, XSetIOErrorHandler and XSetIOErrorExitHandler,
// installed for the length of this library's calls.

#include "gui/platform/x11/X11ErrorTrap.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace gui {
namespace platform {
namespace x11 {

namespace {

struct Connection {
  Display* display = nullptr;
  unsigned long errors = 0;
  bool broken = false;
};

struct TrapState {
  std::mutex mutex;
  int depth = 0;
  XErrorHandler previousError = nullptr;
  XIOErrorHandler previousIoError = nullptr;
  std::vector<Connection> connections;

  // The newest entry of the display: a display closed on one thread may be reopened at the same
  // address on another before the first forgets it.
  Connection* find(Display* display) {
    for (auto it = connections.rbegin(); it != connections.rend(); ++it) {
      if (it->display == display) return &*it;
    }
    return nullptr;
  }
};

// Never destroyed: a handler may still run while the process ends.
TrapState& state() {
  static auto* instance = new TrapState();
  return *instance;
}

int recordError(Display* display, XErrorEvent* event) {
  XErrorHandler forward = nullptr;
  {
    std::lock_guard<std::mutex> lock(state().mutex);
    if (Connection* connection = state().find(display)) {
      ++connection->errors;
      return 0;
    }
    forward = state().previousError;
  }
  return forward != nullptr ? forward(display, event) : 0;
}

void markBroken(Display* display) {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (Connection* connection = state().find(display)) connection->broken = true;
}

int recordIoError(Display* display) {
  XIOErrorHandler forward = nullptr;
  {
    std::lock_guard<std::mutex> lock(state().mutex);
    if (Connection* connection = state().find(display)) {
      connection->broken = true;
      return 0;
    }
    forward = state().previousIoError;
  }
  return forward != nullptr ? forward(display) : 0;
}

// Xlib's last word on a broken connection; returning from it keeps the process alive.
void keepRunning(Display* display, void*) { markBroken(display); }

}  // namespace

X11ErrorTrap::X11ErrorTrap() {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (state().depth++ > 0) return;
  state().previousError = XSetErrorHandler(recordError);
  state().previousIoError = XSetIOErrorHandler(recordIoError);
}

X11ErrorTrap::~X11ErrorTrap() {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (--state().depth > 0) return;
  XSetErrorHandler(state().previousError);
  XSetIOErrorHandler(state().previousIoError);
}

void X11ErrorTrap::adopt(Display* display) {
  {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().connections.push_back({display, 0, false});
  }
  XSetIOErrorExitHandler(display, keepRunning, nullptr);
}

// The oldest entry of the display goes (see find).
void X11ErrorTrap::forget(Display* display) {
  std::lock_guard<std::mutex> lock(state().mutex);
  auto& connections = state().connections;
  auto oldest = std::find_if(connections.begin(), connections.end(),
                             [&](const Connection& c) { return c.display == display; });
  if (oldest != connections.end()) connections.erase(oldest);
}

unsigned long X11ErrorTrap::errorCount(Display* display) {
  std::lock_guard<std::mutex> lock(state().mutex);
  const Connection* connection = state().find(display);
  return connection != nullptr ? connection->errors : 0;
}

bool X11ErrorTrap::isBroken(Display* display) {
  std::lock_guard<std::mutex> lock(state().mutex);
  const Connection* connection = state().find(display);
  return connection != nullptr && connection->broken;
}

}  // namespace x11
}  // namespace platform
}  // namespace gui
