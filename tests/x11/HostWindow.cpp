#include "tests/x11/HostWindow.h"

#include <chrono>
#include <thread>

#include "tests/x11/PluginInstance.h"

namespace {

using Clock = std::chrono::steady_clock;

void dispatchWaitingEvents() {
  Display* host = HostWindow::display();
  while (XPending(host) > 0) {
    XEvent event;
    XNextEvent(host, &event);
  }
}

// Until the server has mapped the window: what the host's toolkit waits for before it shows.
void awaitMapped(Display* host, Window window) {
  XEvent event;
  do {
    XWindowEvent(host, window, StructureNotifyMask, &event);
  } while (event.type != MapNotify);
}

}  // namespace

Display* HostWindow::display() {
  static Display* host = XOpenDisplay(nullptr);
  return host;
}

HostWindow::HostWindow(int x, int y, int width, int height)
    : left(x), top(y), width(width), height(height) {
  Display* host = display();
  const int screen = DefaultScreen(host);
  window = XCreateSimpleWindow(host, RootWindow(host, screen), x, y, unsigned(width),
                               unsigned(height), 0, BlackPixel(host, screen),
                               0x808080 /* grey: not a colour of the editor's edges */);
  XSelectInput(host, window, StructureNotifyMask | ExposureMask);
  XMapWindow(host, window);
  awaitMapped(host, window);
  XSync(host, False);
}

HostWindow::~HostWindow() { destroy(); }

void HostWindow::destroy() {
  if (window == None) return;
  XDestroyWindow(display(), window);
  XSync(display(), False);
  window = None;
}

int HostWindow::childCount() const {
  if (window == None) return 0;
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display(), window, &root, &parent, &children, &count)) return 0;
  if (children != nullptr) XFree(children);
  return int(count);
}

Window HostWindow::editorWindow() const {
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (window == None || !XQueryTree(display(), window, &root, &parent, &children, &count)) {
    return None;
  }
  const Window first = count > 0 ? children[0] : None;
  if (children != nullptr) XFree(children);
  return first;
}

bool HostWindow::openEditor(PluginInstance& plugin) {
  const bool opened = plugin.openEditor(window) == 1;
  pumpIdle(150, &plugin);
  return opened;
}

ScreenImage HostWindow::capture() const {
  return ScreenImage::capture(display(), window, width, height);
}

void pumpIdle(int milliseconds, PluginInstance* plugin, PluginInstance* secondPlugin) {
  const Clock::time_point start = Clock::now();
  const Clock::time_point end = start + std::chrono::milliseconds(milliseconds);
  Clock::time_point lastIdle = start - std::chrono::milliseconds(20);
  do {
    dispatchWaitingEvents();
    if (Clock::now() - lastIdle >= std::chrono::milliseconds(20)) {
      lastIdle = Clock::now();
      if (plugin != nullptr) plugin->dispatch(effEditIdle);
      if (secondPlugin != nullptr) secondPlugin->dispatch(effEditIdle);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  } while (Clock::now() < end);
  dispatchWaitingEvents();
}

bool pumpUntil(const std::function<bool()>& done, int milliseconds, PluginInstance* plugin) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done()) {
    if (Clock::now() >= end) return done();
    pumpIdle(10, plugin);
  }
  return true;
}
