#pragma once

// One of the effect's programs: a name and the six parameter values it recalls.
struct ProgramRecord {
  static constexpr int kNameSize = 24;  // 23 characters and the terminator
  static constexpr int kNumValues = 6;

  char name[kNameSize] = "Default";
  float values[kNumValues] = {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f};
};
