#include "tools/render/SampleFormat.h"

std::optional<SampleFormat> sampleFormatNamed(const std::string& name) {
  if (name == "float") return SampleFormat::float32;
  if (name == "pcm16") return SampleFormat::pcm16;
  if (name == "pcm24") return SampleFormat::pcm24;
  return std::nullopt;
}

std::string describe(SampleFormat format) {
  switch (format) {
    case SampleFormat::pcm16:
      return "16-bit PCM";
    case SampleFormat::pcm24:
      return "24-bit PCM";
    case SampleFormat::float32:
      break;
  }
  return "32-bit float";
}

int bytesPerSample(SampleFormat format) {
  switch (format) {
    case SampleFormat::pcm16:
      return 2;
    case SampleFormat::pcm24:
      return 3;
    case SampleFormat::float32:
      break;
  }
  return 4;
}
