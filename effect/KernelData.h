#pragma once
// What Lumivane's processing kernels take and give: plain data, shared by the file that runs on
// any SSE2 processor and the AVX file (WideKernels.cpp), and the AVX kernels' entry points.
#include <atomic>

#include "host/VstInterface.h"

template <typename Value>
struct MixCoefficients {
  Value dry, wet, crossFeed, mix;  // crossFeed is 1 - wide
};

// The buffers of one run: a stretch of samples with the same parameters. Every pointer is at the
// run's first sample. Both lines are one history of the input (see Lumivane's delay lines), read at
// two taps and written once.
template <typename Sample>
struct RunBuffers {
  const Sample* input;
  Sample* left;
  Sample* right;
  const double* preDelayRead;
  const double* expressionRead;
  double* historyStore;
  const double* decayWeights;  // decay from each sample to the end of its chunk
  float* side;                 // goniometer points; null when no editor takes the feed
  float* mid;
};

// A value per output channel.
template <typename Value>
struct ChannelPair {
  Value left, right;
};

// What a chunk gathers for the display feed: the largest output decayed to the chunk's end, per
// channel, and (only for an editor) the sums of the outputs.
struct ChunkGather {
  ChannelPair<double> peaks, sums;
};

// The parameters in use and the change count they were read at: a run stops at the first step
// after the count has moved on.
struct RunSettings {
  MixCoefficients<double> coefficients;
  const std::atomic<unsigned>* generation;
  unsigned readAt;
};

// The sums of squared and multiplied deviations from the means that the correlation is made of.
template <typename Value>
struct DeviationSums {
  Value xx, yy, xy;
};

// The kernels in AVX vectors (WideKernels.cpp, compiled for AVX): only for processors that have
// it, hasWideKernels. The same operations as the SSE2 kernels (ProcessingKernels.h), four samples
// at a time.
bool hasWideKernels();

struct WideKernels {
  // The run of processRunReading (ProcessingKernels.h).
  template <typename Sample, bool feedsEditor>
  static VstInt32 processRun(bool preDelayLine, bool expressionLine, const RunBuffers<Sample>& b,
                             VstInt32 run, bool vectors, const RunSettings& settings,
                             ChunkGather& gather);
  template <typename Sample>
  static DeviationSums<double> deviationSums(const Sample* left, const Sample* right,
                                             VstInt32 count, double meanLeft, double meanRight);
};
