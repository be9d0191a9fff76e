// Parameters swept, set to values no host should send while audio runs, and set by indices the
// plug-in does not have; programs switched while audio runs.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "tools/validate/AudioRunner.h"
#include "tools/validate/AudioThread.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"
#include "tools/validate/RecentCalls.h"
#include "tools/validate/TextAnswer.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 256;

// Values hosts and damaged preset files deliver although the interface says 0 to 1, and
// subnormal ones, which lie inside 0 to 1 but turn a plain product with the signal into
// subnormal output samples.
const float kHostileValues[] = {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                -1.0f,
                                2.0f,
                                1e30f,
                                -1e30f,
                                -0.0f,
                                std::numeric_limits<float>::denorm_min(),
                                std::numeric_limits<float>::min() / 4};

float hostileValue(CheckContext& context) {
  return kHostileValues[context.between(0, std::size(kHostileValues) - 1)];
}

std::string valueText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

std::string parameterText(const EffectInstance& effect, VstInt32 index) {
  TextAnswer name = TextAnswer::ask(effect, effGetParamName, index);
  return "parameter " + std::to_string(index) +
         (name.problem.empty() ? " '" + name.text + "'" : "");
}

// getParameter must answer a value a host can show and send back: a number from 0 to 1.
void expectValueInRange(const EffectInstance& effect, VstInt32 index, const std::string& after) {
  float value = effect.getParameter(index);
  if (!(value >= 0.0f && value <= 1.0f))
    throw CheckFailure(parameterText(effect, index) + ": getParameter answers " + valueText(value) +
                       " after " + after);
}

void requireParameters(const EffectInstance& effect) {
  if (effect.parameterCount() == 0) throw CheckSkipped("the plug-in has no parameters");
}

// Rethrows a problem of the audio thread with what the check had just done.
void stopAudio(AudioThread& audio, const RecentCalls& recent) {
  try {
    audio.stop();
  } catch (const CheckFailure& failure) {
    throw CheckFailure(std::string(failure.what()) + " (the last calls: " + recent.text() + ")");
  }
}

}  // namespace

std::string checkParameterSweep(CheckContext& context) {
  EffectInstance effect(context.module());
  requireParameters(effect);
  effect.start(kRate, kBlock);
  AudioRunner runner(effect, effect.precisions().front(), kBlock);
  int steps = context.scaled(10);
  for (VstInt32 index = 0; index < effect.parameterCount(); ++index) {
    for (int step = 0; step <= steps; ++step) {
      float value = static_cast<float>(step) / static_cast<float>(steps);
      std::string set = "setParameter(" + std::to_string(index) + ", " + valueText(value) + ")";
      context.step(set);
      effect.setParameter(index, value);
      expectValueInRange(effect, index, set);
      TextAnswer display = TextAnswer::ask(effect, effGetParamDisplay, index);
      if (!display.problem.empty())
        throw CheckFailure(parameterText(effect, index) + ": the display after " + set + " " +
                           display.problem);
      runner.setContext("after " + set);
      runner.run(kBlock);
    }
  }
  return std::to_string(effect.parameterCount()) + " parameters through " +
         std::to_string(steps + 1) + " values each, with their displays and a block after each";
}

std::string checkParameterFuzzDuringAudio(CheckContext& context) {
  EffectInstance effect(context.module());
  requireParameters(effect);
  effect.start(kRate, kBlock);
  AudioThread audio(effect, effect.precisions().front(), kBlock, kRate);
  int rounds = context.scaled(20);
  RecentCalls recent;
  for (int round = 0; round < rounds && !audio.failed(); ++round) {
    for (VstInt32 index = 0; index < effect.parameterCount() && !audio.failed(); ++index) {
      float value = context.between(0, 1) == 1
                        ? hostileValue(context)
                        : std::uniform_real_distribution<float>(0.0f, 1.0f)(context.random());
      std::string call = "setParameter(" + std::to_string(index) + ", " + valueText(value) + ")";
      recent.add(call);
      context.step(call + " with audio running");
      effect.setParameter(index, value);
      expectValueInRange(effect, index, call);
      audio.waitForWholeBlock();
    }
  }
  // Valid values again: whatever came before, the effect must go on giving sound.
  if (!audio.failed()) {
    for (VstInt32 index = 0; index < effect.parameterCount(); ++index)
      effect.setParameter(index, 0.5f);
    recent.add("every parameter set to 0.5");
    audio.waitForWholeBlock();
  }
  stopAudio(audio, recent);
  return std::to_string(rounds) + " rounds over " + std::to_string(effect.parameterCount()) +
         " parameters of NaN, infinities, out-of-range, subnormal and valid values with audio "
         "running on another thread";
}

std::string checkParameterIndicesOutOfRange(CheckContext& context) {
  EffectInstance effect(context.module());
  effect.start(kRate, kBlock);
  VstInt32 count = effect.parameterCount();
  const VstInt32 indices[] = {-1,
                              count,
                              count + 1,
                              1000,
                              std::numeric_limits<VstInt32>::max(),
                              std::numeric_limits<VstInt32>::min()};
  for (VstInt32 index : indices) {
    context.step("setParameter and getParameter of parameter " + std::to_string(index));
    effect.setParameter(index, 0.5f);
    effect.getParameter(index);
    for (VstInt32 opcode :
         {effGetParamName, effGetParamLabel, effGetParamDisplay, effCanBeAutomated}) {
      context.step("dispatcher opcode " + std::to_string(opcode) + " for parameter " +
                   std::to_string(index));
      TextAnswer answer = TextAnswer::ask(effect, opcode, index);
      if (!answer.problem.empty())
        throw CheckFailure("the answer to opcode " + std::to_string(opcode) + " for parameter " +
                           std::to_string(index) + " " + answer.problem);
    }
  }
  AudioRunner runner(effect, effect.precisions().front(), kBlock);
  runner.setContext("after parameters it does not have were set");
  runner.run(kBlock);
  return "indices -1, " + std::to_string(count) + ", " + std::to_string(count + 1) +
         ", 1000 and the extremes for setParameter, getParameter, names, labels, displays and "
         "automation";
}

std::string checkProgramSwitchesDuringAudio(CheckContext& context) {
  EffectInstance effect(context.module());
  VstInt32 programs = effect.programCount();
  if (programs == 0) throw CheckSkipped("the plug-in has no programs");
  effect.start(kRate, kBlock);
  AudioThread audio(effect, effect.precisions().front(), kBlock, kRate);
  const VstInt32 outside[] = {-1, programs, std::numeric_limits<VstInt32>::max()};
  int switches = context.scaled(50);
  RecentCalls recent;
  for (int i = 0; i < switches && !audio.failed(); ++i) {
    // One switch in five asks for a program the plug-in does not have, which it must ignore.
    bool valid = i % 5 != 4;
    VstInt32 program = valid ? static_cast<VstInt32>(context.between(0, programs - 1))
                             : outside[context.between(0, std::size(outside) - 1)];
    std::string call = "effSetProgram(" + std::to_string(program) + ")";
    recent.add(call);
    context.step(call + " with audio running");
    VstIntPtr before = effect.dispatch(effGetProgram);
    effect.dispatch(effSetProgram, 0, program);
    VstIntPtr now = effect.dispatch(effGetProgram);
    if ((valid && now != program) || (!valid && now != before))
      throw CheckFailure("effGetProgram answers " + std::to_string(now) + " after " + call +
                         (valid ? "" : ", a program the plug-in does not have"));
    TextAnswer name = TextAnswer::ask(effect, effGetProgramName);
    if (!name.problem.empty())
      throw CheckFailure("effGetProgramName after " + call + " " + name.problem);
    audio.waitForWholeBlock();
  }
  stopAudio(audio, recent);
  return std::to_string(switches) +
         " program switches, one in five to a program it does not have, with audio "
         "running on another thread";
}
