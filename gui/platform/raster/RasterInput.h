#pragma once

#include <cstddef>
#include <vector>

#include "gui/CViewPoint.h"
#include "gui/MouseButtonState.h"

namespace gui {
namespace raster {

// The raster backend's mouse and keyboard state, standing for the physical one: what
// readAsyncInput (GetAsyncKeyState) and getCursorPosition (GetCursorPos) answer.
struct InputState {
  CViewPoint cursor;             // screen coordinates
  MouseButtonState buttons = 0;  // physical buttons and modifiers: kLeftButton,
                                 // kMiddleButton, kRightButton, kShift, kControl, kAlt
};

// Process-wide input state, set by tests and by the headless window. A script of states can be
// queued: every readAsyncInput (so every pollMouseButtons) first moves to the next queued state,
// if any, and answers from it; the cursor reads the current state without moving on. When the
// queue runs out the last state stays. A drag loop (poll, act on the previous position, read the
// cursor, serviceIdle) therefore sees a script "press at A, move to B, release" as: A pressed,
// B pressed, B released, whether or not the press itself polled once.
class RasterInput {
 public:
  static InputState getState();
  static void setState(const InputState& state);
  static void setCursor(const CViewPoint& screenPosition);
  static void setButtons(MouseButtonState buttons);
  // Appends states to the script.
  static void queue(const std::vector<InputState>& steps);
  static void clearQueue();
  static size_t queuedSteps();
  // The system setting for exchanged buttons (GetSystemMetrics(SM_SWAPBUTTON)).
  static void setButtonsSwappedSetting(bool swapped);
  static bool getButtonsSwappedSetting();
  // The system's double-click time (GetDoubleClickTime); 500 ms, the Windows default, until set.
  static void setDoubleClickTimeSetting(uint32_t milliseconds);
  static uint32_t getDoubleClickTimeSetting();
  // Nothing pressed, cursor at (0, 0), no script, buttons not exchanged, double-click time 500 ms.
  static void reset();
  // Used by the backend: moves to the next queued state and answers the current one.
  static InputState consumeStep();
};

}  // namespace raster
}  // namespace gui
