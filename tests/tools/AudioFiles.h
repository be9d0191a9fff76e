#pragma once
// Audio files for the command-line tools' tests: the rendered output read back, inputs written
// with libsndfile.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

struct Audio {
  int rate = 0, channels = 0;
  std::vector<float> left, right;
};

inline Audio readAudio(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  Audio audio;
  if (!file) return audio;
  audio.rate = info.samplerate;
  audio.channels = info.channels;
  std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  for (sf_count_t i = 0; i < info.frames; ++i) {
    audio.left.push_back(interleaved[static_cast<std::size_t>(i * info.channels)]);
    if (info.channels > 1)
      audio.right.push_back(interleaved[static_cast<std::size_t>(i * info.channels + 1)]);
  }
  return audio;
}

// `frames` frames of `channels` channels; channel 0 holds `first`, repeated as needed, the
// others hold 0.25.
inline void writeChannels(const std::string& path, const std::vector<float>& first, int channels,
                          int rate, int format) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<float> interleaved(first.size() * static_cast<std::size_t>(channels), 0.25f);
  for (std::size_t i = 0; i < first.size(); ++i)
    interleaved[i * static_cast<std::size_t>(channels)] = first[i];
  sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(first.size()));
  sf_close(file);
}

inline void writeMono(const std::string& path, const std::vector<float>& samples, int rate,
                      int format) {
  writeChannels(path, samples, 1, rate, format);
}
