// The X11 window half through the seam alone, in this process: a child window of a real X11
// window, with each window operation going to the half that owns the handle. Skipped without a
// display, and failed instead where LUMIVANE_REQUIRE_DISPLAY is set.

#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "gui/platform/Platform.h"
#include "gui/platform/raster/HeadlessWindow.h"

// Last: Xlib's macros (None, Bool, Status) would clash with names in the headers above.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
// clang-format on

namespace platform = gui::platform;
using gui::CViewPoint;
using gui::CViewRect;

namespace {

constexpr int kHostX = 70;
constexpr int kHostY = 90;

int openDescriptors() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder) != nullptr) ++count;
    closedir(folder);
  }
  return count;
}

std::vector<platform::WindowMessageKind> messages;

bool recordMessage(void*, platform::WindowMessage& message) {
  messages.push_back(message.kind);
  return false;
}

void* asHandle(Window window) { return reinterpret_cast<void*>(uintptr_t(window)); }

class X11WindowHalf : public ::testing::Test {
 protected:
  void SetUp() override {
    host = XOpenDisplay(nullptr);
    if (host == nullptr) {
      ASSERT_EQ(std::getenv("LUMIVANE_REQUIRE_DISPLAY"), nullptr) << "no X display";
      GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    hostWindow =
        XCreateSimpleWindow(host, DefaultRootWindow(host), kHostX, kHostY, 200, 100, 0, 0, 0);
    XSelectInput(host, hostWindow, StructureNotifyMask);
    XMapWindow(host, hostWindow);
    XEvent event;
    do {
      XWindowEvent(host, hostWindow, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    ASSERT_TRUE(platform::registerWindowClass(recordMessage));
    messages.clear();
  }
  void TearDown() override {
    if (host == nullptr) return;
    platform::unregisterWindowClass();
    XDestroyWindow(host, hostWindow);
    XCloseDisplay(host);
  }

  Display* host = nullptr;
  Window hostWindow = None;
};

TEST_F(X11WindowHalf, AChildOfAHostsWindowSitsAtItsTopLeftCornerOnTheScreen) {
  void* child = platform::createChildWindow(asHandle(hostWindow), 120, 60);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(platform::getWindowOrigin(child), CViewPoint(kHostX, kHostY));
  EXPECT_EQ(platform::getWindowOrigin(asHandle(hostWindow)), CViewPoint(kHostX, kHostY))
      << "the host's window, through the child's connection";
  platform::setWindowUserData(child, &messages);
  EXPECT_EQ(platform::getWindowUserData(child), &messages);
  // A new window waits for its first paint, as on Win32; serving the window delivers it.
  CViewRect waiting;
  ASSERT_TRUE(platform::getUpdateRect(child, waiting));
  EXPECT_EQ(waiting, CViewRect(0, 0, 120, 60));
  EXPECT_TRUE(platform::serveWindow(child));
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front(), platform::WindowMessageKind::paint);
  platform::destroyWindow(child);
  EXPECT_EQ(messages.back(), platform::WindowMessageKind::destroy);
  EXPECT_EQ(platform::getWindowUserData(child), nullptr) << "a gone window has no data";
}

TEST_F(X11WindowHalf, OnlyTheThreadThatMadeTheWindowServesIt) {
  void* child = platform::createChildWindow(asHandle(hostWindow), 120, 60);
  ASSERT_NE(child, nullptr);
  bool servedElsewhere = true;
  std::thread([&] { servedElsewhere = platform::serveWindow(child); }).join();
  EXPECT_FALSE(servedElsewhere);
  EXPECT_TRUE(messages.empty()) << "the other thread delivered something";
  EXPECT_TRUE(platform::serveWindow(child));
  EXPECT_FALSE(messages.empty());
  platform::destroyWindow(child);
}

// Each window operation goes to the half that owns the handle: a headless window's child is a
// headless window, whatever X11 windows exist beside it.
TEST_F(X11WindowHalf, HeadlessAndX11WindowsLiveSideBySide) {
  void* x11Child = platform::createChildWindow(asHandle(hostWindow), 120, 60);
  ASSERT_NE(x11Child, nullptr);
  gui::raster::HeadlessWindow headless(300, 200, CViewPoint(5, 7));
  void* headlessChild = platform::createChildWindow(headless.handle(), 300, 200);
  ASSERT_NE(headlessChild, nullptr);
  EXPECT_EQ(headless.getChild()->handle(), headlessChild);
  EXPECT_EQ(platform::getWindowOrigin(headlessChild), CViewPoint(5, 7));
  EXPECT_EQ(platform::getWindowOrigin(x11Child), CViewPoint(kHostX, kHostY));
  platform::destroyWindow(headlessChild);
  platform::destroyWindow(x11Child);
}

// The double-click time is the display's multiClickTime resource, as X toolkits read it.
TEST_F(X11WindowHalf, TheDoubleClickTimeIsTheMultiClickTimeResource) {
  const char resources[] = "*multiClickTime:\t321\n";
  XChangeProperty(host, DefaultRootWindow(host), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources), int(std::strlen(resources)));
  XSync(host, False);
  void* child = platform::createChildWindow(asHandle(hostWindow), 120, 60);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(platform::getDoubleClickTime(), 321u);
  platform::destroyWindow(child);
  XDeleteProperty(host, DefaultRootWindow(host), XA_RESOURCE_MANAGER);
  XSync(host, False);
  child = platform::createChildWindow(asHandle(hostWindow), 120, 60);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(platform::getDoubleClickTime(), 400u) << "without the resource";
  platform::destroyWindow(child);
}

// Ids that cannot be X11 windows (null, a pointer, a window of nobody) give no child, and a
// handle that looks like no X id opens no connection at all.
TEST_F(X11WindowHalf, NoChildForWhatIsNoWindow) {
  const int descriptors = openDescriptors();
  int local = 0;
  EXPECT_EQ(platform::createChildWindow(nullptr, 120, 60), nullptr);
  EXPECT_EQ(platform::createChildWindow(&local, 120, 60), nullptr);
  EXPECT_EQ(platform::createChildWindow(asHandle(0x4242), 120, 60), nullptr);
  EXPECT_EQ(openDescriptors(), descriptors);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
