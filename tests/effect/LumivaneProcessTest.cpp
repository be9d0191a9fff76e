// The sound: delay lines, taps and the cross-fed mix, in single and double precision.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "effect/Lumivane.h"

namespace {

template <typename Sample>
struct Stereo {
  std::vector<Sample> left, right;
};

// Processes one block out of place and returns both outputs.
template <typename Sample>
Stereo<Sample> process(Lumivane& effect, std::vector<Sample> input) {
  Stereo<Sample> out{std::vector<Sample>(input.size(), Sample(-7)),
                     std::vector<Sample>(input.size(), Sample(-7))};
  Sample* inputs[] = {input.data()};
  Sample* outputs[] = {out.left.data(), out.right.data()};
  if constexpr (std::is_same_v<Sample, float>)
    effect.processReplacing(inputs, outputs, static_cast<VstInt32>(input.size()));
  else
    effect.processDoubleReplacing(inputs, outputs, static_cast<VstInt32>(input.size()));
  return out;
}

std::vector<float> noise(std::size_t frames, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> amplitude(-1.0f, 1.0f);
  std::vector<float> samples(frames);
  for (float& sample : samples) sample = amplitude(random);
  return samples;
}

void setAll(Lumivane& effect, const float (&values)[6]) {
  for (VstInt32 i = 0; i < 6; ++i) effect.setParameter(i, values[i]);
}

const float kBusyParameters[6] = {0.6f, 0.3f, 0.4f, 0.5f, 0.7f, 0.9f};

TEST(LumivaneProcess, ImpulseThroughTheDefaultProgram) {
  Lumivane effect(nullptr);
  std::vector<float> impulse(4000, 0.0f);
  impulse[0] = 1.0f;
  Stereo<float> out = process(effect, impulse);
  for (std::size_t i = 0; i < impulse.size(); ++i) {
    ASSERT_EQ(out.left[i], i == 0 ? 1.0f : 0.0f) << i;
    ASSERT_EQ(out.right[i], i == 881 ? 1.0f : 0.0f) << i;
  }
}

// Blocks split anywhere give the same stream: nothing depends on where a block starts.
TEST(LumivaneProcess, BlockBoundariesDoNotMatter) {
  std::vector<float> input = noise(6000, 1);
  Lumivane whole(nullptr), pieces(nullptr);
  setAll(whole, kBusyParameters);
  setAll(pieces, kBusyParameters);
  Stereo<float> expected = process(whole, input);
  std::size_t start = 0;
  for (std::size_t size : {1u, 43u, 44u, 45u, 1806u, 1807u, 1808u, 446u}) {
    std::vector<float> piece(input.begin() + static_cast<long>(start),
                             input.begin() + static_cast<long>(start + size));
    Stereo<float> out = process(pieces, piece);
    for (std::size_t i = 0; i < size; ++i) {
      ASSERT_EQ(out.left[i], expected.left[start + i]) << start + i;
      ASSERT_EQ(out.right[i], expected.right[start + i]) << start + i;
    }
    start += size;
  }
}

TEST(LumivaneProcess, InPlaceEqualsOutOfPlace) {
  std::vector<float> input = noise(3000, 2);
  Lumivane outOfPlace(nullptr), inPlace(nullptr);
  setAll(outOfPlace, kBusyParameters);
  setAll(inPlace, kBusyParameters);
  Stereo<float> expected = process(outOfPlace, input);

  std::vector<float> shared = input, right(input.size());
  float* inputs[] = {shared.data()};
  float* outputs[] = {shared.data(), right.data()};
  inPlace.processReplacing(inputs, outputs, static_cast<VstInt32>(shared.size()));
  EXPECT_EQ(shared, expected.left);
  EXPECT_EQ(right, expected.right);
}

TEST(LumivaneProcess, FloatEqualsDoubleUpToTheFinalConversion) {
  std::vector<float> input = noise(3000, 3);
  std::vector<double> wideInput(input.begin(), input.end());
  Lumivane single(nullptr), twice(nullptr);
  setAll(single, kBusyParameters);
  setAll(twice, kBusyParameters);
  Stereo<float> narrow = process(single, input);
  Stereo<double> wide = process(twice, wideInput);
  for (std::size_t i = 0; i < input.size(); ++i) {
    ASSERT_EQ(narrow.left[i], static_cast<float>(wide.left[i])) << i;
    ASSERT_EQ(narrow.right[i], static_cast<float>(wide.right[i])) << i;
  }
}

TEST(LumivaneProcess, OnlyTheFirstInputChannelIsRead) {
  std::vector<float> input = noise(2000, 4), other = noise(2000, 5), silence(2000, 0.0f);
  Lumivane a(nullptr), b(nullptr);
  setAll(a, kBusyParameters);
  setAll(b, kBusyParameters);
  std::vector<float> leftA(2000), rightA(2000), leftB(2000), rightB(2000);
  float* inputsA[] = {input.data(), other.data()};
  float* inputsB[] = {input.data(), silence.data()};
  float* outputsA[] = {leftA.data(), rightA.data()};
  float* outputsB[] = {leftB.data(), rightB.data()};
  a.processReplacing(inputsA, outputsA, 2000);
  b.processReplacing(inputsB, outputsB, 2000);
  EXPECT_EQ(leftA, leftB);
  EXPECT_EQ(rightA, rightB);
}

TEST(LumivaneProcess, WithoutDelaysTheMixIsDirect) {
  Lumivane effect(nullptr);
  const float values[6] = {0.0f, 0.0f, 0.3f, 0.2f, 0.6f, 0.8f};
  setAll(effect, values);
  std::vector<double> input = {0.5, -0.25, 1.0, 0.125};
  Stereo<double> out = process(effect, input);
  double dry = 0.2f, wet = 0.6f, crossFeed = 1.0 - static_cast<double>(0.3f), mix = 0.8f;
  for (std::size_t i = 0; i < input.size(); ++i) {
    double x = input[i];
    double l = dry * x + wet * (x + crossFeed * x);
    double r = dry * x + wet * (x + crossFeed * l);
    EXPECT_EQ(out.left[i], mix * l) << i;
    EXPECT_EQ(out.right[i], mix * r) << i;
  }
}

// A pre-delay too small for a whole sample still reads the pre-delay line, whose tap then lies
// one full line (44 samples) behind; only a pre-delay of exactly 0 passes the input through.
TEST(LumivaneProcess, TinyPreDelayReadsAFullLineBehind) {
  for (float preDelay : {0.01f, 0.0f}) {
    Lumivane effect(nullptr);
    effect.setParameter(0, preDelay);
    effect.setParameter(1, 0.0f);
    std::vector<float> impulse(200, 0.0f);
    impulse[0] = 1.0f;
    Stereo<float> out = process(effect, impulse);
    std::size_t expectedAt = preDelay == 0.0f ? 0 : 44;
    for (std::size_t i = 0; i < impulse.size(); ++i)
      ASSERT_EQ(out.left[i], i == expectedAt ? 1.0f : 0.0f) << i;
  }
}

// effMainsChanged 0 then 1 (suspend, resume) leaves both lines as they are: an impulse that went in
// before the suspend comes out after the resume at its delays, on the left after the pre-delay of
// a full line (44 samples) and on the right after trunc(44 + 0.5 x 1763) = 925 samples.
TEST(LumivaneProcess, SuspendAndResumeKeepWhatTheLinesHold) {
  Lumivane effect(nullptr);
  effect.setParameter(0, 1.0f);
  std::vector<float> impulse(10, 0.0f);
  impulse[0] = 1.0f;
  Stereo<float> before = process(effect, impulse);
  for (std::size_t i = 0; i < impulse.size(); ++i) {
    ASSERT_EQ(before.left[i], 0.0f) << i;
    ASSERT_EQ(before.right[i], 0.0f) << i;
  }

  AEffect* record = effect.getEffectRecord();
  EXPECT_EQ(record->dispatcher(record, effMainsChanged, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f), 0);

  Stereo<float> after = process(effect, std::vector<float>(1000, 0.0f));
  for (std::size_t i = 0; i < after.left.size(); ++i) {
    ASSERT_EQ(after.left[i], i == 44 - 10 ? 1.0f : 0.0f) << i;
    ASSERT_EQ(after.right[i], i == 925 - 10 ? 1.0f : 0.0f) << i;
  }
}

TEST(LumivaneProcess, LoudOutputsPassUnlimited) {
  Lumivane effect(nullptr);
  Stereo<float> out = process(effect, std::vector<float>{4.0f, -9.0f});
  EXPECT_EQ(out.left[0], 4.0f);
  EXPECT_EQ(out.left[1], -9.0f);
}

TEST(LumivaneProcess, EmptyOrMissingBuffersProcessNothing) {
  Lumivane effect(nullptr);
  float sample = 0.5f, out = -1.0f;
  float* inputs[] = {&sample};
  float* outputs[] = {&out, nullptr};
  for (VstInt32 frames : {0, -5}) effect.processReplacing(inputs, outputs, frames);
  effect.processReplacing(inputs, outputs, 1);  // no right channel
  effect.processReplacing(nullptr, nullptr, 64);
  double* doubles[] = {nullptr, nullptr};
  effect.processDoubleReplacing(doubles, doubles, 64);
  EXPECT_EQ(out, -1.0f);
  EXPECT_EQ(effect.delayState().write1, 0);
  EXPECT_EQ(effect.delayState().write2, 0);
}

// The delay taps written out the long way: read indices that advance with the write indices,
// as the effect's behaviour is defined. The effect keeps distances instead and must sound the same.
class AdvancingTapsModel {
 public:
  explicit AdvancingTapsModel(float rate) { resize(rate); }

  void resize(float rate) {
    length1 = static_cast<int>(static_cast<double>(rate) * static_cast<double>(0.001f));
    expressionLength = static_cast<int>(static_cast<double>(rate) * static_cast<double>(0.04f));
    length2 = length1 + expressionLength;
    line1.assign(static_cast<std::size_t>(length1), 0.0);
    line2.assign(static_cast<std::size_t>(length2), 0.0);
    write1 = write2 = 0;
    tap1 = length1 - static_cast<int>(length1 * static_cast<double>(p[0]));
    if (tap1 == length1) tap1 = 0;
    tap2 = length2 - static_cast<int>(length1 * static_cast<double>(p[0]) +
                                      expressionLength * static_cast<double>(p[1]));
    if (tap2 == length2) tap2 = 0;
  }

  void set(int index, float value) {
    p[index] = value;
    if (index == 0) {
      tap1 = write1 - static_cast<int>(static_cast<double>(value) * length1);
      if (tap1 < 0) tap1 += length1;
    }
    if (index == 0 || index == 1) {
      tap2 = write2 - static_cast<int>(static_cast<double>(p[0]) * length1 +
                                       static_cast<double>(p[1]) * expressionLength);
      if (tap2 < 0) tap2 += length2;
    }
  }

  void process(const std::vector<double>& in, std::vector<double>& left,
               std::vector<double>& right) {
    for (std::size_t i = 0; i < in.size(); ++i) {
      double x = in[i];
      double b = p[0] != 0.0f ? line1[static_cast<std::size_t>(tap1)] : x;
      double a = p[0] + p[1] != 0.0f ? line2[static_cast<std::size_t>(tap2)] : x;
      double l = static_cast<double>(p[3]) * x +
                 static_cast<double>(p[4]) * (b + (1.0 - static_cast<double>(p[2])) * a);
      double r = static_cast<double>(p[3]) * x +
                 static_cast<double>(p[4]) * (a + (1.0 - static_cast<double>(p[2])) * l);
      line2[static_cast<std::size_t>(write2)] = x;
      line1[static_cast<std::size_t>(write1)] = x;
      left[i] = static_cast<double>(p[5]) * l;
      right[i] = static_cast<double>(p[5]) * r;
      if (++write1 == length1) write1 = 0;
      if (++tap1 == length1) tap1 = 0;
      if (++write2 == length2) write2 = 0;
      if (++tap2 == length2) tap2 = 0;
    }
  }

 private:
  float p[6] = {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f};
  int length1 = 0, expressionLength = 0, length2 = 0, write1 = 0, tap1 = 0, write2 = 0, tap2 = 0;
  std::vector<double> line1, line2;
};

TEST(LumivaneProcess, SoundsLikeTapsThatAdvanceThemselves) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::uniform_int_distribution<int> blockSize(1, 700);
  std::uniform_int_distribution<int> parameter(0, 5);
  Lumivane effect(nullptr);
  AdvancingTapsModel model(44100.0f);
  for (int block = 0; block < 300; ++block) {
    for (int changes = block % 3; changes > 0; --changes) {
      int index = parameter(random);
      float value = block % 17 == 0 ? 0.0f : unit(random);
      effect.setParameter(index, value);
      model.set(index, value);
    }
    if (block == 150) {
      effect.setSampleRate(48000.0f);
      model.resize(48000.0f);
    }
    std::vector<float> source =
        noise(static_cast<std::size_t>(blockSize(random)), static_cast<unsigned>(block));
    std::vector<double> input(source.begin(), source.end());
    std::vector<double> left(input.size()), right(input.size());
    model.process(input, left, right);
    Stereo<double> out = process(effect, input);
    ASSERT_EQ(out.left, left) << "block " << block;
    ASSERT_EQ(out.right, right) << "block " << block;
  }
}

}  // namespace
