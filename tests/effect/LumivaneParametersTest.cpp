// Parameters, programs, texts and the sizing of the delay lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "effect/Lumivane.h"
#include "tests/effect/RecordingEditor.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

class LumivaneParameters : public ::testing::Test {
 protected:
  // Runs silence so that the write indices move on by frames samples.
  void advance(int frames) {
    std::vector<float> in(static_cast<std::size_t>(frames)), left(in.size()), right(in.size());
    float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    effect.processReplacing(inputs, outputs, frames);
  }
  std::string call(void (Lumivane::*get)(VstInt32, char*), VstInt32 index) {
    char text[64] = "untouched";
    (effect.*get)(index, text);
    return text;
  }

  Lumivane effect{nullptr};
};

struct LineCase {
  float rate;
  VstInt32 length1, expressionLength, length2;
};

TEST_F(LumivaneParameters, LinesAreSizedFromTheSampleRate) {
  const LineCase cases[] = {{44100.0f, 44, 1763, 1807},
                            {48000.0f, 48, 1919, 1967},
                            {96000.0f, 96, 3839, 3935},
                            {8000.0f, 8, 319, 327},
                            {768000.0f, 768, 30719, 31487}};
  for (const LineCase& c : cases) {
    effect.setSampleRate(c.rate);
    Lumivane::DelayState state = effect.delayState();
    EXPECT_EQ(state.length1, c.length1) << c.rate;
    EXPECT_EQ(state.expressionLength, c.expressionLength) << c.rate;
    EXPECT_EQ(state.length2, c.length2) << c.rate;
    EXPECT_EQ(effect.getSampleRate(), c.rate);
  }
}

TEST_F(LumivaneParameters, FreshEffectHasTheDefaultTapsAt44100) {
  Lumivane::DelayState state = effect.delayState();
  EXPECT_EQ(effect.getSampleRate(), 44100.0f);
  EXPECT_EQ(state.length1, 44);
  EXPECT_EQ(state.expressionLength, 1763);
  EXPECT_EQ(state.length2, 1807);
  EXPECT_EQ(state.write1, 0);
  EXPECT_EQ(state.write2, 0);
  EXPECT_EQ(state.tap1, 0);
  EXPECT_EQ(state.tap2, 1807 - 881);
}

TEST_F(LumivaneParameters, TapsFollowPreDelayAndExpression) {
  advance(10);
  effect.setParameter(0, 1.0f);
  Lumivane::DelayState state = effect.delayState();
  EXPECT_EQ(state.write1, 10);
  EXPECT_EQ(state.tap1, 10 - 44 + 44);
  EXPECT_EQ(state.tap2, 10 - (44 + 881) + 1807);

  Lumivane fresh(nullptr);
  fresh.setParameter(1, 0.25f);
  EXPECT_EQ(fresh.delayState().tap2, 1807 - 440);
}

// Moving through whole lines, the taps keep their distance behind the write indices.
TEST_F(LumivaneParameters, TapsStayInsideTheLinesAsTheyAdvance) {
  effect.setParameter(0, 0.7f);
  effect.setParameter(1, 0.9f);
  for (int block = 0; block < 40; ++block) {
    advance(97);
    Lumivane::DelayState state = effect.delayState();
    ASSERT_GE(state.tap1, 0);
    ASSERT_LT(state.tap1, state.length1);
    ASSERT_GE(state.tap2, 0);
    ASSERT_LT(state.tap2, state.length2);
    EXPECT_EQ((state.write1 - state.tap1 + state.length1) % state.length1, 30);  // trunc(0.7 * 44)
    EXPECT_EQ((state.write2 - state.tap2 + state.length2) % state.length2,
              1617);  // trunc(30.8 + 1586.7)
  }
}

TEST_F(LumivaneParameters, NewRateEmptiesTheLinesAndRestartsTheWriteIndices) {
  std::vector<float> in(3000, 0.5f), left(in.size()), right(in.size());
  float* inputs[] = {in.data()};
  float* outputs[] = {left.data(), right.data()};
  effect.processReplacing(inputs, outputs, 3000);
  effect.setSampleRate(48000.0f);
  Lumivane::DelayState state = effect.delayState();
  EXPECT_EQ(state.write1, 0);
  EXPECT_EQ(state.write2, 0);
  EXPECT_EQ(state.tap2, 1967 - 959);

  // Everything the right output reads for a whole line length is the zeros of the new line.
  std::vector<float> silence(1967, 0.0f);
  inputs[0] = silence.data();
  effect.processReplacing(inputs, outputs, 1967);
  for (int i = 0; i < 1967; ++i) ASSERT_EQ(right[static_cast<std::size_t>(i)], 0.0f) << i;
}

TEST_F(LumivaneParameters, SampleRatesOutsideTheRangeAreRefused) {
  effect.setSampleRate(48000.0f);
  for (float rate :
       {0.0f, -44100.0f, kNaN, kInfinity, -kInfinity, 999.0f, 7999.0f, 768001.0f, 1e9f}) {
    effect.setSampleRate(rate);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f) << rate;
    EXPECT_EQ(effect.delayState().length2, 1967) << rate;
  }
}

struct ClampCase {
  float given;
  float taken;
};

TEST_F(LumivaneParameters, ParameterValuesAreBroughtIntoRange) {
  auto editor = new RecordingEditor(&effect);
  effect.setEditor(editor);
  constexpr float kSmallestNormal = std::numeric_limits<float>::min();
  const ClampCase cases[] = {{0.25f, 0.25f},
                             {-1.0f, 0.0f},
                             {2.0f, 1.0f},
                             {kNaN, 0.0f},
                             {kInfinity, 1.0f},
                             {-kInfinity, 0.0f},
                             {-0.0f, 0.0f},
                             {std::numeric_limits<float>::denorm_min(), 0.0f},
                             {kSmallestNormal / 2, 0.0f},
                             {kSmallestNormal, kSmallestNormal}};
  for (VstInt32 index = 0; index < 6; ++index) {
    for (const ClampCase& c : cases) {
      editor->values.clear();
      effect.setParameter(index, c.given);
      EXPECT_EQ(effect.getParameter(index), c.taken) << index << ' ' << c.given;
      EXPECT_EQ(effect.program(0).values[index], c.taken);
      ASSERT_EQ(editor->values.size(), 1u);
      EXPECT_EQ(editor->values[0].index, index);
      EXPECT_EQ(editor->values[0].value, c.taken);
      Lumivane::DelayState state = effect.delayState();
      ASSERT_TRUE(state.tap1 >= 0 && state.tap1 < state.length1);
      ASSERT_TRUE(state.tap2 >= 0 && state.tap2 < state.length2);
    }
  }
}

TEST_F(LumivaneParameters, OtherIndicesChangeNothingButReachTheEditor) {
  auto editor = new RecordingEditor(&effect);
  effect.setEditor(editor);
  Lumivane::DelayState before = effect.delayState();
  for (VstInt32 index : {6, 7, 9, 13, 99}) effect.setParameter(index, 0.9f);
  effect.setParameter(-1, 0.9f);
  effect.setParameter(std::numeric_limits<VstInt32>::min(), 0.9f);

  EXPECT_EQ(editor->indices(), (std::vector<VstInt32>{6, 7, 9, 13, 99}));
  const float defaults[] = {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f};
  for (VstInt32 i = 0; i < 6; ++i) EXPECT_EQ(effect.getParameter(i), defaults[i]);
  EXPECT_EQ(effect.delayState().tap2, before.tap2);
  for (VstInt32 index : {6, 9, -1, 1000}) EXPECT_EQ(effect.getParameter(index), 0.0f);
}

struct TextCase {
  VstInt32 index;
  float value;
  const char* name;
  const char* label;
  const char* display;
};

TEST_F(LumivaneParameters, ParameterTexts) {
  const TextCase cases[] = {
      {0, 0.5f, "PreDelay", "ms", "0.50"}, {1, 0.5f, "Expression", "", "50"},
      {2, 0.25f, "Wide", "", "25"},        {3, 0.5f, "Dry", "", "50"},
      {4, 1.0f, "Wet", "", "100"},         {5, 0.0f, "Mix", "", "0"},
  };
  for (const TextCase& c : cases) {
    effect.setParameter(c.index, c.value);
    EXPECT_EQ(call(&Lumivane::getParamName, c.index), c.name);
    EXPECT_EQ(call(&Lumivane::getParamLabel, c.index), c.label);
    EXPECT_EQ(call(&Lumivane::getParamDisplay, c.index), c.display);
  }
  for (VstInt32 index : {6, -1, 1000}) {
    EXPECT_EQ(call(&Lumivane::getParamName, index), "untouched");
    EXPECT_EQ(call(&Lumivane::getParamLabel, index), "untouched");
    EXPECT_EQ(call(&Lumivane::getParamDisplay, index), "untouched");
  }
}

TEST_F(LumivaneParameters, ProgramsRecallTheirValuesThroughSetParameter) {
  auto editor = new RecordingEditor(&effect);
  effect.setEditor(editor);
  effect.setProgram(3);
  effect.setParameter(0, 0.2f);
  effect.setParameter(5, 0.4f);
  effect.setProgram(7);
  EXPECT_EQ(effect.getParameter(0), 0.0f);
  EXPECT_EQ(effect.getParameter(5), 1.0f);

  editor->values.clear();
  effect.setProgram(3);
  EXPECT_EQ(effect.getProgram(), 3);
  EXPECT_EQ(effect.getParameter(0), 0.2f);
  EXPECT_EQ(effect.getParameter(5), 0.4f);
  EXPECT_EQ(effect.delayState().tap1, effect.delayState().write1 - 8 + 44);  // trunc(0.2 * 44) = 8
  EXPECT_EQ(editor->indices(), (std::vector<VstInt32>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(editor->values[0].value, 0.2f);
  EXPECT_EQ(editor->values[5].value, 0.4f);

  // Programs that do not exist are not switched to.
  for (VstInt32 program : {16, -1, 1000}) {
    effect.setProgram(program);
    EXPECT_EQ(effect.getProgram(), 3);
  }
}

TEST_F(LumivaneParameters, ProgramNamesHoldAtMostTwentyThreeCharacters) {
  char name[] = "Twenty-four characters!!and then some more";
  effect.setProgramName(name);
  char read[64];
  std::memset(read, '#', sizeof read);
  effect.getProgramName(read);
  EXPECT_EQ(std::string(read), "Twenty-four characters!");
  EXPECT_EQ(read[24], '#');
  // The values stored right after the name are intact.
  const float defaults[] = {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(effect.program(0).values[i], defaults[i]);

  char shortName[] = "Wide room";
  effect.setProgramName(shortName);
  effect.getProgramName(read);
  EXPECT_STREQ(read, "Wide room");
}

TEST_F(LumivaneParameters, ProgramNamesByIndex) {
  char renamed[] = "Last";
  effect.setProgram(15);
  effect.setProgramName(renamed);
  char text[32];
  EXPECT_TRUE(effect.getProgramNameIndexed(0, 15, text));
  EXPECT_STREQ(text, "Last");
  EXPECT_TRUE(effect.getProgramNameIndexed(42, 0, text));  // the category is ignored
  EXPECT_STREQ(text, "Default");
  for (VstInt32 index : {16, -1, std::numeric_limits<VstInt32>::min()}) {
    std::strcpy(text, "untouched");
    EXPECT_FALSE(effect.getProgramNameIndexed(0, index, text));
    EXPECT_STREQ(text, "untouched");
  }
}

TEST_F(LumivaneParameters, IdentityAnswers) {
  char text[64];
  EXPECT_TRUE(effect.getEffectName(text));
  EXPECT_STREQ(text, "Lumivane");
  EXPECT_TRUE(effect.getProductString(text));
  EXPECT_STREQ(text, "Lumivane");
  EXPECT_TRUE(effect.getVendorString(text));
  EXPECT_STREQ(text, "Velmora");
  EXPECT_EQ(effect.getVendorVersion(), 2000);
  EXPECT_EQ(effect.getPlugCategory(), kPlugCategSpacializer);
  EXPECT_EQ(effect.getEffectRecord()->flags, 0x1011);
  EXPECT_EQ(effect.getEffectRecord()->uniqueID, 0x3E51A7C2);
}

}  // namespace
