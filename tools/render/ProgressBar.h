#pragma once
#include <cstdint>

// A progress bar on standard error, drawn only when that is a terminal, so logs and pipes get
// no control characters, and only when it is wanted and the total is known.
class ProgressBar {
 public:
  ProgressBar(std::int64_t total, bool wanted);
  ~ProgressBar();
  void advance(std::int64_t done);

 private:
  void draw(int percent);
  bool shown;
  std::int64_t total;
  int lastPercent = -1;
};
