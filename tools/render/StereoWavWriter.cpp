#include "tools/render/StereoWavWriter.h"

#include "tools/render/RenderError.h"

namespace {
constexpr std::size_t kBufferedFrames = 65536;
}

StereoWavWriter::StereoWavWriter(const std::string& path, const std::string& name, int sampleRate)
    : name(name) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  // RF64, which libsndfile turns back into a plain RIFF WAV on closing when the file stayed
  // under the 4 GiB that a RIFF header can count: long renders at high rates do not wrap around.
  info.format = SF_FORMAT_RF64 | SF_FORMAT_FLOAT;
  file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw RenderError("cannot write '" + name + "': " + sf_strerror(nullptr));
  sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
}

StereoWavWriter::~StereoWavWriter() {
  if (file) sf_close(file);
}

void StereoWavWriter::write(const double* left, const double* right, int frames) {
  for (int i = 0; i < frames; ++i) {
    interleaved.push_back(static_cast<float>(left[i]));
    interleaved.push_back(static_cast<float>(right[i]));
  }
  if (interleaved.size() >= 2 * kBufferedFrames) flush();
}

void StereoWavWriter::flush() {
  auto frames = static_cast<sf_count_t>(interleaved.size() / 2);
  if (sf_writef_float(file, interleaved.data(), frames) != frames)
    throw RenderError("writing '" + name + "' failed: " + sf_strerror(file));
  interleaved.clear();
}

void StereoWavWriter::close() {
  flush();
  int result = sf_close(file);
  file = nullptr;
  if (result != 0) throw RenderError("finishing '" + name + "' failed: " + sf_error_number(result));
}
