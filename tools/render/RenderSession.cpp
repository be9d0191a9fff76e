#include "tools/render/RenderSession.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

#include "tools/render/AudioFileSource.h"
#include "tools/render/BlockRenderer.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/EditorWindow.h"
#include "tools/render/HostCallback.h"
#include "tools/render/OutputMeter.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderError.h"
#include "tools/render/StereoWavWriter.h"

namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

VstInt32 parameterIndex(const PluginLibrary& plugin, const std::string& name) {
  std::vector<std::string> names = plugin.parameterNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (sameNameIgnoringCase(names[i], name)) return static_cast<VstInt32>(i);
  std::string valid;
  for (const std::string& known : names) valid += (valid.empty() ? "" : ", ") + known;
  throw RenderError("unknown parameter '" + name + "'; this plug-in's parameters are: " +
                    (valid.empty() ? "(none)" : valid));
}

void selectProgram(const PluginLibrary& plugin, int program) {
  if (program < 0) return;
  if (program >= plugin.effect()->numPrograms)
    throw RenderError("--program " + std::to_string(program) + ": the plug-in has programs 0 to " +
                      std::to_string(plugin.effect()->numPrograms - 1));
  plugin.dispatch(effSetProgram, 0, program);
}

void setParameters(const PluginLibrary& plugin, const std::vector<ParameterSetting>& settings) {
  AEffect* effect = plugin.effect();
  for (const ParameterSetting& setting : settings) {
    VstInt32 index = parameterIndex(plugin, setting.name);
    effect->setParameter(effect, index, static_cast<float>(setting.value));
    std::string label = plugin.text(effGetParamLabel, index);
    std::printf("%s = %s%s%s (%g)\n", plugin.text(effGetParamName, index).c_str(),
                plugin.text(effGetParamDisplay, index).c_str(), label.empty() ? "" : " ", label.c_str(),
                static_cast<double>(effect->getParameter(effect, index)));
  }
}

void checkPrecision(const PluginLibrary& plugin, bool doublePrecision) {
  VstInt32 flags = plugin.effect()->flags;
  if (doublePrecision && !(flags & effFlagsCanDoubleReplacing))
    throw RenderError("--double: the plug-in has no 64-bit processing");
  if (!doublePrecision && !(flags & effFlagsCanReplacing))
    throw RenderError("the plug-in has no replacing 32-bit processing; try --double");
}

// Writing over the input while reading it would destroy it.
void checkOutputIsNotInput(const RenderOptions& options) {
  struct stat input {}, output {};
  if (options.inputPath.empty() || stat(options.outputPath.c_str(), &output) != 0) return;
  if (stat(options.inputPath.c_str(), &input) == 0 && input.st_dev == output.st_dev && input.st_ino == output.st_ino)
    throw RenderError("the output '" + options.outputPath + "' is the input file");
}

std::unique_ptr<SignalSource> openSource(const RenderOptions& options) {
  if (options.inputPath.empty()) return std::make_unique<DemoSignal>();
  return std::make_unique<AudioFileSource>(options.inputPath);
}

std::string decibels(double level) {
  if (level <= 0.0) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(level));
  return text;
}

void report(const PluginLibrary& plugin, const RenderOptions& options, double rate, std::int64_t frames,
            const OutputMeter& meter) {
  std::printf("Rendered %s through %s (%s): %lld frames at %g Hz (%.2f s), blocks of %d, %s precision\n",
              options.inputPath.empty() ? "the demo signal" : ("'" + options.inputPath + "'").c_str(),
              plugin.text(effGetEffectName).c_str(), plugin.text(effGetVendorString).c_str(),
              static_cast<long long>(frames), rate, static_cast<double>(frames) / rate, options.blockSize,
              options.doublePrecision ? "double" : "single");
  std::printf("Wrote '%s' (stereo, 32-bit float WAV)\n", options.outputPath.c_str());
  std::printf("Output peaks (measured by this host): left %.4f (%s), right %.4f (%s)\n", meter.peakLeft(),
              decibels(meter.peakLeft()).c_str(), meter.peakRight(), decibels(meter.peakRight()).c_str());
  std::printf("Output correlation (measured by this host over the whole output, -1 to 1): %.3f\n",
              meter.correlation());
}

// Last, so that it counts what the editor's script did too.
void reportHostCallbacks() {
  const HostLog& log = hostLog();
  std::printf("Host callbacks: %ld automate, %ld begin edit, %ld end edit\n", log.automations, log.beginEdits,
              log.endEdits);
}

}  // namespace

void runRender(const RenderOptions& options) {
  PluginLibrary plugin(options.pluginPath, renderHostCallback);
  std::unique_ptr<SignalSource> source = openSource(options);
  checkOutputIsNotInput(options);
  checkPrecision(plugin, options.doublePrecision);
  double rate = source->sampleRate();

  plugin.dispatch(effOpen);
  plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  plugin.dispatch(effSetBlockSize, 0, options.blockSize);
  selectProgram(plugin, options.program);
  setParameters(plugin, options.parameters);

  StereoWavWriter output(options.outputPath, static_cast<int>(rate));
  OutputMeter meter;
  BlockRenderer renderer(plugin, options.blockSize, options.doublePrecision);
  EditorWindow editor(plugin, options);
  plugin.dispatch(effMainsChanged, 0, 1);
  std::int64_t frames = 0;
  {
    ProgressBar progress(source->totalFrames());
    frames = renderer.render(*source, output, meter, progress);
  }
  plugin.dispatch(effMainsChanged, 0, 0);
  output.close();
  report(plugin, options, rate, frames, meter);
  editor.finish();
  reportHostCallbacks();
}
