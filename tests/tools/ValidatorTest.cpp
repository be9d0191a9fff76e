// The validator, run as CI runs it: the built lumivane-validate against Lumivane, against a tiny
// working plug-in, and against the same plug-in told to fail in one chosen way (gain_plugin.cpp),
// judged by its report and exit status.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/RenderToolFixture.h"

namespace {

class Validator : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumivane-validate-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
  }
  void TearDown() override {
    unsetenv("LUMIVANE_FAULT");
    std::system(("rm -rf '" + directory + "'").c_str());
  }

  std::string path(const std::string& name) const { return directory + "/" + name; }

  ToolRun validate(const std::string& arguments) {
    std::string command = "cd '" + directory + "' && '" + std::string(LUMIVANE_VALIDATE_PATH) +
                          "' " + arguments + " >'" + path("out.txt") + "' 2>'" + path("err.txt") +
                          "' </dev/null";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(path("out.txt")),
            readFile(path("err.txt"))};
  }

  // The gain plug-in with a fault, through the checks named (all of them when none are).
  ToolRun validateFaulty(const std::string& fault, const std::string& arguments) {
    setenv("LUMIVANE_FAULT", fault.c_str(), 1);
    return validate("--seed 7 " + arguments + " '" + gain + "'");
  }

  std::string gain = LUMIVANE_GAIN_PLUGIN;
  std::string directory;
};

std::vector<std::string> checkNames(const std::string& list) {
  std::vector<std::string> names;
  std::istringstream lines(list);
  std::string line;
  while (std::getline(lines, line)) names.push_back(line.substr(0, line.find(' ')));
  return names;
}

// The report line of one check: its status word, its name and what follows.
std::string reportLine(const std::string& report, const std::string& check) {
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line))
    if (line.size() > 8 && line.compare(8, check.size() + 1, check + " ") == 0) return line;
  return "";
}

void expectLine(const ToolRun& run, const std::string& check, const std::string& status,
                const std::string& containing = "") {
  std::string line = reportLine(run.out, check);
  EXPECT_EQ(line.substr(0, 8), "  " + status + "  ") << check << "\n" << run.out;
  EXPECT_NE(line.find(containing), std::string::npos) << line;
}

TEST_F(Validator, LumivanePassesEveryCheck) {
  ToolRun list = validate("--list");
  ASSERT_EQ(list.exitCode, 0);
  std::vector<std::string> names = checkNames(list.out);
  ToolRun run = validate("--seed 7 '" + std::string(LUMIVANE_PLUGIN_PATH) + "'");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  for (const std::string& name : names) expectLine(run, name, "PASS");
  expectLine(run, "editor-cycles-during-audio", "PASS",
             "(headless), with audio running on another thread");
  std::string summary = "Summary: " + std::to_string(names.size()) + " passed, 0 failed, 0 skipped";
  EXPECT_NE(run.out.find(summary), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Replay"), std::string::npos);
}

TEST_F(Validator, APluginWithoutAnEditorPassesWithTheEditorChecksSkipped) {
  ToolRun run = validate("--seed 7 '" + gain + "'");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  expectLine(run, "load", "PASS",
             "'Gain' by 'Lumivane tests' through VSTPluginMain: 2 in, 2 out, 1 parameters");
  expectLine(run, "editor-cycles", "SKIP", "the plug-in has no editor");
  expectLine(run, "editor-cycles-during-audio", "SKIP", "the plug-in has no editor");
  expectLine(run, "state-round-trip", "PASS",
             "1 parameter values and 2 program names saved and loaded");
}

// A crash ends the check's process by its signal (11), or, in a sanitizer build, after the
// sanitizer's report by the abort or exit status the sanitizer chooses.
void expectCrashLine(const ToolRun& run, const std::string& check, const std::string& step) {
  expectLine(run, check, "FAIL", " at: " + step);
  std::string line = reportLine(run.out, check);
  bool killed = line.find("killed by signal") != std::string::npos;
  bool exited = line.find("exited with status") != std::string::npos;
  EXPECT_TRUE(killed || exited) << line;
}

struct Fault {
  const char* fault;
  const char* check;
  std::string message;
  bool crashes = false;
};

TEST_F(Validator, EachFaultFailsTheCheckThatMeetsIt) {
  const Fault faults[] = {
      {"crash-on-nan-parameter", "parameter-fuzz-during-audio",
       "setParameter(0, nan) with audio running", true},
      {"nan-above-192k", "sample-rates",
       "32-bit processing at 352800 Hz, a block of 512 frames: output 0 frame 0 is NaN"},
      {"subnormal-output", "process-before-resume", "output 0 frame 0 is subnormal"},
      {"writes-past-block", "open-close-cycles",
       "output 0 was written past the end of the block, at frame 512"},
      {"unterminated-name", "texts",
       "effGetParamName (8) for parameter 0 has no terminating zero within the 64 bytes hosts "
       "give"},
      {"doubled-read-back", "state-round-trip", "after loading, was"},
      {"automates-unknown-parameter", "parameter-sweep",
       "the plug-in sent audioMasterAutomate for parameter 5, which it does not have (it has 1)"},
      {"crash-on-opcode-53", "opcode-fuzz-null-pointers", "opcode 53,", true},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.fault);
    ToolRun run = validateFaulty(fault.fault, std::string("--check load --check ") + fault.check);
    EXPECT_EQ(run.exitCode, 1);
    expectLine(run, "load", "PASS");
    if (fault.crashes)
      expectCrashLine(run, fault.check, fault.message);
    else
      expectLine(run, fault.check, "FAIL", fault.message);
    EXPECT_NE(run.out.find("Summary: 1 passed, 1 failed, 0 skipped of 2 checks"), std::string::npos)
        << run.out;
  }
}

TEST_F(Validator, AHangingCheckIsStoppedAtItsTimeLimit) {
  ToolRun run =
      validateFaulty("hang-on-block-of-7", "--timeout 2 --check block-sizes --check longer-blocks");
  EXPECT_EQ(run.exitCode, 1);
  expectLine(run, "block-sizes", "FAIL", "timed out after 2 s at: 32-bit in blocks of 7");
  expectLine(run, "longer-blocks", "PASS");
}

TEST_F(Validator, ACrashFailsOneCheckAndTheSuiteGoesOn) {
  ToolRun run = validateFaulty("crash-on-opcode-53", "");
  EXPECT_EQ(run.exitCode, 1);
  expectLine(run, "opcode-fuzz", "PASS");
  expectCrashLine(run, "opcode-fuzz-null-pointers", "opcode 53,");
  expectLine(run, "state-round-trip", "PASS");
  EXPECT_NE(run.out.find("Summary: 16 passed, 1 failed, 2 skipped of 19 checks"), std::string::npos)
      << run.out;
}

TEST_F(Validator, TheSeedReplaysAFailureExactly) {
  ToolRun first =
      validateFaulty("crash-on-opcode-53", "--seed 42 --check opcode-fuzz-null-pointers");
  std::string replay =
      "Replay: lumivane-validate --seed 42 --strictness 5 --check opcode-fuzz-null-pointers '" +
      gain + "'";
  EXPECT_NE(first.out.find(replay), std::string::npos) << first.out;
  ToolRun again =
      validateFaulty("crash-on-opcode-53", "--seed 42 --check opcode-fuzz-null-pointers");
  std::string line = reportLine(first.out, "opcode-fuzz-null-pointers");
  EXPECT_NE(line.find("opcode 53, index"), std::string::npos) << line;
  EXPECT_EQ(reportLine(again.out, "opcode-fuzz-null-pointers"), line);
}

TEST_F(Validator, ADamagedRecordFailsLoadingAndSkipsTheRest) {
  ToolRun run = validateFaulty("null-set-parameter", "");
  EXPECT_EQ(run.exitCode, 1);
  expectLine(run, "load", "FAIL", "the effect's record has no setParameter function");
  expectLine(run, "open-close-cycles", "SKIP", "the plug-in did not load");
  EXPECT_NE(run.out.find("Summary: 0 passed, 1 failed, 18 skipped of 19 checks"), std::string::npos)
      << run.out;
}

TEST_F(Validator, LibrariesThatAreNoPluginsFailLoading) {
  std::ofstream(path("text.so")) << "this is not a library\n";
  const std::pair<std::string, std::string> cases[] = {
      {path("text.so"), "is not a loadable plug-in library"},
      {LUMIVANE_NO_ENTRY_PLUGIN, "has no VST 2.4 entry point (VSTPluginMain or main)"},
      {LUMIVANE_NULL_ENTRY_PLUGIN, "the entry point VSTPluginMain gave no effect"},
  };
  for (const auto& [library, message] : cases) {
    SCOPED_TRACE(library);
    ToolRun run = validate("--check load '" + library + "'");
    EXPECT_EQ(run.exitCode, 1);
    expectLine(run, "load", "FAIL", message);
  }
}

TEST_F(Validator, StrictnessTurnsLongTextsFromNotesIntoFailures) {
  std::string lumivane = "'" + std::string(LUMIVANE_PLUGIN_PATH) + "'";
  ToolRun lenient = validate("--check texts " + lumivane);
  EXPECT_EQ(lenient.exitCode, 0);
  expectLine(lenient, "texts", "PASS");
  EXPECT_NE(
      lenient.out.find("note: effGetParamName (8) for parameter 1 'Expression' has 10 characters"),
      std::string::npos)
      << lenient.out;
  ToolRun pedantic = validate("--strictness 8 --check texts " + lumivane);
  EXPECT_EQ(pedantic.exitCode, 1);
  expectLine(pedantic, "texts", "FAIL", "'Expression' has 10 characters, more than the nominal 8");
}

struct BadCommand {
  std::string arguments;
  std::string message;
};

TEST_F(Validator, BadCommandLinesGiveOneClearLine) {
  std::string plugin = " '" + gain + "'";
  const BadCommand cases[] = {
      {"", "no plug-in library given"},
      {"--strictness 0" + plugin, "--strictness needs a whole number from 1 to 10, not '0'"},
      {"--strictness=11" + plugin, "--strictness needs a whole number from 1 to 10, not '11'"},
      {"--seed -1" + plugin, "--seed needs a whole number"},
      {"--timeout 0" + plugin, "--timeout needs a whole number from 1"},
      {"--check" + plugin, "--check: no check is named"},
      {"--check frobnicate" + plugin, "--check: no check is named 'frobnicate' (see --list)"},
      {"--list=yes", "--list takes no value"},
      {"--fast" + plugin, "unknown option '--fast'"},
      {plugin + plugin, "one plug-in library at a time"},
      {"'" + path("missing.so") + "'", "is no plug-in file"},
      {"'" + directory + "'", "is no plug-in file"},
  };
  for (const BadCommand& bad : cases) {
    SCOPED_TRACE(bad.arguments);
    ToolRun run = validate(bad.arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("lumivane-validate: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(bad.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(Validator, HelpTellsTheExitStatusesAndListNamesEveryCheckOnce) {
  ToolRun help = validate("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: lumivane-validate [options] PLUGIN"), std::string::npos);
  EXPECT_NE(
      help.out.find("Exit status:\n  0  every check passed or was skipped\n  1  a check failed"),
      std::string::npos);
  std::vector<std::string> names = checkNames(validate("--list").out);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
  for (const char* name :
       {"open-close-cycles", "absurd-sample-rates", "block-sizes", "opcode-fuzz-null-pointers",
        "editor-cycles-during-audio", "state-round-trip"})
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), name)) << name;
}

}  // namespace
