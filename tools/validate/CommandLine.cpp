#include "tools/validate/CommandLine.h"

#include <cerrno>
#include <cstdlib>

#include "tools/validate/CheckList.h"
#include "tools/validate/ValidateError.h"

namespace {

std::uint64_t parseNumber(const std::string& option, const std::string& text, std::uint64_t low,
                          std::uint64_t high) {
  errno = 0;
  char* end = nullptr;
  unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0 || value < low || value > high)
    throw ValidateError(option + " needs a whole number from " + std::to_string(low) + " to " +
                        std::to_string(high) + ", not '" + text + "'");
  return value;
}

std::string checkName(const std::string& option, const std::string& name) {
  if (!findCheck(name))
    throw ValidateError(option + ": no check is named '" + name + "' (see --list)");
  return name;
}

// Splits "--name=value" into name and value; other arguments have no inline value.
bool splitInlineValue(const std::string& argument, std::string& name, std::string& value) {
  std::size_t equals = argument.find('=');
  if (argument.rfind("--", 0) != 0 || equals == std::string::npos) return false;
  name = argument.substr(0, equals);
  value = argument.substr(equals + 1);
  return true;
}

}  // namespace

ValidateOptions parseCommandLine(int argc, char** argv) {
  ValidateOptions options;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    std::string name = argument, value;
    bool hasInlineValue = splitInlineValue(argument, name, value);
    auto takeValue = [&]() -> std::string {
      if (hasInlineValue) return value;
      if (i + 1 >= argc) throw ValidateError(name + " needs a value");
      return argv[++i];
    };
    auto noValue = [&]() {
      if (hasInlineValue) throw ValidateError(name + " takes no value");
    };

    if (name == "-h" || name == "--help") {
      noValue();
      options.showHelp = true;
    } else if (name == "--list") {
      noValue();
      options.listChecks = true;
    } else if (name == "--strictness") {
      options.strictness = static_cast<int>(parseNumber(name, takeValue(), 1, 10));
    } else if (name == "--seed") {
      options.seed = parseNumber(name, takeValue(), 0, UINT64_MAX);
      options.seedGiven = true;
    } else if (name == "--timeout") {
      options.timeoutSeconds = static_cast<double>(parseNumber(name, takeValue(), 1, 86400));
    } else if (name == "--check") {
      options.checks.push_back(checkName(name, takeValue()));
    } else if (name == "--run-check") {
      options.runCheck = checkName(name, takeValue());
    } else if (name == "--result-file") {
      options.resultFile = takeValue();
    } else if (argument.size() > 1 && argument[0] == '-') {
      throw ValidateError("unknown option '" + argument + "' (see --help)");
    } else {
      positional.push_back(argument);
    }
  }
  if (options.showHelp || options.listChecks) return options;
  if (positional.empty()) throw ValidateError("no plug-in library given (see --help)");
  if (positional.size() > 1)
    throw ValidateError("one plug-in library at a time, not also '" + positional[1] + "'");
  if (!options.runCheck.empty() && options.resultFile.empty())
    throw ValidateError("--run-check needs --result-file");
  options.pluginPath = positional[0];
  return options;
}

std::string usageText() {
  return R"(Usage: lumivane-validate [options] PLUGIN

Loads a VST 2.4 plug-in library as a host does (its entry point VSTPluginMain or main, and the
effect record it returns) and runs a suite of checks on it: open and close cycles, every sample
rate hosts offer and absurd ones, block sizes from 1 to 65536 frames and blocks longer than
announced, processing before resume and after suspend, parameters swept and set to NaN, infinities,
out-of-range and subnormal values while audio runs on another thread, program switches during
processing, every dispatcher opcode from 0 to 127 with random arguments and with valid and null
pointers, the texts it writes, editor cycles with and without audio, and a saved and loaded
project state. Every output block is checked for unwritten samples, NaN, infinities, subnormal
numbers and writes past its end.

Each check runs in a process of its own, so a plug-in that crashes or hangs fails that check (the
report names the signal, the exception or the time limit and the step it was at) and the suite
goes on. The report has one line per check and a summary.

Options:
  --strictness N   1 to 10 (default 5): scales the number of cycles, rounds and calls (100 open
                   and close cycles at 5); from 8 on, texts longer than the interface's nominal
                   lengths fail instead of being noted
  --seed N         the seed of every random choice (default: a new one, shown in the report); the
                   same seed, strictness and check repeat a run exactly
  --check NAME     run only this check (repeatable; --list shows the names)
  --timeout S      seconds a check may run before it counts as hung (default 60)
  --list           list the checks and exit
  -h, --help       show this text

On Windows the editor checks open the editor as a host does: in a top-level window of the
validator's own, with the window's messages pumped and effEditIdle sent every 20 ms. Elsewhere
they reach the editor without a window system through the headless table that Lumivane libraries
export, and other plug-ins skip them.

Exit status:
  0  every check passed or was skipped
  1  a check failed
  2  a mistake on the command line, or a plug-in file that does not exist
)";
}
