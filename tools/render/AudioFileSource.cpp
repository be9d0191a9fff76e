#include "tools/render/AudioFileSource.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "tools/render/RenderError.h"

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
  interleaved.resize(static_cast<std::size_t>(frames) * channels);
  sf_count_t got = sf_readf_double(file, interleaved.data(), frames);
  if (sf_error(file) != SF_ERR_NO_ERROR)
    throw RenderError("reading '" + path + "' failed: " + sf_strerror(file));
  for (sf_count_t i = 0; i < got; ++i) mono[i] = interleaved[static_cast<std::size_t>(i) * channels];
  return static_cast<int>(got);
}
