#include "tools/render/RenderReport.h"

#include <cmath>
#include <cstdio>

#include "tools/render/HostCallback.h"
#include "tools/render/OutputFiles.h"
#include "tools/render/OutputMeter.h"
#include "tools/render/PluginLibrary.h"

namespace {

std::string decibels(double level) {
  if (level <= 0.0) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(level));
  return text;
}

std::string channelsText(int channels) {
  if (channels == 1) return "mono";
  if (channels == 2) return "stereo";
  return std::to_string(channels) + " channels";
}

std::string levelText(double level) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f (", level);
  return text + decibels(level) + ")";
}

// "left 0.5000 (-6.0 dBFS), right ..." for stereo; one line for each output otherwise.
std::string peaksReport(const OutputMeter& meter) {
  const std::string measured = " (measured by this host):";
  if (meter.channelCount() == 1) return "Output peak" + measured + " " + levelText(meter.peak(0));
  if (meter.channelCount() == 2)
    return "Output peaks" + measured + " left " + levelText(meter.peak(0)) + ", right " +
           levelText(meter.peak(1));
  std::string text = "Output peaks" + measured;
  for (int channel = 0; channel < meter.channelCount(); ++channel)
    text += "\n  output " + std::to_string(channel) + ": " + levelText(meter.peak(channel));
  return text;
}

double loudestPeak(const OutputMeter& meter) {
  double loudest = 0.0;
  for (int channel = 0; channel < meter.channelCount(); ++channel)
    loudest = std::fmax(loudest, meter.peak(channel));
  return loudest;
}

void printRendering(const PluginLibrary& plugin, const RenderOptions& options,
                    const RenderedLength& length, const OutputMeter& meter) {
  double rate = length.sampleRate;
  std::string tailText = length.tailFrames > 0 ? " including a tail of " +
                                                     std::to_string(length.tailFrames) + " frames"
                                               : "";
  std::printf(
      "Rendered %s through %s (%s): %lld frames at %g Hz (%.2f s)%s, blocks of %d, %s precision\n",
      options.inputPath.empty() ? "the demo signal" : ("'" + options.inputPath + "'").c_str(),
      plugin.text(effGetEffectName).c_str(), plugin.text(effGetVendorString).c_str(),
      static_cast<long long>(length.frames), rate, static_cast<double>(length.frames) / rate,
      tailText.c_str(), options.blockSize, options.doublePrecision ? "double" : "single");
  std::printf("Wrote '%s' (%s, %s WAV)\n", options.outputPath.c_str(),
              channelsText(meter.channelCount()).c_str(), describe(options.format).c_str());
  std::printf("%s\n", peaksReport(meter).c_str());
  if (meter.channelCount() == 2)
    std::printf("Output correlation (measured by this host over the whole output, -1 to 1): %.3f\n",
                meter.correlation());
  else if (meter.channelCount() > 2)
    std::printf(
        "Output correlation of outputs 0 and 1 (measured by this host over the whole output, -1 "
        "to 1): %.3f\n",
        meter.correlation());
}

// Last, so that it counts what the editor's script did too.
void reportHostCallbacks() {
  const HostLog& log = hostLog();
  std::printf("Host callbacks: %ld automate, %ld begin edit, %ld end edit\n", log.automations,
              log.beginEdits, log.endEdits);
}

// The pictures in the order the editor took them: the shots, then the final picture.
void reportPictures(const std::vector<NamedFile>& outputs, const std::string& editorPngPath) {
  for (const NamedFile& output : outputs)
    if (output.picture && !output.origin.empty())
      std::printf("Wrote the editor picture '%s'\n", output.path.c_str());
  if (!editorPngPath.empty()) std::printf("Wrote the editor picture '%s'\n", editorPngPath.c_str());
}

}  // namespace

void printWarning(const RenderOptions& options, const std::string& message) {
  if (!message.empty() && !options.quiet)
    std::fprintf(stderr, "lumivane-render: warning: %s\n", message.c_str());
}

void warnOfClipping(const RenderOptions& options, const OutputMeter& meter) {
  double loudest = loudestPeak(meter);
  if (options.format == SampleFormat::float32 || !(loudest > 1.0)) return;
  char peak[32];
  std::snprintf(peak, sizeof peak, "%.4f", loudest);
  printWarning(options, "the output goes beyond full scale (peak " + std::string(peak) + ", " +
                            decibels(loudest) + "); " + describe(options.format) +
                            " cannot hold that, so it was clipped (--format float keeps it)");
}

void printReport(const PluginLibrary& plugin, const RenderOptions& options,
                 const RenderedLength& length, const OutputMeter& meter,
                 const std::vector<NamedFile>& outputs) {
  printRendering(plugin, options, length, meter);
  reportPictures(outputs, options.editorPngPath);
  reportHostCallbacks();
}
