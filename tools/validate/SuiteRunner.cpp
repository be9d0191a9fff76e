#include "tools/validate/SuiteRunner.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tools/validate/CheckList.h"
#include "tools/validate/Platform.h"
#include "tools/validate/ResultFile.h"

namespace {

constexpr int kNameColumn = 32;
// Lines of a failed check's process output shown under its report line.
constexpr std::size_t kOutputLines = 6;
constexpr std::size_t kOutputLineLength = 200;

struct Verdict {
  ResultFile::Status status = ResultFile::Status::failed;
  std::string text;
  std::vector<std::string> notes;
};

// What the child left in its result file, judged with the way its process ended.
Verdict judge(const ResultFile::Contents& result, const platform::ChildEnding& ending) {
  Verdict verdict{result.status, result.text, result.notes};
  bool endedWell = ending.kind == platform::ChildEnding::Kind::exited && ending.code == 0;
  if (!result.found)
    return {ResultFile::Status::failed, ending.description + " before the check began", {}};
  if (result.status == ResultFile::Status::running)
    verdict = {ResultFile::Status::failed,
               (endedWell ? "the process ended without a verdict" : ending.description) +
                   " at: " + result.text,
               result.notes};
  else if (!endedWell)
    verdict = {ResultFile::Status::failed,
               ending.description + " after the check, while the library was unloaded",
               result.notes};
  return verdict;
}

// A line of a child's output as the report shows it: terminal colour sequences taken out, other
// control characters replaced, cut to a readable length.
std::string printable(const std::string& line) {
  std::string shown;
  for (std::size_t i = 0; i < line.size() && shown.size() < kOutputLineLength; ++i) {
    auto c = static_cast<unsigned char>(line[i]);
    if (c == 0x1b && i + 1 < line.size() && line[i + 1] == '[') {
      while (i < line.size() && !std::isalpha(static_cast<unsigned char>(line[i]))) ++i;
      continue;
    }
    shown += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
  }
  return shown;
}

std::vector<std::string> lastLines(const std::string& path) {
  std::ifstream file(path);
  std::deque<std::string> lines;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty()) continue;
    lines.push_back(printable(line));
    if (lines.size() > kOutputLines) lines.pop_front();
  }
  return {lines.begin(), lines.end()};
}

Verdict runInChild(const ValidateOptions& options, const CheckDefinition& check) {
  std::string resultPath = platform::temporaryFile("lumivane-validate-result");
  std::string outputPath = platform::temporaryFile("lumivane-validate-output");
  if (resultPath.empty() || outputPath.empty())
    return {
        ResultFile::Status::failed, "no temporary file could be made for the check's process", {}};
  std::vector<std::string> arguments = {platform::executablePath(),
                                        "--run-check",
                                        check.name,
                                        "--result-file",
                                        resultPath,
                                        "--seed",
                                        std::to_string(options.seed),
                                        "--strictness",
                                        std::to_string(options.strictness),
                                        options.pluginPath};
  platform::ChildEnding ending = platform::runChild(arguments, outputPath, options.timeoutSeconds);
  Verdict verdict = judge(ResultFile::read(resultPath), ending);
  if (verdict.status == ResultFile::Status::failed)
    for (const std::string& line : lastLines(outputPath)) verdict.notes.push_back("| " + line);
  platform::removeFile(resultPath);
  platform::removeFile(outputPath);
  return verdict;
}

const char* statusWord(ResultFile::Status status) {
  switch (status) {
    case ResultFile::Status::passed:
      return "PASS";
    case ResultFile::Status::skipped:
      return "SKIP";
    default:
      return "FAIL";
  }
}

void printLine(const CheckDefinition& check, const Verdict& verdict) {
  std::printf("  %s  %-*s %s\n", statusWord(verdict.status), kNameColumn, check.name,
              verdict.text.c_str());
  for (const std::string& note : verdict.notes)
    std::printf("  %*s %s%s\n", 4 + 2 + kNameColumn, "",
                note.rfind("| ", 0) == 0 ? "" : "note: ", note.c_str());
  std::fflush(stdout);
}

std::vector<const CheckDefinition*> chosenChecks(const ValidateOptions& options) {
  std::vector<const CheckDefinition*> chosen;
  for (const CheckDefinition& check : allChecks())
    if (options.checks.empty() ||
        std::find(options.checks.begin(), options.checks.end(), check.name) != options.checks.end())
      chosen.push_back(&check);
  return chosen;
}

std::string quotedForShell(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void printSummary(const ValidateOptions& options, int passed, int failed, int skipped,
                  const std::vector<std::string>& failedNames) {
  std::printf("Summary: %d passed, %d failed, %d skipped of %d checks\n", passed, failed, skipped,
              passed + failed + skipped);
  if (failedNames.empty()) return;
  std::string checks;
  for (const std::string& name : failedNames) checks += " --check " + name;
  std::printf("Replay: lumivane-validate --seed %llu --strictness %d%s %s\n",
              static_cast<unsigned long long>(options.seed), options.strictness, checks.c_str(),
              quotedForShell(options.pluginPath).c_str());
}

}  // namespace

int runSuite(const ValidateOptions& given) {
  ValidateOptions options = given;
  std::error_code error;
  if (!std::filesystem::is_regular_file(options.pluginPath, error)) {
    std::fprintf(stderr, "lumivane-validate: '%s' is no plug-in file\n",
                 options.pluginPath.c_str());
    return 2;
  }
  if (!options.seedGiven)
    options.seed = std::random_device{}() * 4294967296ull + std::random_device{}();
  std::printf("lumivane-validate: '%s', strictness %d, seed %llu\n", options.pluginPath.c_str(),
              options.strictness, static_cast<unsigned long long>(options.seed));
  int passed = 0, failed = 0, skipped = 0;
  std::vector<std::string> failedNames;
  bool loaded = true;
  for (const CheckDefinition* check : chosenChecks(options)) {
    Verdict verdict = loaded ? runInChild(options, *check)
                             : Verdict{ResultFile::Status::skipped, "the plug-in did not load", {}};
    if (std::string(check->name) == "load" && verdict.status == ResultFile::Status::failed)
      loaded = false;
    printLine(*check, verdict);
    if (verdict.status == ResultFile::Status::passed)
      ++passed;
    else if (verdict.status == ResultFile::Status::skipped)
      ++skipped;
    else {
      ++failed;
      failedNames.push_back(check->name);
    }
  }
  printSummary(options, passed, failed, skipped, failedNames);
  return failed == 0 ? 0 : 1;
}
