// The headless window as tests and the command-line host drive it: scripted mouse gestures
// through a control's tracking loop, the one-line text entry, screenshots and paint delivery.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "gui/VirtualKeys.h"
#include "gui/platform/PlatformTextEntry.h"
#include "gui/platform/raster/PngWriter.h"
#include "gui/platform/raster/RasterTextEntry.h"
#include "tests/gui/FrameSupport.h"

using gui::CViewPoint;
using gui::CViewRect;
using gui::platform::makeColor;
using gui::raster::HeadlessWindow;
using gui::raster::InputStep;
using gui::raster::RasterInput;

namespace {

// Tracks the mouse the way a knob does: poll, act on the previous position, read the cursor,
// serve idle, until the left button is up.
class TrackingView : public RecordingView {
 public:
  using RecordingView::RecordingView;
  void onMouseDown(gui::CDrawContext* context, const CViewPoint& start,
                   gui::MouseButtonState) override {
    CViewPoint where = start;
    CViewPoint last(-1, -1);
    gui::MouseButtonState buttons;
    do {
      buttons = gui::pollMouseButtons();
      if (where != last) {
        last = where;
        positions.push_back(where);
        setDirty(true);
      }
      getMouseLocation(context, where);
      getParentFrame()->serviceIdle();
    } while (buttons & gui::kLeftButton);
  }
  std::vector<CViewPoint> positions;
};

TEST_F(FrameInWindow, AScriptedDragRunsThroughATrackingLoop) {
  auto* tracker = new TrackingView("tracker", CViewRect(20, 20, 84, 84), &log);
  frame->addView(tracker);
  window->dispatchPaint();
  tracker->drawCount = 0;
  window->drag({{CViewPoint(30, 40), gui::kLeftButton},
                {CViewPoint(50, 35), gui::kLeftButton},
                {CViewPoint(50, 35), 0}});
  EXPECT_EQ(tracker->positions, (std::vector<CViewPoint>{CViewPoint(30, 40), CViewPoint(50, 35)}));
  EXPECT_EQ(RasterInput::queuedSteps(), 0u);
  EXPECT_GE(editor.serviceIdleCalls, 2);
  EXPECT_GE(tracker->drawCount, 1);  // serviceIdle redrew the dragged view meanwhile
}

TEST_F(FrameInWindow, ADragWithAModifierShowsItInThePolledButtons) {
  struct ModifierView : RecordingView {
    using RecordingView::RecordingView;
    void onMouseDown(gui::CDrawContext*, const CViewPoint&, gui::MouseButtonState) override {
      polled.push_back(gui::pollMouseButtons());
      polled.push_back(gui::pollMouseButtons());
    }
    std::vector<gui::MouseButtonState> polled;
  };
  auto* view = new ModifierView("v", CViewRect(0, 0, 50, 50), &log);
  frame->addView(view);
  // The frame's own poll takes the first step.
  window->drag({{CViewPoint(5, 5), gui::kLeftButton},
                {CViewPoint(6, 5), gui::kLeftButton | gui::kShift},
                {CViewPoint(6, 5), gui::kShift}});
  EXPECT_EQ(view->polled,
            (std::vector<gui::MouseButtonState>{gui::kLeftButton | gui::kShift, gui::kShift}));
}

// Opens a text entry over a field and closes it when told, keeping what it read.
class EntryOwner : public gui::platform::TextEntryListener {
 public:
  void textEntryFinished(gui::platform::PlatformTextEntry* finished) override {
    char buffer[256];
    finished->getText(buffer, sizeof(buffer));
    results.push_back(buffer);
    finished->destroy();
    entry = nullptr;
  }
  gui::platform::PlatformTextEntry* entry = nullptr;
  std::vector<std::string> results;
};

class TextEntry : public FrameInWindow {
 protected:
  void open(const char* text, int32_t maxLength = 255) {
    gui::platform::TextEntryRequest request;
    request.rect = CViewRect(40, 30, 100, 54);
    request.text = text;
    request.font = font;
    request.fontColor = makeColor(0, 255, 0);
    request.backColor = makeColor(0, 0, 0);
    request.maxLength = maxLength;
    owner.entry = frame->openTextEntry(request, &owner);
    ASSERT_NE(owner.entry, nullptr);
  }
  void key(uint8_t virt, int32_t character = 0) {
    gui::KeyEvent code{character, virt, 0};
    EXPECT_EQ(window->keyDown(code), 1);
  }
  ~TextEntry() override {
    if (owner.entry != nullptr) owner.entry->destroy();
    gui::platform::deleteObject(font);
  }
  static gui::platform::PlatformFont* makeFont() {
    gui::platform::LogicalFont logical;
    logical.height = -11;
    std::strcpy(logical.faceName, "Arial");
    return gui::platform::createFont(logical);
  }
  gui::platform::PlatformFont* font = makeFont();
  EntryOwner owner;
};

TEST_F(TextEntry, TypingReplacesTheSelectedTextAndEnterFinishes) {
  open("0.50");
  window->typeText("250");
  key(gui::kVirtualKeyBack);
  window->typeText("7");
  key(gui::kVirtualKeyReturn);
  EXPECT_EQ(owner.results, (std::vector<std::string>{"257"}));
  EXPECT_EQ(window->getTextEntry(), nullptr);
}

TEST_F(TextEntry, CaretKeysAndDeleteEditInside) {
  open("abc");
  key(gui::kVirtualKeyHome);
  key(gui::kVirtualKeyDelete);
  key(gui::kVirtualKeyRight);
  window->typeText("X");
  key(gui::kVirtualKeyEnd);
  key(gui::kVirtualKeyLeft);
  key(gui::kVirtualKeyBack);
  key(gui::kVirtualKeyEnter);
  EXPECT_EQ(owner.results, (std::vector<std::string>{"bc"}));
}

TEST_F(TextEntry, EscapePutsTheInitialTextBack) {
  open("42");
  window->typeText("99");
  key(gui::kVirtualKeyEscape);
  EXPECT_EQ(owner.results, (std::vector<std::string>{"42"}));
}

TEST_F(TextEntry, ThePressOutsideTakesTheFocusAwayAndStillReachesTheFrame) {
  addView("v", CViewRect(150, 10, 190, 90));
  open("1");
  window->press(CViewPoint(50, 40));  // inside: stays open
  EXPECT_TRUE(owner.results.empty());
  window->press(CViewPoint(160, 50));
  EXPECT_EQ(owner.results, (std::vector<std::string>{"1"}));
  EXPECT_EQ(log.back(), "v mouseDown (160,50) 1");
}

TEST_F(TextEntry, HoldsAtMostItsLimit) {
  open("", 5);
  window->typeText("1234567890");
  key(gui::kVirtualKeyReturn);
  EXPECT_EQ(owner.results, (std::vector<std::string>{"12345"}));
  open(std::string(300, 'x').c_str());
  char buffer[256];
  EXPECT_EQ(owner.entry->getText(buffer, sizeof(buffer)), 255);
}

TEST_F(TextEntry, IsDrawnOverTheFrameUntilItCloses) {
  window->dispatchPaint();
  const auto before = screen(45, 32);
  open("12");
  EXPECT_EQ(screen(45, 32), 0u);  // the entry's black background over the field
  int green = 0;
  const gui::raster::RasterImageCopy shot = window->screenshot();
  for (int y = 30; y < 54; ++y) {
    for (int x = 40; x < 100; ++x) green += shot.colorAt(x, y) == makeColor(0, 255, 0);
  }
  EXPECT_GT(green, 20);  // the selected text: highlighted in the font colour
  key(gui::kVirtualKeyReturn);
  EXPECT_EQ(screen(45, 32), before);
}

TEST_F(TextEntry, OutlivesItsWindowUntilItsOwnerClosesIt) {
  open("5");
  host.destroy();
  char buffer[8];
  EXPECT_EQ(owner.entry->getText(buffer, sizeof(buffer)), 1);
  EXPECT_STREQ(buffer, "5");
  owner.entry->destroy();
  owner.entry = nullptr;
}

TEST_F(FrameInWindow, KeysWithoutAnEntryAreLeftToTheHost) {
  gui::KeyEvent key{65, 0, 0};
  EXPECT_EQ(window->keyDown(key), -1);
  EXPECT_EQ(window->keyUp(key), -1);
}

TEST_F(FrameInWindow, ScreenshotsSaveAsPngOfTheWindowSize) {
  addView("v", CViewRect(10, 10, 30, 30));
  window->dispatchPaint();
  char path[] = "/tmp/lumivane-screenshot-XXXXXX";
  const int descriptor = mkstemp(path);
  ASSERT_GE(descriptor, 0);
  close(descriptor);
  ASSERT_TRUE(window->savePng(path));
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
  std::remove(path);
  gui::platform::overrideLibraryResource(980, bytes.data(), bytes.size());
  auto* decoded = new gui::CBitmap(980);
  EXPECT_EQ(decoded->getWidth(), 200);
  EXPECT_EQ(decoded->getHeight(), 100);
  const uint8_t* pixel = gui::platform::imagePixelRow(decoded->getHandle(), 15) + 15 * 4;
  EXPECT_EQ(pixel[2], 199);  // red 200, stored premultiplied as 199
  decoded->dropReference();
  gui::platform::overrideLibraryResource(980, nullptr, 0);
  EXPECT_FALSE(gui::raster::writePng("/nonexistent-folder/x.png", window->screenshot().image()));
}

TEST(HeadlessWindows, PendingPaintsAreDeliveredOneAtATime) {
  HeadlessWindow host(300, 100);
  auto* left = new gui::CFrame(CViewRect(0, 0, 100, 100), host.handle(), nullptr);
  auto* right = new gui::CFrame(CViewRect(0, 0, 100, 100), host.handle(), nullptr);
  EXPECT_TRUE(gui::platform::dispatchPendingPaint());
  EXPECT_TRUE(gui::platform::dispatchPendingPaint());
  EXPECT_FALSE(gui::platform::dispatchPendingPaint());
  gui::platform::invalidateRect(right->getNativeWindow(), CViewRect(5, 5, 10, 10));
  EXPECT_TRUE(gui::platform::dispatchPendingPaint());
  delete left;
  delete right;
}

TEST(HeadlessWindows, HandlesOfDestroyedWindowsAreRejected) {
  void* handle;
  {
    HeadlessWindow host(10, 10);
    handle = host.handle();
    EXPECT_EQ(HeadlessWindow::fromHandle(handle), &host);
  }
  EXPECT_EQ(HeadlessWindow::fromHandle(handle), nullptr);
  EXPECT_EQ(gui::platform::getWindowDevice(handle), nullptr);
  EXPECT_EQ(gui::platform::createChildWindow(handle, 5, 5), nullptr);
  gui::platform::destroyWindow(handle);
  gui::platform::invalidateRect(handle, CViewRect(0, 0, 1, 1));
  CViewRect rect;
  EXPECT_FALSE(gui::platform::getUpdateRect(handle, rect));
}

}  // namespace
