#include "gui/platform/raster/RasterInput.h"

#include <deque>

namespace gui {
namespace raster {

namespace {

struct InputRecord {
  InputState current;
  std::deque<InputState> script;
  bool buttonsSwapped = false;
  uint32_t doubleClickTime = 500;
};

InputRecord& input() {
  static InputRecord record;
  return record;
}

}  // namespace

InputState RasterInput::getState() { return input().current; }

void RasterInput::setState(const InputState& state) { input().current = state; }

void RasterInput::setCursor(const CViewPoint& screenPosition) {
  input().current.cursor = screenPosition;
}

void RasterInput::setButtons(MouseButtonState buttons) { input().current.buttons = buttons; }

void RasterInput::queue(const std::vector<InputState>& steps) {
  input().script.insert(input().script.end(), steps.begin(), steps.end());
}

void RasterInput::clearQueue() { input().script.clear(); }

size_t RasterInput::queuedSteps() { return input().script.size(); }

void RasterInput::setButtonsSwappedSetting(bool swapped) { input().buttonsSwapped = swapped; }

bool RasterInput::getButtonsSwappedSetting() { return input().buttonsSwapped; }

void RasterInput::setDoubleClickTimeSetting(uint32_t milliseconds) {
  input().doubleClickTime = milliseconds;
}

uint32_t RasterInput::getDoubleClickTimeSetting() { return input().doubleClickTime; }

void RasterInput::reset() { input() = InputRecord(); }

InputState RasterInput::consumeStep() {
  InputRecord& record = input();
  if (!record.script.empty()) {
    record.current = record.script.front();
    record.script.pop_front();
  }
  return record.current;
}

}  // namespace raster
}  // namespace gui
