#include "gui/MouseButtonState.h"

#include "gui/PlatformState.h"
#include "gui/platform/Platform.h"

namespace gui {

MouseButtonState pollMouseButtons() {
  const platform::AsyncInputState input = platform::readAsyncInput();
  const bool swapped = platformState().buttonsSwapped;
  MouseButtonState buttons = 0;
  if (input.leftButton) buttons |= swapped ? kRightButton : kLeftButton;
  if (input.middleButton) buttons |= kMiddleButton;
  if (input.rightButton) buttons |= swapped ? kLeftButton : kRightButton;
  if (input.shift) buttons |= kShift;
  if (input.control) buttons |= kControl;
  if (input.alt) buttons |= kAlt;
  return buttons;
}

}  // namespace gui
