#pragma once
#include <sndfile.h>

#include <string>
#include <vector>

#include "tools/render/SignalSource.h"

// The first channel of an audio file that libsndfile can read (WAV, AIFF, FLAC, Ogg...).
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
  std::int64_t totalFrames() const override { return info.frames; }
  int read(double* mono, int frames) override;
  // For a WAV file cut short, what its header promised and what is there; else empty.
  std::string shortfall() const;

 private:
  // Reads the next large piece of the file; false at its end.
  bool refill();

  std::string path;
  SF_INFO info{};
  SNDFILE* file = nullptr;
  std::vector<double> interleaved;  // the piece read ahead
  std::size_t framesPerPiece = 0;   // as many frames as fit the read-ahead's bytes
  std::size_t framesRead = 0;       // frames in that piece
  std::size_t nextFrame = 0;        // the next one to hand out
};
