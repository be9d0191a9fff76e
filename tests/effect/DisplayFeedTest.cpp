// The display feed: what processing tells the editor, in which order, with which values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "effect/Lumivane.h"
#include "effect/ValueTag.h"
#include "tests/effect/RecordingEditor.h"

namespace {

// Two channels of a block chosen freely: the default program (Mix aside) passes the input to the
// left output at once and to the right one 881 samples later, so a block of 881 samples that
// starts with the right channel's values, followed by a block of the left channel's values, gives
// outputs Mix x left and Mix x right. Both products are exact in double.
struct CorrelationCase {
  const char* name;
  std::vector<float> left, right;
  float mix;
};

// Steps of one float ulp just above 1: times 0.6 they become steps of 1.2 ulps of the outputs,
// which the stored floats round unevenly, so the stored samples correlate differently from the
// unrounded products.
constexpr float kUlp = FLT_EPSILON;
const CorrelationCase kPartlyCorrelated[] = {
    {"a ramp against the same ramp reordered",
     {0.25f, 0.5f, 0.75f, 1.0f},
     {0.25f, 0.75f, 0.5f, 1.0f},
     1.0f},
    {"channels far from zero", {0.6f, 0.4f, 0.7f, 0.3f}, {-0.4f, -0.6f, -0.5f, -0.45f}, 1.0f},
    {"slightly opposed channels",
     {0.1f, 0.9f, 0.2f, 0.8f, 0.3f},
     {0.5f, 0.2f, 0.6f, 0.3f, 0.4f},
     0.5f},
    {"steps finer than the float outputs",
     {1.0f, 1.0f + kUlp, 1.0f + 2 * kUlp, 1.0f + 3 * kUlp, 1.0f + 4 * kUlp, 1.0f + 5 * kUlp},
     {1.0f, 1.0f + 2 * kUlp, 1.0f + kUlp, 1.0f + 3 * kUlp, 1.0f + 5 * kUlp, 1.0f + 4 * kUlp},
     0.6f},
    {"swapped neighbours finer than the float outputs",
     {1.0f, 1.0f + kUlp, 1.0f + 2 * kUlp, 1.0f + 3 * kUlp},
     {1.0f + kUlp, 1.0f, 1.0f + 3 * kUlp, 1.0f + 2 * kUlp},
     0.6f},
};

// Tag 9 for outputs as stored: deviations of the stored samples from the means of the unrounded
// outputs, r = Sxy / (sqrt(Sxx) sqrt(Syy)), mapped to (r + 1) / 2.
template <typename Sample>
double correlationTag(const CorrelationCase& c, const std::vector<Sample>& left,
                      const std::vector<Sample>& right) {
  const double n = static_cast<double>(c.left.size());
  double meanLeft = 0.0, meanRight = 0.0;
  for (std::size_t i = 0; i < c.left.size(); ++i) {
    meanLeft += static_cast<double>(c.mix) * static_cast<double>(c.left[i]);
    meanRight += static_cast<double>(c.mix) * static_cast<double>(c.right[i]);
  }
  meanLeft /= n;
  meanRight /= n;
  double sxx = 0.0, syy = 0.0, sxy = 0.0;
  for (std::size_t i = 0; i < left.size(); ++i) {
    const double dl = static_cast<double>(left[i]) - meanLeft;
    const double dr = static_cast<double>(right[i]) - meanRight;
    sxx += dl * dl;
    syy += dr * dr;
    sxy += dl * dr;
  }
  return (sxy / (std::sqrt(sxx) * std::sqrt(syy)) + 1.0) * 0.5;
}

class DisplayFeed : public ::testing::Test {
 protected:
  void SetUp() override { effect.setEditor(editor); }

  // Processes one block and returns the outputs; the editor records what the block sent.
  template <typename Sample = float>
  std::vector<Sample> run(std::vector<Sample> input, std::vector<Sample>* rightOut = nullptr) {
    editor->values.clear();
    std::vector<Sample> left(input.size()), right(input.size());
    Sample* inputs[] = {input.data()};
    Sample* outputs[] = {left.data(), right.data()};
    if constexpr (std::is_same_v<Sample, float>)
      effect.processReplacing(inputs, outputs, static_cast<VstInt32>(input.size()));
    else
      effect.processDoubleReplacing(inputs, outputs, static_cast<VstInt32>(input.size()));
    if (rightOut) *rightOut = right;
    return left;
  }
  // No delays, no cross-feed: left = right = input.
  void makeChannelsIdentical() {
    const float values[6] = {0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 1.0f};
    for (VstInt32 i = 0; i < 6; ++i) effect.setParameter(i, values[i]);
  }
  // Every gain at 1 and no delays, so that no infinite input meets a zero gain (which makes NaN):
  // left = 3 x, right = 5 x.
  void passEverythingThrough() {
    const float values[6] = {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f};
    for (VstInt32 i = 0; i < 6; ++i) effect.setParameter(i, values[i]);
  }
  float last(VstInt32 tag) { return editor->valuesOf(tag).back(); }
  template <typename Sample>
  void expectCorrelationOfTheStoredOutputs(const CorrelationCase& c);

  Lumivane effect{nullptr};
  RecordingEditor* editor = new RecordingEditor(&effect);
  const double decay = std::exp(-1.0 / 44100.0);
};

TEST_F(DisplayFeed, TagsComeInTheirOrder) {
  run(std::vector<float>{0.1f, 0.2f, 0.3f});
  std::vector<VstInt32> expected = {
      kTagClearPoints, 12, 13, 12, 13, 12, 13, kTagCorrelation, kTagPeakLeft, kTagPeakRight,
      kTagShowPoints};
  EXPECT_EQ(editor->indices(), expected);
  EXPECT_EQ(editor->values.front().value, 0.0f);
  EXPECT_EQ(editor->values.back().value, 0.0f);
  run<double>(std::vector<double>{0.1, 0.2, 0.3});
  EXPECT_EQ(editor->indices(), expected);
}

TEST_F(DisplayFeed, EmptyBlockSendsStartAndEndWithoutDecay) {
  run(std::vector<float>{1.0f});
  float peak = last(kTagPeakLeft);
  run(std::vector<float>{});
  EXPECT_EQ(editor->indices(), (std::vector<VstInt32>{10, 9, 7, 8, 11}));
  EXPECT_EQ(last(kTagCorrelation), 1.0f);
  EXPECT_EQ(last(kTagPeakLeft), peak);
}

TEST_F(DisplayFeed, SilenceSitsInTheMiddleAndCorrelatesFully) {
  run(std::vector<float>(64, 0.0f));
  for (VstInt32 tag : {kTagPointSide, kTagPointMid}) {
    std::vector<float> points = editor->valuesOf(tag);
    ASSERT_EQ(points.size(), 64u);
    for (float point : points) EXPECT_EQ(point, 0.5f);
  }
  EXPECT_EQ(last(kTagCorrelation), 1.0f);
  EXPECT_EQ(last(kTagPeakLeft), 0.0f);
}

TEST_F(DisplayFeed, GoniometerPointsAreLimitedSumAndDifference) {
  // The default program: left is the input now, right is still silent.
  run(std::vector<float>{3.0f, -3.0f, 0.5f, std::numeric_limits<float>::quiet_NaN()});
  EXPECT_EQ(editor->valuesOf(kTagPointSide), (std::vector<float>{1.0f, 0.0f, 0.625f, 0.5f}));
  EXPECT_EQ(editor->valuesOf(kTagPointMid), (std::vector<float>{1.0f, 0.0f, 0.625f, 0.5f}));
}

TEST_F(DisplayFeed, CorrelationOfIdenticalOppositeAndUnrelatedChannels) {
  makeChannelsIdentical();
  run(std::vector<float>{0.5f, -0.25f, 0.75f, 0.0f});
  EXPECT_EQ(last(kTagCorrelation), 1.0f);

  // Expression delays the right channel by exactly half the period of a square wave: right = -left.
  const float opposite[6] = {0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f};
  for (VstInt32 i = 0; i < 6; ++i) effect.setParameter(i, opposite[i]);
  const std::size_t halfPeriod = 1763;  // trunc(1 * 1763)
  std::vector<float> period(2 * halfPeriod);
  for (std::size_t i = 0; i < period.size(); ++i) period[i] = i < halfPeriod ? 1.0f : -1.0f;
  run(period);  // fills the expression line
  std::vector<float> right;
  std::vector<float> left = run(period, &right);
  for (std::size_t i = 0; i < period.size(); ++i) ASSERT_EQ(left[i], -right[i]) << i;
  EXPECT_EQ(last(kTagCorrelation), 0.0f);
}

template <typename Sample>
void DisplayFeed::expectCorrelationOfTheStoredOutputs(const CorrelationCase& c) {
  SCOPED_TRACE(c.name);
  effect.setParameter(kTagMix, c.mix);
  std::vector<Sample> first(881, Sample(0));
  std::copy(c.right.begin(), c.right.end(), first.begin());
  run(first);
  std::vector<Sample> right;
  const std::vector<Sample> left = run(std::vector<Sample>(c.left.begin(), c.left.end()), &right);
  for (std::size_t i = 0; i < left.size(); ++i) {
    ASSERT_EQ(left[i],
              static_cast<Sample>(static_cast<double>(c.mix) * static_cast<double>(c.left[i])))
        << i;
    ASSERT_EQ(right[i],
              static_cast<Sample>(static_cast<double>(c.mix) * static_cast<double>(c.right[i])))
        << i;
  }
  EXPECT_NEAR(last(kTagCorrelation), correlationTag(c, left, right), 1e-6);
}

// The correlation is taken about the block's means, of the outputs as they are stored: the float
// variant correlates the rounded float samples, the double variant the doubles.
TEST_F(DisplayFeed, CorrelationOfPartlyCorrelatedChannels) {
  for (const CorrelationCase& c : kPartlyCorrelated) {
    expectCorrelationOfTheStoredOutputs<float>(c);
    expectCorrelationOfTheStoredOutputs<double>(c);
  }
}

// A block with one constant channel has no defined correlation; the meter gets "unrelated".
TEST_F(DisplayFeed, OneConstantChannelReportsUnrelated) {
  run(std::vector<float>{1.0f, 0.0f, -0.5f, 0.25f});  // right still silent
  EXPECT_EQ(last(kTagCorrelation), 0.5f);
  makeChannelsIdentical();
  effect.setParameter(kTagWet, 0.0f);  // both channels silent: fully correlated
  run(std::vector<float>{1.0f, 0.0f});
  EXPECT_EQ(last(kTagCorrelation), 1.0f);
}

TEST_F(DisplayFeed, NonFiniteOutputsStillGiveAMeterValue) {
  passEverythingThrough();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {inf, -inf, std::numeric_limits<float>::quiet_NaN(), FLT_MAX}) {
    std::vector<float> left = run(std::vector<float>{bad, FLT_MAX, 0.0f});
    EXPECT_FALSE(std::isfinite(left[0])) << bad;
    float correlation = last(kTagCorrelation);
    EXPECT_TRUE(correlation >= 0.0f && correlation <= 1.0f) << bad;
    EXPECT_TRUE(std::isfinite(last(kTagPeakLeft))) << bad;
    EXPECT_TRUE(std::isfinite(last(kTagPeakRight))) << bad;
  }
}

TEST_F(DisplayFeed, PeaksFollowPositiveOutputsAndDecay) {
  std::vector<float> right;
  run(std::vector<float>(100, 0.5f), &right);
  EXPECT_EQ(effect.getPeakLeft(), 0.5 * decay);
  EXPECT_EQ(last(kTagPeakLeft), static_cast<float>(0.5 * decay));
  EXPECT_EQ(last(kTagPeakRight), 0.0f);

  // Negative outputs never raise a peak: it only decays further.
  double before = effect.getPeakLeft();
  run(std::vector<float>(10, -0.9f));
  double expected = before;
  for (int i = 0; i < 10; ++i) expected *= decay;
  EXPECT_DOUBLE_EQ(effect.getPeakLeft(), expected);
}

TEST_F(DisplayFeed, APeakFallsToOneOverEInOneSecond) {
  run(std::vector<float>{1.0f});
  run(std::vector<float>(44100, 0.0f));
  EXPECT_NEAR(last(kTagPeakLeft), 0.368f, 0.001f);
}

// A new sample rate empties the delay lines but leaves the peak followers as they are; from then
// on they decay at the new rate.
TEST_F(DisplayFeed, PeaksAreKeptAcrossANewSampleRate) {
  passEverythingThrough();
  run(std::vector<float>{0.25f, 0.0f});
  const double left = effect.getPeakLeft(), right = effect.getPeakRight();
  ASSERT_GT(left, 0.5);
  ASSERT_GT(right, left);

  effect.setSampleRate(48000.0f);
  ASSERT_EQ(effect.getSampleRate(), 48000.0f);
  EXPECT_EQ(effect.getPeakLeft(), left);
  EXPECT_EQ(effect.getPeakRight(), right);
  run(std::vector<float>{});  // an empty block reports the peaks without decaying them
  EXPECT_EQ(last(kTagPeakLeft), static_cast<float>(left));
  EXPECT_EQ(last(kTagPeakRight), static_cast<float>(right));

  run(std::vector<float>(48000, 0.0f));
  EXPECT_NEAR(effect.getPeakLeft(), left * std::exp(-1.0), 1e-9);
  EXPECT_NEAR(effect.getPeakRight(), right * std::exp(-1.0), 1e-9);
}

// Decaying forever would reach subnormal numbers, which are slow to compute; the followers drop
// to zero long before, and nothing of the kind is left after half an hour of silence.
TEST_F(DisplayFeed, LongSilenceLeavesNoSubnormalPeaks) {
  effect.setEditor(nullptr);
  effect.setSampleRate(8000.0f);
  std::vector<float> loud(64, 1.0f), silence(8000, 0.0f), left(8000), right(8000);
  float* inputs[] = {loud.data()};
  float* outputs[] = {left.data(), right.data()};
  effect.processReplacing(inputs, outputs, 64);
  inputs[0] = silence.data();
  for (int second = 0; second < 30 * 60; ++second) {
    effect.processReplacing(inputs, outputs, 8000);
    for (double peak : {effect.getPeakLeft(), effect.getPeakRight()}) {
      ASSERT_TRUE(peak == 0.0 || peak >= Lumivane::kPeakFloor) << "second " << second;
    }
  }
  EXPECT_EQ(effect.getPeakLeft(), 0.0);
  EXPECT_EQ(effect.getPeakRight(), 0.0);
}

TEST_F(DisplayFeed, AnInfinitePeakRecovers) {
  passEverythingThrough();
  run(std::vector<float>{std::numeric_limits<float>::infinity()});
  EXPECT_EQ(last(kTagPeakLeft), FLT_MAX);
  run(std::vector<float>(44100 * 3, 0.0f));
  EXPECT_LT(last(kTagPeakLeft), FLT_MAX / 10.0f);
}

TEST_F(DisplayFeed, WithoutAnEditorTheSoundIsTheSame) {
  std::vector<float> input(2000);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = std::sin(0.01f * static_cast<float>(i));
  std::vector<float> rightWith, rightWithout;
  std::vector<float> leftWith = run(input, &rightWith);
  Lumivane alone(nullptr);
  alone.setEditor(nullptr);
  EXPECT_EQ(alone.getEffectRecord()->flags & effFlagsHasEditor, 0);
  std::vector<float> leftWithout(input.size()), right(input.size());
  float* inputs[] = {input.data()};
  float* outputs[] = {leftWithout.data(), right.data()};
  alone.processReplacing(inputs, outputs, static_cast<VstInt32>(input.size()));
  EXPECT_EQ(leftWith, leftWithout);
  EXPECT_EQ(rightWith, right);
  EXPECT_EQ(alone.getPeakLeft(), effect.getPeakLeft());
}

TEST_F(DisplayFeed, AnEditorThatTakesNoFeedGetsParametersOnlyAndTheSameSound) {
  std::vector<float> input(700);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = std::sin(0.02f * static_cast<float>(i));
  Lumivane twin(nullptr);
  twin.setEditor(nullptr);
  editor->takesFeed = false;
  std::vector<float> right;
  std::vector<float> left = run(input, &right);
  EXPECT_TRUE(editor->values.empty());

  std::vector<float> twinLeft(input.size()), twinRight(input.size());
  float* inputs[] = {input.data()};
  float* outputs[] = {twinLeft.data(), twinRight.data()};
  twin.processReplacing(inputs, outputs, static_cast<VstInt32>(input.size()));
  EXPECT_EQ(left, twinLeft);
  EXPECT_EQ(right, twinRight);

  // The window opens: the next block is fed whole, with the peaks kept up meanwhile.
  editor->takesFeed = true;
  run(std::vector<float>(3, 0.0f));
  EXPECT_EQ(editor->indices(), (std::vector<VstInt32>{10, 12, 13, 12, 13, 12, 13, 9, 7, 8, 11}));
  EXPECT_GT(last(kTagPeakLeft), 0.0f);
  effect.setParameter(kTagWet, 0.5f);
  EXPECT_EQ(editor->indices().back(), kTagWet);
}

TEST_F(DisplayFeed, ProgramChangesReachTheEditorAsParameterValues) {
  effect.setProgram(2);
  EXPECT_EQ(editor->indices(), (std::vector<VstInt32>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(editor->valuesOf(kTagExpression), std::vector<float>{0.5f});
}

// At any rate the peaks fall to 1/e of their value in one second: an impulse of 1 on both outputs
// (no delays, no cross-feed) leaves exp(-1/2) after half a second and exp(-1) after a whole one.
class PeakDecay : public ::testing::TestWithParam<float> {};

TEST_P(PeakDecay, FallsToOneOverEInOneSecond) {
  const float rate = GetParam();
  Lumivane effect(nullptr);
  effect.setSampleRate(rate);
  ASSERT_EQ(effect.getSampleRate(), rate);
  const float noDelays[6] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f};
  for (VstInt32 i = 0; i < 6; ++i) effect.setParameter(i, noDelays[i]);
  const auto halfSecond = static_cast<std::size_t>(rate / 2);
  std::vector<float> input(halfSecond, 0.0f), left(halfSecond), right(halfSecond);
  float* inputs[] = {input.data()};
  float* outputs[] = {left.data(), right.data()};

  input[0] = 1.0f;
  effect.processReplacing(inputs, outputs, static_cast<VstInt32>(halfSecond));
  EXPECT_NEAR(effect.getPeakLeft(), std::exp(-0.5), 1e-9);
  EXPECT_NEAR(effect.getPeakRight(), std::exp(-0.5), 1e-9);

  input[0] = 0.0f;
  effect.processReplacing(inputs, outputs, static_cast<VstInt32>(halfSecond));
  EXPECT_NEAR(effect.getPeakLeft(), std::exp(-1.0), 1e-9);
  EXPECT_NEAR(effect.getPeakRight(), std::exp(-1.0), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Rates, PeakDecay,
                         ::testing::Values(8000.0f, 22050.0f, 32000.0f, 44100.0f, 48000.0f,
                                           88200.0f, 96000.0f, 192000.0f, 768000.0f));

}  // namespace
