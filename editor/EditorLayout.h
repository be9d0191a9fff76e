#pragma once
#include <cstdint>

#include "gui/CViewRect.h"

// Where the editor window places its controls, and the images they show. The background artwork
// draws the knob seats, field boxes and meter wells at exactly these rectangles.
namespace editor_layout {

constexpr int kParameterCount = 6;

// Resource ids of the PNG images stored in the library.
enum : std::int32_t {
  kBackgroundImage = 128,
  kKnobStripImage = 129,
  kLeftPeakOffImage = 130,
  kLeftPeakOnImage = 131,
  kRightPeakOffImage = 132,
  kRightPeakOnImage = 133,
  kCorrelationOffImage = 134,
  kCorrelationOnImage = 135,
  kGoniometerImage = 136,
  kOverlayImage = 137,
};

// Control tags: knob i has tag i + 1, text field i has tag i + 7; meters, goniometer and overlay 0.
constexpr std::int32_t kFirstKnobTag = 1;
constexpr std::int32_t kFirstFieldTag = 7;

constexpr std::int32_t kKnobFrames = 61;
constexpr std::int32_t kKnobFrameHeight = 64;
constexpr std::int32_t kMeterSegments = 34;
constexpr std::int32_t kMeterStyle = 2;  // vertical, lit from the bottom
constexpr std::int32_t kFieldStyle = 1;  // none of the style options
constexpr std::int32_t kFieldFont = 4;   // "Arial", 11 pixels

constexpr gui::CViewRect kKnobRects[kParameterCount] = {
    {42, 48, 106, 112}, {170, 0, 234, 64},   {170, 96, 234, 160},
    {518, 0, 582, 64},  {518, 96, 582, 160}, {646, 48, 710, 112},
};
constexpr gui::CViewRect kFieldRects[kParameterCount] = {
    {114, 64, 162, 88}, {114, 16, 162, 40},   {114, 112, 162, 136},
    {590, 16, 638, 40}, {590, 112, 638, 136}, {590, 64, 638, 88},
};
constexpr gui::CViewRect kLeftPeakRect{460, 12, 480, 148};
constexpr gui::CViewRect kRightPeakRect{488, 12, 508, 148};
constexpr gui::CViewRect kCorrelationRect{264, 12, 284, 148};
constexpr gui::CViewRect kGoniometerRect{314, 18, 438, 142};
constexpr gui::CViewRect kOverlayRect{304, 8, 448, 152};

}  // namespace editor_layout
