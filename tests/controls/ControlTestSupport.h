#pragma once

#include <gmock/gmock.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/CFrameEditor.h"
#include "gui/COffscreenContext.h"
#include "gui/controls/CControl.h"
#include "gui/controls/CControlListener.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/KeyEvent.h"

namespace controls_test {

class MockListener : public gui::CControlListener {
 public:
  MOCK_METHOD(void, valueChanged, (gui::CDrawContext*, gui::CControl*), (override));
  MOCK_METHOD(int32_t, modifierClick, (gui::CDrawContext*, gui::CControl*, gui::MouseButtonState),
              (override));
};

class MockFrameEditor : public gui::CFrameEditor {
 public:
  MOCK_METHOD(void, beginEdit, (int32_t), (override));
  MOCK_METHOD(void, endEdit, (int32_t), (override));
  MOCK_METHOD(void, serviceIdle, (), (override));
  MOCK_METHOD(int32_t, getKnobMode, (), (const, override));
};

// A frame in a headless host window, with a mock editor behind it, the raster input reset and
// the clock under the test's control. Views added to the frame die with it.
class FrameFixture : public ::testing::Test {
 protected:
  static constexpr int32_t kWidth = 400;
  static constexpr int32_t kHeight = 200;

  FrameFixture();
  ~FrameFixture() override;

  // The frame's own window: presses, drags, wheel turns and keys go here.
  gui::raster::HeadlessWindow& window();
  // Adds the view to the frame and returns it; the frame's destruction releases both the
  // creator's reference and its own.
  template <typename View>
  View* add(View* view) {
    frame->addView(view);
    return view;
  }
  // A scripted left-button drag: press at `from`, move through `to`, release at the last point.
  void dragLeft(const std::vector<gui::CViewPoint>& points, gui::MouseButtonState modifiers = 0);

  ::testing::NiceMock<MockFrameEditor> editor;
  std::unique_ptr<gui::raster::HeadlessWindow> host;
  gui::CFrame* frame = nullptr;
};

// A control with nothing to draw, for the rules of the control base.
class PlainControl : public gui::CControl {
 public:
  using gui::CControl::CControl;
  void draw(gui::CDrawContext*) override { setDirty(false); }
};

// PNG bytes registered as library resource `id` for as long as the object lives.
class ResourceImage {
 public:
  // pixel(x, y) answers 0xRRGGBB; the image is opaque.
  ResourceImage(int32_t id, int32_t width, int32_t height,
                const std::function<uint32_t(int32_t x, int32_t y)>& pixel);
  ~ResourceImage();
  ResourceImage(const ResourceImage&) = delete;
  ResourceImage& operator=(const ResourceImage&) = delete;
  // A new bitmap of the image, with one reference for the caller.
  gui::CBitmap* load() const;

 private:
  int32_t id;
  std::vector<uint8_t> bytes;
};

// An off-screen surface to draw controls into and read back, filled with `fill` (0xRRGGBB).
class Canvas {
 public:
  Canvas(gui::CFrame* frame, int32_t width, int32_t height, uint32_t fill = 0x000000);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  gui::COffscreenContext* context() const { return surface; }
  // 0xRRGGBB of the pixel.
  uint32_t at(int32_t x, int32_t y) const;

 private:
  gui::COffscreenContext* surface = nullptr;
};

// 0xRRGGBB of a platform colour (red in the low byte).
uint32_t toRgb(uint32_t platformColor);

gui::KeyEvent virtualKey(uint8_t virt, uint8_t modifier = 0);
gui::KeyEvent characterKey(char character);

}  // namespace controls_test
