#pragma once
#include <sndfile.h>

#include <string>
#include <vector>

#include "tools/render/SignalSource.h"

// The first channel of an audio file that libsndfile can read (WAV, AIFF, FLAC, Ogg...).
class AudioFileSource : public SignalSource {
public:
  // Throws RenderError for a missing, unreadable or non-audio file.
  explicit AudioFileSource(const std::string& path);
  ~AudioFileSource() override;
  AudioFileSource(const AudioFileSource&) = delete;
  AudioFileSource& operator=(const AudioFileSource&) = delete;

  double sampleRate() const override { return info.samplerate; }
  std::int64_t totalFrames() const override { return info.frames; }
  int read(double* mono, int frames) override;

private:
  // Reads the next large piece of the file; false at its end.
  bool refill();

  std::string path;
  SF_INFO info{};
  SNDFILE* file = nullptr;
  std::vector<double> interleaved;  // the piece read ahead
  std::size_t framesRead = 0;       // frames in that piece
  std::size_t nextFrame = 0;        // the next one to hand out
};
