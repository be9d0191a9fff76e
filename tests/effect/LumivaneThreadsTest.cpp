// Hosts automate parameters from one thread while the audio thread processes. Run under
// ThreadSanitizer this shows the two never race; in every build it shows the sound stays sane.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "editor/AEffEditor.h"
#include "effect/Lumivane.h"

namespace {

// Receives values from both threads, as a real editor does, and only counts them.
class CountingEditor : public AEffEditor {
 public:
  using AEffEditor::AEffEditor;
  void setParameter(VstInt32, float) override { calls.fetch_add(1, std::memory_order_relaxed); }
  std::atomic<long> calls{0};
};

// With every parameter in 0..1 and the input in -1..1, no output can exceed 5 in magnitude:
// left <= dry + 2 wet <= 3, right <= dry + wet (1 + left) <= 5.
constexpr double kLoudestPossible = 5.0;

template <typename Sample>
bool processBlock(Lumivane& effect, std::vector<Sample>& input, std::vector<Sample>& left,
                  std::vector<Sample>& right) {
  Sample* inputs[] = {input.data()};
  Sample* outputs[] = {left.data(), right.data()};
  auto frames = static_cast<VstInt32>(input.size());
  if constexpr (std::is_same_v<Sample, float>)
    effect.processReplacing(inputs, outputs, frames);
  else
    effect.processDoubleReplacing(inputs, outputs, frames);
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (!(std::abs(static_cast<double>(left[i])) <= kLoudestPossible)) return false;
    if (!(std::abs(static_cast<double>(right[i])) <= kLoudestPossible)) return false;
  }
  return true;
}

TEST(LumivaneThreads, AutomationWhileProcessing) {
  Lumivane effect(nullptr);
  auto* editor = new CountingEditor(&effect);
  effect.setEditor(editor);
  std::atomic<bool> audioDone{false};
  std::atomic<bool> outputsSane{true};
  std::atomic<bool> automationStarted{false};

  std::thread audio([&] {
    // The blocks overlap the automation whatever the scheduler does first.
    while (!automationStarted.load()) std::this_thread::yield();
    std::vector<float> input(256), left(256), right(256);
    std::vector<double> wideInput(256), wideLeft(256), wideRight(256);
    for (std::size_t i = 0; i < input.size(); ++i) {
      input[i] = std::sin(0.05f * static_cast<float>(i));
      wideInput[i] = input[i];
    }
    for (int block = 0; block < 600; ++block) {
      bool sane = block % 2 == 0 ? processBlock(effect, input, left, right)
                                 : processBlock(effect, wideInput, wideLeft, wideRight);
      if (!sane) outputsSane.store(false);
    }
    audioDone.store(true);
  });

  std::mt19937 random(11);
  std::uniform_int_distribution<VstInt32> index(-1, 8);
  std::uniform_real_distribution<float> value(-0.5f, 1.5f);
  long changes = 0;
  bool readBacksInRange = true;
  do {
    VstInt32 parameter = index(random);
    if (changes % 3 == 0)
      effect.setParameterAutomated(parameter, value(random));
    else
      effect.setParameter(parameter, value(random));
    float readBack = effect.getParameter(parameter);
    if (!(readBack >= 0.0f && readBack <= 1.0f)) readBacksInRange = false;
    ++changes;
    automationStarted.store(true);
  } while (!audioDone.load());
  // Every expectation waits for the audio thread: a failure must not end the program under it.
  audio.join();

  EXPECT_TRUE(readBacksInRange);
  EXPECT_TRUE(outputsSane.load());
  EXPECT_GT(changes, 0);
  EXPECT_GT(editor->calls.load(), 600 * (2 * 256 + 5) - 1);
  for (VstInt32 i = 0; i < 6; ++i) EXPECT_EQ(effect.program(0).values[i], effect.getParameter(i));
}

// Lets two threads start each round together, so that their calls overlap as much as the machine
// allows.
class StartLine {
 public:
  explicit StartLine(int runners) : runners(runners) {}
  void wait(int round) {
    arrived.fetch_add(1);
    while (arrived.load() < runners * (round + 1)) std::this_thread::yield();
  }

 private:
  int runners;
  std::atomic<int> arrived{0};
};

// Hosts switch programs on one thread while another automates: no data race (ThreadSanitizer),
// and every value stays in range.
TEST(LumivaneThreads, ProgramSwitchesWhileParametersChange) {
  Lumivane effect(nullptr);
  constexpr int kRounds = 2000;
  std::thread switching([&] {
    for (int i = 0; i < kRounds; ++i)
      effect.dispatcher(effSetProgram, 0, i % Lumivane::kNumPrograms, nullptr, 0.0f);
  });
  std::mt19937 random(5);
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  for (int i = 0; i < kRounds; ++i) effect.setParameter(i % Lumivane::kNumParams, value(random));
  switching.join();
  const VstInt32 current =
      static_cast<VstInt32>(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f));
  EXPECT_TRUE(current >= 0 && current < Lumivane::kNumPrograms);
  for (VstInt32 program = 0; program < Lumivane::kNumPrograms; ++program) {
    for (VstInt32 i = 0; i < Lumivane::kNumParams; ++i) {
      const float stored = effect.program(program).values[i];
      EXPECT_TRUE(stored >= 0.0f && stored <= 1.0f) << program << ' ' << i;
    }
  }
}

// Where an impulse comes out of a line whose tap lies `distance` behind (0 meaning a full line,
// unless the line is passed by), for the default program: left is the pre-delayed signal, right
// the expressed one.
int echoPosition(double samples, VstInt32 length, bool passedBy) {
  if (passedBy) return 0;
  const auto distance = static_cast<VstInt32>(samples);
  return distance == 0 ? length : distance;
}

// Two threads set PreDelay and Expression at the same moment, round after round: after each
// round an impulse comes out at the delays of the two values now in place, however the calls
// interleaved.
TEST(LumivaneThreads, DelaysFollowPreDelayAndExpressionSetTogether) {
  Lumivane effect(nullptr);
  constexpr int kRounds = 150;
  StartLine start(3);
  std::atomic<int> finished{0};
  auto setter = [&](VstInt32 index, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int round = 0; round < kRounds; ++round) {
      start.wait(round);
      effect.setParameter(index, value(random));
      finished.fetch_add(1);
    }
  };
  std::thread preDelaySetter(setter, 0, 1u);
  std::thread expressionSetter(setter, 1, 2u);
  const Lumivane::DelayState lines = effect.delayState();
  std::vector<float> silence(lines.length2, 0.0f), impulse(lines.length2 + 1, 0.0f);
  impulse[0] = 1.0f;
  std::vector<float> left(impulse.size()), right(impulse.size());
  int misplaced = 0;
  for (int round = 0; round < kRounds; ++round) {
    start.wait(round);
    while (finished.load() < 2 * (round + 1)) std::this_thread::yield();
    const float preDelay = effect.getParameter(0);
    const float expression = effect.getParameter(1);
    processBlock(effect, silence, left, right);  // the lines forget the last round's impulse
    processBlock(effect, impulse, left, right);
    const double preDelaySamples = static_cast<double>(preDelay) * lines.length1;
    const double expressionSamples = static_cast<double>(expression) * lines.expressionLength;
    const int leftAt = echoPosition(preDelaySamples, lines.length1, preDelay == 0.0f);
    const int rightAt = echoPosition(preDelaySamples + expressionSamples, lines.length2,
                                     preDelay + expression == 0.0f);
    if (left[leftAt] != 1.0f || right[rightAt] != 1.0f) ++misplaced;
  }
  preDelaySetter.join();
  expressionSetter.join();
  EXPECT_EQ(misplaced, 0) << "rounds whose echoes came from a value no longer in place";
}

}  // namespace
