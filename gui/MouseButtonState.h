#pragma once

#include <cstdint>

namespace gui {

// Mouse buttons and modifier keys as one bit set.
using MouseButtonState = int32_t;

enum : MouseButtonState {
  kLeftButton = 1,
  kMiddleButton = 2,
  kRightButton = 4,
  kShift = 8,
  kControl = 16,
  kAlt = 32,
  kCommand = 64,  // a fourth modifier bit that controls test for; no platform here sets it
  // Passed as a button state, asks the receiver to poll the buttons itself.
  kPollButtons = -1,
};

// The current physical buttons and modifier keys, needing no frame or context. With the system's
// buttons exchanged (PlatformState::buttonsSwapped) the physical left button reports kRightButton
// and the physical right button kLeftButton.
MouseButtonState pollMouseButtons();

}  // namespace gui
