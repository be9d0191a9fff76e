#include "gui/platform/raster/RasterClock.h"

#include <chrono>
#include <thread>

namespace gui {
namespace raster {

namespace {

struct ClockRecord {
  bool manual = false;
  uint32_t manualTicks = 0;
  uint64_t slept = 0;
};

ClockRecord& clock() {
  static ClockRecord record;
  return record;
}

uint32_t systemTicks() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

void RasterClock::useManualTime(uint32_t startTicks) { clock() = {true, startTicks, 0}; }

void RasterClock::useSystemTime() { clock() = ClockRecord(); }

bool RasterClock::isManual() { return clock().manual; }

void RasterClock::advance(uint32_t milliseconds) { clock().manualTicks += milliseconds; }

uint32_t RasterClock::now() { return clock().manual ? clock().manualTicks : systemTicks(); }

void RasterClock::sleep(uint32_t milliseconds) {
  clock().slept += milliseconds;
  if (clock().manual) {
    clock().manualTicks += milliseconds;
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint64_t RasterClock::totalSleep() { return clock().slept; }

}  // namespace raster
}  // namespace gui
