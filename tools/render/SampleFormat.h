#pragma once
#include <optional>
#include <string>

// How the output file stores each sample.
enum class SampleFormat {
  float32,  // 32-bit float: keeps levels above full scale as they are
  pcm16,    // 16-bit integers: levels beyond full scale are clipped
  pcm24,    // 24-bit integers: levels beyond full scale are clipped
};

// The format for its name on the command line (float, pcm16, pcm24); nothing for another name.
std::optional<SampleFormat> sampleFormatNamed(const std::string& name);

// "32-bit float", "16-bit PCM", "24-bit PCM".
std::string describe(SampleFormat format);

// The bytes one sample takes in the file.
int bytesPerSample(SampleFormat format);
