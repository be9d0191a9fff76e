#include "tools/render/AudioFileSource.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <type_traits>

#include "tools/render/Interleaving.h"
#include "tools/render/RenderError.h"
#include "tools/render/SampleDecoding.h"
#include "tools/render/WavDataExtent.h"

namespace {

// Bytes read from the file at a time, so a small processing block does not cost a system call;
// in bytes rather than frames, so a file of many channels takes no more memory than a mono one.
constexpr std::size_t kReadAheadBytes = 1 << 20;

sf_count_t readFrames(SNDFILE* file, float* interleaved, sf_count_t frames) {
  return sf_readf_float(file, interleaved, frames);
}

sf_count_t readFrames(SNDFILE* file, double* interleaved, sf_count_t frames) {
  return sf_readf_double(file, interleaved, frames);
}

std::size_t framesPerPiece(std::size_t frameBytes) {
  return std::max<std::size_t>(1, kReadAheadBytes / frameBytes);
}

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
  encoding = rawEncodingOfData();
  withDecoder(encoding, [&](auto decoder) {
    rawFrameBytes = static_cast<std::size_t>(decoder.kBytes * info.channels);
  });
  framesLeft = info.frames;
}

AudioFileSource::~AudioFileSource() { sf_close(file); }

// Raw reading needs a container whose data are the samples themselves, laid out in the host's
// byte order, and a known length (the data may be followed by other chunks).
RawEncoding AudioFileSource::rawEncodingOfData() const {
  int major = info.format & SF_FORMAT_TYPEMASK;
  bool wav = major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
  if (!wav || info.frames <= 0 || info.frames == SF_COUNT_MAX ||
      sf_command(file, SFC_RAW_DATA_NEEDS_ENDSWAP, nullptr, 0) != SF_FALSE)
    return RawEncoding::none;
  switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_16:
      return RawEncoding::pcm16;
    case SF_FORMAT_PCM_24:
      return RawEncoding::pcm24;
    case SF_FORMAT_PCM_32:
      return RawEncoding::pcm32;
    case SF_FORMAT_FLOAT:
      return RawEncoding::float32;
    case SF_FORMAT_DOUBLE:
      return RawEncoding::float64;
    default:
      return RawEncoding::none;
  }
}

std::int64_t AudioFileSource::totalFrames() const {
  return info.frames == SF_COUNT_MAX ? 0 : info.frames;
}

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

int AudioFileSource::read(float* const* channels, int frames) { return readInto(channels, frames); }

int AudioFileSource::read(double* const* channels, int frames) {
  return readInto(channels, frames);
}

template <typename Sample>
int AudioFileSource::readInto(Sample* const* channels, int frames) {
  int count = 0;
  while (count < frames && (nextFrame < framesRead || refill<Sample>())) {
    int run = static_cast<int>(std::min<std::size_t>(frames - count, framesRead - nextFrame));
    handOut(channels, count, run);
    nextFrame += static_cast<std::size_t>(run);
    count += run;
  }
  return count;
}

template <typename Sample>
bool AudioFileSource::refill() {
  bool more =
      encoding == RawEncoding::none ? refillConverted(convertedPiece<Sample>()) : refillRaw();
  if (sf_error(file) != SF_ERR_NO_ERROR)
    throw RenderError("reading '" + path + "' failed: " + sf_strerror(file));
  return more;
}

bool AudioFileSource::refillRaw() {
  std::size_t frames =
      std::min<std::size_t>(framesPerPiece(rawFrameBytes), static_cast<std::size_t>(framesLeft));
  rawPiece.resize(frames * rawFrameBytes);
  sf_count_t got = sf_read_raw(file, rawPiece.data(), static_cast<sf_count_t>(rawPiece.size()));
  framesRead = static_cast<std::size_t>(std::max<sf_count_t>(got, 0)) / rawFrameBytes;
  framesLeft -= static_cast<std::int64_t>(framesRead);
  nextFrame = 0;
  return framesRead > 0;
}

template <typename Sample>
bool AudioFileSource::refillConverted(std::vector<Sample>& piece) {
  auto channels = static_cast<std::size_t>(info.channels);
  std::size_t frames = framesPerPiece(sizeof(Sample) * channels);
  piece.resize(frames * channels);
  sf_count_t got = readFrames(file, piece.data(), static_cast<sf_count_t>(frames));
  framesRead = static_cast<std::size_t>(std::max<sf_count_t>(got, 0));
  nextFrame = 0;
  return framesRead > 0;
}

template <typename Sample>
void AudioFileSource::handOut(Sample* const* channels, int offset, int frames) {
  const unsigned char* bytes = rawPiece.data() + nextFrame * rawFrameBytes;
  bool decoded = withDecoder(encoding, [&](auto decoder) {
    decodeFrames<decltype(decoder)>(bytes, info.channels, frames, channels, offset);
  });
  if (!decoded)
    deinterleave(
        convertedPiece<Sample>().data() + nextFrame * static_cast<std::size_t>(info.channels),
        info.channels, frames, channels, offset);
}

template <typename Sample>
std::vector<Sample>& AudioFileSource::convertedPiece() {
  if constexpr (std::is_same_v<Sample, float>)
    return floatPiece;
  else
    return doublePiece;
}
