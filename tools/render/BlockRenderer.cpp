#include "tools/render/BlockRenderer.h"

#include <algorithm>

#include "tools/render/OutputMeter.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/SignalSource.h"
#include "tools/render/StereoWavWriter.h"

template <typename Sample>
void BlockRenderer::Channels<Sample>::size(std::size_t inputCount, std::size_t outputCount,
                                           std::size_t frames) {
  inputs.assign(inputCount, std::vector<Sample>(frames, Sample(0)));
  outputs.assign(outputCount, std::vector<Sample>(frames, Sample(0)));
  inputPointers.clear();
  outputPointers.clear();
  for (auto& channel : inputs) inputPointers.push_back(channel.data());
  for (auto& channel : outputs) outputPointers.push_back(channel.data());
}

BlockRenderer::BlockRenderer(const PluginLibrary& plugin, int blockSize, bool doublePrecision)
    : plugin(plugin), blockSize(blockSize), doublePrecision(doublePrecision) {
  // Every input and output the plug-in declares gets a buffer, at least one in and two out.
  auto inputCount = static_cast<std::size_t>(std::max(plugin.effect()->numInputs, 1));
  auto outputCount = static_cast<std::size_t>(std::max(plugin.effect()->numOutputs, 2));
  auto frames = static_cast<std::size_t>(blockSize);
  doubles.size(inputCount, outputCount, frames);
  if (!doublePrecision) floats.size(inputCount, outputCount, frames);
}

std::int64_t BlockRenderer::render(SignalSource& source, StereoWavWriter& output,
                                   OutputMeter& meter, ProgressBar& progress) {
  std::int64_t rendered = 0;
  while (int frames = source.read(doubles.inputs[0].data(), blockSize)) {
    processBlock(frames);
    output.write(doubles.outputs[0].data(), doubles.outputs[1].data(), frames);
    meter.add(doubles.outputs[0].data(), doubles.outputs[1].data(), frames);
    rendered += frames;
    progress.advance(rendered);
  }
  return rendered;
}

void BlockRenderer::processBlock(int frames) {
  AEffect* effect = plugin.effect();
  if (doublePrecision) {
    effect->processDoubleReplacing(effect, doubles.inputPointers.data(),
                                   doubles.outputPointers.data(), frames);
    return;
  }
  std::copy_n(doubles.inputs[0].begin(), frames, floats.inputs[0].begin());
  effect->processReplacing(effect, floats.inputPointers.data(), floats.outputPointers.data(),
                           frames);
  for (std::size_t channel = 0; channel < 2; ++channel)
    std::copy_n(floats.outputs[channel].begin(), frames, doubles.outputs[channel].begin());
}
