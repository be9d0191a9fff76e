#include "tools/render/RenderSession.h"

#include <cmath>
#include <memory>
#include <utility>

#include "tools/render/AudioFileSource.h"
#include "tools/render/BlockRenderer.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/EditorWindow.h"
#include "tools/render/HostCallback.h"
#include "tools/render/OutputFiles.h"
#include "tools/render/OutputMeter.h"
#include "tools/render/ParameterSettings.h"
#include "tools/render/PluginInfo.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderError.h"
#include "tools/render/RenderReport.h"
#include "tools/render/SourceWithTail.h"
#include "tools/render/WavWriter.h"

namespace {

// The rate --info opens the plug-in at.
constexpr double kInfoSampleRate = 44100.0;

void checkProgram(const PluginLibrary& plugin, int program) {
  if (program >= plugin.effect()->numPrograms)
    throw RenderError("--program " + std::to_string(program) + ": the plug-in has programs 0 to " +
                          std::to_string(plugin.effect()->numPrograms - 1),
                      2);
}

void checkPrecision(const PluginLibrary& plugin, bool doublePrecision) {
  VstInt32 flags = plugin.effect()->flags;
  if (doublePrecision && !(flags & effFlagsCanDoubleReplacing))
    throw RenderError("--double: the plug-in has no 64-bit processing");
  if (!doublePrecision && !(flags & effFlagsCanReplacing))
    throw RenderError("the plug-in has no replacing 32-bit processing; try --double");
}

// A mono source feeds every input; a wider one feeds one input per channel, so it needs as many.
void checkChannels(const PluginLibrary& plugin, const SignalSource& source,
                   const RenderOptions& options) {
  VstInt32 inputs = plugin.effect()->numInputs, outputs = plugin.effect()->numOutputs;
  if (outputs < 1) throw RenderError("the plug-in has no outputs: there is nothing to write");
  int channels = source.channelCount();
  if (channels > 1 && channels > inputs)
    throw RenderError("'" + options.inputPath + "' has " + std::to_string(channels) +
                      " channels, more than the plug-in's " + std::to_string(inputs) +
                      " inputs (a mono file feeds every input)");
}

// Opens the plug-in at the rate and block size, then switches to the program and sets the
// parameters, as a host does before it starts processing.
void setUp(const PluginLibrary& plugin, const RenderOptions& options, double rate,
           const std::vector<ResolvedParameter>& parameters) {
  plugin.dispatch(effOpen);
  plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  plugin.dispatch(effSetBlockSize, 0, options.blockSize);
  if (options.program >= 0) plugin.dispatch(effSetProgram, 0, options.program);
  applyParameters(plugin, parameters, !options.quiet && !options.showInfo);
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

std::unique_ptr<SignalSource> openSource(const RenderOptions& options) {
  if (options.inputPath.empty()) return std::make_unique<DemoSignal>();
  auto file = std::make_unique<AudioFileSource>(options.inputPath);
  printWarning(options, file->shortfall());
  return file;
}

// --tail, else what the plug-in reports (effGetTailSize: 0 when it does not say, 1 for none). A
// reported tail longer than --tail may ask for is taken as the plug-in's way of saying "endless"
// (or as damage) and left out.
std::int64_t tailFrames(const PluginLibrary& plugin, const RenderOptions& options, double rate) {
  if (options.tailSeconds) return std::llround(*options.tailSeconds * rate);
  VstIntPtr reported = plugin.dispatch(effGetTailSize);
  if (reported <= 1) return 0;
  if (static_cast<double>(reported) <= kMaxTailSeconds * rate) return reported;
  printWarning(options, "the plug-in reports a tail of " + std::to_string(reported) +
                            " samples, longer than " +
                            std::to_string(static_cast<int>(kMaxTailSeconds)) +
                            " s; rendering none (--tail sets one)");
  return 0;
}

}  // namespace

void runRender(const RenderOptions& options) {
  EditorScript script = loadEditorScript(options);
  OutputFiles files(sourcesOf(options));
  std::vector<NamedFile> outputs = outputsOf(options, script);
  for (const NamedFile& output : outputs) files.add(output);

  PluginLibrary plugin(options.pluginPath, renderHostCallback);
  std::unique_ptr<SignalSource> input = openSource(options);
  checkPrecision(plugin, options.doublePrecision);
  checkProgram(plugin, options.program);
  checkChannels(plugin, *input, options);
  std::vector<ResolvedParameter> parameters = resolveParameters(plugin, options.parameters);
  double rate = input->sampleRate();
  setUp(plugin, options, rate, parameters);
  std::int64_t tail = tailFrames(plugin, options, rate);
  SourceWithTail source(std::move(input), tail);

  files.open();
  int channels = plugin.effect()->numOutputs;
  WavWriter output(files.writePath(options.outputPath), options.outputPath,
                   {static_cast<int>(rate), channels, options.format, source.totalFrames()});
  OutputMeter meter(channels);
  BlockRenderer renderer(plugin, options.blockSize, options.doublePrecision);
  EditorWindow editor(plugin, options.pluginPath, script, options.editorPngPath, files);
  plugin.dispatch(effMainsChanged, 0, 1);
  std::int64_t frames = 0;
  {
    ProgressBar progress(source.totalFrames(), !options.quiet);
    frames = renderer.render(source, output, meter, progress);
  }
  plugin.dispatch(effMainsChanged, 0, 0);
  output.close();
  editor.finish();
  files.commit();
  warnOfClipping(options, meter);
  if (!options.quiet) printReport(plugin, options, {rate, frames, tail}, meter, outputs);
}

void runInfo(const RenderOptions& options) {
  PluginLibrary plugin(options.pluginPath, renderHostCallback);
  checkProgram(plugin, options.program);
  std::vector<ResolvedParameter> parameters = resolveParameters(plugin, options.parameters);
  setUp(plugin, options, kInfoSampleRate, parameters);
  printPluginInfo(plugin, kInfoSampleRate);
}
