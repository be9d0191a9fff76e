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

}  // namespace
