// The dispatcher and the record of the effect base, driven through the record as a host does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "host/AudioEffectX.h"
#include "tests/effect/RecordingEditor.h"

using ::testing::_;
using ::testing::StrictMock;

namespace {

// An effect whose operations are all observed; 4 programs and 3 parameters.
class MockEffect : public AudioEffectX {
 public:
  explicit MockEffect(audioMasterCallback host = nullptr, bool* destroyed = nullptr)
      : AudioEffectX(host, 4, 3), destroyed(destroyed) {}
  ~MockEffect() override {
    if (destroyed) *destroyed = true;
  }

  MOCK_METHOD(void, open, (), (override));
  MOCK_METHOD(void, close, (), (override));
  MOCK_METHOD(void, suspend, (), (override));
  MOCK_METHOD(void, resume, (), (override));
  MOCK_METHOD(void, setSampleRate, (float), (override));
  MOCK_METHOD(void, setBlockSize, (VstInt32), (override));
  MOCK_METHOD(void, setProgram, (VstInt32), (override));
  MOCK_METHOD(void, setProgramName, (char*), (override));
  MOCK_METHOD(void, getProgramName, (char*), (override));
  MOCK_METHOD(void, getParamLabel, (VstInt32, char*), (override));
  MOCK_METHOD(void, getParamDisplay, (VstInt32, char*), (override));
  MOCK_METHOD(void, getParamName, (VstInt32, char*), (override));
  MOCK_METHOD(bool, getProgramNameIndexed, (VstInt32, VstInt32, char*), (override));
  MOCK_METHOD(VstInt32, getChunk, (void**, bool), (override));
  MOCK_METHOD(VstInt32, setChunk, (void*, VstInt32, bool), (override));
  MOCK_METHOD(void, setParameter, (VstInt32, float), (override));
  MOCK_METHOD(float, getParameter, (VstInt32), (override));
  MOCK_METHOD(void, processReplacing, (float**, float**, VstInt32), (override));
  MOCK_METHOD(void, processDoubleReplacing, (double**, double**, VstInt32), (override));

  bool* destroyed;
};

class Dispatcher : public ::testing::Test {
 protected:
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  void TearDown() override {
    if (!destroyed) delete effect;
  }

  StrictMock<MockEffect>* effect = new StrictMock<MockEffect>(nullptr, &destroyed);
  AEffect* record = effect->getEffectRecord();
  bool destroyed = false;
  char text[64] = "untouched";
};

TEST_F(Dispatcher, RecordOfTheBaseHasTheStandardValues) {
  EXPECT_EQ(record->magic, 0x56737450);
  EXPECT_EQ(record->numPrograms, 4);
  EXPECT_EQ(record->numParams, 3);
  EXPECT_EQ(record->numInputs, 1);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, effFlagsCanReplacing);
  EXPECT_EQ(record->uniqueID, 0x4E6F4566);
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->ioRatio, 1.0f);
  EXPECT_EQ(record->object, static_cast<AudioEffect*>(effect));
  EXPECT_EQ(record->resvd1, 0);
  EXPECT_EQ(record->resvd2, 0);
  EXPECT_EQ(record->initialDelay, 0);
  EXPECT_EQ(record->user, nullptr);
  for (char byte : record->future) EXPECT_EQ(byte, 0);
}

TEST_F(Dispatcher, EffCloseClosesDestroysTheEffectAndAnswersOne) {
  EXPECT_CALL(*effect, close());
  EXPECT_EQ(dispatch(effClose), 1);
  EXPECT_TRUE(destroyed);
}

TEST_F(Dispatcher, CoreOpcodesReachTheirOperationsAndAnswerZero) {
  {
    ::testing::InSequence order;
    EXPECT_CALL(*effect, open());
    EXPECT_CALL(*effect, setSampleRate(48000.0f));
    EXPECT_CALL(*effect, setBlockSize(256));
    EXPECT_CALL(*effect, suspend());
    EXPECT_CALL(*effect, resume());
    EXPECT_CALL(*effect, resume());
  }
  EXPECT_EQ(dispatch(effOpen), 0);
  EXPECT_EQ(dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
  EXPECT_EQ(dispatch(effSetBlockSize, 0, 256), 0);
  EXPECT_EQ(dispatch(effMainsChanged, 0, 0), 0);
  EXPECT_EQ(dispatch(effMainsChanged, 0, 1), 0);
  EXPECT_EQ(dispatch(effMainsChanged, 0, -7), 0);
  EXPECT_EQ(dispatch(effIdentify), 0x4E764566);
}

TEST_F(Dispatcher, EffSetProgramTakesOnlyNumbersOfExistingPrograms) {
  EXPECT_CALL(*effect, setProgram(0));
  EXPECT_CALL(*effect, setProgram(3));
  for (VstIntPtr program :
       {VstIntPtr{0}, VstIntPtr{3}, VstIntPtr{4}, VstIntPtr{-1},
        std::numeric_limits<VstIntPtr>::min(), std::numeric_limits<VstIntPtr>::max()}) {
    EXPECT_EQ(dispatch(effSetProgram, 0, program), 0) << program;
  }
  EXPECT_EQ(dispatch(effGetProgram), 0);  // the mock's setProgram stored nothing
}

TEST_F(Dispatcher, TextOpcodesPassIndexAndBuffer) {
  EXPECT_CALL(*effect, setProgramName(text));
  EXPECT_CALL(*effect, getProgramName(text));
  EXPECT_CALL(*effect, getParamLabel(2, text));
  EXPECT_CALL(*effect, getParamDisplay(1, text));
  EXPECT_CALL(*effect, getParamName(0, text));
  EXPECT_CALL(*effect, getProgramNameIndexed(7, 3, text)).WillOnce(::testing::Return(true));
  EXPECT_EQ(dispatch(effSetProgramName, 0, 0, text), 0);
  EXPECT_EQ(dispatch(effGetProgramName, 0, 0, text), 0);
  EXPECT_EQ(dispatch(effGetParamLabel, 2, 0, text), 0);
  EXPECT_EQ(dispatch(effGetParamDisplay, 1, 0, text), 0);
  EXPECT_EQ(dispatch(effGetParamName, 0, 0, text), 0);
  EXPECT_EQ(dispatch(effGetProgramNameIndexed, 3, 7, text), 1);
}

// With no buffer there is nothing to write into or read from: no operation is called (the strict
// mock fails on any) and the answer is 0.
TEST_F(Dispatcher, TextOpcodesWithoutABufferDoNothing) {
  for (VstInt32 opcode :
       {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
        effGetProgramNameIndexed, effGetEffectName, effGetVendorString, effGetProductString,
        effCanDo, effString2Parameter, effShellGetNextPlugin, effGetChunk}) {
    EXPECT_EQ(dispatch(opcode, 0, 0, nullptr), 0) << opcode;
  }
}

TEST_F(Dispatcher, ChunkOpcodesPassThePresetFlagFromTheIndex) {
  void* data = nullptr;
  char bytes[4] = {};
  EXPECT_CALL(*effect, getChunk(&data, true)).WillOnce(::testing::Return(0));
  EXPECT_CALL(*effect, setChunk(bytes, 4, false)).WillOnce(::testing::Return(0));
  EXPECT_EQ(dispatch(effGetChunk, 1, 0, &data), 0);
  EXPECT_EQ(dispatch(effSetChunk, 0, 4, bytes), 0);
}

struct DefaultAnswer {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  VstIntPtr expected;
};

TEST_F(Dispatcher, UnhandledAndQueryOpcodesGiveTheirDefaults) {
  const DefaultAnswer answers[] = {
      {9, 0, 0, 0},
      {16, 0, 0, 0},
      {17, 0, 0, 0},
      {18, 0, 0, 0},
      {20, 0, 0, 0},
      {21, 0, 0, 0},
      {28, 0, 0, 0},
      {30, 0, 0, 0},
      {31, 0, 0, 0},
      {32, 0, 0, 0},
      {36, 0, 0, 0},
      {37, 0, 0, 0},
      {43, 0, 0, 0},
      {46, 0, 0, 0},
      {53, 0, 0, 0},
      {54, 0, 0, 0},
      {55, 0, 0, 0},
      {57, 0, 0, 0},
      {80, 0, 0, 0},
      {100, 0, 0, 0},
      {-1, 0, 0, 0},
      {effProcessEvents, 0, 0, 0},
      {effGetTailSize, 0, 0, 0},
      {effCanBeAutomated, 3, 0, 1},
      {effCanBeAutomated, 99, 0, 1},
      {effCanBeAutomated, -1, 0, 1},
      {effGetPlugCategory, 0, 0, kPlugCategUnknown},
      {effGetVstVersion, 0, 0, 2400},
      {effGetCurrentMidiProgram, 0, 0, -1},
      {effSetTotalSampleToProcess, 0, 1234, 1234},
      {effSetBypass, 0, 1, 0},
      {effStartProcess, 0, 0, 0},
      {effStopProcess, 0, 0, 0},
      {effSetProcessPrecision, 0, 1, 0},
      {effGetNumMidiInputChannels, 0, 0, 0},
      {effEditGetRect, 0, 0, 0},
      {effEditOpen, 0, 0, 0},
      {effEditClose, 0, 0, 0},
      {effEditIdle, 0, 0, 0},
      {effEditKeyDown, 65, 0, 0},
      {effSetEditKnobMode, 0, 2, 0},
  };
  for (const DefaultAnswer& answer : answers) {
    EXPECT_EQ(dispatch(answer.opcode, answer.index, answer.value, nullptr), answer.expected)
        << "opcode " << answer.opcode << " index " << answer.index;
  }
}

TEST_F(Dispatcher, SpeakerArrangementAnswersNullThroughBothPointers) {
  int dummy = 0;
  auto* inputs = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
  auto* outputs = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&inputs), &outputs),
            0);
  EXPECT_EQ(inputs, nullptr);
  EXPECT_EQ(outputs, nullptr);

  // A host that passes only one address gets only that one written; none is no crash either.
  outputs = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, 0, &outputs), 0);
  EXPECT_EQ(outputs, nullptr);
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, RecordFunctionsForwardToTheEffect) {
  float sample = 0.5f;
  float* floats[] = {&sample, &sample};
  double wide = 0.5;
  double* doubles[] = {&wide, &wide};
  EXPECT_CALL(*effect, setParameter(2, 0.75f));
  EXPECT_CALL(*effect, getParameter(1)).WillOnce(::testing::Return(0.25f));
  EXPECT_CALL(*effect, processReplacing(floats, floats, 1));
  EXPECT_CALL(*effect, processDoubleReplacing(doubles, doubles, 1));
  record->setParameter(record, 2, 0.75f);
  EXPECT_EQ(record->getParameter(record, 1), 0.25f);
  record->processReplacing(record, floats, floats, 1);
  record->processDoubleReplacing(record, doubles, doubles, 1);
  record->process(record, floats, floats, 1);  // the retired accumulating process does nothing
  EXPECT_EQ(sample, 0.5f);
}

class EditorDispatch : public Dispatcher {
 protected:
  void SetUp() override {
    editor = new RecordingEditor(effect, true, &editorDestroyed);
    effect->setEditor(editor);
  }
  RecordingEditor* editor = nullptr;
  bool editorDestroyed = false;
};

TEST_F(EditorDispatch, AttachingAnEditorRaisesTheFlagAndTheEffectOwnsIt) {
  EXPECT_EQ(record->flags, effFlagsCanReplacing | effFlagsHasEditor);
  effect->setEditor(editor);  // the same editor again: kept
  EXPECT_FALSE(editorDestroyed);
  effect->setEditor(nullptr);  // a different one: the previous goes
  EXPECT_TRUE(editorDestroyed);
  EXPECT_EQ(record->flags, effFlagsCanReplacing);

  bool secondDestroyed = false;
  effect->setEditor(new RecordingEditor(effect, true, &secondDestroyed));
  delete effect;
  EXPECT_TRUE(secondDestroyed);
}

TEST_F(EditorDispatch, WindowOpcodesReachTheEditor) {
  ERect* rect = nullptr;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect, &editor->rectangle);
  int window = 0;
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &window), 1);
  EXPECT_TRUE(editor->isOpen());
  EXPECT_EQ(dispatch(effEditIdle), 0);
  EXPECT_EQ(editor->idles, 1);
  EXPECT_EQ(dispatch(effEditClose), 0);
  EXPECT_FALSE(editor->isOpen());

  // No place for the rectangle, no parent window: the editor is not asked.
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, nullptr), 0);
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
  EXPECT_FALSE(editor->isOpen());

  editor->answer = false;
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &window), 0);
}

struct KeyCase {
  VstInt32 index;
  VstIntPtr value;
  float opt;
  VstInt32 character;
  unsigned char virt;
  unsigned char modifier;
};

TEST_F(EditorDispatch, KeyOpcodesBuildTheKeyRecord) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const KeyCase cases[] = {
      {65, 0, 2.7f, 65, 0, 2},     {13, 0x1234, 1.0f, 13, 0x34, 1},
      {0, -1, 258.9f, 0, 0xff, 2}, {-5, 0, -1.5f, -5, 0, 0xff},
      {0, 0, nan, 0, 0, 0},        {0, 0, 1e30f, 0, 0, 0},
      {0, 0, -1e30f, 0, 0, 0},
  };
  for (const KeyCase& key : cases) {
    editor->keysDown.clear();
    editor->keysUp.clear();
    EXPECT_EQ(dispatch(effEditKeyDown, key.index, key.value, nullptr, key.opt), 1);
    EXPECT_EQ(dispatch(effEditKeyUp, key.index, key.value, nullptr, key.opt), 1);
    ASSERT_EQ(editor->keysDown.size(), 1u);
    ASSERT_EQ(editor->keysUp.size(), 1u);
    for (const VstKeyCode& seen : {editor->keysDown[0], editor->keysUp[0]}) {
      EXPECT_EQ(seen.character, key.character);
      EXPECT_EQ(seen.virt, key.virt);
      EXPECT_EQ(seen.modifier, key.modifier) << "opt " << key.opt;
    }
  }
  editor->answer = false;
  EXPECT_EQ(dispatch(effEditKeyDown, 65), 0);
}

TEST_F(EditorDispatch, KnobModeAndWheelReachTheEditor) {
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
  EXPECT_EQ(editor->knobModes, std::vector<VstInt32>{2});

  EXPECT_EQ(dispatch(effVendorSpecific, 0x73744341, 0x57686565, nullptr, 1.0f), 1);
  EXPECT_EQ(dispatch(effVendorSpecific, 0x73744341, 0x57686565, nullptr, -2.0f), 1);
  EXPECT_EQ(editor->wheelSteps, (std::vector<float>{1.0f, -2.0f}));

  // Any other vendor request is not the wheel.
  EXPECT_EQ(dispatch(effVendorSpecific, 0x73744341, 0, nullptr, 1.0f), 0);
  EXPECT_EQ(dispatch(effVendorSpecific, 0, 0x57686565, nullptr, 1.0f), 0);
  EXPECT_EQ(editor->wheelSteps.size(), 2u);

  editor->answer = false;
  EXPECT_EQ(dispatch(effVendorSpecific, 0x73744341, 0x57686565, nullptr, 1.0f), 0);
}

}  // namespace
