#pragma once
#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/SampleFormat.h"

// What a WavWriter writes: the rate, the channels and how each sample is stored, and the frames
// the file is expected to hold (0 or less when that is not known).
struct WavLayout {
  int sampleRate = 0;
  int channelCount = 0;
  SampleFormat format = SampleFormat::float32;
  std::int64_t expectedFrames = 0;
};

// Writes a WAV file of any number of channels (RF64 past 4 GiB). Frames come one buffer per
// channel; each block is interleaved and converted to the file's format in one pass into a large
// piece, and a full piece goes to the file in one write: one system call per processing block
// would cost more than the plug-in's processing. The disk space the expected frames need is
// reserved when the file is opened, so the file system does not allocate it piece by piece.
class WavWriter {
 public:
  // Throws RenderError when the file cannot be created. `path` is where the data go, `name` the
  // file as the user knows it, for messages.
  WavWriter(const std::string& path, const std::string& name, const WavLayout& layout);
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Appends `frames` frames, one buffer per channel. Throws RenderError when a write fails.
  void write(const float* const* channels, int frames);
  void write(const double* const* channels, int frames);
  // Completes the file; throws RenderError when the data did not all reach the disk.
  void close();

 private:
  template <typename Sample>
  void writeFrames(const Sample* const* channels, int frames);
  template <typename Stored, typename Sample, typename Encode>
  void append(std::vector<Stored>& piece, const Sample* const* channels, int frames, Encode encode);
  void flush();
  void reserveSpace(std::int64_t frames) const;
  void releaseUnusedSpace() const;

  std::string name;
  SampleFormat format;
  int channelCount;
  int descriptor = -1;
  SNDFILE* file = nullptr;
  std::size_t framesPerPiece;
  std::size_t bufferedFrames = 0;
  // The piece in the type libsndfile takes for the format (only that one is used): floats for
  // float files, shorts for 16-bit files, ints with the 24 bits at their top for 24-bit files.
  std::vector<float> floats;
  std::vector<std::int16_t> shorts;
  std::vector<std::int32_t> ints;
};
