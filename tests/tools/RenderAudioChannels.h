#pragma once
// Audio files of any number of channels for the command-line host's tests, written and read back
// with libsndfile.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

// Every channel of a file, as libsndfile reads it, and the file's rate and format.
struct AudioChannels {
  int rate = 0;
  int format = 0;
  std::vector<std::vector<float>> channels;
};

inline AudioChannels readChannels(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  AudioChannels audio;
  if (!file) return audio;
  audio.rate = info.samplerate;
  audio.format = info.format;
  auto channels = static_cast<std::size_t>(info.channels);
  auto frames = static_cast<std::size_t>(info.frames);
  std::vector<float> interleaved(frames * channels);
  sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  audio.channels.assign(channels, std::vector<float>(frames));
  for (std::size_t i = 0; i < frames; ++i)
    for (std::size_t channel = 0; channel < channels; ++channel)
      audio.channels[channel][i] = interleaved[i * channels + channel];
  return audio;
}

// The samples of a file's first channel as whole numbers, as libsndfile reads integers: a 16-bit
// value k reads as k * 65536, a 24-bit one as k * 256.
inline std::vector<int> readIntegers(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return {};
  std::vector<int> interleaved(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_int(file, interleaved.data(), info.frames);
  sf_close(file);
  std::vector<int> first;
  for (std::size_t i = 0; i < interleaved.size(); i += static_cast<std::size_t>(info.channels))
    first.push_back(interleaved[i]);
  return first;
}

// A file with one list of samples per channel, all of the same length.
inline void writeChannelList(const std::string& path,
                             const std::vector<std::vector<float>>& channels, int rate,
                             int format) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = static_cast<int>(channels.size());
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::size_t frames = channels[0].size();
  std::vector<float> interleaved;
  for (std::size_t i = 0; i < frames; ++i)
    for (const std::vector<float>& channel : channels) interleaved.push_back(channel[i]);
  sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
}

// A mono file of whole numbers as libsndfile writes integers: k * 65536 into a 16-bit file gives
// the value k, k * 256 into a 24-bit file likewise.
inline void writeIntegers(const std::string& path, const std::vector<int>& samples, int format) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  sf_writef_int(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(file);
}
