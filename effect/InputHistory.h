#pragma once
#include <cstring>
#include <memory>

#include "host/VstInterface.h"

// The recent input of the effect, which both of its delay lines hold: every sample goes into the
// pre-delay line and into the expression line alike, and both start silent together, so the
// pre-delay line's samples are always the newest ones of the longer expression line. One history
// as long as the expression line serves both taps, written once per sample.
//
// It is kept as a stretch rather than a ring: the sample written d samples ago lies d places before
// the write position, for every d from 1 to the length. Behind the history there is room for at
// least `room` more samples, so that a whole chunk and the taps that read it lie side by side
// without wrapping and the chunk's reads and writes go in one run. When the room runs out, the
// newest `length` samples move to the front.
class InputHistory {
 public:
  InputHistory() = default;
  // A silent history: `length` zero samples (at least 1) and room for `room` more; allocates.
  InputHistory(VstInt32 length, VstInt32 room)
      : samples(std::make_unique<double[]>(static_cast<std::size_t>(length + room))),
        length(length),
        capacity(length + room),
        write(length) {}

  // Makes room for `frames` samples (at most the room given at construction) after the write
  // position. No allocation: at worst `length` samples move.
  void makeRoom(VstInt32 frames) {
    if (write + frames <= capacity) return;
    std::memmove(samples.get(), samples.get() + (write - length),
                 static_cast<std::size_t>(length) * sizeof(double));
    write = length;
  }
  // Where the next sample goes; the places after it are free up to the room made.
  double* next() { return samples.get() + write; }
  // The sample written `distance` samples ago, 1 to the length.
  const double* back(VstInt32 distance) const { return samples.get() + write - distance; }
  void advance(VstInt32 frames) { write += frames; }

 private:
  std::unique_ptr<double[]> samples;
  VstInt32 length = 0;
  VstInt32 capacity = 0;
  VstInt32 write = 0;
};
