#pragma once

#include <cstdint>

namespace gui {
namespace raster {

// The raster backend's tick count and sleep (GetTickCount, Sleep). By default they follow the
// system's monotonic clock; a test can switch to manual time, in which the tick count only moves
// when the test advances it or when something sleeps (a sleep adds its duration at once).
class RasterClock {
 public:
  static void useManualTime(uint32_t startTicks);
  static void useSystemTime();
  static bool isManual();
  static void advance(uint32_t milliseconds);
  static uint32_t now();
  static void sleep(uint32_t milliseconds);
  // Total milliseconds slept since the last switch of mode.
  static uint64_t totalSleep();
};

}  // namespace raster
}  // namespace gui
