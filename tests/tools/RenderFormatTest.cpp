// How lumivane-render stores samples: --format float, pcm16 and pcm24, judged from the files it
// writes, read back with libsndfile.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/RenderToolFixture.h"
#include "tests/tools/RenderAudioChannels.h"

namespace {

class RenderFormat : public RenderToolFixture {
 protected:
  // Renders the samples (a float WAV file, so that any level can go in) through the gain plug-in
  // at unity gain, in the format given.
  ToolRun renderSamples(const std::vector<float>& samples, const std::string& options) {
    writeChannelList(path("in.wav"), {samples}, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    return render("'" + gain + "' in.wav -o out.wav " + options);
  }

  std::string gain = LUMIVANE_GAIN_PLUGIN;
};

struct Encoding {
  float sample;
  int pcm16, pcm24;  // what the file holds
};

TEST_F(RenderFormat, IntegerFormatsScaleClipAndRoundEachSample) {
  const Encoding cases[] = {
      {0.5f, 16384, 4194304},
      {-1.0f, -32768, -8388608},
      {1.0f, 32767, 8388607},  // full scale is one step above the largest value
      {1.5f, 32767, 8388607},
      {-1.5f, -32768, -8388608},
      {1.0f / 65536, 0, 128},  // halves of a step round to the even neighbour
      {-1.0f / 65536, 0, -128},
      {1.5f / 32768, 2, 384},
      {2.5f / 32768, 2, 640},
      {2.5f / 8388608, 0, 2},
      {0.4f / 32768, 0, 102},
      {NAN, 0, 0},
  };
  std::vector<float> samples;
  for (const Encoding& encoding : cases) samples.push_back(encoding.sample);
  for (const char* precision : {"", "--double"}) {
    SCOPED_TRACE(precision);
    ASSERT_EQ(renderSamples(samples, std::string("--format pcm16 ") + precision).exitCode, 0);
    std::vector<int> pcm16 = readIntegers(path("out.wav"));
    ASSERT_EQ(renderSamples(samples, std::string("--format=pcm24 ") + precision).exitCode, 0);
    std::vector<int> pcm24 = readIntegers(path("out.wav"));
    ASSERT_EQ(pcm16.size(), samples.size());
    ASSERT_EQ(pcm24.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
      SCOPED_TRACE(cases[i].sample);
      EXPECT_EQ(pcm16[i], cases[i].pcm16 * 65536);
      EXPECT_EQ(pcm24[i], cases[i].pcm24 * 256);
    }
  }
}

TEST_F(RenderFormat, FloatKeepsEveryLevelAndIsTheDefault) {
  std::vector<float> samples = {0.5f, -1.5f, 3.0f, 1e-30f, -0.0f};
  for (const char* format : {"", "--format float"}) {
    SCOPED_TRACE(format);
    ToolRun run = renderSamples(samples, format);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    AudioChannels output = readChannels(path("out.wav"));
    EXPECT_EQ(output.format & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT);
    EXPECT_EQ(output.channels[0], samples);
    EXPECT_NE(run.out.find("(stereo, 32-bit float WAV)"), std::string::npos) << run.out;
  }
}

TEST_F(RenderFormat, IntegerInputsComeBackUnchangedAtUnityGain) {
  // Every 16-bit value, and 24-bit values across the range, from a file of that format through
  // the plug-in into a file of the same format.
  std::vector<int> every16, some24;
  for (int value = -32768; value < 32768; ++value) every16.push_back(value * 65536);
  for (int value = -8388608; value < 8388608; value += 4099) some24.push_back(value * 256);
  some24.push_back(8388607 * 256);
  const std::tuple<const char*, int, std::vector<int>*> cases[] = {
      {"pcm16", SF_FORMAT_PCM_16, &every16}, {"pcm24", SF_FORMAT_PCM_24, &some24}};
  for (const auto& [format, subtype, samples] : cases) {
    for (const char* precision : {"", " --double"}) {
      SCOPED_TRACE(std::string(format) + precision);
      writeIntegers(path("in.wav"), *samples, SF_FORMAT_WAV | subtype);
      ToolRun run =
          render("'" + gain + "' in.wav -o out.wav --format " + std::string(format) + precision);
      ASSERT_EQ(run.exitCode, 0) << run.err;
      EXPECT_EQ(readChannels(path("out.wav")).format & SF_FORMAT_SUBMASK, subtype);
      EXPECT_TRUE(readIntegers(path("out.wav")) == *samples);
    }
  }
}

TEST_F(RenderFormat, ClippingIsToldUnlessQuiet) {
  std::vector<float> samples = {0.25f, 1.5f, -0.5f};
  ToolRun clipped = renderSamples(samples, "--format pcm16");
  ASSERT_EQ(clipped.exitCode, 0);
  EXPECT_EQ(clipped.err,
            "lumivane-render: warning: the output goes beyond full scale (peak 1.5000, 3.5 dBFS); "
            "16-bit PCM cannot hold that, so it was clipped (--format float keeps it)\n");
  EXPECT_NE(clipped.out.find("(stereo, 16-bit PCM WAV)"), std::string::npos) << clipped.out;
  ToolRun quiet = renderSamples(samples, "--format pcm24 --quiet");
  ASSERT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(renderSamples({0.25f, 1.0f, -1.0f}, "--format pcm16").err, "");  // full scale fits
}

}  // namespace
