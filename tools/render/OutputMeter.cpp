#include "tools/render/OutputMeter.h"

#include <cmath>

void OutputMeter::add(const double* left, const double* right, int frames) {
  if (frames <= 0) return;
  double sumLeft = 0.0, sumRight = 0.0;
  for (int i = 0; i < frames; ++i) {
    leftPeak = std::fmax(leftPeak, std::fabs(left[i]));
    rightPeak = std::fmax(rightPeak, std::fabs(right[i]));
    sumLeft += left[i];
    sumRight += right[i];
  }
  double blockMeanLeft = sumLeft / frames, blockMeanRight = sumRight / frames;
  double blockSquaresLeft = 0.0, blockSquaresRight = 0.0, blockProducts = 0.0;
  for (int i = 0; i < frames; ++i) {
    double deviationLeft = left[i] - blockMeanLeft, deviationRight = right[i] - blockMeanRight;
    blockSquaresLeft += deviationLeft * deviationLeft;
    blockSquaresRight += deviationRight * deviationRight;
    blockProducts += deviationLeft * deviationRight;
  }
  // Chan's merge of two sets of moments.
  auto before = static_cast<double>(count);
  double total = before + frames;
  double shiftLeft = blockMeanLeft - meanLeft, shiftRight = blockMeanRight - meanRight;
  double weight = before * frames / total;
  squaresLeft += blockSquaresLeft + shiftLeft * shiftLeft * weight;
  squaresRight += blockSquaresRight + shiftRight * shiftRight * weight;
  products += blockProducts + shiftLeft * shiftRight * weight;
  meanLeft += shiftLeft * frames / total;
  meanRight += shiftRight * frames / total;
  count += frames;
}

double OutputMeter::correlation() const {
  if (!(squaresLeft > 0.0 && squaresRight > 0.0)) return 0.0;
  double r = products / std::sqrt(squaresLeft * squaresRight);
  return std::fmax(-1.0, std::fmin(1.0, r));
}
