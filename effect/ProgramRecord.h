#pragma once
#include <atomic>

// One of the effect's programs: a name and the six parameter values it recalls. The values are
// written by every parameter change and read by program switches, which hosts make from threads
// of their own.
struct ProgramRecord {
  static constexpr int kNameSize = 24;  // 23 characters and the terminator
  static constexpr int kNumValues = 6;

  char name[kNameSize] = "Default";
  std::atomic<float> values[kNumValues] = {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f};
};
