// How lumivane-render connects a file's channels to a plug-in's inputs and writes its outputs,
// against the gain plug-in shaped by LUMIVANE_GAIN_INPUTS and LUMIVANE_GAIN_OUTPUTS (its output o
// is its input o modulo the number of inputs).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/support/RenderToolFixture.h"
#include "tests/tools/RenderAudioChannels.h"

namespace {

constexpr std::size_t kFrames = 1000;

class RenderChannels : public RenderToolFixture {
 protected:
  void TearDown() override {
    unsetenv("LUMIVANE_GAIN_INPUTS");
    unsetenv("LUMIVANE_GAIN_OUTPUTS");
    RenderToolFixture::TearDown();
  }

  void shapePlugin(int inputs, int outputs) {
    setenv("LUMIVANE_GAIN_INPUTS", std::to_string(inputs).c_str(), 1);
    setenv("LUMIVANE_GAIN_OUTPUTS", std::to_string(outputs).c_str(), 1);
  }

  std::string gain = LUMIVANE_GAIN_PLUGIN;
};

// Channel c holds its own level with a ramp on top, so that every channel and frame differs.
std::vector<std::vector<float>> distinctChannels(int count) {
  std::vector<std::vector<float>> channels(static_cast<std::size_t>(count));
  for (int c = 0; c < count; ++c)
    for (std::size_t i = 0; i < kFrames; ++i)
      channels[static_cast<std::size_t>(c)].push_back(0.1f * static_cast<float>(c + 1) +
                                                      static_cast<float>(i) / 65536.0f);
  return channels;
}

struct Routing {
  int inputs, outputs, fileChannels;
  // For each output, the file channel it carries; -1 for silence.
  std::vector<int> carried;
};

TEST_F(RenderChannels, FileChannelsFeedTheInputsAndEveryOutputIsWritten) {
  const Routing cases[] = {
      {2, 2, 1, {0, 0}},              // a mono file feeds every input
      {3, 4, 1, {0, 0, 0, 0}},        //
      {3, 4, 2, {0, 1, -1, 0}},       // input 2 has no channel: silence
      {3, 4, 3, {0, 1, 2, 0}},        //
      {1, 1, 1, {0}},                 // one output: a mono file
      {2, 6, 2, {0, 1, 0, 1, 0, 1}},  //
      {0, 2, 1, {-1, -1}},            // no inputs: the file gives only length and rate
  };
  for (const Routing& routing : cases) {
    for (const char* precision : {"", " --double"}) {
      SCOPED_TRACE(std::to_string(routing.inputs) + " in, " + std::to_string(routing.outputs) +
                   " out, " + std::to_string(routing.fileChannels) + " channels" + precision);
      shapePlugin(routing.inputs, routing.outputs);
      std::vector<std::vector<float>> file = distinctChannels(routing.fileChannels);
      writeChannelList(path("in.wav"), file, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
      ToolRun run = render("'" + gain + "' in.wav -o out.wav --block 300" + precision);
      ASSERT_EQ(run.exitCode, 0) << run.err;
      AudioChannels output = readChannels(path("out.wav"));
      ASSERT_EQ(output.channels.size(), routing.carried.size());
      for (std::size_t o = 0; o < routing.carried.size(); ++o) {
        int carried = routing.carried[o];
        std::vector<float> expected = carried < 0 ? std::vector<float>(kFrames, 0.0f)
                                                  : file[static_cast<std::size_t>(carried)];
        EXPECT_EQ(output.channels[o], expected) << "output " << o;
      }
    }
  }
}

TEST_F(RenderChannels, TheReportNamesTheOutputChannels) {
  writeChannelList(path("in.wav"), distinctChannels(1), 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const std::pair<int, std::string> cases[] = {
      {1, "(mono, 32-bit float WAV)\nOutput peak (measured by this host): 0.1152 (-18.8 dBFS)\n"},
      {2,
       "(stereo, 32-bit float WAV)\nOutput peaks (measured by this host): left 0.1152 (-18.8 "
       "dBFS), right 0.1152 (-18.8 dBFS)\nOutput correlation ("},
      {3,
       "(3 channels, 32-bit float WAV)\nOutput peaks (measured by this host):\n  output 0: "
       "0.1152 (-18.8 dBFS)\n  output 1: 0.1152 (-18.8 dBFS)\n  output 2: 0.1152 (-18.8 "
       "dBFS)\nOutput correlation of outputs 0 and 1 ("},
  };
  for (const auto& [outputs, report] : cases) {
    SCOPED_TRACE(outputs);
    shapePlugin(1, outputs);
    ToolRun run = render("'" + gain + "' in.wav -o out.wav");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(report), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("correlation") == std::string::npos, outputs == 1) << run.out;
  }
}

struct Refusal {
  int inputs, outputs, fileChannels;
  std::string message;
};

TEST_F(RenderChannels, ChannelsWithoutAPlaceAreRefused) {
  const Refusal cases[] = {
      {2, 2, 3,
       "'in.wav' has 3 channels, more than the plug-in's 2 inputs (a mono file feeds "
       "every input)"},
      {0, 2, 2, "'in.wav' has 2 channels, more than the plug-in's 0 inputs"},
      {2, 0, 1, "the plug-in has no outputs: there is nothing to write"},
  };
  for (const Refusal& refusal : cases) {
    SCOPED_TRACE(refusal.message);
    shapePlugin(refusal.inputs, refusal.outputs);
    writeChannelList(path("in.wav"), distinctChannels(refusal.fileChannels), 44100,
                     SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ToolRun run = render("'" + gain + "' in.wav -o out.wav");
    EXPECT_EQ(run.exitCode, 1);
    expectOneLineError(run, refusal.message);
    EXPECT_EQ(readFile(path("out.wav")), "");
  }
}

}  // namespace
