#include "tools/render/AudioFileSource.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/render/RenderError.h"
#include "tools/render/WavDataExtent.h"

namespace {
// Bytes read from the file at a time, so a small processing block does not cost a system call;
// in bytes rather than frames, so a file of many channels takes no more memory than a mono one.
constexpr std::size_t kReadAheadBytes = 1 << 20;
}  // namespace

AudioFileSource::AudioFileSource(const std::string& path) : path(path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    throw RenderError("cannot read input '" + path + "': " + std::strerror(errno));
  if (S_ISDIR(status.st_mode)) throw RenderError("input '" + path + "' is a directory");
  file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    throw RenderError("'" + path + "' is not audio that can be read: " + sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    throw RenderError("'" + path + "' holds no audio channels");
  }
  if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate) {
    sf_close(file);
    throw RenderError("'" + path + "' has a sample rate of " + std::to_string(info.samplerate) +
                      " Hz; plug-ins run at " + std::to_string(kMinSampleRate) + " to " +
                      std::to_string(kMaxSampleRate) + " Hz");
  }
  std::size_t frameBytes = sizeof(double) * static_cast<std::size_t>(info.channels);
  framesPerPiece = std::max<std::size_t>(1, kReadAheadBytes / frameBytes);
}

AudioFileSource::~AudioFileSource() { sf_close(file); }

std::string AudioFileSource::shortfall() const {
  int major = info.format & SF_FORMAT_TYPEMASK;
  if (major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX && major != SF_FORMAT_RF64) return "";
  std::optional<WavDataExtent> extent = readWavDataExtent(path);
  if (!extent || !extent->cutShort()) return "";
  return "'" + path + "' is cut short: its header promises " +
         std::to_string(extent->promisedBytes) + " bytes of audio, the file holds " +
         std::to_string(extent->heldBytes) + "; rendering the " + std::to_string(info.frames) +
         " frames there are";
}

int AudioFileSource::read(double* mono, int frames) {
  auto channels = static_cast<std::size_t>(info.channels);
  int count = 0;
  while (count < frames && (nextFrame < framesRead || refill()))
    mono[count++] = interleaved[nextFrame++ * channels];
  return count;
}

bool AudioFileSource::refill() {
  interleaved.resize(framesPerPiece * static_cast<std::size_t>(info.channels));
  sf_count_t got =
      sf_readf_double(file, interleaved.data(), static_cast<sf_count_t>(framesPerPiece));
  if (sf_error(file) != SF_ERR_NO_ERROR)
    throw RenderError("reading '" + path + "' failed: " + sf_strerror(file));
  framesRead = static_cast<std::size_t>(got);
  nextFrame = 0;
  return got > 0;
}
