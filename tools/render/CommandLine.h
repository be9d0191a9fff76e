#pragma once
#include <string>
#include <vector>

struct ParameterSetting {
  std::string name;
  double value;  // 0..1, as the host sends it
};

struct RenderOptions {
  std::string pluginPath;
  std::string inputPath;  // empty: the built-in demo signal
  std::string outputPath = "lumivane-out.wav";
  int blockSize = 512;
  bool doublePrecision = false;
  int program = -1;  // -1: leave the plug-in's current program
  std::vector<ParameterSetting> parameters;
  std::string editorPngPath;   // empty: no editor picture
  std::string scriptPath;      // editor commands from a file ("-": standard input)
  std::string scriptCommands;  // editor commands separated by ';'
  bool showHelp = false;
};

// Reads the command line; throws RenderError (exit code 2) with a one-line reason.
RenderOptions parseCommandLine(int argc, char** argv);

// The --help text.
std::string usageText();
