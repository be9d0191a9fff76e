#pragma once
#include <cstdint>
#include <vector>

class OutputMeter;
class PluginLibrary;
class ProgressBar;
class SignalSource;
class WavWriter;

// Feeds a signal through the plug-in block by block, in the plug-in's own sample type: a mono
// signal into every input, a signal of several channels channel i into input i (the inputs beyond
// them silent); every output to the file and the meter.
class BlockRenderer {
 public:
  // The source must not have more channels than the plug-in has inputs, unless it is mono.
  BlockRenderer(const PluginLibrary& plugin, int blockSize, bool doublePrecision);
  // Renders until the source ends; returns the number of frames rendered.
  std::int64_t render(SignalSource& source, WavWriter& output, OutputMeter& meter,
                      ProgressBar& progress);

 private:
  template <typename Sample>
  struct Channels {
    std::vector<std::vector<Sample>> inputs, outputs;
    std::vector<Sample*> inputPointers, outputPointers;
    void size(std::size_t inputCount, std::size_t outputCount, std::size_t frames);
  };

  template <typename Sample>
  std::int64_t renderWith(Channels<Sample>& channels, SignalSource& source, WavWriter& output,
                          OutputMeter& meter, ProgressBar& progress);
  template <typename Sample>
  void routeInputs(Channels<Sample>& channels, int sourceChannels, int frames);
  void process(float** inputs, float** outputs, int frames);
  void process(double** inputs, double** outputs, int frames);

  const PluginLibrary& plugin;
  int blockSize;
  bool doublePrecision;
  Channels<float> floats;
  Channels<double> doubles;
};
