#include "tools/render/BlockRenderer.h"

#include <algorithm>

#include "tools/render/OutputMeter.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/SignalSource.h"
#include "tools/render/WavWriter.h"

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
  // Every input and output the plug-in declares gets a buffer; a plug-in without inputs still
  // gets one silent buffer, in case it reads where its first input would be.
  auto inputCount = static_cast<std::size_t>(std::max(plugin.effect()->numInputs, 1));
  auto outputCount = static_cast<std::size_t>(std::max(plugin.effect()->numOutputs, 1));
  auto frames = static_cast<std::size_t>(blockSize);
  if (doublePrecision)
    doubles.size(inputCount, outputCount, frames);
  else
    floats.size(inputCount, outputCount, frames);
}

std::int64_t BlockRenderer::render(SignalSource& source, WavWriter& output, OutputMeter& meter,
                                   ProgressBar& progress) {
  if (doublePrecision) return renderWith(doubles, source, output, meter, progress);
  return renderWith(floats, source, output, meter, progress);
}

template <typename Sample>
std::int64_t BlockRenderer::renderWith(Channels<Sample>& channels, SignalSource& source,
                                       WavWriter& output, OutputMeter& meter,
                                       ProgressBar& progress) {
  int sourceChannels = source.channelCount();
  std::int64_t rendered = 0;
  while (int frames = source.read(channels.inputPointers.data(), blockSize)) {
    routeInputs(channels, sourceChannels, frames);
    process(channels.inputPointers.data(), channels.outputPointers.data(), frames);
    output.write(channels.outputPointers.data(), frames);
    meter.add(channels.outputPointers.data(), frames);
    rendered += frames;
    progress.advance(rendered);
  }
  return rendered;
}

// The source filled the first inputs, one per channel; a mono source's channel is copied to every
// other input, and the inputs beyond a wider source's channels are silenced again in case the
// plug-in wrote into them.
template <typename Sample>
void BlockRenderer::routeInputs(Channels<Sample>& channels, int sourceChannels, int frames) {
  const Sample* first = channels.inputPointers[0];
  for (std::size_t input = static_cast<std::size_t>(sourceChannels);
       input < channels.inputPointers.size(); ++input) {
    Sample* samples = channels.inputPointers[input];
    if (sourceChannels == 1)
      std::copy_n(first, frames, samples);
    else
      std::fill_n(samples, frames, Sample(0));
  }
}

void BlockRenderer::process(float** inputs, float** outputs, int frames) {
  AEffect* effect = plugin.effect();
  effect->processReplacing(effect, inputs, outputs, frames);
}

void BlockRenderer::process(double** inputs, double** outputs, int frames) {
  AEffect* effect = plugin.effect();
  effect->processDoubleReplacing(effect, inputs, outputs, frames);
}
