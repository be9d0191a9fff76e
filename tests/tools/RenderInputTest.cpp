// What lumivane-render reads: input files it must refuse, cut short or wide, every encoding as
// libsndfile reads it, and plug-in records that promise functions they do not have.
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/RenderToolFixture.h"
#include "tests/tools/AudioFiles.h"
#include "tests/tools/RenderAudioChannels.h"

extern char** environ;

namespace {

class RenderInput : public RenderToolFixture {
 protected:
  void TearDown() override {
    unsetenv("LUMIVANE_FAULT");
    unsetenv("LUMIVANE_GAIN_INPUTS");
    RenderToolFixture::TearDown();
  }

  // Runs the tool without a shell and answers the most memory it held at once, in kilobytes. A
  // new process starts from the size of the one that started it (this test program, larger under
  // a sanitizer), so only the difference between two runs tells what the tool itself took.
  long peakKilobytes(const std::vector<std::string>& arguments, int& exitCode) {
    std::vector<char*> argv{const_cast<char*>(LUMIVANE_RENDER_PATH)};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, path("err.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    EXPECT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return usage.ru_maxrss;
  }

  std::string gain = LUMIVANE_GAIN_PLUGIN;
};

std::vector<float> ramp(std::size_t frames) {
  std::vector<float> samples(frames);
  for (std::size_t i = 0; i < frames; ++i) samples[i] = static_cast<float>(i % 1000) / 1000.0f;
  return samples;
}

TEST_F(RenderInput, SampleRatesThatHostsDoNotOfferAreRefused) {
  for (int rate : {1, 7999, 768001, 10000000}) {
    SCOPED_TRACE(rate);
    writeMono(path("in.wav"), ramp(100), rate, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ToolRun run = render("'" + plugin + "' in.wav -o out.wav");
    EXPECT_EQ(run.exitCode, 1);
    expectOneLineError(run, "'in.wav' has a sample rate of " + std::to_string(rate) +
                                " Hz; plug-ins run at 8000 to 768000 Hz");
    EXPECT_EQ(readFile(path("out.wav")), "");
  }
  for (int rate : {8000, 768000}) {
    SCOPED_TRACE(rate);
    writeMono(path("in.wav"), ramp(100), rate, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ToolRun run = render("'" + plugin + "' in.wav -o out.wav");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readAudio(path("out.wav")).rate, rate);
  }
}

struct BrokenRecord {
  const char* fault;
  std::string message;
};

TEST_F(RenderInput, RecordsWithoutTheFunctionsTheyPromiseAreRefused) {
  writeMono(path("in.wav"), ramp(100), 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const BrokenRecord cases[] = {
      {"null-dispatcher", "the effect of 'gain' has no dispatcher function"},
      {"null-process-replacing",
       "the effect of 'gain' promises 32-bit processing but has no processReplacing"},
      {"null-process-double",
       "the effect of 'gain' promises 64-bit processing but has no processDoubleReplacing"},
      {"null-set-parameter", "the effect of 'gain' has no setParameter function"},
      {"null-get-parameter", "the effect of 'gain' has no getParameter function"},
      {"many-outputs", "the effect of 'gain' declares 100000000 outputs"},
  };
  ASSERT_EQ(symlink(gain.c_str(), path("gain").c_str()), 0);
  for (const BrokenRecord& broken : cases) {
    SCOPED_TRACE(broken.fault);
    setenv("LUMIVANE_FAULT", broken.fault, 1);
    ToolRun run = render("gain in.wav -o out.wav");
    EXPECT_EQ(run.exitCode, 1);
    expectOneLineError(run, broken.message);
  }
  // Without a fault the same library renders: the input times a gain of 1 on both sides.
  unsetenv("LUMIVANE_FAULT");
  ToolRun run = render("gain in.wav -o out.wav");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readAudio(path("out.wav")).left, ramp(100));
}

TEST_F(RenderInput, ACutShortWavRendersWhatItHoldsAndSaysSo) {
  writeMono(path("whole.wav"), ramp(10000), 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  ToolRun whole = render("'" + gain + "' whole.wav -o out.wav");
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  EXPECT_EQ(whole.err, "");

  ASSERT_EQ(std::system(("cp '" + path("whole.wav") + "' '" + path("cut.wav") + "'").c_str()), 0);
  ASSERT_EQ(truncate(path("cut.wav").c_str(), 44 + 2 * 4000), 0);  // header and 4000 frames
  ToolRun cut = render("'" + gain + "' cut.wav -o out.wav");
  ASSERT_EQ(cut.exitCode, 0) << cut.err;
  EXPECT_EQ(cut.err,
            "lumivane-render: warning: 'cut.wav' is cut short: its header promises 20000 bytes of "
            "audio, the file "
            "holds 8000; rendering the 4000 frames there are\n");
  Audio audio = readAudio(path("out.wav"));
  ASSERT_EQ(audio.left.size(), 4000u);
  EXPECT_EQ(audio.left, readAudio(path("cut.wav")).left);
}

TEST_F(RenderInput, AWideFileIsReadInPiecesOfBoundedSize) {
  // 1024 channels into a plug-in with 1024 inputs: reading ahead a fixed number of frames of every
  // channel would take half a gigabyte.
  setenv("LUMIVANE_GAIN_INPUTS", "1024", 1);
  std::vector<float> first = ramp(3000);
  writeChannels(path("mono.wav"), first, 1, 48000, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16);
  writeChannels(path("wide.wav"), first, 1024, 48000, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16);
  int exitCode = -1;
  long mono = peakKilobytes({gain, path("mono.wav"), "-o", path("out.wav")}, exitCode);
  ASSERT_EQ(exitCode, 0) << readFile(path("err.txt"));
  long wide = peakKilobytes({gain, path("wide.wav"), "-o", path("out.wav")}, exitCode);
  unsetenv("LUMIVANE_GAIN_INPUTS");
  ASSERT_EQ(exitCode, 0) << readFile(path("err.txt"));
  EXPECT_LT(wide - mono, 100 * 1024);
  Audio audio = readAudio(path("out.wav"));
  ASSERT_EQ(audio.left.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    ASSERT_NEAR(audio.left[i], first[i], 2.0 / 32768) << i;
    ASSERT_EQ(audio.right[i], 0.25f) << i;  // output 1 carries input 1, the file's channel 1
  }
}

struct InputEncoding {
  const char* name;
  int format;
  int channels;
  bool titled;  // with a title, which libsndfile stores in a chunk after the audio
};

// Long enough that the data is read in more than one piece; a pseudo-random signal over the whole
// range, so that every bit of each encoding counts.
std::vector<std::vector<float>> noise(int channels, std::size_t frames) {
  std::vector<std::vector<float>> signal(static_cast<std::size_t>(channels));
  std::uint32_t state = 12345;
  for (auto& channel : signal)
    for (std::size_t i = 0; i < frames; ++i) {
      state = state * 1664525u + 1013904223u;
      channel.push_back(static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
  return signal;
}

TEST_F(RenderInput, EveryEncodingReadsAsLibsndfileReadsIt) {
  const InputEncoding cases[] = {
      {"16-bit WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, false},
      {"16-bit stereo WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, false},
      {"24-bit WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, true},
      {"24-bit stereo WAVEX", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, false},
      {"32-bit WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 2, false},
      {"float RF64", SF_FORMAT_RF64 | SF_FORMAT_FLOAT, 1, false},
      {"double WAV", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 2, true},
      {"8-bit WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, false},
      {"big-endian AIFF", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, false},
      {"FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1, false},
  };
  for (const InputEncoding& encoding : cases) {
    std::vector<std::vector<float>> signal = noise(encoding.channels, 300000);
    writeChannelList(path("in"), signal, 48000, encoding.format);
    if (encoding.titled) {
      SF_INFO info{};
      SNDFILE* file = sf_open(path("in").c_str(), SFM_RDWR, &info);
      ASSERT_NE(file, nullptr);
      sf_set_string(file, SF_STR_TITLE, "a title after the audio");
      sf_close(file);
    }
    AudioChannels expected = readChannels(path("in"));
    for (const char* precision : {"", " --double"}) {
      SCOPED_TRACE(std::string(encoding.name) + precision);
      ToolRun run = render("'" + gain + "' in -o out.wav --block 1000" + std::string(precision));
      ASSERT_EQ(run.exitCode, 0) << run.err;
      AudioChannels output = readChannels(path("out.wav"));
      ASSERT_EQ(output.channels.size(), 2u);
      for (std::size_t channel = 0; channel < 2; ++channel)
        EXPECT_TRUE(output.channels[channel] ==
                    expected.channels[channel % expected.channels.size()])
            << "output " << channel;
    }
  }
}

}  // namespace
