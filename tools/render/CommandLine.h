#pragma once
#include <optional>
#include <string>
#include <vector>

#include "tools/render/SampleFormat.h"

// The longest tail a run renders after its input, in seconds: enough for any reverb to ring out.
constexpr double kMaxTailSeconds = 3600.0;

struct ParameterSetting {
  std::string parameter;  // the plug-in's name for it, or its index in decimal digits
  double value;           // 0..1, as the host sends it
};

struct RenderOptions {
  std::string pluginPath;
  std::string inputPath;  // empty: the built-in demo signal
  std::string outputPath = "lumivane-out.wav";
  int blockSize = 512;
  bool doublePrecision = false;
  int program = -1;  // -1: leave the plug-in's current program
  std::vector<ParameterSetting> parameters;
  SampleFormat format = SampleFormat::float32;
  std::optional<double> tailSeconds;  // empty: the tail the plug-in reports
  bool showInfo = false;              // print what the plug-in says about itself instead
  bool quiet = false;                 // print nothing but errors
  std::string editorPngPath;          // empty: no editor picture
  std::string scriptPath;             // editor commands from a file ("-": standard input)
  std::string scriptCommands;         // editor commands separated by ';'
  bool showHelp = false;
};

// Reads the command line; throws RenderError (exit code 2) with a one-line reason.
RenderOptions parseCommandLine(int argc, char** argv);

// The --help text.
std::string usageText();
