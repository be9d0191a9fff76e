#pragma once
#include <cstdint>

// Where the input of a render comes from: a file, the demo signal, either followed by silence.
class SignalSource {
 public:
  virtual ~SignalSource() = default;
  virtual double sampleRate() const = 0;
  virtual int channelCount() const = 0;
  // The frames there will be; 0 or less when that is not known.
  virtual std::int64_t totalFrames() const = 0;
  // Fills up to `frames` samples of each channel, one buffer per channel; returns how many frames
  // there were (0 at the end). Both precisions, so the plug-in's own sample type is read directly.
  virtual int read(float* const* channels, int frames) = 0;
  virtual int read(double* const* channels, int frames) = 0;
};
