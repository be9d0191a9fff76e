#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/EditorControls.h"
#include "editor/HeadlessEditorSession.h"
#include "editor/LumivaneEditor.h"
#include "effect/Lumivane.h"
#include "gui/CViewRect.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/RasterClock.h"
#include "gui/platform/raster/RasterInput.h"
#include "tests/editor/RecordingHost.h"

// A Lumivane effect with its editor open in a headless window, driven as a user drives it: presses,
// drags, wheel turns, keys and typing go into the window, and the screen is read back. The clock is
// manual, so the editor's idle pacing costs no real time.
class EditorSessionFixture : public ::testing::Test {
 protected:
  EditorSessionFixture() {
    gui::raster::RasterClock::useManualTime(100000);
    gui::raster::RasterInput::reset();
    RecordingHost::clear();
    effect = std::make_unique<Lumivane>(RecordingHost::callback);
  }
  ~EditorSessionFixture() override {
    session.reset();
    effect.reset();
    gui::raster::RasterClock::useSystemTime();
    gui::raster::RasterInput::reset();
  }
  void SetUp() override { openEditor(); }

  void openEditor() {
    session = HeadlessEditorSession::open(record());
    ASSERT_TRUE(session);
  }
  AEffect* record() { return effect->getEffectRecord(); }
  LumivaneEditor& editor() { return *static_cast<LumivaneEditor*>(effect->getEditor()); }
  const EditorControls& controls() { return *editor().getControls(); }

  // One block of the input through the effect, as the host's audio thread would send it.
  void process(std::vector<float> input) {
    std::vector<float> left(input.size()), right(input.size());
    float* inputs[] = {input.data(), input.data()};
    float* outputs[] = {left.data(), right.data()};
    record()->processReplacing(record(), inputs, outputs, static_cast<VstInt32>(input.size()));
  }

  void setByHost(VstInt32 index, float value) { record()->setParameter(record(), index, value); }
  float parameter(VstInt32 index) { return record()->getParameter(record(), index); }

  static gui::CViewPoint centreOf(const gui::CViewRect& rect) {
    return gui::CViewPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  gui::platform::PlatformColor screen(int x, int y) {
    return session->editorWindow()->screenColorAt(x, y);
  }
  gui::raster::RasterImageCopy screenshot() { return session->editorWindow()->screenshot(); }

  void pressAt(const gui::CViewPoint& where, gui::MouseButtonState buttons = gui::kLeftButton) {
    ASSERT_TRUE(session->press(where.x, where.y, buttons));
  }
  void pressKey(unsigned char virtualKey, unsigned char modifier = 0, VstInt32 character = 0) {
    VstKeyCode key{character, virtualKey, modifier};
    ASSERT_TRUE(session->key(key));
  }

  std::unique_ptr<Lumivane> effect;
  std::unique_ptr<HeadlessEditorSession> session;
};
