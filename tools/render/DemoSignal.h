#pragma once
#include <vector>

#include "tools/render/SignalSource.h"

// About six seconds of mono test music at 44100 Hz, made on the spot: a phrase of plucked
// strings, a few clicks, a sine sweep from 100 Hz to 8 kHz and a held chord. It shows the widening
// on sustained tones, on transients and across the spectrum.
class DemoSignal : public SignalSource {
 public:
  DemoSignal();
  double sampleRate() const override { return kRate; }
  int channelCount() const override { return 1; }
  std::int64_t totalFrames() const override { return static_cast<std::int64_t>(samples.size()); }
  int read(float* const* channels, int frames) override;
  int read(double* const* channels, int frames) override;

 private:
  static constexpr double kRate = 44100.0;
  void addPluck(double startSeconds, double frequency, double level);
  void addClick(double atSeconds, double level);
  void addSweep(double startSeconds, double seconds, double level);
  void addTone(double startSeconds, double seconds, double frequency, double level);
  template <typename Sample>
  int readInto(Sample* mono, int frames);

  std::vector<double> samples;
  std::size_t position = 0;
};
