#include "tools/render/RenderSession.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

#include "tools/render/AudioFileSource.h"
#include "tools/render/BlockRenderer.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/EditorWindow.h"
#include "tools/render/HostCallback.h"
#include "tools/render/OutputFiles.h"
#include "tools/render/OutputMeter.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderError.h"
#include "tools/render/StereoWavWriter.h"

namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

VstInt32 parameterIndex(const PluginLibrary& plugin, const std::string& name) {
  std::vector<std::string> names = plugin.parameterNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (sameNameIgnoringCase(names[i], name)) return static_cast<VstInt32>(i);
  std::string valid;
  for (const std::string& known : names) valid += (valid.empty() ? "" : ", ") + known;
  throw RenderError("unknown parameter '" + name +
                        "'; this plug-in's parameters are: " + (valid.empty() ? "(none)" : valid),
                    2);
}

void checkProgram(const PluginLibrary& plugin, int program) {
  if (program >= plugin.effect()->numPrograms)
    throw RenderError("--program " + std::to_string(program) + ": the plug-in has programs 0 to " +
                          std::to_string(plugin.effect()->numPrograms - 1),
                      2);
}

// The parameters by index, so that every name is checked before anything is set.
std::vector<std::pair<VstInt32, float>> resolveParameters(
    const PluginLibrary& plugin, const std::vector<ParameterSetting>& settings) {
  std::vector<std::pair<VstInt32, float>> resolved;
  for (const ParameterSetting& setting : settings)
    resolved.emplace_back(parameterIndex(plugin, setting.name), static_cast<float>(setting.value));
  return resolved;
}

void setParameters(const PluginLibrary& plugin,
                   const std::vector<std::pair<VstInt32, float>>& settings) {
  AEffect* effect = plugin.effect();
  for (auto [index, value] : settings) {
    effect->setParameter(effect, index, value);
    std::string label = plugin.text(effGetParamLabel, index);
    std::printf("%s = %s%s%s (%g)\n", plugin.text(effGetParamName, index).c_str(),
                plugin.text(effGetParamDisplay, index).c_str(), label.empty() ? "" : " ",
                label.c_str(), static_cast<double>(effect->getParameter(effect, index)));
  }
}

void checkPrecision(const PluginLibrary& plugin, bool doublePrecision) {
  VstInt32 flags = plugin.effect()->flags;
  if (doublePrecision && !(flags & effFlagsCanDoubleReplacing))
    throw RenderError("--double: the plug-in has no 64-bit processing");
  if (!doublePrecision && !(flags & effFlagsCanReplacing))
    throw RenderError("the plug-in has no replacing 32-bit processing; try --double");
}

// The script from --script, then the commands of --commands (separated by ';').
EditorScript loadEditorScript(const RenderOptions& options) {
  EditorScript script;
  if (!options.scriptPath.empty()) script = EditorScript::load(options.scriptPath);
  if (!options.scriptCommands.empty()) {
    std::string lines = options.scriptCommands;
    for (char& c : lines)
      if (c == ';') c = '\n';
    script.append(EditorScript::parse(lines, "--commands"));
  }
  return script;
}

std::vector<NamedFile> sourcesOf(const RenderOptions& options) {
  std::vector<NamedFile> sources = {{options.pluginPath, "the plug-in library", "", false}};
  if (!options.inputPath.empty())
    sources.push_back({options.inputPath, "the input file", "", false});
  if (!options.scriptPath.empty() && options.scriptPath != "-")
    sources.push_back({options.scriptPath, "the script", "", false});
  return sources;
}

// Every file the run writes: the audio, the editor picture, the script's shots.
std::vector<NamedFile> outputsOf(const RenderOptions& options, const EditorScript& script) {
  std::vector<NamedFile> outputs = {{options.outputPath, "the output", "", false}};
  if (!options.editorPngPath.empty())
    outputs.push_back({options.editorPngPath, "the editor picture", "", true});
  for (const EditorCommand& command : script.commands())
    if (command.kind == EditorCommand::Kind::shot)
      outputs.push_back({command.text, "the shot", command.where(), true});
  return outputs;
}

// The pictures in the order the editor took them: the shots, then the final picture.
void reportPictures(const std::vector<NamedFile>& outputs, const std::string& editorPngPath) {
  for (const NamedFile& output : outputs)
    if (output.picture && !output.origin.empty())
      std::printf("Wrote the editor picture '%s'\n", output.path.c_str());
  if (!editorPngPath.empty()) std::printf("Wrote the editor picture '%s'\n", editorPngPath.c_str());
}

void warn(const std::string& message) {
  if (!message.empty()) std::fprintf(stderr, "lumivane-render: warning: %s\n", message.c_str());
}

std::unique_ptr<SignalSource> openSource(const RenderOptions& options) {
  if (options.inputPath.empty()) return std::make_unique<DemoSignal>();
  auto file = std::make_unique<AudioFileSource>(options.inputPath);
  warn(file->shortfall());
  return file;
}

std::string decibels(double level) {
  if (level <= 0.0) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(level));
  return text;
}

void report(const PluginLibrary& plugin, const RenderOptions& options, double rate,
            std::int64_t frames, const OutputMeter& meter) {
  std::printf(
      "Rendered %s through %s (%s): %lld frames at %g Hz (%.2f s), blocks of %d, %s precision\n",
      options.inputPath.empty() ? "the demo signal" : ("'" + options.inputPath + "'").c_str(),
      plugin.text(effGetEffectName).c_str(), plugin.text(effGetVendorString).c_str(),
      static_cast<long long>(frames), rate, static_cast<double>(frames) / rate, options.blockSize,
      options.doublePrecision ? "double" : "single");
  std::printf("Wrote '%s' (stereo, 32-bit float WAV)\n", options.outputPath.c_str());
  std::printf("Output peaks (measured by this host): left %.4f (%s), right %.4f (%s)\n",
              meter.peakLeft(), decibels(meter.peakLeft()).c_str(), meter.peakRight(),
              decibels(meter.peakRight()).c_str());
  std::printf("Output correlation (measured by this host over the whole output, -1 to 1): %.3f\n",
              meter.correlation());
}

// Last, so that it counts what the editor's script did too.
void reportHostCallbacks() {
  const HostLog& log = hostLog();
  std::printf("Host callbacks: %ld automate, %ld begin edit, %ld end edit\n", log.automations,
              log.beginEdits, log.endEdits);
}

}  // namespace

void runRender(const RenderOptions& options) {
  EditorScript script = loadEditorScript(options);
  OutputFiles files(sourcesOf(options));
  std::vector<NamedFile> outputs = outputsOf(options, script);
  for (const NamedFile& output : outputs) files.add(output);

  PluginLibrary plugin(options.pluginPath, renderHostCallback);
  std::unique_ptr<SignalSource> source = openSource(options);
  checkPrecision(plugin, options.doublePrecision);
  checkProgram(plugin, options.program);
  std::vector<std::pair<VstInt32, float>> parameters =
      resolveParameters(plugin, options.parameters);
  double rate = source->sampleRate();

  plugin.dispatch(effOpen);
  plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  plugin.dispatch(effSetBlockSize, 0, options.blockSize);
  if (options.program >= 0) plugin.dispatch(effSetProgram, 0, options.program);
  setParameters(plugin, parameters);

  files.open();
  StereoWavWriter output(files.writePath(options.outputPath), options.outputPath,
                         static_cast<int>(rate));
  OutputMeter meter;
  BlockRenderer renderer(plugin, options.blockSize, options.doublePrecision);
  EditorWindow editor(plugin, options.pluginPath, script, options.editorPngPath, files);
  plugin.dispatch(effMainsChanged, 0, 1);
  std::int64_t frames = 0;
  {
    ProgressBar progress(source->totalFrames());
    frames = renderer.render(*source, output, meter, progress);
  }
  plugin.dispatch(effMainsChanged, 0, 0);
  output.close();
  editor.finish();
  files.commit();
  report(plugin, options, rate, frames, meter);
  reportPictures(outputs, options.editorPngPath);
  reportHostCallbacks();
}
