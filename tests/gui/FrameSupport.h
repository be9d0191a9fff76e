#pragma once

// A frame in a headless window with a recording editor, shared by the frame and headless-window
// tests.

#include <memory>

#include "gui/CFrame.h"
#include "gui/CFrameEditor.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/RasterClock.h"
#include "gui/platform/raster/RasterInput.h"
#include "tests/gui/RecordingView.h"

// Records the frame's calls; serviceIdle does what the editor base does: idle the frame and hand
// on one pending paint.
class RecordingEditor : public gui::CFrameEditor {
 public:
  void beginEdit(int32_t tag) override { log.push_back("beginEdit " + std::to_string(tag)); }
  void endEdit(int32_t tag) override { log.push_back("endEdit " + std::to_string(tag)); }
  void serviceIdle() override {
    ++serviceIdleCalls;
    if (frame != nullptr) frame->idle();
    gui::platform::dispatchPendingPaint();
  }
  int32_t getKnobMode() const override { return knobMode; }

  gui::CFrame* frame = nullptr;
  EventLog log;
  int serviceIdleCalls = 0;
  int32_t knobMode = 0;
};

class FrameInWindow : public ::testing::Test {
 protected:
  FrameInWindow()
      : host(752, 160, gui::CViewPoint(100, 50)),
        frame(new gui::CFrame(gui::CViewRect(0, 0, 200, 100), host.handle(), &editor)),
        window(host.getChild()) {
    editor.frame = frame;
    frame->setBackgroundColor(gui::CRgbColor(0, 0, 64));
  }
  ~FrameInWindow() override {
    delete frame;
    gui::raster::RasterInput::reset();
    gui::raster::RasterClock::useSystemTime();
  }

  RecordingView* addView(const std::string& name, const gui::CViewRect& size,
                         gui::CViewContainer* parent = nullptr) {
    auto* view = new RecordingView(name, size, &log);
    (parent != nullptr ? parent : frame)->addView(view);
    return view;
  }
  gui::platform::PlatformColor screen(int x, int y) const { return window->screenColorAt(x, y); }

  EventLog log;
  RecordingEditor editor;
  gui::raster::HeadlessWindow host;
  gui::CFrame* frame;
  gui::raster::HeadlessWindow* window;
};
