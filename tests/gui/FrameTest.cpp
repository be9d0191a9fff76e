// The frame in a headless window: its native window, paints, idle redraws, presses, wheel, keys,
// Tab focus, the editor link, the window going away, and the drop target.

#include <gtest/gtest.h>

#include "gui/CDragContainer.h"
#include "gui/CDropTarget.h"
#include "gui/COffscreenContext.h"
#include "gui/PlatformState.h"
#include "gui/VirtualKeys.h"
#include "tests/gui/FrameSupport.h"

using gui::CFrame;
using gui::CRgbColor;
using gui::CViewPoint;
using gui::CViewRect;
using gui::platform::makeColor;
using gui::raster::HeadlessWindow;
using gui::raster::RasterInput;

namespace {

const gui::platform::PlatformColor kRed = makeColor(200, 10, 20);
const gui::platform::PlatformColor kFrameColor = makeColor(0, 0, 64);
const gui::platform::PlatformColor kButtonFace = 0xF0F0F0;

bool noProcedure(void*, gui::platform::WindowMessage&) { return false; }

bool windowClassRegistered() {
  if (!gui::platform::registerWindowClass(&noProcedure)) return true;
  gui::platform::unregisterWindowClass();
  return false;
}

TEST_F(FrameInWindow, OwnsAChildWindowOfItsSizeInsideTheHostWindow) {
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(frame->getNativeWindow(), window->handle());
  EXPECT_EQ(frame->getParentWindow(), host.handle());
  EXPECT_EQ(window->getWidth(), 200);
  EXPECT_EQ(window->getHeight(), 100);
  EXPECT_EQ(window->getScreenOrigin(), CViewPoint(100, 50));
  EXPECT_TRUE(window->hasPendingPaint());  // a new window asks for its first paint
  EXPECT_TRUE(window->isDropTargetRegistered());
  EXPECT_TRUE(frame->isDropActive());
  EXPECT_TRUE(frame->getOpenFlag());
  EXPECT_EQ(frame->getParentFrame(), frame);
}

TEST(FrameWindowClass, IsRegisteredByTheFirstFrameAndUnregisteredWithTheLast) {
  HeadlessWindow host(300, 300);
  EXPECT_FALSE(windowClassRegistered());
  auto* first = new CFrame(CViewRect(0, 0, 10, 10), host.handle(), nullptr);
  auto* second = new CFrame(CViewRect(0, 0, 10, 10), host.handle(), nullptr);
  EXPECT_TRUE(windowClassRegistered());
  delete first;
  EXPECT_TRUE(windowClassRegistered());
  delete second;
  EXPECT_FALSE(windowClassRegistered());
}

TEST(FrameWindowClass, AParentThatIsNoHeadlessWindowGivesNoWindow) {
  int notAWindow = 0;
  auto* frame = new CFrame(CViewRect(0, 0, 10, 10), &notAWindow, nullptr);
  EXPECT_EQ(frame->getNativeWindow(), nullptr);
  EXPECT_FALSE(frame->setDropActive(true));
  EXPECT_TRUE(frame->setDropActive(false));  // not active: nothing to do
  frame->idle();
  delete frame;
  EXPECT_FALSE(windowClassRegistered());  // the class count stayed balanced
  auto* windowless = new CFrame(CViewRect(0, 0, 10, 10), nullptr, nullptr);
  EXPECT_EQ(windowless->getNativeWindow(), nullptr);
  delete windowless;
}

TEST_F(FrameInWindow, NothingIsDrawnOnIdleBeforeTheFirstPaint) {
  RecordingView* view = addView("v", CViewRect(10, 10, 30, 30));
  frame->idle();
  EXPECT_EQ(view->drawCount, 0);
  EXPECT_EQ(screen(15, 15), kButtonFace);
  EXPECT_TRUE(window->dispatchPaint());
  EXPECT_EQ(view->drawCount, 1);
  EXPECT_EQ(screen(15, 15), kRed);
  EXPECT_EQ(screen(50, 50), kFrameColor);
  EXPECT_FALSE(window->hasPendingPaint());
  EXPECT_FALSE(window->dispatchPaint());
}

TEST_F(FrameInWindow, IdleRedrawsADirtyViewAndCopiesOnlyItsRectangle) {
  RecordingView* view = addView("v", CViewRect(10, 10, 30, 30));
  RecordingView* other = addView("other", CViewRect(100, 10, 120, 30));
  window->dispatchPaint();
  view->color = CRgbColor(0, 200, 0);
  view->setDirty(true);
  // Drawn into the buffer behind the frame's back: no redraw covers it, so it stays unseen.
  frame->getBackBuffer()->drawPoint(CViewPoint(150, 80), CRgbColor(255, 255, 0));
  frame->getBackBuffer()->drawPoint(CViewPoint(31, 31), CRgbColor(255, 255, 0));
  frame->idle();
  EXPECT_EQ(view->drawCount, 2);
  EXPECT_EQ(other->drawCount, 1);
  EXPECT_EQ(screen(15, 15), makeColor(0, 200, 0));
  EXPECT_EQ(screen(29, 29), makeColor(0, 200, 0));
  EXPECT_NE(screen(150, 80), makeColor(255, 255, 0));
  EXPECT_NE(screen(31, 31), makeColor(255, 255, 0));  // just outside the redrawn rectangle
  frame->idle();                                      // nothing dirty: nothing drawn
  EXPECT_EQ(view->drawCount, 2);
}

TEST_F(FrameInWindow, AnIdleAfterTheWholeFrameWasMarkedCopiesAllOfIt) {
  addView("v", CViewRect(10, 10, 30, 30));
  window->dispatchPaint();
  {
    // Something drew straight onto the window, far from any view.
    gui::CDrawContext onWindow(frame, nullptr, frame->getNativeWindow());
    onWindow.drawPoint(CViewPoint(150, 80), CRgbColor(255, 255, 0));
  }
  ASSERT_EQ(screen(150, 80), makeColor(255, 255, 0));
  frame->setDirty(true);
  frame->idle();
  EXPECT_EQ(screen(150, 80), makeColor(0, 0, 64)) << "the whole tree was drawn again and copied";
}

TEST_F(FrameInWindow, APaintCopiesExactlyItsRectangle) {
  addView("v", CViewRect(0, 0, 200, 100));
  window->dispatchPaint();
  gui::COffscreenContext* back = frame->getBackBuffer();
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) back->drawPoint(CViewPoint(x, y), CRgbColor(0, 255, 0));
  }
  window->paint(CViewRect(10, 20, 30, 40));
  // Inside: redrawn from the tree; outside: the window kept what it showed.
  EXPECT_EQ(screen(10, 20), kRed);
  EXPECT_EQ(screen(29, 39), kRed);
  EXPECT_EQ(screen(30, 39), kRed);
  EXPECT_EQ(back->getDevice()->getPixel(30, 39), makeColor(0, 255, 0));
  EXPECT_EQ(back->getDevice()->getPixel(29, 39), kRed);
}

TEST_F(FrameInWindow, APressAnywhereTakesTheFocusAway) {
  RecordingView* focused = addView("focused", CViewRect(10, 10, 30, 30));
  focused->setWantsFocus(true);
  frame->setFocusView(focused);
  focused->setDirty(false);
  log.clear();
  window->press(CViewPoint(150, 80));
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(log, (EventLog{"focused loseFocus"}));
  EXPECT_TRUE(focused->isDirty());
}

TEST_F(FrameInWindow, APressReachesTheViewWithPolledButtons) {
  addView("v", CViewRect(10, 10, 30, 30));
  window->press(CViewPoint(12, 14), gui::kLeftButton | gui::kShift);
  EXPECT_EQ(log.back(), "v mouseDown (12,14) 9");
  window->press(CViewPoint(20, 20), gui::kRightButton);
  EXPECT_EQ(log.back(), "v mouseDown (20,20) 4");
}

TEST(FramePresses, FollowTheSystemSettingForExchangedButtons) {
  RasterInput::setButtonsSwappedSetting(true);
  HeadlessWindow host(100, 100);
  EventLog log;
  auto* frame = new CFrame(CViewRect(0, 0, 50, 50), host.handle(), nullptr);
  frame->addView(new RecordingView("v", CViewRect(0, 0, 50, 50), &log));
  host.getChild()->press(CViewPoint(5, 5), gui::kLeftButton);
  EXPECT_EQ(log.back(), "v mouseDown (5,5) 4");
  host.getChild()->press(CViewPoint(5, 5), gui::kRightButton);
  EXPECT_EQ(log.back(), "v mouseDown (5,5) 1");
  delete frame;
  RasterInput::reset();
  gui::platformState().buttonsSwapped = false;
}

TEST_F(FrameInWindow, WheelNotchesReachTheViewUnderTheCursor) {
  addView("v", CViewRect(10, 10, 30, 30));
  EXPECT_TRUE(window->wheel(CViewPoint(12, 13), 120));
  EXPECT_EQ(log[log.size() - 2], "v axis 1");
  EXPECT_EQ(log.back(), "v wheel (12,13) 1.00 offset (0,0)");
  window->wheel(CViewPoint(12, 13), -240);
  EXPECT_EQ(log.back(), "v wheel (12,13) -2.00 offset (0,0)");
  log.clear();
  EXPECT_TRUE(window->wheel(CViewPoint(150, 80), 120));  // an empty spot: only the default
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(host.getForwardedWheelCount(), 3);
  EXPECT_FALSE(frame->onWheel(nullptr, CViewPoint(150, 80), 1.0f));
  EXPECT_TRUE(frame->onWheel(nullptr, CViewPoint(15, 15), 1.0f));
}

class FrameKeys : public FrameInWindow {
 protected:
  int32_t tab(bool shift = false) {
    gui::KeyEvent key{0, gui::kVirtualKeyTab, uint8_t(shift ? gui::kModifierShift : 0)};
    return frame->onKeyDown(key);
  }
};

TEST_F(FrameKeys, TabWalksTheFocusableViewsAndClearsAfterTheLast) {
  RecordingView* first = addView("first", CViewRect(0, 0, 5, 5));
  addView("plain", CViewRect(0, 0, 5, 5));
  RecordingView* second = addView("second", CViewRect(0, 0, 5, 5));
  RecordingView* third = addView("third", CViewRect(0, 0, 5, 5));
  for (RecordingView* v : {first, second, third}) v->setWantsFocus(true);
  EXPECT_EQ(tab(), 1);
  EXPECT_EQ(frame->getFocusView(), first);
  EXPECT_EQ(tab(), 1);
  EXPECT_EQ(frame->getFocusView(), second);
  EXPECT_EQ(tab(), 1);
  EXPECT_EQ(frame->getFocusView(), third);
  EXPECT_EQ(tab(), -1);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(tab(), 1);
  EXPECT_EQ(frame->getFocusView(), first);
  EXPECT_EQ(tab(true), -1);  // Shift+Tab from the first clears too
  EXPECT_EQ(tab(true), 1);
  EXPECT_EQ(frame->getFocusView(), third);
  EXPECT_EQ(tab(true), 1);
  EXPECT_EQ(frame->getFocusView(), second);
}

TEST_F(FrameKeys, TabWithoutFocusableViewsIsNotHandled) {
  addView("plain", CViewRect(0, 0, 5, 5));
  EXPECT_EQ(tab(), -1);
}

TEST_F(FrameKeys, TabClimbsOutOfNestedContainers) {
  auto* box = new gui::CViewContainer(CViewRect(0, 0, 50, 50), frame);
  frame->addView(box);
  RecordingView* inner = addView("inner", CViewRect(0, 0, 5, 5), box);
  RecordingView* after = addView("after", CViewRect(0, 0, 5, 5));
  inner->setWantsFocus(true);
  after->setWantsFocus(true);
  EXPECT_EQ(tab(), 1);
  EXPECT_EQ(frame->getFocusView(), inner);
  EXPECT_EQ(tab(), 1);
  EXPECT_EQ(frame->getFocusView(), after);
}

TEST_F(FrameKeys, KeysGoToTheFocusViewOnly) {
  RecordingView* focused = addView("focused", CViewRect(0, 0, 5, 5));
  addView("other", CViewRect(0, 0, 5, 5));
  gui::KeyEvent key{65, 0, 0};
  EXPECT_EQ(frame->onKeyDown(key), -1);  // no focus view
  EXPECT_EQ(frame->onKeyUp(key), -1);
  frame->setFocusView(focused);
  log.clear();
  EXPECT_EQ(frame->onKeyDown(key), -1);  // not handled, not Tab
  focused->keyAnswer = 1;
  EXPECT_EQ(frame->onKeyDown(key), 1);
  EXPECT_EQ(frame->onKeyUp(key), 1);
  // The window itself takes no keys: they come from the host through the editor.
  EXPECT_EQ(window->keyDown(key), -1);
  EXPECT_EQ(log, (EventLog{"focused keyDown 65", "focused keyDown 65", "focused keyUp 65"}));
}

// Notes who has the focus when it is told it lost it.
class FocusWitness : public RecordingView {
 public:
  using RecordingView::RecordingView;
  void loseFocus(gui::CDrawContext*) override {
    record("loseFocus while the focus is " +
           std::string(getParentFrame()->getFocusView() ? "taken" : "empty"));
  }
};

TEST_F(FrameInWindow, SetFocusViewTellsTheOldViewAfterTheNewOneIsSet) {
  auto* old = new FocusWitness("old", CViewRect(0, 0, 5, 5), &log);
  frame->addView(old);
  RecordingView* next = addView("next", CViewRect(0, 0, 5, 5));
  old->setWantsFocus(true);
  next->setWantsFocus(true);
  frame->setFocusView(old);
  old->setDirty(false);
  next->setDirty(false);
  log.clear();
  frame->setFocusView(next);
  EXPECT_EQ(log, (EventLog{"old loseFocus while the focus is taken"}));  // no takeFocus
  EXPECT_TRUE(next->isDirty());
  EXPECT_TRUE(old->isDirty());
}

TEST_F(FrameInWindow, GesturesAndIdleGoToTheEditor) {
  gui::raster::RasterClock::useManualTime(12345);
  frame->beginEdit(6);
  frame->endEdit(6);
  EXPECT_EQ(editor.log, (EventLog{"beginEdit 6", "endEdit 6"}));
  frame->serviceIdle();
  EXPECT_EQ(editor.serviceIdleCalls, 1);
  EXPECT_EQ(frame->getTicks(), 12345u);
  editor.knobMode = 2;
  EXPECT_EQ(frame->getKnobMode(), 2);
  EXPECT_EQ(frame->getEditor(), &editor);
  RecordingView* view = addView("v", CViewRect(0, 0, 5, 5));
  EXPECT_EQ(view->getEditor(), &editor);
}

TEST(FrameWithoutEditor, AnswersZeroAndCallsNothing) {
  gui::raster::RasterClock::useManualTime(999);
  CFrame frame(CViewRect(0, 0, 10, 10), nullptr, nullptr);
  frame.beginEdit(1);
  frame.endEdit(1);
  frame.serviceIdle();
  EXPECT_EQ(frame.getTicks(), 0u);
  EXPECT_EQ(frame.getKnobMode(), 0);
  EXPECT_EQ(frame.getEditor(), nullptr);
  gui::raster::RasterClock::useSystemTime();
}

TEST_F(FrameInWindow, AfterTheHostDestroysItsWindowIdleDoesNothing) {
  RecordingView* view = addView("v", CViewRect(10, 10, 30, 30));
  window->dispatchPaint();
  host.destroy();
  EXPECT_FALSE(window->isAlive());
  EXPECT_FALSE(frame->getOpenFlag());
  EXPECT_EQ(frame->getParentWindow(), nullptr);
  view->setDirty(true);
  frame->idle();
  EXPECT_EQ(view->drawCount, 1);
  window->press(CViewPoint(15, 15));  // a dead window takes no input
  window->dispatchPaint();
  EXPECT_EQ(HeadlessWindow::fromHandle(frame->getNativeWindow()), nullptr);
}

// A view that asks the frame for a context while it is drawn.
class ContextProbe : public RecordingView {
 public:
  using RecordingView::RecordingView;
  void draw(gui::CDrawContext* context) override {
    gui::CDrawContext* handed = getParentFrame()->createDrawContext();
    sawBackBuffer = handed == context;
    handed->dropReference();
    RecordingView::draw(context);
  }
  bool sawBackBuffer = false;
};

TEST_F(FrameInWindow, DuringAnUpdateContextsHandedOutAreTheBackBuffer) {
  auto* probe = new ContextProbe("probe", CViewRect(0, 0, 10, 10), &log);
  frame->addView(probe);
  window->dispatchPaint();
  probe->setDirty(true);
  frame->idle();
  EXPECT_TRUE(probe->sawBackBuffer);
  gui::CDrawContext* outside = frame->createDrawContext();
  EXPECT_NE(outside, frame->getBackBuffer());
  outside->dropReference();
}

TEST_F(FrameInWindow, TheCurrentLocationIsTheCursorInFrameCoordinates) {
  RasterInput::setCursor(CViewPoint(130, 70));
  CViewPoint where;
  EXPECT_TRUE(frame->getCurrentLocation(where));
  EXPECT_EQ(where, CViewPoint(30, 20));
  gui::CDrawContext context(frame, nullptr, frame->getNativeWindow());
  context.getMouseLocation(where);
  EXPECT_EQ(where, CViewPoint(30, 20));
}

class TestDragData : public gui::platform::DragData {
 public:
  TestDragData(bool text, int files) : text(text), files(files) {}
  bool hasText() override { return text; }
  int32_t getFileCount() override { return files; }
  bool text;
  int files;
};

TEST_F(FrameInWindow, ATextDragIsOneItemAndIsReleasedWhenItLeaves) {
  TestDragData text(true, -1);
  RasterInput::setCursor(CViewPoint(115, 65));
  addView("v", CViewRect(10, 10, 30, 30));
  EXPECT_EQ(window->dragEnter(&text), gui::platform::kDropEffectMove);
  ASSERT_NE(gui::CDropTarget::getDragInProgress(), nullptr);
  EXPECT_EQ(gui::CDropTarget::getDragInProgress()->getCount(), 1);
  EXPECT_EQ(log.back(), "v dragEnter (15,15)");
  RasterInput::setCursor(CViewPoint(117, 66));
  EXPECT_EQ(window->dragOver(), gui::platform::kDropEffectMove);
  EXPECT_EQ(log.back(), "v dragMove (17,16)");
  window->dragLeave();
  EXPECT_EQ(log.back(), "v dragLeave (17,16)");
  EXPECT_EQ(gui::CDropTarget::getDragInProgress(), nullptr);
}

TEST_F(FrameInWindow, AFileDragCountsItsFilesAndADropIsReportedAsNone) {
  TestDragData files(false, 3);
  RasterInput::setCursor(CViewPoint(250, 120));  // over an empty spot
  window->dragEnter(&files);
  EXPECT_EQ(gui::CDropTarget::getDragInProgress()->getCount(), 3);
  EXPECT_EQ(window->drop(&files), gui::platform::kDropEffectNone);
  EXPECT_EQ(gui::CDropTarget::getDragInProgress(), nullptr);
  TestDragData nothing(false, -1);
  window->dragEnter(&nothing);
  EXPECT_EQ(gui::CDropTarget::getDragInProgress()->getCount(), 0);
  window->dragLeave();
  EXPECT_EQ(window->dragEnter(nullptr), gui::platform::kDropEffectNone);
  EXPECT_EQ(window->dragOver(), gui::platform::kDropEffectNone);  // no drag in progress
  window->dragLeave();
}

TEST_F(FrameInWindow, AFrameDestroyedInTheMiddleOfADragReleasesIt) {
  TestDragData text(true, -1);
  window->dragEnter(&text);
  delete frame;
  frame = nullptr;
  EXPECT_EQ(gui::CDropTarget::getDragInProgress(), nullptr);
  EXPECT_FALSE(window->isAlive());
}

}  // namespace
