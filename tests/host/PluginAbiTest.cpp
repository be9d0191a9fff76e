// The built plug-in library as a host meets it: loaded with dlopen or LoadLibrary, reached only
// through the exported entry point and the record it returns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "host/VstInterface.h"
#include "tests/support/LoadedLibrary.h"

namespace {

using EntryPoint = AEffect* (*)(audioMasterCallback);

VstIntPtr hostVersion = 2400;
std::vector<VstInt32> hostOpcodes;

VstIntPtr VSTCALLBACK testHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  hostOpcodes.push_back(opcode);
  return opcode == audioMasterVersion ? hostVersion : 0;
}

class PluginAbi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library = new LoadedLibrary(LUMIVANE_PLUGIN_PATH);
    ASSERT_TRUE(library->isLoaded()) << LoadedLibrary::lastError();
  }
  static void TearDownTestSuite() {
    delete library;
    library = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(library != nullptr && library->isLoaded());
    hostVersion = 2400;
    hostOpcodes.clear();
    entry = reinterpret_cast<EntryPoint>(library->symbol("VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    record = entry(testHost);
    ASSERT_NE(record, nullptr);
  }
  void TearDown() override {
    if (record) {
      EXPECT_EQ(dispatch(effClose), 1);
    }
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }
  std::string text(VstInt32 opcode, VstInt32 index = 0) {
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[255] = '\0';
    dispatch(opcode, index, 0, buffer);
    return buffer;
  }

  static LoadedLibrary* library;
  EntryPoint entry = nullptr;
  AEffect* record = nullptr;
};

LoadedLibrary* PluginAbi::library = nullptr;

TEST_F(PluginAbi, BothExportedNamesAreTheSameEntryPoint) {
  EXPECT_EQ(library->symbol("main"), reinterpret_cast<void*>(entry));
  // Nothing of the implementation leaks out of the library.
  EXPECT_EQ(library->symbol("createEffectInstance"), nullptr);
  EXPECT_EQ(library->symbol("_Z20createEffectInstancePFlP7AEffectiilPvfE"), nullptr);
}

TEST_F(PluginAbi, HostWithoutAVersionGetsNoEffect) {
  hostVersion = 0;
  EXPECT_EQ(entry(testHost), nullptr);
  EXPECT_EQ(entry(nullptr), nullptr);
}

TEST_F(PluginAbi, RecordShowsTheEffectAsTheHostSeesIt) {
  EXPECT_EQ(hostOpcodes, std::vector<VstInt32>{audioMasterVersion});
  EXPECT_EQ(record->magic, 0x56737450);
  EXPECT_EQ(record->numPrograms, 16);
  EXPECT_EQ(record->numParams, 6);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, 0x1011);
  EXPECT_EQ(record->uniqueID, 0x3E51A7C2);
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->ioRatio, 1.0f);
  EXPECT_EQ(record->initialDelay, 0);
  EXPECT_EQ(record->resvd1, 0);
  EXPECT_EQ(record->resvd2, 0);
  EXPECT_NE(record->object, nullptr);
  EXPECT_EQ(record->user, nullptr);
  for (void* function :
       {reinterpret_cast<void*>(record->dispatcher), reinterpret_cast<void*>(record->process),
        reinterpret_cast<void*>(record->setParameter),
        reinterpret_cast<void*>(record->getParameter),
        reinterpret_cast<void*>(record->processReplacing),
        reinterpret_cast<void*>(record->processDoubleReplacing)}) {
    EXPECT_NE(function, nullptr);
  }
}

TEST_F(PluginAbi, IdentityAnswers) {
  EXPECT_EQ(text(effGetEffectName), "Lumivane");
  EXPECT_EQ(text(effGetProductString), "Lumivane");
  EXPECT_EQ(text(effGetVendorString), "Velmora");
  char buffer[16];
  EXPECT_EQ(dispatch(effGetVendorString, 0, 0, buffer), 1);
  EXPECT_EQ(dispatch(effGetVendorVersion), 2000);
  EXPECT_EQ(dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(dispatch(effGetPlugCategory), 5);
  EXPECT_EQ(dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(dispatch(effGetCurrentMidiProgram), -1);
  EXPECT_EQ(dispatch(effGetTailSize), 0);
  EXPECT_EQ(dispatch(effSetTotalSampleToProcess, 0, 1234), 1234);
  for (const char* word : {"bypass", "receiveVstMidiEvent", "anything"}) {
    char copy[32];
    std::strcpy(copy, word);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, copy), 0) << word;
  }
  EXPECT_EQ(dispatch(effCanBeAutomated, 3), 1);
  EXPECT_EQ(dispatch(effCanBeAutomated, 99), 1);
  EXPECT_EQ(dispatch(9), 0);
  EXPECT_EQ(dispatch(100), 0);
}

TEST_F(PluginAbi, LifecycleOpcodesAnswerZero) {
  EXPECT_EQ(dispatch(effOpen), 0);
  EXPECT_EQ(dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
  EXPECT_EQ(dispatch(effSetBlockSize, 0, 512), 0);
  EXPECT_EQ(dispatch(effMainsChanged, 0, 1), 0);
  EXPECT_EQ(dispatch(effMainsChanged, 0, 0), 0);
}

TEST_F(PluginAbi, ParametersThroughTheRecord) {
  const char* names[] = {"PreDelay", "Expression", "Wide", "Dry", "Wet", "Mix"};
  const char* displays[] = {"0.00", "50", "100", "0", "100", "100"};
  for (VstInt32 i = 0; i < 6; ++i) {
    EXPECT_EQ(text(effGetParamName, i), names[i]);
    EXPECT_EQ(text(effGetParamLabel, i), i == 0 ? "ms" : "");
    EXPECT_EQ(text(effGetParamDisplay, i), displays[i]);
  }
  record->setParameter(record, 0, 0.5f);
  EXPECT_EQ(record->getParameter(record, 0), 0.5f);
  EXPECT_EQ(text(effGetParamDisplay, 0), "0.50");
  record->setParameter(record, 3, 7.0f);
  EXPECT_EQ(record->getParameter(record, 3), 1.0f);
  record->setParameter(record, 3, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(record->getParameter(record, 3), 0.0f);
  EXPECT_EQ(record->getParameter(record, 6), 0.0f);
  EXPECT_EQ(record->getParameter(record, -1), 0.0f);
}

TEST_F(PluginAbi, ProgramsThroughTheRecord) {
  for (VstInt32 i = 0; i < 16; ++i) {
    char name[24];
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, i, 0, name), 1);
    EXPECT_STREQ(name, "Default");
  }
  EXPECT_EQ(dispatch(effGetProgramNameIndexed, 16, 0, nullptr), 0);

  EXPECT_EQ(dispatch(effSetProgram, 0, 5), 0);
  EXPECT_EQ(dispatch(effGetProgram), 5);
  EXPECT_EQ(dispatch(effSetProgram, 0, 16), 0);
  EXPECT_EQ(dispatch(effGetProgram), 5);

  char longName[] = "A program name well over twenty-three characters";
  EXPECT_EQ(dispatch(effSetProgramName, 0, 0, longName), 0);
  EXPECT_EQ(text(effGetProgramName), std::string(longName, 23));
}

// Before any effEditOpen the editor already reports its 752 x 160 rectangle at the origin, and a
// closed editor handles no input.
TEST_F(PluginAbi, ClosedEditorReportsItsRectangleAndHandlesNoInput) {
  ERect* rect = reinterpret_cast<ERect*>(this);
  ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  ASSERT_NE(rect, reinterpret_cast<ERect*>(this));
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 160);
  EXPECT_EQ(rect->right, 752);
  EXPECT_EQ(dispatch(effEditIdle), 0);
  EXPECT_EQ(dispatch(effEditKeyDown, 65, 0, nullptr, 2.7f), 0);
  EXPECT_EQ(dispatch(effVendorSpecific, 0x73744341, 0x57686565, nullptr, 1.0f), 0);
  EXPECT_EQ(dispatch(effEditClose), 0);
}

TEST_F(PluginAbi, ImpulseThroughTheDefaultProgram) {
  constexpr int frames = 1024;
  std::vector<float> input(frames), left(frames, -1.0f), right(frames, -1.0f),
      unused(frames, 0.25f);
  input[0] = 1.0f;
  float* inputs[] = {input.data(), unused.data()};
  float* outputs[] = {left.data(), right.data()};
  record->processReplacing(record, inputs, outputs, frames);
  for (int i = 0; i < frames; ++i) {
    EXPECT_EQ(left[i], i == 0 ? 1.0f : 0.0f) << i;
    EXPECT_EQ(right[i], i == 881 ? 1.0f : 0.0f) << i;
  }
}

TEST_F(PluginAbi, DoubleImpulseAtAnotherRate) {
  EXPECT_EQ(dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
  constexpr int frames = 2048;
  std::vector<double> input(frames), left(frames), right(frames);
  input[0] = 1.0;
  double* inputs[] = {input.data(), input.data()};
  double* outputs[] = {left.data(), right.data()};
  record->processDoubleReplacing(record, inputs, outputs, frames);
  // Expression 0.5 of 1919 samples: 959 samples behind.
  for (int i = 0; i < frames; ++i) {
    EXPECT_EQ(left[i], i == 0 ? 1.0 : 0.0) << i;
    EXPECT_EQ(right[i], i == 959 ? 1.0 : 0.0) << i;
  }
}

}  // namespace
