#pragma once
#include <cstdint>
#include <vector>

class OutputMeter;
class PluginLibrary;
class ProgressBar;
class SignalSource;
class StereoWavWriter;

// Feeds a signal through the plug-in block by block: the signal into input 0 (the other inputs
// silent), outputs 0 and 1 to the file and the meter.
class BlockRenderer {
 public:
  BlockRenderer(const PluginLibrary& plugin, int blockSize, bool doublePrecision);
  // Renders until the source ends; returns the number of frames rendered.
  std::int64_t render(SignalSource& source, StereoWavWriter& output, OutputMeter& meter,
                      ProgressBar& progress);

 private:
  template <typename Sample>
  struct Channels {
    std::vector<std::vector<Sample>> inputs, outputs;
    std::vector<Sample*> inputPointers, outputPointers;
    void size(std::size_t inputCount, std::size_t outputCount, std::size_t frames);
  };

  void processBlock(int frames);

  const PluginLibrary& plugin;
  int blockSize;
  bool doublePrecision;
  Channels<float> floats;
  Channels<double> doubles;
};
