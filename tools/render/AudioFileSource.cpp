#include "tools/render/AudioFileSource.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "tools/render/RenderError.h"

namespace {
// Frames read from the file at a time, so a small processing block does not cost a system call.
constexpr sf_count_t kReadAheadFrames = 65536;
}

AudioFileSource::AudioFileSource(const std::string& path) : path(path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    throw RenderError("cannot read input '" + path + "': " + std::strerror(errno));
  if (S_ISDIR(status.st_mode)) throw RenderError("input '" + path + "' is a directory");
  file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) throw RenderError("'" + path + "' is not audio that can be read: " + sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    throw RenderError("'" + path + "' holds no audio channels");
  }
}

AudioFileSource::~AudioFileSource() { sf_close(file); }

int AudioFileSource::read(double* mono, int frames) {
  auto channels = static_cast<std::size_t>(info.channels);
  int count = 0;
  while (count < frames && (nextFrame < framesRead || refill()))
    mono[count++] = interleaved[nextFrame++ * channels];
  return count;
}

bool AudioFileSource::refill() {
  interleaved.resize(static_cast<std::size_t>(kReadAheadFrames) * static_cast<std::size_t>(info.channels));
  sf_count_t got = sf_readf_double(file, interleaved.data(), kReadAheadFrames);
  if (sf_error(file) != SF_ERR_NO_ERROR)
    throw RenderError("reading '" + path + "' failed: " + sf_strerror(file));
  framesRead = static_cast<std::size_t>(got);
  nextFrame = 0;
  return got > 0;
}
