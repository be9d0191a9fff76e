#pragma once
// Moving samples between one buffer per channel (what plug-ins process) and interleaved frames
// (what audio files hold). The loops for one and two channels, the common cases, run in groups of
// eight frames: at -O2 GCC vectorises only loops whose length it knows, so each group becomes
// vector instructions and the frames left over run one by one. The pointers are __restrict
// parameters rather than lambda captures, which GCC stops trusting in templates.
#include <algorithm>

template <typename Stored, typename Sample, typename Encode>
void encodeMono(const Sample* __restrict samples, int frames, Stored* __restrict encoded,
                Encode encode) {
  int i = 0;
  for (; i + 8 <= frames; i += 8)
    for (int k = 0; k < 8; ++k) encoded[i + k] = encode(samples[i + k]);
  for (; i < frames; ++i) encoded[i] = encode(samples[i]);
}

template <typename Stored, typename Sample, typename Encode>
void interleavePair(const Sample* __restrict left, const Sample* __restrict right, int frames,
                    Stored* __restrict interleaved, Encode encode) {
  int i = 0;
  for (; i + 8 <= frames; i += 8) {
    for (int k = 0; k < 8; ++k) {
      interleaved[2 * (i + k)] = encode(left[i + k]);
      interleaved[2 * (i + k) + 1] = encode(right[i + k]);
    }
  }
  for (; i < frames; ++i) {
    interleaved[2 * i] = encode(left[i]);
    interleaved[2 * i + 1] = encode(right[i]);
  }
}

template <typename Stored, typename Sample, typename Encode>
void interleaveColumn(const Sample* __restrict samples, int frames, int stride,
                      Stored* __restrict column, Encode encode) {
  for (int i = 0; i < frames; ++i) column[i * stride] = encode(samples[i]);
}

// Writes `frames` frames of the channels, each from `offset` on, into `interleaved`, every sample
// converted by `encode` on the way.
template <typename Stored, typename Sample, typename Encode>
void interleave(const Sample* const* channels, int channelCount, int offset, int frames,
                Stored* interleaved, Encode encode) {
  if (channelCount == 1) {
    encodeMono(channels[0] + offset, frames, interleaved, encode);
  } else if (channelCount == 2) {
    interleavePair(channels[0] + offset, channels[1] + offset, frames, interleaved, encode);
  } else {
    for (int channel = 0; channel < channelCount; ++channel)
      interleaveColumn(channels[channel] + offset, frames, channelCount, interleaved + channel,
                       encode);
  }
}

// Copies `frames` interleaved frames into one buffer per channel, each from `offset` on.
template <typename Sample>
void deinterleave(const Sample* __restrict interleaved, int channelCount, int frames,
                  Sample* const* channels, int offset) {
  if (channelCount == 1) {
    std::copy_n(interleaved, frames, channels[0] + offset);
    return;
  }
  for (int channel = 0; channel < channelCount; ++channel) {
    Sample* __restrict samples = channels[channel] + offset;
    const Sample* __restrict column = interleaved + channel;
    for (int i = 0; i < frames; ++i) samples[i] = column[i * channelCount];
  }
}
