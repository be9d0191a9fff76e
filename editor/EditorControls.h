#pragma once

class CGoniometer;

namespace gui {
class CAnimKnob;
class CMovieBitmap;
class CTextEdit;
class CVuMeter;
}  // namespace gui

// The controls of one open editor window, in the order the window adds them. They belong to the
// frame's view tree; these are plain references, valid while the frame lives (and, for the
// display feed, only while the feed gate hands them out).
struct EditorControls {
  static constexpr int kParameterCount = 6;

  gui::CAnimKnob* knobs[kParameterCount] = {};
  gui::CTextEdit* textFields[kParameterCount] = {};
  gui::CVuMeter* leftPeakMeter = nullptr;
  gui::CVuMeter* rightPeakMeter = nullptr;
  gui::CVuMeter* correlationMeter = nullptr;
  CGoniometer* goniometer = nullptr;
  gui::CMovieBitmap* overlay = nullptr;
};
