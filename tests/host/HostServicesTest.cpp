// What the effect asks of its host, and the entry point's handshake with it.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "host/AudioEffectX.h"
#include "host/PluginMain.h"

namespace {

struct HostCall {
  AEffect* record;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  float opt;
  float parameterSeenByHost;  // what the effect reported for that index while the host was asked
};

// The host side: records every call and answers with a chosen value.
std::vector<HostCall> hostCalls;
VstIntPtr hostAnswer = 1;

VstIntPtr VSTCALLBACK recordingHost(AEffect* record, VstInt32 opcode, VstInt32 index,
                                    VstIntPtr value, void*, float opt) {
  float seen = record ? record->getParameter(record, index) : 0.0f;
  hostCalls.push_back({record, opcode, index, value, opt, seen});
  return hostAnswer;
}

// Keeps the last value per index, as an effect with a few parameters does.
class StoringEffect : public AudioEffectX {
 public:
  explicit StoringEffect(audioMasterCallback host) : AudioEffectX(host, 1, 4) {}
  void processReplacing(float**, float**, VstInt32) override {}
  void setParameter(VstInt32 index, float value) override {
    if (index >= 0 && index < 4) stored[index] = value;
  }
  float getParameter(VstInt32 index) override {
    return index >= 0 && index < 4 ? stored[index] : 0.0f;
  }
  float stored[4] = {};
};

class HostServices : public ::testing::Test {
 protected:
  void SetUp() override {
    hostCalls.clear();
    hostAnswer = 1;
  }
  StoringEffect effect{recordingHost};
};

TEST_F(HostServices, AutomationTellsTheHostAfterTheEffectTookTheValue) {
  effect.setParameterAutomated(2, 0.25f);
  ASSERT_EQ(hostCalls.size(), 1u);
  EXPECT_EQ(hostCalls[0].record, effect.getEffectRecord());
  EXPECT_EQ(hostCalls[0].opcode, audioMasterAutomate);
  EXPECT_EQ(hostCalls[0].index, 2);
  EXPECT_EQ(hostCalls[0].opt, 0.25f);
  EXPECT_EQ(hostCalls[0].parameterSeenByHost, 0.25f);
}

TEST_F(HostServices, AutomationBringsValuesIntoRangeBeforeEffectAndHostSeeThem) {
  const float cases[][2] = {{-0.5f, 0.0f},
                            {1.5f, 1.0f},
                            {std::numeric_limits<float>::quiet_NaN(), 0.0f},
                            {std::numeric_limits<float>::infinity(), 1.0f},
                            {-std::numeric_limits<float>::infinity(), 0.0f}};
  for (const auto& values : cases) {
    hostCalls.clear();
    effect.setParameterAutomated(1, values[0]);
    EXPECT_EQ(effect.stored[1], values[1]) << values[0];
    ASSERT_EQ(hostCalls.size(), 1u);
    EXPECT_EQ(hostCalls[0].opt, values[1]) << values[0];
  }
}

TEST_F(HostServices, NegativeIndicesReachNeitherEffectNorHost) {
  effect.setParameterAutomated(-1, 0.5f);
  EXPECT_FALSE(effect.beginEdit(-1));
  EXPECT_FALSE(effect.endEdit(-3));
  EXPECT_TRUE(hostCalls.empty());
}

TEST_F(HostServices, EditGesturesAndIdleSendTheirOpcodes) {
  EXPECT_TRUE(effect.beginEdit(3));
  EXPECT_TRUE(effect.endEdit(3));
  EXPECT_TRUE(effect.masterIdle());
  ASSERT_EQ(hostCalls.size(), 3u);
  EXPECT_EQ(hostCalls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(hostCalls[0].index, 3);
  EXPECT_EQ(hostCalls[1].opcode, audioMasterEndEdit);
  EXPECT_EQ(hostCalls[1].index, 3);
  EXPECT_EQ(hostCalls[2].opcode, audioMasterIdle);
  EXPECT_EQ(hostCalls[2].index, 0);

  hostAnswer = 0;
  EXPECT_FALSE(effect.beginEdit(0));
  EXPECT_FALSE(effect.endEdit(0));
  hostAnswer = 77;
  EXPECT_TRUE(effect.beginEdit(0));
}

TEST_F(HostServices, WithoutAHostNothingIsSentAndTheAnswerIsNo) {
  StoringEffect alone(nullptr);
  alone.setParameterAutomated(0, 0.5f);
  EXPECT_EQ(alone.stored[0], 0.5f);
  EXPECT_FALSE(alone.beginEdit(0));
  EXPECT_FALSE(alone.endEdit(0));
  EXPECT_FALSE(alone.masterIdle());
  EXPECT_TRUE(hostCalls.empty());
}

TEST_F(HostServices, EntryPointAsksForTheVersionWithoutARecord) {
  AEffect* record = pluginMain(recordingHost);
  ASSERT_NE(record, nullptr);
  ASSERT_FALSE(hostCalls.empty());
  EXPECT_EQ(hostCalls[0].record, nullptr);
  EXPECT_EQ(hostCalls[0].opcode, audioMasterVersion);
  EXPECT_EQ(hostCalls[0].index, 0);
  EXPECT_EQ(hostCalls[0].value, 0);
  EXPECT_EQ(hostCalls[0].opt, 0.0f);
  EXPECT_EQ(record->magic, kEffectMagic);
  EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST_F(HostServices, EntryPointRefusesAHostThatIsNotThere) {
  hostAnswer = 0;
  EXPECT_EQ(pluginMain(recordingHost), nullptr);
  EXPECT_EQ(hostCalls.size(), 1u);  // the version query, and nothing was built to ask more
  EXPECT_EQ(pluginMain(nullptr), nullptr);
}

}  // namespace
