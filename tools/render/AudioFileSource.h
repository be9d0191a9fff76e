#pragma once
#include <sndfile.h>

#include <string>
#include <vector>

#include "tools/render/SampleDecoding.h"
#include "tools/render/SignalSource.h"

// The channels of an audio file that libsndfile can read (WAV, AIFF, FLAC, Ogg...), read ahead in
// large pieces and handed out one channel per buffer. The data of an uncompressed WAV file is read
// as it lies in the file and decoded here (SampleDecoding.h); libsndfile converts everything else.
class AudioFileSource : public SignalSource {
 public:
  // The sample rates hosts run plug-ins at. A plug-in cannot tell its host that it refused a
  // rate, so a file outside this range is refused here rather than rendered at a wrong rate.
  static constexpr int kMinSampleRate = 8000;
  static constexpr int kMaxSampleRate = 768000;

  // Throws RenderError for a missing, unreadable or non-audio file, and for a sample rate
  // outside kMinSampleRate to kMaxSampleRate.
  explicit AudioFileSource(const std::string& path);
  ~AudioFileSource() override;
  AudioFileSource(const AudioFileSource&) = delete;
  AudioFileSource& operator=(const AudioFileSource&) = delete;

  double sampleRate() const override { return info.samplerate; }
  int channelCount() const override { return info.channels; }
  std::int64_t totalFrames() const override;
  int read(float* const* channels, int frames) override;
  int read(double* const* channels, int frames) override;
  // For a WAV file cut short, what its header promised and what is there; else empty.
  std::string shortfall() const;

 private:
  RawEncoding rawEncodingOfData() const;
  template <typename Sample>
  int readInto(Sample* const* channels, int frames);
  // Reads the next large piece of the file; false at its end.
  template <typename Sample>
  bool refill();
  bool refillRaw();
  template <typename Sample>
  bool refillConverted(std::vector<Sample>& piece);
  // Moves `frames` frames of the piece, from nextFrame on, into the channels from `offset` on.
  template <typename Sample>
  void handOut(Sample* const* channels, int offset, int frames);
  template <typename Sample>
  std::vector<Sample>& convertedPiece();

  std::string path;
  SF_INFO info{};
  SNDFILE* file = nullptr;
  // How the data reach the channels: decoded here, or (none) converted by libsndfile.
  RawEncoding encoding = RawEncoding::none;
  std::size_t rawFrameBytes = 0;
  std::int64_t framesLeft = 0;  // in the file, for data read raw
  // The piece read ahead: the file's bytes, or interleaved samples in the type the render asks
  // for (only one of the three is used).
  std::vector<unsigned char> rawPiece;
  std::vector<float> floatPiece;
  std::vector<double> doublePiece;
  std::size_t framesRead = 0;  // frames in that piece
  std::size_t nextFrame = 0;   // the next one to hand out
};
