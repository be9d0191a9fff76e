#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ValidateOptions {
  std::string pluginPath;
  int strictness = 5;
  std::uint64_t seed = 0;
  bool seedGiven = false;
  double timeoutSeconds = 60.0;
  std::vector<std::string> checks;  // empty: all of them
  bool listChecks = false;
  bool showHelp = false;
  // Hidden: the run of one check inside the child process that the validator starts for it.
  std::string runCheck;
  std::string resultFile;
};

// Reads the command line; throws ValidateError with a one-line reason.
ValidateOptions parseCommandLine(int argc, char** argv);

// The --help text.
std::string usageText();
