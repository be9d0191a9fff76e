#include "tools/validate/AudioRunner.h"

#include <algorithm>
#include <cmath>

#include "tools/validate/CheckOutcomes.h"

namespace {

// Frames after each output's capacity that must come back untouched.
constexpr int kGuardFrames = 64;
// Written into the outputs before each call: what is still there afterwards was not written.
constexpr double kUnwritten = 12345.0;
constexpr double kGuard = -54321.0;
constexpr double kPi = 3.14159265358979323846;

template <typename Sample>
std::string sampleProblem(Sample sample) {
  if (sample == static_cast<Sample>(kUnwritten)) return "was not written";
  if (std::isnan(sample)) return "is NaN";
  if (std::isinf(sample)) return "is infinite";
  if (std::fpclassify(sample) == FP_SUBNORMAL) return "is subnormal";
  return "";
}

}  // namespace

AudioRunner::AudioRunner(const EffectInstance& effect, Precision precision, int capacity)
    : effect(effect), precision(precision), capacity(std::max(capacity, 1)) {
  if (precision == Precision::single)
    size(floats);
  else
    size(doubles);
}

template <typename Sample>
void AudioRunner::size(Channels<Sample>& channels) {
  // At least one input and one output, so a record that declares none still gets valid arrays.
  auto inputs = static_cast<std::size_t>(std::max(effect.inputCount(), 1));
  auto outputs = static_cast<std::size_t>(std::max(effect.outputCount(), 1));
  auto frames = static_cast<std::size_t>(capacity + kGuardFrames);
  channels.inputs.assign(inputs, std::vector<Sample>(frames));
  channels.outputs.assign(outputs, std::vector<Sample>(frames));
  for (auto& channel : channels.inputs) channels.inputPointers.push_back(channel.data());
  for (auto& channel : channels.outputs) channels.outputPointers.push_back(channel.data());
}

void AudioRunner::run(int frames) {
  if (precision == Precision::single)
    runBlock(floats, frames, false);
  else
    runBlock(doubles, frames, false);
}

void AudioRunner::runSilence(int frames) {
  if (precision == Precision::single)
    runBlock(floats, frames, true);
  else
    runBlock(doubles, frames, true);
}

void AudioRunner::runFor(std::int64_t totalFrames, int blockFrames) {
  for (std::int64_t done = 0; done < totalFrames; done += blockFrames)
    run(static_cast<int>(std::min<std::int64_t>(blockFrames, totalFrames - done)));
}

template <typename Sample>
void AudioRunner::runBlock(Channels<Sample>& channels, int frames, bool silent) {
  for (std::size_t channel = 0; channel < channels.inputs.size(); ++channel) {
    double pitch = 2.0 * kPi * (220.0 + 110.0 * static_cast<double>(channel % 4)) / rate;
    for (int i = 0; i < frames; ++i) {
      noise = noise * 1664525u + 1013904223u;
      double hiss = 0.1 * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0);
      double tone = 0.4 * std::sin(pitch * static_cast<double>(position + i));
      channels.inputs[channel][static_cast<std::size_t>(i)] =
          silent ? Sample(0) : static_cast<Sample>(tone + hiss);
    }
  }
  for (auto& output : channels.outputs) {
    std::fill(output.begin(), output.begin() + frames, static_cast<Sample>(kUnwritten));
    std::fill(output.begin() + frames, output.end(), static_cast<Sample>(kGuard));
  }
  AEffect* record = effect.record();
  if constexpr (sizeof(Sample) == sizeof(float))
    record->processReplacing(record, channels.inputPointers.data(), channels.outputPointers.data(),
                             frames);
  else
    record->processDoubleReplacing(record, channels.inputPointers.data(),
                                   channels.outputPointers.data(), frames);
  position += frames;
  std::string problem = problemIn(channels, frames);
  if (!problem.empty())
    throw CheckFailure(std::string(precisionName(precision)) + " processing" +
                       (context.empty() ? "" : " " + context) + ", a block of " +
                       std::to_string(frames) + " frames: " + problem);
}

template <typename Sample>
std::string AudioRunner::problemIn(const Channels<Sample>& channels, int frames) const {
  auto declared = static_cast<std::size_t>(std::max(effect.outputCount(), 0));
  for (std::size_t channel = 0; channel < channels.outputs.size(); ++channel) {
    const std::vector<Sample>& output = channels.outputs[channel];
    // Only the outputs the record declares must be written; the spare one given to a record that
    // declares none must still not be written past its end.
    for (int i = 0; i < frames && channel < declared; ++i) {
      std::string problem = sampleProblem(output[static_cast<std::size_t>(i)]);
      if (!problem.empty())
        return "output " + std::to_string(channel) + " frame " + std::to_string(i) + " " + problem;
    }
    for (std::size_t i = static_cast<std::size_t>(frames); i < output.size(); ++i)
      if (output[i] != static_cast<Sample>(kGuard))
        return "output " + std::to_string(channel) +
               " was written past the end of the block, at frame " + std::to_string(i);
  }
  return "";
}
