#include "tools/render/OutputMeter.h"

#include <algorithm>
#include <cmath>

// The loops below keep their running values in lanes, one per position in a group of frames, and
// add the lanes up at the end: a single running value would make each step wait for the one
// before, and the compiler may not reorder floating-point arithmetic itself. At -O2 GCC vectorises
// only loops whose length it knows, so the groups have a fixed length.
namespace {

constexpr int kPeakLanes = 8;  // two vectors of floats
// One vector of floats (two of doubles) for each of five sums: more lanes than a vector holds
// would keep the sums in memory rather than in registers.
constexpr int kSumLanes = 4;
// The pair's moments are taken over pieces of at most this many frames, each merged into the
// totals in double: a lane then adds at most 128 terms, so sums kept in float (for float samples)
// carry a relative error below 128 * 2^-24, about 1e-5, far finer than the three decimals the
// report shows, and four of them fit in a vector where two doubles would.
constexpr int kPieceFrames = kSumLanes * 128;

// The largest magnitude in the block; NaN counts as nothing, as with fmax.
template <typename Sample>
double blockPeak(const Sample* __restrict samples, int frames) {
  Sample lane[kPeakLanes] = {};
  int i = 0;
  for (; i + kPeakLanes <= frames; i += kPeakLanes) {
    for (int k = 0; k < kPeakLanes; ++k) {
      Sample magnitude = std::fabs(samples[i + k]);
      lane[k] = magnitude > lane[k] ? magnitude : lane[k];
    }
  }
  for (int k = 0; i < frames; ++i, ++k) {
    Sample magnitude = std::fabs(samples[i]);
    lane[k] = magnitude > lane[k] ? magnitude : lane[k];
  }
  Sample peak = 0;
  for (Sample value : lane) peak = value > peak ? value : peak;
  return static_cast<double>(peak);
}

// Sums of a block's deviations from the shifts, of their squares and of their products.
struct DeviationSums {
  double left = 0.0, right = 0.0, squaresLeft = 0.0, squaresRight = 0.0, products = 0.0;
  double shiftLeft = 0.0, shiftRight = 0.0;
};

// Sums in the sample type (see kPieceFrames).
template <typename Sample>
DeviationSums sumDeviations(const Sample* __restrict left, const Sample* __restrict right,
                            int frames, double shiftLeft, double shiftRight) {
  Sample sumLeft[kSumLanes] = {}, sumRight[kSumLanes] = {};
  Sample squaresLeft[kSumLanes] = {}, squaresRight[kSumLanes] = {}, products[kSumLanes] = {};
  auto leftShift = static_cast<Sample>(shiftLeft), rightShift = static_cast<Sample>(shiftRight);
  auto add = [&](int k, Sample deviationLeft, Sample deviationRight) {
    sumLeft[k] += deviationLeft;
    sumRight[k] += deviationRight;
    squaresLeft[k] += deviationLeft * deviationLeft;
    squaresRight[k] += deviationRight * deviationRight;
    products[k] += deviationLeft * deviationRight;
  };
  int i = 0;
  for (; i + kSumLanes <= frames; i += kSumLanes)
    for (int k = 0; k < kSumLanes; ++k) add(k, left[i + k] - leftShift, right[i + k] - rightShift);
  for (int k = 0; i < frames; ++i, ++k) add(k, left[i] - leftShift, right[i] - rightShift);
  DeviationSums sums;
  for (int k = 0; k < kSumLanes; ++k) {
    sums.left += sumLeft[k];
    sums.right += sumRight[k];
    sums.squaresLeft += squaresLeft[k];
    sums.squaresRight += squaresRight[k];
    sums.products += products[k];
  }
  // The shifts as the deviations saw them, so that the means come out right.
  sums.shiftLeft = leftShift;
  sums.shiftRight = rightShift;
  return sums;
}

}  // namespace

OutputMeter::OutputMeter(int channelCount) : peaks(static_cast<std::size_t>(channelCount), 0.0) {}

void OutputMeter::add(const float* const* channels, int frames) { measure(channels, frames); }

void OutputMeter::add(const double* const* channels, int frames) { measure(channels, frames); }

template <typename Sample>
void OutputMeter::measure(const Sample* const* channels, int frames) {
  if (frames <= 0) return;
  for (std::size_t channel = 0; channel < peaks.size(); ++channel)
    peaks[channel] = std::fmax(peaks[channel], blockPeak(channels[channel], frames));
  if (peaks.size() < 2) return;
  for (int done = 0; done < frames; done += kPieceFrames)
    addPair(channels[0] + done, channels[1] + done, std::min(kPieceFrames, frames - done));
}

// A piece's moments from its deviations from a shift close to its mean (the mean so far, or the
// piece's first frame to begin with), so that a signal far from zero loses no precision; then
// merged with the moments so far (Chan's formula for two sets).
template <typename Sample>
void OutputMeter::addPair(const Sample* left, const Sample* right, int frames) {
  double shiftLeft = count > 0 ? meanLeft : left[0];
  double shiftRight = count > 0 ? meanRight : right[0];
  DeviationSums sums = sumDeviations(left, right, frames, shiftLeft, shiftRight);
  auto size = static_cast<double>(frames);
  double blockMeanLeft = sums.shiftLeft + sums.left / size;
  double blockMeanRight = sums.shiftRight + sums.right / size;
  double blockSquaresLeft = sums.squaresLeft - sums.left * sums.left / size;
  double blockSquaresRight = sums.squaresRight - sums.right * sums.right / size;
  double blockProducts = sums.products - sums.left * sums.right / size;

  auto before = static_cast<double>(count);
  double total = before + size;
  double moveLeft = blockMeanLeft - meanLeft, moveRight = blockMeanRight - meanRight;
  double weight = before * size / total;
  squaresLeft += blockSquaresLeft + moveLeft * moveLeft * weight;
  squaresRight += blockSquaresRight + moveRight * moveRight * weight;
  products += blockProducts + moveLeft * moveRight * weight;
  meanLeft += moveLeft * size / total;
  meanRight += moveRight * size / total;
  count += frames;
}

double OutputMeter::correlation() const {
  if (!(squaresLeft > 0.0 && squaresRight > 0.0)) return 0.0;
  double r = products / std::sqrt(squaresLeft * squaresRight);
  return std::fmax(-1.0, std::fmin(1.0, r));
}
