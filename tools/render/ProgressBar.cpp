#include "tools/render/ProgressBar.h"

#include <unistd.h>

#include <cstdio>

namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(std::int64_t total, bool wanted)
    : shown(wanted && total > 0 && isatty(STDERR_FILENO) == 1), total(total) {}

ProgressBar::~ProgressBar() {
  if (shown && lastPercent >= 0) std::fputc('\n', stderr);
}

void ProgressBar::advance(std::int64_t done) {
  if (!shown) return;
  int percent = static_cast<int>(done >= total ? 100 : done * 100 / total);
  if (percent != lastPercent) draw(percent);
}

void ProgressBar::draw(int percent) {
  lastPercent = percent;
  int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
               kWidth - filled, "", percent);
  std::fflush(stderr);
}
