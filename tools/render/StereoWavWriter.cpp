#include "tools/render/StereoWavWriter.h"

#include "tools/render/RenderError.h"

StereoWavWriter::StereoWavWriter(const std::string& path, int sampleRate) : path(path) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw RenderError("cannot write '" + path + "': " + sf_strerror(nullptr));
}

StereoWavWriter::~StereoWavWriter() {
  if (file) sf_close(file);
}

void StereoWavWriter::write(const double* left, const double* right, int frames) {
  interleaved.resize(static_cast<std::size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    interleaved[2 * static_cast<std::size_t>(i)] = static_cast<float>(left[i]);
    interleaved[2 * static_cast<std::size_t>(i) + 1] = static_cast<float>(right[i]);
  }
  if (sf_writef_float(file, interleaved.data(), frames) != frames)
    throw RenderError("writing '" + path + "' failed: " + sf_strerror(file));
}

void StereoWavWriter::close() {
  int result = sf_close(file);
  file = nullptr;
  if (result != 0) throw RenderError("finishing '" + path + "' failed: " + sf_error_number(result));
}
