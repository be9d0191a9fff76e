#pragma once
#include <cstdint>
#include <vector>

// The peak level of every output channel and the correlation of the first two over everything
// rendered, measured by the host from the audio itself (the plug-in's own meters go to its editor,
// not the host).
class OutputMeter {
 public:
  explicit OutputMeter(int channelCount);

  // Adds `frames` frames, one buffer per channel.
  void add(const float* const* channels, int frames);
  void add(const double* const* channels, int frames);

  int channelCount() const { return static_cast<int>(peaks.size()); }
  double peak(int channel) const { return peaks[static_cast<std::size_t>(channel)]; }
  // Pearson correlation of channels 0 and 1 from -1 to 1; 0 when a channel is constant (no
  // defined value) or there is only one channel.
  double correlation() const;

 private:
  template <typename Sample>
  void measure(const Sample* const* channels, int frames);
  template <typename Sample>
  void addPair(const Sample* left, const Sample* right, int frames);

  std::vector<double> peaks;
  // Means and co-moments of channels 0 and 1, merged block by block, which stays exact enough over
  // hours of audio without a division per sample.
  std::int64_t count = 0;
  double meanLeft = 0.0, meanRight = 0.0;
  double squaresLeft = 0.0, squaresRight = 0.0, products = 0.0;
};
