#pragma once
#include <cstdint>

// Where the mono input of a render comes from: a file or the demo signal.
class SignalSource {
 public:
  virtual ~SignalSource() = default;
  virtual double sampleRate() const = 0;
  virtual std::int64_t totalFrames() const = 0;
  // Fills up to frames samples; returns how many there were (0 at the end).
  virtual int read(double* mono, int frames) = 0;
};
