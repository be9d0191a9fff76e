// The display feed's peaks and correlation, taken in bulk, against the sample-by-sample chain that
// defines them, over varied signals: they differ by rounding only, within the stated bounds. With
// u = 2^-53 and gamma(k) = k u / (1 - k u), for a block of n samples:
// - peaks: |bulk - chain| <= gamma(2n) x the larger of the two (an output is multiplied by the
//   decay up to n times on either side, each product rounded), except where one of them was
//   flushed to 0 at the peak floor, when both are at most the floor and a rounding above it;
// - correlation tag (r + 1) / 2: |bulk - chain| <= (4 gamma(n + 6) + pi gamma(n) (mL / sL +
//   mR / sR)) / 2 plus one float step, where m is the mean magnitude of a channel's outputs and s
//   their deviation about the block's mean: the sums of squares and products round alike on both
//   sides, while the means' rounding moves the deviations, which the ratio weighs. A block with an
//   output that is not finite gives 0.5 on both sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "effect/Lumivane.h"
#include "effect/ValueTag.h"
#include "tests/effect/RecordingEditor.h"

namespace {

constexpr double kUnitRoundoff = 0x1p-53;
constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double gammaOf(double k) { return k * kUnitRoundoff / (1.0 - k * kUnitRoundoff); }

// The peak follower sample by sample: rise to a higher output (never to NaN), decay; the floor and
// the ceiling at the end of every chunk of the feed and of the block.
double peakChain(double peak, const std::vector<double>& outputs, double decay) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    peak = (outputs[i] > peak ? outputs[i] : peak) * decay;
    if ((i + 1) % Lumivane::kFeedChunk == 0 || i + 1 == outputs.size()) {
      if (peak < Lumivane::kPeakFloor) peak = 0.0;
      if (peak > FLT_MAX) peak = FLT_MAX;
    }
  }
  return peak;
}

void expectPeakWithinBound(double bulk, double chain, std::size_t n) {
  const double larger = std::max(bulk, chain);
  const bool atTheFloor = larger <= Lumivane::kPeakFloor * (1.0 + gammaOf(2.0 * n));
  EXPECT_TRUE(std::abs(bulk - chain) <= gammaOf(2.0 * n) * larger || atTheFloor)
      << "bulk " << bulk << " chain " << chain << " n " << n;
}

// The correlation tag sample by sample, as the block end defines it: means of the outputs at full
// precision, deviations of the outputs as stored.
struct Correlation {
  double tag;    // before the conversion to float
  double bound;  // how far the bulk tag may lie from it, before that conversion
};

Correlation correlationChain(const std::vector<double>& fullLeft,
                             const std::vector<double>& fullRight,
                             const std::vector<double>& storedLeft,
                             const std::vector<double>& storedRight) {
  const double n = static_cast<double>(fullLeft.size());
  double sumLeft = 0.0, sumRight = 0.0, magnitudeLeft = 0.0, magnitudeRight = 0.0;
  for (std::size_t i = 0; i < fullLeft.size(); ++i) {
    sumLeft += fullLeft[i];
    sumRight += fullRight[i];
    magnitudeLeft += std::abs(fullLeft[i]);
    magnitudeRight += std::abs(fullRight[i]);
  }
  const double meanLeft = sumLeft / n, meanRight = sumRight / n;
  double sxx = 0.0, syy = 0.0, sxy = 0.0;
  for (std::size_t i = 0; i < storedLeft.size(); ++i) {
    const double deviationLeft = storedLeft[i] - meanLeft;
    const double deviationRight = storedRight[i] - meanRight;
    sxx += deviationLeft * deviationLeft;
    syy += deviationRight * deviationRight;
    sxy += deviationLeft * deviationRight;
  }
  // A constant channel has no correlation (and deviations that are rounding alone): no bound.
  if (sxx == 0.0 && syy == 0.0) return {1.0, kInfinity};
  if (sxx == 0.0 || syy == 0.0) return {0.5, kInfinity};
  const double conditioning =
      magnitudeLeft / std::sqrt(n * sxx) + magnitudeRight / std::sqrt(n * syy);
  const double bound = (4.0 * gammaOf(n + 6.0) + kPi * gammaOf(n) * conditioning) / 2.0;
  const double r = sxy / (std::sqrt(sxx) * std::sqrt(syy));
  const double tag = (r + 1.0) * 0.5;
  if (tag != tag || std::isinf(r)) return {0.5, 0.0};
  return {std::clamp(tag, 0.0, 1.0), bound};
}

// A signal of `frames` samples in a certain style.
using Signal = std::vector<double> (*)(std::mt19937&, std::size_t);

std::vector<double> noise(std::mt19937& random, std::size_t frames) {
  std::uniform_real_distribution<double> amplitude(-1.0, 1.0);
  std::vector<double> samples(frames);
  for (double& sample : samples) sample = amplitude(random);
  return samples;
}
std::vector<double> sines(std::mt19937& random, std::size_t frames) {
  std::uniform_real_distribution<double> frequency(0.001, 0.3);
  const double f = frequency(random), g = frequency(random);
  std::vector<double> samples(frames);
  for (std::size_t i = 0; i < frames; ++i)
    samples[i] =
        0.7 * std::sin(f * static_cast<double>(i)) + 0.2 * std::sin(g * static_cast<double>(i));
  return samples;
}
// A large offset with small changes: the ill-conditioned case of the correlation.
std::vector<double> offsetNoise(std::mt19937& random, std::size_t frames) {
  std::vector<double> samples = noise(random, frames);
  for (double& sample : samples) sample = 3.0 + 1e-4 * sample;
  return samples;
}
std::vector<double> loudAndQuiet(std::mt19937& random, std::size_t frames) {
  std::vector<double> samples = noise(random, frames);
  for (std::size_t i = 0; i < frames; ++i) samples[i] *= i % 97 == 0 ? 1e6 : 1e-6;
  return samples;
}
std::vector<double> impulseThenSilence(std::mt19937&, std::size_t frames) {
  std::vector<double> samples(frames, 0.0);
  samples[0] = 2.0;
  return samples;
}
std::vector<double> negative(std::mt19937& random, std::size_t frames) {
  std::vector<double> samples = noise(random, frames);
  for (double& sample : samples) sample = -std::abs(sample) - 0.1;
  return samples;
}
std::vector<double> withNotANumber(std::mt19937& random, std::size_t frames) {
  std::vector<double> samples = noise(random, frames);
  samples[frames / 2] = kNaN;
  return samples;
}
std::vector<double> withInfinity(std::mt19937& random, std::size_t frames) {
  std::vector<double> samples = noise(random, frames);
  samples[frames / 3] = random() % 2 ? kInfinity : -kInfinity;
  return samples;
}

const Signal kSignals[] = {noise,    sines,          offsetNoise, loudAndQuiet, impulseThenSilence,
                           negative, withNotANumber, withInfinity};
const std::size_t kBlockSizes[] = {1, 2, 3, 5, 8, 63, 255, 256, 257, 700, 4096};

// Both twins take the same input and parameters: the double one's outputs are the full-precision
// outputs of the float one, whose feed is recorded.
class BulkFeed : public ::testing::TestWithParam<VstInt32> {
 protected:
  BulkFeed() {
    effect.setEditor(editor);
    for (Lumivane* one : {&effect, &twin}) one->limitVectorWidth(GetParam());
  }
  void setParameters(std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (VstInt32 index = 0; index < 6; ++index) {
      const float value = index == kTagMix ? 0.5f + unit(random) / 2 : unit(random);
      effect.setParameter(index, value);
      twin.setParameter(index, value);
    }
  }
  // Processes the input in both twins; answers the float twin's outputs and leaves the double
  // twin's in fullLeft and fullRight.
  void process(const std::vector<double>& input) {
    const auto frames = static_cast<VstInt32>(input.size());
    std::vector<float> narrowInput(input.begin(), input.end());
    std::vector<double> wideInput(narrowInput.begin(), narrowInput.end());
    std::vector<float> left(input.size()), right(input.size());
    fullLeft.assign(input.size(), 0.0);
    fullRight.assign(input.size(), 0.0);
    float* inputs[] = {narrowInput.data()};
    float* outputs[] = {left.data(), right.data()};
    double* wideInputs[] = {wideInput.data()};
    double* wideOutputs[] = {fullLeft.data(), fullRight.data()};
    editor->values.clear();
    effect.processReplacing(inputs, outputs, frames);
    twin.processDoubleReplacing(wideInputs, wideOutputs, frames);
    storedLeft.assign(left.begin(), left.end());
    storedRight.assign(right.begin(), right.end());
  }

  Lumivane effect{nullptr};
  Lumivane twin{nullptr};
  RecordingEditor* editor = new RecordingEditor(&effect);
  std::vector<double> fullLeft, fullRight, storedLeft, storedRight;
  const double decay = std::exp(-1.0 / 44100.0);
};

TEST_P(BulkFeed, PeaksStayWithinTheirBoundOfTheChain) {
  std::mt19937 random(17);
  for (Signal signal : kSignals) {
    for (std::size_t frames : kBlockSizes) {
      setParameters(random);
      const double left = effect.getPeakLeft(), right = effect.getPeakRight();
      process(signal(random, frames));
      expectPeakWithinBound(effect.getPeakLeft(), peakChain(left, fullLeft, decay), frames);
      expectPeakWithinBound(effect.getPeakRight(), peakChain(right, fullRight, decay), frames);
      // The twin without an editor follows the same peaks, exactly.
      ASSERT_EQ(twin.getPeakLeft(), effect.getPeakLeft());
      ASSERT_EQ(twin.getPeakRight(), effect.getPeakRight());
    }
  }
}

TEST_P(BulkFeed, CorrelationStaysWithinItsBoundOfTheChain) {
  std::mt19937 random(19);
  int compared = 0;
  for (std::size_t which = 0; which < std::size(kSignals); ++which) {
    for (std::size_t frames : kBlockSizes) {
      setParameters(random);
      process(kSignals[which](random, frames));
      const Correlation chain = correlationChain(fullLeft, fullRight, storedLeft, storedRight);
      const float bulk = editor->valuesOf(kTagCorrelation).back();
      const float expected = static_cast<float>(chain.tag);
      const double floatStep = std::nextafter(expected, 2.0f) - expected;
      EXPECT_LE(std::abs(bulk - chain.tag), chain.bound + floatStep)
          << "signal " << which << " frames " << frames << " chain " << chain.tag;
      if (chain.bound < 1e-3) ++compared;
    }
  }
  EXPECT_GT(compared, 40);  // most blocks are far from ill-conditioned
}

INSTANTIATE_TEST_SUITE_P(Widths, BulkFeed, ::testing::Values(1, 2, 4));

}  // namespace
