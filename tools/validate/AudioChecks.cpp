// Processing at every sample rate hosts offer and at absurd ones, in blocks of every size.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "tools/validate/AudioRunner.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 512;

// The rates hosts offer, from telephone quality to the highest studio rates.
constexpr float kHostRates[] = {8000,  11025,  16000,  22050,  32000,  44100,  48000, 88200,
                                96000, 176400, 192000, 352800, 384000, 705600, 768000};

std::string rateText(float rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(rate));
  return text;
}

void switchRate(const EffectInstance& effect, float rate) {
  effect.suspend();
  effect.setSampleRate(rate);
  effect.resume();
}

void switchBlockSize(const EffectInstance& effect, int frames) {
  effect.suspend();
  effect.setBlockSize(frames);
  effect.resume();
}

}  // namespace

std::string checkSampleRates(CheckContext& context) {
  EffectInstance effect(context.module());
  effect.start(kRate, kBlock);
  for (Precision precision : effect.precisions()) {
    AudioRunner runner(effect, precision, kBlock);
    for (float rate : kHostRates) {
      context.step(std::string(precisionName(precision)) + " at " + rateText(rate) + " Hz");
      switchRate(effect, rate);
      runner.setRate(rate);
      runner.setContext("at " + rateText(rate) + " Hz");
      // A tenth of a second at each rate at the default strictness.
      runner.runFor(static_cast<std::int64_t>(rate) * context.scaled(2) / 20, kBlock);
    }
  }
  return std::to_string(std::size(kHostRates)) + " rates from 8000 to 768000 Hz";
}

std::string checkAbsurdSampleRates(CheckContext& context) {
  const float absurd[] = {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity(), 1e7f};
  EffectInstance effect(context.module());
  effect.start(kRate, kBlock);
  for (Precision precision : effect.precisions()) {
    AudioRunner runner(effect, precision, kBlock);
    for (float rate : absurd) {
      std::string asked = "effSetSampleRate(" + rateText(rate) + ")";
      context.step(std::string(precisionName(precision)) + " after " + asked);
      switchRate(effect, rate);
      runner.setContext("after " + asked);
      runner.runFor(4 * kBlock, kBlock);
      context.step(std::string(precisionName(precision)) + " back at 44100 Hz after " + asked);
      switchRate(effect, kRate);
      runner.setContext("back at 44100 Hz after " + asked);
      runner.runFor(4 * kBlock, kBlock);
    }
  }
  return "0, -44100, NaN, infinity and 10 MHz, each followed by 44100 Hz again";
}

std::string checkBlockSizes(CheckContext& context) {
  const int sizes[] = {1, 7, 64, 4096, 65536};
  EffectInstance effect(context.module());
  effect.start(kRate, kBlock);
  for (Precision precision : effect.precisions()) {
    for (int size : sizes) {
      context.step(std::string(precisionName(precision)) + " in blocks of " + std::to_string(size));
      switchBlockSize(effect, size);
      AudioRunner runner(effect, precision, size);
      runner.setContext("in blocks of " + std::to_string(size));
      runner.runFor(std::max<std::int64_t>(2 * size, 8192), size);
      // Hosts also send fewer frames than announced, down to none at all.
      runner.run(static_cast<int>(context.between(1, size)));
      runner.run(0);
    }
  }
  return "blocks of 1, 7, 64, 4096 and 65536 frames, shorter ones and empty ones";
}

std::string checkLongerBlocks(CheckContext& context) {
  const int longer[] = {65, 128, 1000, 4096};
  EffectInstance effect(context.module());
  effect.start(kRate, 64);
  for (Precision precision : effect.precisions()) {
    AudioRunner runner(effect, precision, 4096);
    runner.setContext("after effSetBlockSize(64)");
    for (int frames : longer) {
      context.step(std::string(precisionName(precision)) + ": a block of " +
                   std::to_string(frames) + " after effSetBlockSize(64)");
      runner.run(frames);
    }
  }
  return "blocks of 65, 128, 1000 and 4096 frames after effSetBlockSize(64)";
}
