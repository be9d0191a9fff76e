#pragma once
#include <cstdint>

// Peak level of each channel and the correlation of the two over everything rendered, measured
// by the host from the audio itself (the plug-in's own meters go to its editor, not the host).
class OutputMeter {
 public:
  void add(const double* left, const double* right, int frames);

  double peakLeft() const { return leftPeak; }
  double peakRight() const { return rightPeak; }
  // Pearson correlation from -1 to 1; 0 when a channel is constant (no defined value).
  double correlation() const;

 private:
  double leftPeak = 0.0, rightPeak = 0.0;
  // Means and co-moments, merged block by block (each block measured in two passes), which
  // stays exact enough over hours of audio without a division per sample.
  std::int64_t count = 0;
  double meanLeft = 0.0, meanRight = 0.0;
  double squaresLeft = 0.0, squaresRight = 0.0, products = 0.0;
};
