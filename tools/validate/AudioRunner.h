#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/validate/EffectInstance.h"

// Feeds an effect a test signal block by block in one precision, as a host's audio thread does,
// and checks every block it gives back: every output sample written, none of them NaN, infinite or
// subnormal, and nothing written past the end of the block. The first problem is thrown as a
// CheckFailure that names the precision, the block and the sample.
class AudioRunner {
 public:
  // `capacity`: the longest block it will be asked to run.
  AudioRunner(const EffectInstance& effect, Precision precision, int capacity);

  // Said in messages after the precision, e.g. "at 96000 Hz".
  void setContext(const std::string& text) { context = text; }
  // The rate the test tone is made for (its pitch stays the same at any rate).
  void setRate(double rate) { this->rate = rate > 0.0 ? rate : 44100.0; }
  // One block of the test signal: a tone on each input with some noise.
  void run(int frames);
  void runSilence(int frames);
  // Blocks of `blockFrames` until `totalFrames` have been run.
  void runFor(std::int64_t totalFrames, int blockFrames);

 private:
  template <typename Sample>
  struct Channels {
    std::vector<std::vector<Sample>> inputs, outputs;
    std::vector<Sample*> inputPointers, outputPointers;
  };

  template <typename Sample>
  void size(Channels<Sample>& channels);
  template <typename Sample>
  void runBlock(Channels<Sample>& channels, int frames, bool silent);
  template <typename Sample>
  std::string problemIn(const Channels<Sample>& channels, int frames) const;

  const EffectInstance& effect;
  Precision precision;
  int capacity;
  std::string context;
  double rate = 44100.0;
  std::int64_t position = 0;
  std::uint32_t noise = 1;
  Channels<float> floats;
  Channels<double> doubles;
};
