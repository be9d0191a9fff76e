#include "tools/render/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tools/render/RenderError.h"

namespace {

constexpr int kMaxBlockSize = 1 << 20;

[[noreturn]] void usageError(const std::string& message) { throw RenderError(message, 2); }

long parseInteger(const std::string& option, const std::string& text, long low, long high) {
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
    usageError(option + " needs a whole number from " + std::to_string(low) + " to " +
               std::to_string(high) + ", not '" + text + "'");
  return value;
}

ParameterSetting parseParameter(const std::string& text) {
  std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0)
    usageError("--param needs NAME=VALUE or INDEX=VALUE, not '" + text + "'");
  std::string name = text.substr(0, equals);
  std::string number = text.substr(equals + 1);
  char* end = nullptr;
  double value = std::strtod(number.c_str(), &end);
  if (number.empty() || *end != '\0' || !std::isfinite(value) || value < 0.0 || value > 1.0)
    usageError("--param " + text + ": the value must be a number from 0 to 1");
  return {name, value};
}

SampleFormat parseFormat(const std::string& text) {
  std::optional<SampleFormat> format = sampleFormatNamed(text);
  if (!format) usageError("--format needs float, pcm16 or pcm24, not '" + text + "'");
  return *format;
}

double parseTailSeconds(const std::string& text) {
  char* end = nullptr;
  double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(seconds >= 0.0 && seconds <= kMaxTailSeconds))
    usageError("--tail needs a number of seconds from 0 to " +
               std::to_string(static_cast<int>(kMaxTailSeconds)) + ", not '" + text + "'");
  return seconds;
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

RenderOptions parseCommandLine(int argc, char** argv) {
  RenderOptions options;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    std::string name = argument, value;
    bool hasInlineValue = splitInlineValue(argument, name, value);
    auto takeValue = [&]() -> std::string {
      if (hasInlineValue) return value;
      if (i + 1 >= argc) usageError(name + " needs a value");
      return argv[++i];
    };

    if (name == "-h" || name == "--help") {
      options.showHelp = true;
    } else if (name == "-o" || name == "--output") {
      options.outputPath = takeValue();
      if (options.outputPath.empty()) usageError("--output needs a file name");
    } else if (name == "--block") {
      options.blockSize = static_cast<int>(parseInteger(name, takeValue(), 1, kMaxBlockSize));
    } else if (name == "--double" || name == "--info" || name == "--quiet") {
      if (hasInlineValue) usageError(name + " takes no value");
      (name == "--double" ? options.doublePrecision
       : name == "--info" ? options.showInfo
                          : options.quiet) = true;
    } else if (name == "--program") {
      options.program = static_cast<int>(parseInteger(name, takeValue(), 0, 1 << 20));
    } else if (name == "--param") {
      options.parameters.push_back(parseParameter(takeValue()));
    } else if (name == "--format") {
      options.format = parseFormat(takeValue());
    } else if (name == "--tail") {
      options.tailSeconds = parseTailSeconds(takeValue());
    } else if (name == "--editor-png" || name == "--script" || name == "--commands") {
      std::string text = takeValue();
      if (text.empty()) usageError(name + " needs a value");
      // An option where the file name belongs means the name was forgotten ("-" alone is
      // standard input for --script).
      if (name != "--commands" && text.size() > 1 && text[0] == '-')
        usageError(name + " needs a file name, not the option '" + text + "'");
      (name == "--editor-png" ? options.editorPngPath
       : name == "--script"   ? options.scriptPath
                              : options.scriptCommands) = text;
    } else if (argument.size() > 1 && argument[0] == '-') {
      usageError("unknown option '" + argument + "' (see --help)");
    } else {
      positional.push_back(argument);
    }
  }
  if (options.showHelp) return options;
  if (positional.empty()) usageError("no plug-in library given (see --help)");
  if (positional.size() > 2) usageError("too many files: '" + positional[2] + "' (see --help)");
  options.pluginPath = positional[0];
  if (positional.size() == 2) options.inputPath = positional[1];
  return options;
}

std::string usageText() {
  return R"(Usage: lumivane-render [options] PLUGIN.so [INPUT.wav]
       lumivane-render --info [--program N] [--param NAME=VALUE...] PLUGIN.so

Renders audio through a VST 2.4 plug-in library, loaded as a host loads it, at the input's sample
rate. A mono input feeds every input of the plug-in; an input of several channels feeds channel i
to the plug-in's input i, and the plug-in's inputs beyond the file's channels get silence (a file
with more channels than the plug-in has inputs is refused). Every output of the plug-in is written,
one channel each, to a WAV file. Without an input file a built-in demo signal of about six seconds
is rendered (mono plucked tones, clicks and a sweep at 44100 Hz).

Afterwards it prints the peak level of each output channel and the correlation of the first two
over the whole file, both measured by this host from the rendered audio, and the automation calls
the plug-in made to the host.

Options:
  -o, --output FILE     where to write the result (default lumivane-out.wav)
  --format FORMAT       how the output stores samples: float (32-bit float, the default; levels
                        above full scale are kept), pcm16 or pcm24 (16- or 24-bit integers;
                        levels beyond full scale are clipped, with a warning)
  --tail SECONDS        silence rendered after the input, so that delays and reverbs ring out:
                        0 to 3600 seconds (default: the tail the plug-in reports, else none)
  --block N             samples per processing call, 1 to 1048576 (default 512)
  --double              use processDoubleReplacing (64-bit samples) instead of processReplacing
  --program N           switch to program N before rendering
  --param NAME=VALUE    set a parameter, after --program, by the plug-in's own name for it (case
  --param INDEX=VALUE   does not matter) or by its index from 0; VALUE is the normalised value
                        from 0 to 1 that hosts send, not the displayed text (Lumivane's
                        Expression=0.75 shows as 75). Repeatable.
  --info                print the plug-in's identity, category, channels, flags, parameters
                        (with --program and --param applied) and programs, and render nothing
  --quiet               print nothing but errors: no report, no warnings, no progress bar
  --editor-png FILE     afterwards, save the plug-in's editor as a PNG picture: opened in a
                        headless window before the first block, it shows the last block's
                        meters and goniometer trace and the parameter values (Lumivane only)
  --script FILE         afterwards, drive the editor with the commands in FILE ('-': standard
                        input), one per line: press X Y [shift|control|alt|right|middle...],
                        drag X1 Y1 X2 Y2 [...], wheel X Y N, key NAME [shift|control|alt...],
                        type TEXT, idle N, shot FILE; '#' starts a comment line
  --commands TEXT       the same commands given inline, separated by ';'
  -h, --help            show this text

Outputs never overwrite the plug-in, the input, the script or each other. Each is written beside
its place under a temporary name and moved into place only when the whole run has succeeded, so a
run that fails leaves existing files as they were. Input files must have a sample rate from 8000
to 768000 Hz; a WAV file cut short is rendered as far as it goes, with a warning. On a terminal a
progress bar shows how far the render has got.

Exit status:
  0  the outputs were written (with --info: the plug-in was described)
  1  the run failed: a file that cannot be read or written, a plug-in that cannot be loaded or
     cannot do what was asked (--double, --editor-png), a plug-in without outputs, an input at an
     unusable sample rate or with more channels than the plug-in has inputs
  2  a mistake on the command line: an unknown option, a missing or malformed value, a parameter
     name or index or a program number the plug-in does not have, a script line that cannot be
     read, an output that names the plug-in, the input, the script or another output
)";
}
