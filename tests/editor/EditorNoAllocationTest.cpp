// With the editor open, the audio thread's work allocates nothing: processing (which sends the
// whole display feed into the editor) and parameter changes from the host. This program replaces
// the global allocation functions with counting ones, so it is a program of its own.
#include <gtest/gtest.h>

#include <vector>

#include "editor/HeadlessEditorSession.h"
#include "editor/LumivaneEditor.h"
#include "gui/controls/CVuMeter.h"
#include "effect/Lumivane.h"
#include "tests/editor/RecordingHost.h"
#include "tests/support/CountAllocations.h"

namespace {

TEST(EditorNoAllocation, TheCountingAllocatorSeesAllocations) {
  CountAllocations scope;
  auto* probe = new std::vector<int>(100);
  delete probe;
  EXPECT_GE(scope.count(), 2);
}

TEST(EditorNoAllocation, ProcessingAndHostParametersAllocateNothingWithTheEditorOpen) {
  Lumivane effect(RecordingHost::callback);
  AEffect* record = effect.getEffectRecord();
  auto session = HeadlessEditorSession::open(record);
  ASSERT_TRUE(session);
  session->idle(2);
  std::vector<float> input(4096), left(4096), right(4096);
  std::vector<double> wideInput(4096), wideLeft(4096), wideRight(4096);
  for (std::size_t i = 0; i < input.size(); ++i)
    wideInput[i] = input[i] = static_cast<float>(i % 97) / 50.0f - 0.9f;
  float* inputs[] = {input.data()};
  float* outputs[] = {left.data(), right.data()};
  double* wideInputs[] = {wideInput.data()};
  double* wideOutputs[] = {wideLeft.data(), wideRight.data()};

  long counted = 0;
  for (VstInt32 frames : {0, 1, 64, 512, 4096}) {
    {
      CountAllocations scope;
      record->processReplacing(record, inputs, outputs, frames);
      record->processDoubleReplacing(record, wideInputs, wideOutputs, frames);
      for (VstInt32 index = 0; index < 14; ++index) record->setParameter(record, index, 0.3f);
      record->dispatcher(record, effSetProgram, 0, 3, nullptr, 0.0f);
      counted += scope.count();
    }
    session->idle(1);  // the editor thread may allocate as it draws
  }
  EXPECT_EQ(counted, 0);
  EXPECT_GT(
      static_cast<LumivaneEditor*>(effect.getEditor())->getControls()->leftPeakMeter->getValue(),
      0.0f);
}

}  // namespace
