// Loading, opening and closing, and processing around resume and suspend.
#include <memory>
#include <vector>

#include "tools/validate/AudioRunner.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"
#include "tools/validate/TextAnswer.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 512;

std::string quotedText(const EffectInstance& effect, VstInt32 opcode) {
  TextAnswer answer = TextAnswer::ask(effect, opcode);
  return answer.problem.empty() ? "'" + answer.text + "'" : "(an unusable text)";
}

// A few blocks in each precision the plug-in offers, each block checked.
void runBlocks(const EffectInstance& effect, const std::string& context, int blocks) {
  for (Precision precision : effect.precisions()) {
    AudioRunner runner(effect, precision, kBlock);
    runner.setContext(context);
    for (int i = 0; i < blocks; ++i) runner.run(kBlock);
  }
}

std::string counted(int count, const char* what) { return std::to_string(count) + " " + what; }

}  // namespace

std::string checkLoad(CheckContext& context) {
  const PluginModule& module = context.module();
  context.step("calling the entry point " + module.entryPointName());
  EffectInstance effect(module);
  context.step("asking for the effect's names");
  std::string precisions;
  for (Precision precision : effect.precisions())
    precisions += (precisions.empty() ? "" : " and ") + std::string(precisionName(precision));
  return quotedText(effect, effGetEffectName) + " by " + quotedText(effect, effGetVendorString) +
         " through " + module.entryPointName() + ": " + counted(effect.inputCount(), "in") + ", " +
         counted(effect.outputCount(), "out") + ", " +
         counted(effect.parameterCount(), "parameters") + ", " +
         counted(effect.programCount(), "programs") + ", " + precisions +
         (effect.hasEditor() ? ", an editor" : "");
}

std::string checkOpenCloseCycles(CheckContext& context) {
  const PluginModule& module = context.module();
  int cycles = context.scaled(100);
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    // Every other cycle a second effect lives beside the first, as two instances in one song do.
    bool pair = cycle % 2 == 0;
    context.step("cycle " + std::to_string(cycle) + " of " + std::to_string(cycles) +
                 (pair ? ", two effects" : ""));
    auto first = std::make_unique<EffectInstance>(module);
    first->start(kRate, kBlock);
    std::unique_ptr<EffectInstance> second;
    if (pair) {
      second = std::make_unique<EffectInstance>(module);
      second->start(kRate, kBlock);
      runBlocks(*second, "of a second effect", 1);
    }
    runBlocks(*first, "", 1);
    first->suspend();
    // Leaving the loop body closes the second effect before the first; every fourth cycle the
    // first goes first.
    if (cycle % 4 == 0) first.reset();
  }
  return std::to_string(cycles) +
         " cycles of open, process and close; every other one with a second effect alive";
}

std::string checkProcessBeforeResume(CheckContext& context) {
  context.step("opening without effMainsChanged");
  EffectInstance effect(context.module());
  effect.dispatch(effOpen);
  effect.setSampleRate(kRate);
  effect.setBlockSize(kBlock);
  context.step("processing before effMainsChanged turned processing on");
  runBlocks(effect, "before effMainsChanged turned processing on", 4);
  return "4 blocks before effMainsChanged turned processing on";
}

std::string checkProcessAfterSuspend(CheckContext& context) {
  EffectInstance effect(context.module());
  effect.start(kRate, kBlock);
  context.step("processing after effMainsChanged turned processing on");
  runBlocks(effect, "", 4);
  effect.suspend();
  context.step("processing after effMainsChanged turned processing off");
  runBlocks(effect, "after effMainsChanged turned processing off", 4);
  effect.resume();
  context.step("processing after turning it on again");
  runBlocks(effect, "after effMainsChanged turned processing on again", 4);
  return "4 blocks after effMainsChanged turned processing off, then on again";
}

std::string checkSilenceAfterSignal(CheckContext& context) {
  EffectInstance effect(context.module());
  effect.start(kRate, kBlock);
  int seconds = context.scaled(5);
  for (Precision precision : effect.precisions()) {
    context.step(std::string(precisionName(precision)) + ": half a second of signal, then silence");
    AudioRunner runner(effect, precision, kBlock);
    runner.runFor(static_cast<std::int64_t>(kRate) / 2, kBlock);
    runner.setContext("in the silence after a signal");
    for (std::int64_t done = 0; done < static_cast<std::int64_t>(kRate) * seconds; done += kBlock)
      runner.runSilence(kBlock);
  }
  return std::to_string(seconds) + " s of silence after a signal, free of subnormal numbers";
}
