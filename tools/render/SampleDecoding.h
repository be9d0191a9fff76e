#pragma once
// The samples of an uncompressed WAV file's data, decoded by this host from the bytes as they lie
// in the file, so that the file is read in large pieces and each sample is touched once: decoded
// and moved into its channel's buffer in one pass. Each decoder gives exactly the value libsndfile
// gives for the same bytes (integers scaled by 2^-(bits - 1), floats converted by a plain cast).
// They read little-endian data in the host's own order, so they serve only where libsndfile says
// the raw data needs no byte swapping.
#include <cstdint>
#include <cstring>

struct Pcm16Decoder {
  static constexpr int kBytes = 2;
  template <typename Sample>
  static Sample decode(const unsigned char* bytes) {
    std::int16_t value;
    std::memcpy(&value, bytes, sizeof value);
    return static_cast<Sample>(value) * static_cast<Sample>(1.0 / 32768.0);
  }
};

struct Pcm24Decoder {
  static constexpr int kBytes = 3;
  template <typename Sample>
  static Sample decode(const unsigned char* bytes) {
    std::int32_t value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16);
    value = (value ^ 0x800000) - 0x800000;  // the sign of bit 23
    return static_cast<Sample>(value) * static_cast<Sample>(1.0 / 8388608.0);
  }
};

struct Pcm32Decoder {
  static constexpr int kBytes = 4;
  template <typename Sample>
  static Sample decode(const unsigned char* bytes) {
    std::int32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return static_cast<Sample>(value) * static_cast<Sample>(1.0 / 2147483648.0);
  }
};

struct Float32Decoder {
  static constexpr int kBytes = 4;
  template <typename Sample>
  static Sample decode(const unsigned char* bytes) {
    float value;
    std::memcpy(&value, bytes, sizeof value);
    return static_cast<Sample>(value);
  }
};

struct Float64Decoder {
  static constexpr int kBytes = 8;
  template <typename Sample>
  static Sample decode(const unsigned char* bytes) {
    double value;
    std::memcpy(&value, bytes, sizeof value);
    return static_cast<Sample>(value);
  }
};

// One channel's samples from frames `stride` bytes apart. A mono file's frames lie next to each
// other, the case that runs in groups of eight frames: at -O2 GCC vectorises only loops whose
// length it knows.
template <typename Decoder, typename Sample>
void decodeColumn(const unsigned char* __restrict column, int stride, int frames,
                  Sample* __restrict samples) {
  int i = 0;
  if (stride == Decoder::kBytes) {
    for (; i + 8 <= frames; i += 8)
      for (int k = 0; k < 8; ++k)
        samples[i + k] = Decoder::template decode<Sample>(column + (i + k) * Decoder::kBytes);
  }
  for (; i < frames; ++i) samples[i] = Decoder::template decode<Sample>(column + i * stride);
}

// `frames` interleaved frames of `channelCount` channels into one buffer per channel, each from
// `offset` on.
template <typename Decoder, typename Sample>
void decodeFrames(const unsigned char* bytes, int channelCount, int frames, Sample* const* channels,
                  int offset) {
  int stride = Decoder::kBytes * channelCount;
  for (int channel = 0; channel < channelCount; ++channel)
    decodeColumn<Decoder>(bytes + channel * Decoder::kBytes, stride, frames,
                          channels[channel] + offset);
}

// The sample encodings decoded here; none for data that libsndfile converts.
enum class RawEncoding { none, pcm16, pcm24, pcm32, float32, float64 };

// Calls action(decoder) with the decoder of the encoding; false for none.
template <typename Action>
bool withDecoder(RawEncoding encoding, Action action) {
  switch (encoding) {
    case RawEncoding::pcm16:
      action(Pcm16Decoder{});
      return true;
    case RawEncoding::pcm24:
      action(Pcm24Decoder{});
      return true;
    case RawEncoding::pcm32:
      action(Pcm32Decoder{});
      return true;
    case RawEncoding::float32:
      action(Float32Decoder{});
      return true;
    case RawEncoding::float64:
      action(Float64Decoder{});
      return true;
    case RawEncoding::none:
      break;
  }
  return false;
}
