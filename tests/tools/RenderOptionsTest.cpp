// lumivane-render's options for a render and for looking at a plug-in: --tail, --param by index,
// --info and --quiet, and the progress bar on a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/RenderToolFixture.h"
#include "tests/tools/RenderAudioChannels.h"

namespace {

class RenderOptions : public RenderToolFixture {
 protected:
  void TearDown() override {
    for (const char* name : {"LUMIVANE_GAIN_INPUTS", "LUMIVANE_GAIN_OUTPUTS", "LUMIVANE_GAIN_TAIL"})
      unsetenv(name);
    RenderToolFixture::TearDown();
  }

  // Runs the tool with its standard error on a terminal of its own and answers what it showed
  // there (standard output goes nowhere).
  std::string shownOnTerminal(const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(LUMIVANE_RENDER_PATH)};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int terminal = -1;
    pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
      int nowhere = open("/dev/null", O_WRONLY);
      dup2(nowhere, STDOUT_FILENO);
      if (chdir(directory.c_str()) == 0) execv(argv[0], argv.data());
      _exit(127);
    }
    EXPECT_GT(child, 0);
    std::string shown;
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    return shown;
  }

  std::string gain = LUMIVANE_GAIN_PLUGIN;
};

std::vector<float> impulseAt(std::size_t at, std::size_t frames) {
  std::vector<float> samples(frames, 0.0f);
  samples[at] = 0.5f;
  return samples;
}

struct Tail {
  const char* reported;  // LUMIVANE_GAIN_TAIL
  std::string option;
  std::size_t frames;  // rendered after the input's 1000
  std::string warning;
};

TEST_F(RenderOptions, TheTailIsTheOptionsOrTheOneThePluginReports) {
  writeChannelList(path("in.wav"), {std::vector<float>(1000, 0.25f)}, 48000,
                   SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const Tail cases[] = {
      {"0", "", 0, ""},
      {"1", "", 0, ""},  // 1 says "no tail"
      {"1000", "", 1000, ""},
      {"-5", "", 0, ""},
      {"1000", "--tail 0", 0, ""},
      {"0", "--tail 0.5", 24000, ""},
      {"1000", "--tail=0.01", 480, ""},
      {"9000000000000000000", "", 0,
       "lumivane-render: warning: the plug-in reports a tail of 9000000000000000000 samples, "
       "longer than 3600 s; rendering none (--tail sets one)\n"},
  };
  for (const Tail& tail : cases) {
    SCOPED_TRACE(std::string(tail.reported) + " " + tail.option);
    setenv("LUMIVANE_GAIN_TAIL", tail.reported, 1);
    ToolRun run = render("'" + gain + "' in.wav -o out.wav --block 700 " + tail.option);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, tail.warning);
    AudioChannels output = readChannels(path("out.wav"));
    std::vector<float> expected(1000, 0.25f);
    expected.resize(1000 + tail.frames, 0.0f);
    EXPECT_TRUE(output.channels.at(0) == expected);
    EXPECT_EQ(run.out.find(" including a tail of " + std::to_string(tail.frames) + " frames,") !=
                  std::string::npos,
              tail.frames > 0)
        << run.out;
  }
}

TEST_F(RenderOptions, TheTailLetsADelayRingOut) {
  // Lumivane's default program puts the right side 881 samples after the left at 44.1 kHz: an
  // impulse near the end of the input reaches the right side only in the tail.
  writeChannelList(path("in.wav"), {impulseAt(900, 1000)}, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  ASSERT_EQ(render("'" + plugin + "' in.wav -o cut.wav").exitCode, 0);
  ASSERT_EQ(render("'" + plugin + "' in.wav -o rung.wav --tail 0.05").exitCode, 0);
  AudioChannels cut = readChannels(path("cut.wav")), rung = readChannels(path("rung.wav"));
  ASSERT_EQ(cut.channels.at(1).size(), 1000u);
  EXPECT_EQ(cut.channels[1], std::vector<float>(1000, 0.0f));
  ASSERT_EQ(rung.channels.at(1).size(), 1000u + 2205u);
  EXPECT_EQ(rung.channels[1], impulseAt(1781, 3205));
}

TEST_F(RenderOptions, AParameterIsFoundByItsIndexAsByItsName) {
  writeChannelList(path("in.wav"), {impulseAt(10, 2000)}, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  ToolRun byName = render("'" + plugin + "' in.wav -o name.wav --param Dry=1 --param wide=0.3");
  ToolRun byIndex = render("'" + plugin + "' in.wav -o index.wav --param 3=1 --param 002=0.3");
  ASSERT_EQ(byName.exitCode, 0) << byName.err;
  ASSERT_EQ(byIndex.exitCode, 0) << byIndex.err;
  EXPECT_NE(byIndex.out.find("Dry = 100 (1)\nWide = 30 (0.3)\n"), std::string::npos) << byIndex.out;
  EXPECT_EQ(byIndex.out.substr(0, byIndex.out.find("Rendered")),
            byName.out.substr(0, byName.out.find("Rendered")));
  EXPECT_EQ(readFile(path("index.wav")), readFile(path("name.wav")));
}

TEST_F(RenderOptions, ParametersThePluginDoesNotHaveAreRefused) {
  const std::pair<std::string, std::string> cases[] = {
      {"'" + plugin + "' --param 6=0.5", "--param 6: the plug-in has parameters 0 to 5"},
      {"'" + plugin + "' --param 99999999999999=0.5",
       "--param 99999999999999: the plug-in has parameters 0 to 5"},
      {"'" + gain + "' --param 1=0.5", "--param 1: the plug-in has parameters 0 to 0"},
      {"'" + plugin + "' --param -1=0.5",
       "unknown parameter '-1'; this plug-in's parameters are: PreDelay, Expression, Wide, Dry, "
       "Wet, Mix (or their indexes 0 to 5)"},
      {"--info '" + gain + "' --param 3=0.5", "--param 3: the plug-in has parameters 0 to 0"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(arguments);
    ToolRun run = render(arguments + " -o out.wav");
    EXPECT_EQ(run.exitCode, 2);
    expectOneLineError(run, message);
    EXPECT_EQ(readFile(path("out.wav")), "");
  }
}

TEST_F(RenderOptions, InfoDescribesThePluginAndRendersNothing) {
  setenv("LUMIVANE_GAIN_INPUTS", "3", 1);
  setenv("LUMIVANE_GAIN_OUTPUTS", "4", 1);
  setenv("LUMIVANE_GAIN_TAIL", "1000", 1);
  ToolRun run = render("--info '" + gain + "' --program 1 --param 0=0.25");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "Name: Gain\n"
            "Vendor: Lumivane tests\n"
            "Product: Gain\n"
            "Vendor version: 0\n"
            "Unique ID: 'LvGn' (0x4C76476E)\n"
            "Version: 1\n"
            "VST version: 2400\n"
            "Category: unknown (0)\n"
            "Inputs: 3\n"
            "Outputs: 4\n"
            "Flags: 32-bit processing, 64-bit processing (0x1010)\n"
            "Initial delay: 0 samples\n"
            "Tail: 1000 samples (0.023 s at 44100 Hz)\n"
            "Parameters: 1\n"
            "  0 Gain = 0.25 x (0.25)\n"
            "Programs: 2\n"
            "  0 Unity\n"
            "  1 Quiet (current)\n");
  EXPECT_EQ(readFile(path("lumivane-out.wav")), "");

  ToolRun lumivane = render("'" + plugin + "' --info --quiet");
  ASSERT_EQ(lumivane.exitCode, 0) << lumivane.err;
  for (const char* line :
       {"Name: Lumivane\nVendor: Velmora\n", "Flags: editor, 32-bit processing, 64-bit processing",
        "Parameters: 6\n  0 PreDelay = ", "\n  1 Expression = 50 (0.5)\n", "Programs: 16\n"})
    EXPECT_NE(lumivane.out.find(line), std::string::npos) << line << "\n" << lumivane.out;
}

TEST_F(RenderOptions, QuietPrintsNothingButErrors) {
  writeChannelList(path("in.wav"), {std::vector<float>(100, 0.5f)}, 44100,
                   SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  ASSERT_EQ(truncate(path("in.wav").c_str(), 44 + 2 * 60), 0);  // cut short: a warning
  ToolRun quiet = render("'" + plugin +
                         "' in.wav -o out.wav --quiet --param Dry=1 --editor-png "
                         "e.png --tail 0.001");
  ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(readChannels(path("out.wav")).channels.at(0).size(), 60u + 44u);
  EXPECT_EQ(readFile(path("e.png")).substr(1, 3), "PNG");

  ToolRun failed = render("'" + plugin + "' missing.wav -o out.wav --quiet");
  EXPECT_EQ(failed.exitCode, 1);
  expectOneLineError(failed, "cannot read input 'missing.wav'");
}

TEST_F(RenderOptions, ProgressShowsOnATerminalUnlessQuiet) {
  writeChannelList(path("in.wav"), {std::vector<float>(200000, 0.1f)}, 44100,
                   SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  std::string shown = shownOnTerminal({gain, "in.wav", "-o", "out.wav"});
  EXPECT_NE(shown.find("\r[                                        ]   0%"), std::string::npos)
      << shown;
  EXPECT_NE(shown.find("\r[########################################] 100%"), std::string::npos)
      << shown;
  EXPECT_EQ(shownOnTerminal({gain, "in.wav", "-o", "out.wav", "--quiet"}), "");
}

}  // namespace
