#pragma once
#include <sndfile.h>

#include <string>
#include <vector>

// Writes a stereo 32-bit float WAV file (RF64 past 4 GiB). Float samples keep outputs above full
// scale as they are: the effect does not limit, and neither does this host.
class StereoWavWriter {
 public:
  // Throws RenderError when the file cannot be created. `path` is where the data go, `name` the
  // file as the user knows it, for messages.
  StereoWavWriter(const std::string& path, const std::string& name, int sampleRate);
  ~StereoWavWriter();
  StereoWavWriter(const StereoWavWriter&) = delete;
  StereoWavWriter& operator=(const StereoWavWriter&) = delete;

  // Collects the frames and hands them to the file in large pieces: one system call per
  // 512-frame block would cost more than the plug-in's processing.
  void write(const double* left, const double* right, int frames);
  // Completes the file; throws RenderError when the data did not all reach the disk.
  void close();

 private:
  void flush();

  std::string name;
  SNDFILE* file = nullptr;
  std::vector<float> interleaved;
};
