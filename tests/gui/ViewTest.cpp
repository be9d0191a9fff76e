// Views and containers: ownership, type questions, hit tests, drawing whole and in part, dirty
// state, updates, and the routing of presses, wheel, keys, focus and drags.

#include <gtest/gtest.h>

#include <algorithm>

#include "gui/CBitmap.h"
#include "gui/CDragContainer.h"
#include "gui/CFrame.h"
#include "gui/COffscreenContext.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/RasterInput.h"
#include "tests/gui/PngEncoder.h"
#include "tests/gui/RecordingView.h"

using gui::CFrame;
using gui::CRgbColor;
using gui::CView;
using gui::CViewContainer;
using gui::CViewPoint;
using gui::CViewRect;
using gui::platform::makeColor;
using gui::raster::RasterInput;

namespace {

// A frame without a window (drawing goes to its back buffer) and a log of what views saw.
class ViewTree : public ::testing::Test {
 protected:
  ViewTree() : frame(new CFrame(CViewRect(0, 0, 100, 80), nullptr, nullptr)) {}
  ~ViewTree() override {
    delete frame;
    RasterInput::reset();
  }

  RecordingView* view(const std::string& name, const CViewRect& size, int* destroyed = nullptr) {
    return new RecordingView(name, size, &log, destroyed);
  }
  // Adds a created view and never touches it again: the container's destruction releases both
  // the creator's reference and its own.
  template <typename T>
  T* adopt(CViewContainer* parent, T* child) {
    parent->addView(child);
    return child;
  }
  gui::platform::PlatformColor pixel(int x, int y) {
    gui::COffscreenContext* back = frame->getBackBuffer();
    back->getDevice()->selectClipRect(CViewRect(0, 0, 100, 80));
    back->setClipRect(CViewRect(0, 0, 100, 80));
    return back->getDevice()->getPixel(x, y);
  }
  bool logged(const std::string& event) const {
    return std::find(log.begin(), log.end(), event) != log.end();
  }

  EventLog log;
  CFrame* frame;
};

TEST_F(ViewTree, AViewAddedAndNeverTouchedDiesWithItsContainer) {
  int destroyed = 0;
  auto* container = new CViewContainer(CViewRect(0, 0, 50, 50), frame);
  RecordingView* child = view("a", CViewRect(0, 0, 10, 10), &destroyed);
  container->addView(child);
  EXPECT_EQ(child->getReferenceCount(), 2);
  container->dropReference();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(ViewTree, AnExtraReferenceKeepsAViewBeyondItsContainer) {
  int destroyed = 0;
  auto* container = new CViewContainer(CViewRect(0, 0, 50, 50), frame);
  RecordingView* child = view("a", CViewRect(0, 0, 10, 10), &destroyed);
  container->addView(child);
  child->addReference();  // the creator wants to keep it
  container->dropReference();
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(child->getReferenceCount(), 1);
  child->dropReference();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(ViewTree, RemoveViewDropsOneOrBothReferences) {
  int destroyed = 0;
  RecordingView* kept = view("kept", CViewRect(0, 0, 10, 10), &destroyed);
  RecordingView* released = view("released", CViewRect(0, 0, 10, 10), &destroyed);
  frame->addView(kept);
  frame->addView(released);
  frame->removeView(kept, false);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(kept->getReferenceCount(), 1);
  EXPECT_EQ(kept->getParentFrame(), frame);  // removal does not clear the parents
  frame->removeView(released, true);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(frame->getViewCount(), 0);
  kept->dropReference();
}

TEST_F(ViewTree, AddViewSetsParentsAttachesAndMarksDirty) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(10, 10, 60, 60), frame));
  RecordingView* child = adopt(container, view("a", CViewRect(0, 0, 10, 10)));
  EXPECT_EQ(child->getParentFrame(), frame);
  EXPECT_EQ(child->getParentView(), container);
  EXPECT_TRUE(child->isDirty());
  EXPECT_TRUE(logged("a attached"));
  container->addView(nullptr);
  EXPECT_EQ(container->getViewCount(), 1);
  EXPECT_EQ(container->getView(0), child);
  EXPECT_EQ(container->getView(-1), nullptr);
  EXPECT_EQ(container->getView(1), nullptr);
  EXPECT_TRUE(container->isChild(child));
  EXPECT_FALSE(frame->isChild(child));  // direct children only
  container->removeAll(false);
  EXPECT_TRUE(logged("a removed"));
  EXPECT_EQ(child->getReferenceCount(), 1);
  child->dropReference();
}

TEST_F(ViewTree, RemovingTheFocusViewClearsTheFocusFirst) {
  RecordingView* child = adopt(frame, view("a", CViewRect(0, 0, 10, 10)));
  RecordingView* stranger = view("stranger", CViewRect(0, 0, 10, 10));
  frame->setFocusView(stranger);
  frame->removeView(stranger, false);  // not a child, but it had the focus
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_TRUE(logged("stranger loseFocus"));
  frame->setFocusView(child);
  frame->removeView(child, false);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  child->dropReference();
  stranger->dropReference();
}

TEST_F(ViewTree, ClassNamesAnswerForThemselvesAndTheirBases) {
  CView plain(CViewRect(0, 0, 1, 1));
  CViewContainer container(CViewRect(0, 0, 1, 1), nullptr);
  struct Case {
    const CView* view;
    const char* name;
    bool expected;
  } cases[] = {{&plain, "CView", true},         {&plain, "CViewContainer", false},
               {&container, "CView", true},     {&container, "CViewContainer", true},
               {&container, "CFrame", false},   {frame, "CFrame", true},
               {frame, "CViewContainer", true}, {frame, "CView", true},
               {&plain, "CVie", false},         {&plain, "CViewX", false},
               {&plain, nullptr, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.view->isTypeOf(c.name), c.expected) << (c.name ? c.name : "null");
  }
}

TEST_F(ViewTree, OnlyTheSharedMessageObjectIdentifiesAContainer) {
  CViewContainer container(CViewRect(0, 0, 1, 1), nullptr);
  CView plain(CViewRect(0, 0, 1, 1));
  const std::string sameCharacters = "kMsgCheckIfViewContainer";
  char copy[sizeof("kMsgCheckIfViewContainer")];
  std::copy(sameCharacters.c_str(), sameCharacters.c_str() + sizeof(copy), copy);
  EXPECT_TRUE(container.notify(&plain, gui::kMsgCheckIfViewContainer));
  EXPECT_FALSE(container.notify(&plain, copy));
  EXPECT_FALSE(container.notify(&plain, sameCharacters.c_str()));
  EXPECT_FALSE(plain.notify(&container, gui::kMsgCheckIfViewContainer));
}

TEST_F(ViewTree, APressGoesToTheTopMostMouseEnabledChildOnly) {
  RecordingView* below = adopt(frame, view("below", CViewRect(10, 10, 40, 40)));
  RecordingView* above = adopt(frame, view("above", CViewRect(20, 20, 50, 50)));
  frame->onMouseDown(nullptr, CViewPoint(30, 30), gui::kLeftButton);
  EXPECT_EQ(log.back(), "above mouseDown (30,30) 1");
  above->setMouseEnabled(false);
  frame->onMouseDown(nullptr, CViewPoint(30, 30), gui::kLeftButton);
  EXPECT_EQ(log.back(), "below mouseDown (30,30) 1");
  log.clear();
  frame->onMouseDown(nullptr, CViewPoint(40, 40), gui::kLeftButton);  // the right/bottom edge hits
  EXPECT_EQ(log.back(), "below mouseDown (40,40) 1");
  log.clear();
  frame->onMouseDown(nullptr, CViewPoint(41, 41), gui::kLeftButton);
  EXPECT_TRUE(log.empty());
  (void)below;
}

TEST_F(ViewTree, PressesArriveInLocalCoordinatesWithPolledButtons) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(10, 20, 60, 70), frame));
  adopt(container, view("inner", CViewRect(5, 5, 15, 15)));
  RasterInput::setButtons(gui::kRightButton | gui::kShift);
  gui::COffscreenContext* context = frame->getBackBuffer();
  frame->onMouseDown(context, CViewPoint(20, 30), gui::kPollButtons);
  EXPECT_EQ(log.back(), "inner mouseDown (10,10) 12");
  container->addView(view("hit area", CViewRect(30, 30, 40, 40)), CViewRect(0, 0, 2, 2), true);
  frame->onMouseDown(context, CViewPoint(11, 21), gui::kLeftButton);
  EXPECT_EQ(log.back(), "hit area mouseDown (1,1) 1");
}

TEST_F(ViewTree, FindViewAtSearchesDeepOnlyWhenAsked) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(10, 10, 60, 60), frame));
  RecordingView* inner = adopt(container, view("inner", CViewRect(5, 5, 15, 15)));
  inner->setMouseEnabled(false);  // not consulted
  EXPECT_EQ(frame->findViewAt(CViewPoint(16, 16), false), container);
  EXPECT_EQ(frame->findViewAt(CViewPoint(16, 16), true), inner);
  EXPECT_EQ(frame->findViewAt(CViewPoint(12, 12), true), nullptr);
  EXPECT_EQ(frame->findViewAt(CViewPoint(95, 75), false), nullptr);
  CViewContainer orphan(CViewRect(0, 0, 50, 50), nullptr);
  orphan.addView(new CView(CViewRect(0, 0, 10, 10)));
  EXPECT_EQ(orphan.findViewAt(CViewPoint(5, 5)), nullptr);  // no frame
}

TEST_F(ViewTree, ADrawnContainerPaintsItsBackgroundAndEveryChildClipped) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(10, 10, 60, 60), frame));
  container->setBackgroundColor(CRgbColor(0, 0, 255));
  RecordingView* child = adopt(container, view("a", CViewRect(40, 40, 80, 80)));  // half outside
  child->setDirty(false);
  frame->draw(frame->getBackBuffer());
  EXPECT_EQ(child->drawCount, 1);
  EXPECT_EQ(pixel(20, 20), makeColor(0, 0, 255));
  EXPECT_EQ(pixel(10, 10), 0u);  // fillRect leaves the container's left column and top row
  EXPECT_EQ(pixel(55, 55), makeColor(200, 10, 20));
  EXPECT_EQ(pixel(65, 65), 0u);  // the child is clipped to the container's clip at the start
  EXPECT_FALSE(container->isDirty());
}

TEST_F(ViewTree, APartlyDrawnDirtyChildStaysDirtyAndAWholeOneIsClean) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(0, 0, 100, 80), frame));
  RecordingView* partial = adopt(container, view("partial", CViewRect(10, 10, 30, 30)));
  RecordingView* whole = adopt(container, view("whole", CViewRect(50, 10, 60, 20)));
  container->drawArea(frame->getBackBuffer(), CViewRect(20, 0, 70, 80));
  EXPECT_EQ(partial->drawCount, 1);
  EXPECT_TRUE(partial->isDirty());
  EXPECT_EQ(whole->drawCount, 1);
  EXPECT_FALSE(whole->isDirty());
  EXPECT_EQ(pixel(25, 15), makeColor(200, 10, 20));
  EXPECT_EQ(pixel(15, 15), 0u);  // outside the update area: not drawn
}

TEST_F(ViewTree, ChildrenThatDoNotTouchTheAreaAreSkipped) {
  RecordingView* far = adopt(frame, view("far", CViewRect(80, 60, 90, 70)));
  RecordingView* touching = adopt(frame, view("touching", CViewRect(30, 0, 40, 10)));
  frame->drawArea(frame->getBackBuffer(), CViewRect(0, 0, 30, 10));
  EXPECT_EQ(far->drawCount, 0);
  // Touching edges count for touchesRect, but a zero-width clip skips the child.
  EXPECT_EQ(touching->drawCount, 0);
}

TEST_F(ViewTree, ADirtyChildOutsideTheContainerDoesNotMakeItDirty) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(0, 0, 50, 50), frame));
  RecordingView* outside = adopt(container, view("outside", CViewRect(60, 60, 70, 70)));
  container->setDirty(false);
  EXPECT_TRUE(outside->isDirty());
  EXPECT_FALSE(container->isDirty());
  outside->setViewSize(CViewRect(45, 45, 70, 70));
  EXPECT_TRUE(container->isDirty());
}

TEST_F(ViewTree, UpdateRedrawsOnlyTheDirtyChildAndWhatItTouches) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(0, 0, 100, 80), frame));
  RecordingView* a = adopt(container, view("a", CViewRect(10, 10, 30, 30)));
  RecordingView* b = adopt(container, view("b", CViewRect(25, 25, 45, 45)));  // overlaps a
  RecordingView* c = adopt(container, view("c", CViewRect(70, 10, 90, 30)));
  frame->draw(frame->getBackBuffer());
  for (RecordingView* v : {a, b, c}) v->drawCount = 0;
  a->setDirty(true);
  container->update(frame->getBackBuffer());
  EXPECT_EQ(a->drawCount, 1);
  EXPECT_EQ(b->drawCount, 1);  // touches a's area: drawn again above it
  EXPECT_EQ(c->drawCount, 0);
  EXPECT_FALSE(container->isDirty());
}

TEST_F(ViewTree, UpdateModesZeroAndOther) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(0, 0, 100, 80), frame));
  RecordingView* a = adopt(container, view("a", CViewRect(10, 10, 30, 30)));
  RecordingView* c = adopt(container, view("c", CViewRect(70, 10, 90, 30)));
  frame->draw(frame->getBackBuffer());
  a->drawCount = c->drawCount = 0;
  container->setUpdateMode(0);
  a->setDirty(true);
  container->update(frame->getBackBuffer());
  EXPECT_EQ(c->drawCount, 1);  // mode 0 redraws the whole container
  container->setUpdateMode(7);
  a->setDirty(true);
  container->update(frame->getBackBuffer());
  EXPECT_EQ(a->drawCount, 1);
  EXPECT_EQ(container->getUpdateMode(), 7);
}

TEST_F(ViewTree, ANestedRedrawLandsAtTheChildsFramePosition) {
  auto* outer = adopt(frame, new CViewContainer(CViewRect(10, 10, 90, 70), frame));
  auto* inner = adopt(outer, new CViewContainer(CViewRect(5, 5, 60, 50), frame));
  RecordingView* leaf = adopt(inner, view("leaf", CViewRect(10, 10, 20, 20)));
  frame->draw(frame->getBackBuffer());
  leaf->color = CRgbColor(0, 200, 0);
  leaf->redrawRect(frame->getBackBuffer(), leaf->getViewSize());
  EXPECT_EQ(pixel(25, 25), makeColor(0, 200, 0));  // 10 + 5 + 10
  EXPECT_EQ(pixel(34, 34), makeColor(0, 200, 0));
  EXPECT_EQ(pixel(35, 35), 0u);
  EXPECT_EQ(frame->getBackBuffer()->offset, CViewPoint(0, 0));
}

TEST_F(ViewTree, KeysGoTopMostFirstAndStopAtTheFirstAnswer) {
  RecordingView* a = adopt(frame, view("a", CViewRect(0, 0, 10, 10)));
  RecordingView* b = adopt(frame, view("b", CViewRect(0, 0, 10, 10)));
  gui::KeyEvent key{65, 0, 0};
  CViewContainer& container = *frame;
  EXPECT_EQ(container.CViewContainer::onKeyDown(key), -1);
  EXPECT_EQ(log, (EventLog{"a attached", "b attached", "b keyDown 65", "a keyDown 65"}));
  b->keyAnswer = 1;
  log.clear();
  EXPECT_EQ(container.CViewContainer::onKeyDown(key), 1);
  EXPECT_EQ(log, (EventLog{"b keyDown 65"}));
  (void)a;
}

TEST_F(ViewTree, WheelGoesToTheChildUnderThePointInLocalCoordinates) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(10, 20, 60, 70), frame));
  adopt(container, view("inner", CViewRect(5, 5, 15, 15)));
  gui::CDrawContext context(frame, nullptr, nullptr);
  EXPECT_TRUE(container->onWheel(&context, CViewPoint(20, 30), 2.0f));
  EXPECT_EQ(log[log.size() - 2], "inner axis 1");
  EXPECT_EQ(log.back(), "inner wheel (10,10) 2.00 offset (10,20)");
  EXPECT_EQ(context.offset, CViewPoint(0, 0));
  EXPECT_FALSE(container->onWheel(&context, CViewPoint(50, 60), 1.0f));
}

TEST_F(ViewTree, FocusCallsReachEveryChild) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(0, 0, 50, 50), frame));
  adopt(container, view("a", CViewRect(0, 0, 5, 5)));
  adopt(container, view("b", CViewRect(0, 0, 5, 5)));
  log.clear();
  container->takeFocus(nullptr);
  container->loseFocus(nullptr);
  EXPECT_EQ(log, (EventLog{"a takeFocus", "b takeFocus", "a loseFocus", "b loseFocus"}));
}

TEST_F(ViewTree, FocusMovesToTheNextFocusableViewAcrossNestedContainers) {
  RecordingView* a = adopt(frame, view("a", CViewRect(0, 0, 5, 5)));
  auto* box = adopt(frame, new CViewContainer(CViewRect(0, 0, 50, 50), frame));
  RecordingView* b = adopt(box, view("b", CViewRect(0, 0, 5, 5)));
  RecordingView* c = adopt(frame, view("c", CViewRect(0, 0, 5, 5)));
  for (RecordingView* v : {a, b, c}) v->setWantsFocus(true);
  CViewContainer& base = *frame;
  EXPECT_TRUE(base.CViewContainer::moveFocusToNext(nullptr, false));
  EXPECT_EQ(frame->getFocusView(), a);
  EXPECT_TRUE(base.CViewContainer::moveFocusToNext(a, false));
  EXPECT_EQ(frame->getFocusView(), b);  // found inside the nested container
  EXPECT_TRUE(base.CViewContainer::moveFocusToNext(box, false));
  EXPECT_EQ(frame->getFocusView(), c);
  EXPECT_FALSE(base.CViewContainer::moveFocusToNext(c, false));
  EXPECT_TRUE(base.CViewContainer::moveFocusToNext(nullptr, true));
  EXPECT_EQ(frame->getFocusView(), c);
}

TEST_F(ViewTree, CoordinatesConvertThroughEveryContainer) {
  auto* outer = adopt(frame, new CViewContainer(CViewRect(10, 20, 90, 70), frame));
  auto* inner = adopt(outer, new CViewContainer(CViewRect(3, 4, 60, 50), frame));
  RecordingView* leaf = adopt(inner, view("leaf", CViewRect(1, 1, 5, 5)));
  CViewPoint point(50, 50);
  leaf->frameToLocal(point);
  EXPECT_EQ(point, CViewPoint(37, 26));
  leaf->localToFrame(point);
  EXPECT_EQ(point, CViewPoint(50, 50));
  RasterInput::setCursor(CViewPoint(1000 + 30, 2000 + 40));
  gui::CDrawContext context(frame, nullptr, nullptr);
  context.windowOrigin = CViewPoint(1000, 2000);
  leaf->getMouseLocation(&context, point);
  EXPECT_EQ(point, CViewPoint(17, 16));  // in the coordinates of leaf's size
  EXPECT_EQ(context.windowOrigin, CViewPoint(1000, 2000));
  leaf->getMouseLocation(nullptr, point);
  EXPECT_EQ(point, CViewPoint(17, 16));
}

TEST_F(ViewTree, BackgroundsHoldOneReference) {
  std::vector<uint8_t> png = testpng::solid(4, 4, {1, 2, 3, 255});
  gui::platform::overrideLibraryResource(990, png.data(), png.size());
  auto* bitmap = new gui::CBitmap(990);
  {
    CView plain(CViewRect(0, 0, 4, 4));
    plain.setBackground(bitmap);
    EXPECT_EQ(bitmap->getReferenceCount(), 2);
    EXPECT_TRUE(plain.isDirty());
    plain.setBackground(bitmap);
    EXPECT_EQ(bitmap->getReferenceCount(), 2);
    CViewContainer container(CViewRect(0, 0, 4, 4), nullptr, bitmap);
    EXPECT_EQ(bitmap->getReferenceCount(), 3);
    EXPECT_TRUE(container.isDirty());
  }
  EXPECT_EQ(bitmap->getReferenceCount(), 1);
  bitmap->dropReference();
  gui::platform::overrideLibraryResource(990, nullptr, 0);
}

TEST_F(ViewTree, DragsFollowTheChildUnderTheCursor) {
  auto* container = adopt(frame, new CViewContainer(CViewRect(10, 10, 90, 70), frame));
  adopt(container, view("a", CViewRect(0, 0, 20, 20)));
  adopt(container, view("b", CViewRect(30, 0, 50, 20)));
  gui::CDragContainer drag(nullptr);
  EXPECT_EQ(drag.getCount(), 0);
  gui::CDrawContext context(frame, nullptr, nullptr);
  log.clear();
  frame->onDragEnter(&context, &drag, CViewPoint(15, 15));
  frame->onDragMove(&context, &drag, CViewPoint(16, 15));
  frame->onDragMove(&context, &drag, CViewPoint(45, 15));
  EXPECT_TRUE(frame->onDrop(&context, &drag, CViewPoint(46, 16)));
  EXPECT_EQ(log, (EventLog{"a dragEnter (5,5)", "a dragMove (6,5)", "a dragLeave (35,5)",
                           "b dragEnter (35,5)", "b drop (36,6)", "b dragLeave (36,6)"}));
  log.clear();
  frame->onDragEnter(&context, &drag, CViewPoint(15, 15));
  EXPECT_FALSE(frame->onDrop(&context, &drag, CViewPoint(80, 60)));  // an empty spot
  EXPECT_EQ(log, (EventLog{"a dragEnter (5,5)", "a dragLeave (70,50)"}));
  log.clear();
  frame->onDragLeave(&context, &drag, CViewPoint(0, 0));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(context.offset, CViewPoint(0, 0));
}

TEST_F(ViewTree, DragRoutingNeedsAFrame) {
  CViewContainer orphan(CViewRect(0, 0, 50, 50), nullptr);
  orphan.addView(view("a", CViewRect(0, 0, 50, 50)));
  gui::CDragContainer drag(nullptr);
  orphan.onDragEnter(nullptr, &drag, CViewPoint(5, 5));
  EXPECT_FALSE(orphan.onDrop(nullptr, &drag, CViewPoint(5, 5)));
  EXPECT_FALSE(logged("a dragEnter (5,5)"));
}

}  // namespace
