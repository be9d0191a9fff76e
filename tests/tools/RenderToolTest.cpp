// The command-line host, run as a user runs it: the built binary with arguments, judged by its
// exit code, its messages and the audio it writes.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/RenderToolFixture.h"
#include "tests/tools/AudioFiles.h"
#include "tests/tools/RenderAudioChannels.h"

namespace {

class RenderTool : public RenderToolFixture {};

TEST_F(RenderTool, RendersTheDemoSignalWithoutAnInputFile) {
  ToolRun run = render("'" + plugin + "' -o '" + path("demo.wav") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");  // no terminal, so no progress bar
  EXPECT_NE(run.out.find("the demo signal through Lumivane (Velmora)"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Output peaks"), std::string::npos);
  EXPECT_NE(run.out.find("Output correlation"), std::string::npos);
  Audio audio = readAudio(path("demo.wav"));
  EXPECT_EQ(audio.rate, 44100);
  EXPECT_EQ(audio.channels, 2);
  ASSERT_GT(audio.left.size(), 44100u * 5);
  // The default program: right is left, 881 samples later.
  for (std::size_t i = 881; i < audio.left.size(); i += 997)
    ASSERT_EQ(audio.right[i], audio.left[i - 881]) << i;
  float loudest = 0.0f;
  for (float sample : audio.left) loudest = std::max(loudest, std::fabs(sample));
  EXPECT_GT(loudest, 0.1f);
}

TEST_F(RenderTool, RendersAnInputFileInBothPrecisions) {
  std::vector<float> impulse(3000, 0.0f);
  impulse[10] = 0.5f;
  writeMono(path("in.wav"), impulse, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  for (const char* precision : {"", "--double"}) {
    ToolRun run = render(std::string(precision) + " --block 64 '" + plugin + "' '" +
                         path("in.wav") + "' --output '" + path("out.wav") + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Audio audio = readAudio(path("out.wav"));
    EXPECT_EQ(audio.rate, 48000);
    ASSERT_EQ(audio.left.size(), impulse.size());
    // Expression 0.5 of 1919 samples at 48 kHz: right 959 samples after left.
    for (std::size_t i = 0; i < impulse.size(); ++i) {
      ASSERT_EQ(audio.left[i], i == 10 ? 0.5f : 0.0f) << precision << ' ' << i;
      ASSERT_EQ(audio.right[i], i == 969 ? 0.5f : 0.0f) << precision << ' ' << i;
    }
    EXPECT_NE(run.out.find("left 0.5000 (-6.0 dBFS)"), std::string::npos) << run.out;
  }
}

TEST_F(RenderTool, ProgramAndParametersByName) {
  std::vector<float> impulse(1000, 0.0f);
  impulse[10] = 0.5f;
  writeMono(path("in.wav"), impulse, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  ToolRun run =
      render("'" + plugin + "' '" + path("in.wav") +
             "' --program 3 --param expression=0.25 --param Dry=1 -o '" + path("p.wav") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Expression = 25 (0.25)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Dry = 100 (1)"), std::string::npos) << run.out;
  // Dry 1 adds the input to both sides; the expression tap is now trunc(0.25 * 1763) = 440 back.
  Audio audio = readAudio(path("p.wav"));
  ASSERT_EQ(audio.left.size(), impulse.size());
  for (std::size_t i = 0; i < impulse.size(); ++i) {
    ASSERT_EQ(audio.left[i], i == 10 ? 1.0f : 0.0f) << i;
    ASSERT_EQ(audio.right[i], i == 10 || i == 450 ? 0.5f : 0.0f) << i;
  }
}

TEST_F(RenderTool, HelpDescribesTheOptionsAndExitStatuses) {
  ToolRun run = render("--help");
  EXPECT_EQ(run.exitCode, 0);
  for (const char* text : {
           "Usage: lumivane-render [options] PLUGIN.so [INPUT.wav]\n",
           "\n  --format FORMAT ",
           "\n  --tail SECONDS ",
           "\n  --param INDEX=VALUE ",
           "\n  --info ",
           "\n  --quiet ",
           "normalised value\n                        from 0 to 1",
           "Exit status:\n  0  the outputs were written (with --info: the plug-in was described)\n"
           "  1  the run failed",
       })
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
}

TEST_F(RenderTool, TheReportedCorrelationHoldsFarFromZero) {
  // Two channels with the same large offset and small sines and cosines over whole periods: the
  // correlation is the weight of the shared sine, which sums of raw squares would lose.
  const double kPi = 3.14159265358979323846;
  const std::pair<double, std::string> cases[] = {{0.6, "0.600"}, {-0.8, "-0.800"}, {1.0, "1.000"}};
  for (const auto& [weight, printed] : cases) {
    SCOPED_TRACE(printed);
    std::vector<std::vector<float>> channels(2);
    for (int i = 0; i < 44100; ++i) {
      double phase = 2.0 * kPi * i / 100.0;
      double other = std::sqrt(1.0 - weight * weight);
      channels[0].push_back(static_cast<float>(0.9 + 1e-4 * std::sin(phase)));
      channels[1].push_back(
          static_cast<float>(0.9 + 1e-4 * (weight * std::sin(phase) + other * std::cos(phase))));
    }
    writeChannelList(path("in.wav"), channels, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    for (const char* precision : {"", " --double"}) {
      ToolRun run =
          render("'" + std::string(LUMIVANE_GAIN_PLUGIN) + "' in.wav -o out.wav" + precision);
      ASSERT_EQ(run.exitCode, 0) << run.err;
      EXPECT_NE(run.out.find("over the whole output, -1 to 1): " + printed + "\n"),
                std::string::npos)
          << precision << run.out;
    }
  }
}

struct BadCommand {
  std::string arguments;
  std::string message;
};

TEST_F(RenderTool, BadCommandLinesGiveOneClearLine) {
  std::string out = " -o '" + path("x.wav") + "'";
  const BadCommand cases[] = {
      {"", "no plug-in library given"},
      {"--frobnicate '" + plugin + "'", "unknown option '--frobnicate'"},
      {"'" + plugin + "' --output ''", "--output needs a file name"},
      {"'" + plugin + "' --block 0", "--block needs a whole number from 1"},
      {"'" + plugin + "' --block many", "--block needs a whole number"},
      {"'" + plugin + "' --block", "--block needs a value"},
      {"'" + plugin + "' --param Wide", "--param needs NAME=VALUE"},
      {"'" + plugin + "' --param Wide=2", "the value must be a number from 0 to 1"},
      {"'" + plugin + "' --param Wide=abc", "the value must be a number from 0 to 1"},
      {"'" + plugin + "' --param Wide=nan", "the value must be a number from 0 to 1"},
      {"'" + plugin + "' --double=yes", "--double takes no value"},
      {"'" + plugin + "' --quiet=no", "--quiet takes no value"},
      {"'" + plugin + "' --info=all", "--info takes no value"},
      {"'" + plugin + "' a.wav b.wav", "too many files"},
      {"'" + plugin + "' --format mp3", "--format needs float, pcm16 or pcm24, not 'mp3'"},
      {"'" + plugin + "' --format=PCM16", "--format needs float, pcm16 or pcm24, not 'PCM16'"},
      {"'" + plugin + "' --format", "--format needs a value"},
      {"'" + plugin + "' --tail -1", "--tail needs a number of seconds from 0 to 3600, not '-1'"},
      {"'" + plugin + "' --tail 3601", "--tail needs a number of seconds from 0 to 3600"},
      {"'" + plugin + "' --tail 1e300", "--tail needs a number of seconds from 0 to 3600"},
      {"'" + plugin + "' --tail inf", "--tail needs a number of seconds from 0 to 3600"},
      {"'" + plugin + "' --tail nan", "--tail needs a number of seconds from 0 to 3600"},
      {"'" + plugin + "' --tail 2s", "--tail needs a number of seconds from 0 to 3600, not '2s'"},
      {"'" + plugin + "' --tail=", "--tail needs a number of seconds from 0 to 3600, not ''"},
      {"'" + plugin + "' --param =1", "--param needs NAME=VALUE or INDEX=VALUE, not '=1'"},
  };
  for (const BadCommand& bad : cases) {
    SCOPED_TRACE(bad.arguments);
    ToolRun run = render(out + " " + bad.arguments);
    EXPECT_EQ(run.exitCode, 2);
    expectOneLineError(run, bad.message);
  }
}

TEST_F(RenderTool, UnknownParameterListsTheValidNames) {
  ToolRun run = render("'" + plugin + "' --param Width=0.5 -o '" + path("x.wav") + "'");
  EXPECT_EQ(run.exitCode, 2);
  expectOneLineError(
      run,
      "unknown parameter 'Width'; this plug-in's parameters are: PreDelay, Expression, Wide, Dry, "
      "Wet, Mix");
  ToolRun program = render("'" + plugin + "' --program 16 -o '" + path("x.wav") + "'");
  EXPECT_EQ(program.exitCode, 2);
  expectOneLineError(program, "the plug-in has programs 0 to 15");
}

TEST_F(RenderTool, FilesThatCannotServe) {
  std::ofstream(path("text.wav")) << "this is not audio\n";
  std::ofstream(path("text.so")) << "this is not a library\n";
  const BadCommand cases[] = {
      {"'" + path("missing.so") + "'", "No such file or directory"},
      {"'" + path("text.so") + "'", "is not a loadable plug-in library"},
      {"'" + directory + "'", "is not a file"},
      {"'" + std::string(LUMIVANE_NO_ENTRY_PLUGIN) + "'", "has no VST 2.4 entry point"},
      {"'" + std::string(LUMIVANE_NULL_ENTRY_PLUGIN) + "'", "returned no effect"},
      {"'" + plugin + "' '" + path("missing.wav") + "'", "cannot read input"},
      {"'" + plugin + "' '" + path("text.wav") + "'", "is not audio that can be read"},
      {"'" + plugin + "' '" + directory + "'", "is a directory"},
  };
  for (const BadCommand& bad : cases) {
    SCOPED_TRACE(bad.arguments);
    ToolRun run = render(bad.arguments + " -o '" + path("x.wav") + "'");
    EXPECT_EQ(run.exitCode, 1);
    expectOneLineError(run, bad.message);
  }
}

TEST_F(RenderTool, RefusesToOverwriteItsInputOrWriteNowhere) {
  writeMono(path("in.wav"), std::vector<float>(100, 0.1f), 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  ToolRun same = render("'" + plugin + "' '" + path("in.wav") + "' -o '" + path("in.wav") + "'");
  expectOneLineError(same, "is the input file");
  EXPECT_EQ(readAudio(path("in.wav")).left.size(), 100u);

  ToolRun nowhere = render("'" + plugin + "' -o '" + path("no/such/dir/out.wav") + "'");
  expectOneLineError(nowhere, "cannot write");
}

}  // namespace
