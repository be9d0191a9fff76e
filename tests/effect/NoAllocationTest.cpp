// The audio thread never allocates: this program replaces the global allocation functions with
// counting ones and fails if processing (or the parameter path it uses for the feed) allocates.
#include <gtest/gtest.h>

#include <vector>

#include "editor/AEffEditor.h"
#include "effect/Lumivane.h"
#include "tests/support/CountAllocations.h"

namespace {

// An editor that takes the feed without allocating, as the real one must.
class QuietEditor : public AEffEditor {
 public:
  using AEffEditor::AEffEditor;
  void setParameter(VstInt32, float value) override { last = value; }
  float last = 0.0f;
};

TEST(NoAllocation, TheCountingAllocatorSeesAllocations) {
  CountAllocations scope;
  auto* probe = new std::vector<int>(100);
  delete probe;
  EXPECT_GE(scope.count(), 2);
}

TEST(NoAllocation, ProcessingAndAutomationAllocateNothing) {
  Lumivane effect(nullptr);
  effect.setEditor(new QuietEditor(&effect));
  std::vector<float> input(4096, 0.25f), left(4096), right(4096);
  std::vector<double> wideInput(4096, 0.25), wideLeft(4096), wideRight(4096);
  float* inputs[] = {input.data()};
  float* outputs[] = {left.data(), right.data()};
  double* wideInputs[] = {wideInput.data()};
  double* wideOutputs[] = {wideLeft.data(), wideRight.data()};

  CountAllocations scope;
  for (VstInt32 frames : {0, 1, 64, 512, 4096}) {
    effect.processReplacing(inputs, outputs, frames);
    effect.processDoubleReplacing(wideInputs, wideOutputs, frames);
    for (VstInt32 index = 0; index < 6; ++index) effect.setParameter(index, 0.3f);
    effect.setParameterAutomated(1, 0.7f);
    effect.setProgram(2);
  }
  effect.setEditor(nullptr);  // leaves the scope's count unaffected: deleting is not allocating
  effect.processReplacing(inputs, outputs, 512);
  EXPECT_EQ(scope.count(), 0);
}

}  // namespace
