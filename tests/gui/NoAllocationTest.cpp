// Drawing allocates nothing: once a populated frame has been painted once (back buffer, fonts and
// glyphs made), painting it again, and updating its dirty views, does not call operator new.

#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "tests/gui/FrameSupport.h"
#include "tests/gui/PngEncoder.h"
#include "tests/support/CountAllocations.h"

namespace {

using gui::CRgbColor;
using gui::CViewPoint;
using gui::CViewRect;

// A view that draws with every kind of primitive and changes attributes each time.
class BusyView : public gui::CView {
 public:
  explicit BusyView(const CViewRect& size) : gui::CView(size) {}
  void draw(gui::CDrawContext* context) override {
    context->setFillColor(CRgbColor(20, 30, 40));
    context->fillRect(size);
    context->setLineColor(CRgbColor(200, 200, 0));
    context->drawRect(size, gui::kDrawStroked);
    context->setLineWidth(2);
    context->moveTo(size.topLeft());
    context->lineTo(CViewPoint(size.right, size.bottom));
    context->setLineWidth(1);
    context->setFont(4, 0, 0);
    context->setFontColor(CRgbColor(0, 255, 0));
    context->drawString("0.37", size, 0, gui::kCenterText);
    context->setFont(0, 0, 0);
    context->drawString("dB", size, 1, gui::kLeftText);
    context->drawPoint(size.topLeft(), CRgbColor(255, 0, 0));
    setDirty(false);
  }
};

class PopulatedFrame : public FrameInWindow {
 protected:
  PopulatedFrame() {
    frame->setViewSize(CViewRect(0, 0, 200, 100));
    backgroundPng = testpng::solid(200, 100, {90, 90, 90, 255}, testpng::ColorType::rgb);
    stripPng = testpng::solid(32, 96, {200, 50, 50, 128});
    gui::platform::overrideLibraryResource(991, backgroundPng.data(), backgroundPng.size());
    gui::platform::overrideLibraryResource(992, stripPng.data(), stripPng.size());
    auto* background = new gui::CBitmap(991);
    auto* strip = new gui::CBitmap(992);
    frame->setBackground(background);
    for (int i = 0; i < 12; ++i) {
      auto* knob = new gui::CView(CViewRect(i * 14, 0, i * 14 + 32, 32));
      knob->setBackground(strip);
      knob->setTransparency(i % 2 == 0);
      frame->addView(knob);
    }
    auto* box = new gui::CViewContainer(CViewRect(0, 40, 200, 100), frame);
    box->setBackgroundColor(CRgbColor(0, 40, 0));
    frame->addView(box);
    for (int i = 0; i < 4; ++i) box->addView(new BusyView(CViewRect(i * 50, 10, i * 50 + 48, 34)));
    background->dropReference();
    strip->dropReference();
    window->dispatchPaint();  // the first paint makes the back buffer, fonts and glyphs
  }
  ~PopulatedFrame() override { gui::platform::clearLibraryResourceOverrides(); }

  long countAllocations(const std::function<void()>& work) {
    CountAllocations scope;
    work();
    return scope.count();
  }

  std::vector<uint8_t> backgroundPng;
  std::vector<uint8_t> stripPng;
};

void markEverythingDirty(gui::CViewContainer* container) {
  for (int i = 0; i < container->getViewCount(); ++i) {
    gui::CView* view = container->getView(i);
    view->setDirty(true);
    if (view->isTypeOf("CViewContainer")) {
      markEverythingDirty(static_cast<gui::CViewContainer*>(view));
    }
  }
}

TEST_F(PopulatedFrame, AFullPaintAllocatesNothing) {
  EXPECT_EQ(countAllocations([&] { window->paint(CViewRect(0, 0, 200, 100)); }), 0);
  EXPECT_EQ(window->getPaintCount(), 2);
}

TEST_F(PopulatedFrame, RedrawingEveryDirtyViewAllocatesNothing) {
  gui::CDrawContext* screen = frame->createDrawContext();
  markEverythingDirty(frame);
  EXPECT_EQ(countAllocations([&] { frame->update(screen); }), 0);
  frame->setDirty(true);
  EXPECT_EQ(countAllocations([&] { frame->update(screen); }), 0);
  screen->dropReference();
}

TEST_F(PopulatedFrame, AnIdleWithNothingDirtyAllocatesNothing) {
  EXPECT_EQ(countAllocations([&] { frame->idle(); }), 0);
}

}  // namespace
