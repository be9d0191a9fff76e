#include "tools/render/OutputMeter.h"

#include <cmath>

void OutputMeter::add(const double* left, const double* right, int frames) {
  for (int i = 0; i < frames; ++i) {
    double l = left[i], r = right[i];
    leftPeak = std::fmax(leftPeak, std::fabs(l));
    rightPeak = std::fmax(rightPeak, std::fabs(r));
    ++count;
    double deltaLeft = l - meanLeft;
    meanLeft += deltaLeft / static_cast<double>(count);
    double deltaRight = r - meanRight;
    meanRight += deltaRight / static_cast<double>(count);
    squaresLeft += deltaLeft * (l - meanLeft);
    squaresRight += deltaRight * (r - meanRight);
    products += deltaLeft * (r - meanRight);
  }
}

double OutputMeter::correlation() const {
  if (!(squaresLeft > 0.0 && squaresRight > 0.0)) return 0.0;
  double r = products / std::sqrt(squaresLeft * squaresRight);
  return std::fmax(-1.0, std::fmin(1.0, r));
}
