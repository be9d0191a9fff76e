#include "tools/render/SourceWithTail.h"

#include <algorithm>

SourceWithTail::SourceWithTail(std::unique_ptr<SignalSource> source, std::int64_t tailFrames)
    : source(std::move(source)), tailFrames(tailFrames) {}

std::int64_t SourceWithTail::totalFrames() const {
  std::int64_t frames = source->totalFrames();
  return frames > 0 ? frames + tailFrames : frames;
}

int SourceWithTail::read(float* const* channels, int frames) { return readInto(channels, frames); }

int SourceWithTail::read(double* const* channels, int frames) { return readInto(channels, frames); }

template <typename Sample>
int SourceWithTail::readInto(Sample* const* channels, int frames) {
  int count = sourceEnded ? 0 : source->read(channels, frames);
  if (count > 0) return count;
  sourceEnded = true;
  auto silent = static_cast<int>(std::min<std::int64_t>(frames, tailFrames - tailRendered));
  for (int channel = 0; channel < source->channelCount(); ++channel)
    std::fill_n(channels[channel], silent, Sample(0));
  tailRendered += silent;
  return silent;
}
