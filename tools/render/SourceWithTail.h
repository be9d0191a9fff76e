#pragma once
#include <cstdint>
#include <memory>

#include "tools/render/SignalSource.h"

// A source followed by a stretch of silence, so that what the plug-in holds (a delay's echoes, a
// reverb's decay) still reaches the output after the input has ended.
class SourceWithTail : public SignalSource {
 public:
  SourceWithTail(std::unique_ptr<SignalSource> source, std::int64_t tailFrames);

  double sampleRate() const override { return source->sampleRate(); }
  int channelCount() const override { return source->channelCount(); }
  std::int64_t totalFrames() const override;
  int read(float* const* channels, int frames) override;
  int read(double* const* channels, int frames) override;

 private:
  template <typename Sample>
  int readInto(Sample* const* channels, int frames);

  std::unique_ptr<SignalSource> source;
  std::int64_t tailFrames;
  std::int64_t tailRendered = 0;
  bool sourceEnded = false;
};
