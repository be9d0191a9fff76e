#include "tools/render/WavWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "tools/render/Interleaving.h"
#include "tools/render/RenderError.h"
#include "tools/render/SampleEncoding.h"

namespace {

// Bytes collected before they are written: large enough that system calls cost nothing next to
// the rendering, small enough to stay in the processor's cache.
constexpr std::size_t kPieceBytes = 1 << 20;
// Room reserved for the header beside the samples.
constexpr std::int64_t kHeaderBytes = 4096;

int subtypeOf(SampleFormat format) {
  switch (format) {
    case SampleFormat::pcm16:
      return SF_FORMAT_PCM_16;
    case SampleFormat::pcm24:
      return SF_FORMAT_PCM_24;
    case SampleFormat::float32:
      break;
  }
  return SF_FORMAT_FLOAT;
}

std::size_t storedBytes(SampleFormat format) {
  return format == SampleFormat::pcm16 ? sizeof(std::int16_t) : sizeof(float);
}

}  // namespace

WavWriter::WavWriter(const std::string& path, const std::string& name, const WavLayout& layout)
    : name(name), format(layout.format), channelCount(layout.channelCount) {
  framesPerPiece = std::max<std::size_t>(
      1, kPieceBytes / (storedBytes(format) * static_cast<std::size_t>(channelCount)));
  descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) throw RenderError("cannot write '" + name + "': " + std::strerror(errno));
  reserveSpace(layout.expectedFrames);
  SF_INFO info{};
  info.samplerate = layout.sampleRate;
  info.channels = channelCount;
  // RF64, which libsndfile turns back into a plain RIFF WAV on closing when the file stayed
  // under the 4 GiB that a RIFF header can count: long renders at high rates do not wrap around.
  info.format = SF_FORMAT_RF64 | subtypeOf(format);
  file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
  if (!file) throw RenderError("cannot write '" + name + "': " + sf_strerror(nullptr));
  sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
}

WavWriter::~WavWriter() {
  if (file) sf_close(file);
  if (descriptor >= 0) ::close(descriptor);
}

// Reserved without changing the file's size: what the render does not fill is released on close.
// A file system that cannot reserve (or a device) is simply written as it comes.
void WavWriter::reserveSpace(std::int64_t frames) const {
  auto frameBytes = static_cast<std::int64_t>(channelCount) * bytesPerSample(format);
  if (frames <= 0 ||
      frames > (std::numeric_limits<std::int64_t>::max() - kHeaderBytes) / frameBytes)
    return;
  fallocate(descriptor, FALLOC_FL_KEEP_SIZE, 0, frames * frameBytes + kHeaderBytes);
}

void WavWriter::releaseUnusedSpace() const {
  struct stat status {};
  if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
    ftruncate(descriptor, status.st_size);
}

void WavWriter::write(const float* const* channels, int frames) { writeFrames(channels, frames); }

void WavWriter::write(const double* const* channels, int frames) { writeFrames(channels, frames); }

template <typename Sample>
void WavWriter::writeFrames(const Sample* const* channels, int frames) {
  switch (format) {
    case SampleFormat::float32:
      append(floats, channels, frames, [](Sample sample) { return encodeFloat(sample); });
      break;
    case SampleFormat::pcm16:
      append(shorts, channels, frames, [](Sample sample) { return encodePcm16(sample); });
      break;
    case SampleFormat::pcm24:
      append(ints, channels, frames, [](Sample sample) { return encodePcm24(sample); });
      break;
  }
}

template <typename Stored, typename Sample, typename Encode>
void WavWriter::append(std::vector<Stored>& piece, const Sample* const* channels, int frames,
                       Encode encode) {
  piece.resize(framesPerPiece * static_cast<std::size_t>(channelCount));
  for (int done = 0; done < frames;) {
    int run =
        static_cast<int>(std::min<std::size_t>(frames - done, framesPerPiece - bufferedFrames));
    interleave(channels, channelCount, done, run,
               piece.data() + bufferedFrames * static_cast<std::size_t>(channelCount), encode);
    bufferedFrames += static_cast<std::size_t>(run);
    done += run;
    if (bufferedFrames == framesPerPiece) flush();
  }
}

void WavWriter::flush() {
  auto frames = static_cast<sf_count_t>(bufferedFrames);
  sf_count_t written = 0;
  switch (format) {
    case SampleFormat::float32:
      written = sf_writef_float(file, floats.data(), frames);
      break;
    case SampleFormat::pcm16:
      written = sf_writef_short(file, shorts.data(), frames);
      break;
    case SampleFormat::pcm24:
      written = sf_writef_int(file, ints.data(), frames);
      break;
  }
  if (written != frames) throw RenderError("writing '" + name + "' failed: " + sf_strerror(file));
  bufferedFrames = 0;
}

void WavWriter::close() {
  flush();
  int result = sf_close(file);
  file = nullptr;
  if (result != 0) throw RenderError("finishing '" + name + "' failed: " + sf_error_number(result));
  releaseUnusedSpace();
  int closed = ::close(descriptor);
  descriptor = -1;
  if (closed != 0) throw RenderError("finishing '" + name + "' failed: " + std::strerror(errno));
}
