// Where lumivane-render writes: never onto the plug-in, an input or another of its outputs, and
// never over an existing file unless the whole run succeeded.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/RenderToolFixture.h"
#include "tests/tools/AudioFiles.h"

namespace {

// The files the tool itself never writes: what the fixture keeps of its run.
const std::set<std::string> kRunRecords = {"out.txt", "err.txt"};

class RenderOutput : public RenderToolFixture {
 protected:
  // A copy of the plug-in to run (so that a fault can only damage the copy), an input, a script
  // and a folder, each reached by its name inside the test's folder.
  void SetUp() override {
    RenderToolFixture::SetUp();
    ASSERT_EQ(std::system(("cp '" + plugin + "' '" + path("lib.so") + "'").c_str()), 0);
    writeMono(path("in.wav"), std::vector<float>(100, 0.25f), 44100,
              SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    std::ofstream(path("script.txt")) << "idle 1\n";
    ASSERT_EQ(mkdir(path("sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("in.wav", path("link.wav").c_str()), 0);
    ASSERT_EQ(link(path("in.wav").c_str(), path("hard.wav").c_str()), 0);
    sources = {readFile(path("lib.so")), readFile(path("in.wav")), readFile(path("script.txt"))};
    filesBefore = files();
  }

  std::set<std::string> files() const {
    std::set<std::string> names;
    DIR* folder = opendir(directory.c_str());
    while (dirent* entry = readdir(folder)) {
      std::string name = entry->d_name;
      if (name != "." && name != ".." && !kRunRecords.count(name)) names.insert(name);
    }
    closedir(folder);
    return names;
  }

  void expectSourcesIntact() {
    const char* names[] = {"lib.so", "in.wav", "script.txt"};
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(readFile(path(names[i])) == sources[i]) << names[i] << " changed";
  }

  std::vector<std::string> sources;
  std::set<std::string> filesBefore;
};

struct Collision {
  std::string arguments;
  std::string message;
};

TEST_F(RenderOutput, OutputsThatNameTheirOwnSourcesAreRefused) {
  const Collision cases[] = {
      {"lib.so in.wav -o lib.so", "the output 'lib.so' is the plug-in library"},
      {"lib.so --editor-png ./lib.so", "the editor picture './lib.so' is the plug-in library"},
      {"lib.so --commands 'shot lib.so'",
       "the shot 'lib.so' (--commands line 1) is the plug-in library"},
      {"lib.so in.wav -o in.wav", "the output 'in.wav' is the input"},
      {"lib.so in.wav -o link.wav", "the output 'link.wav' is the input"},
      {"lib.so in.wav -o hard.wav", "the output 'hard.wav' is the input"},
      {"lib.so in.wav -o sub/../in.wav", "the output 'sub/../in.wav' is the input"},
      {"lib.so --script script.txt -o script.txt", "the output 'script.txt' is the script"},
      {"lib.so -o new.wav --editor-png ./new.wav",
       "the editor picture './new.wav' is also the output 'new.wav'"},
      {"lib.so -o new.wav --editor-png e.png --commands 'idle 1; shot sub/../e.png'",
       "the shot 'sub/../e.png' (--commands line 2) is also the editor picture 'e.png'"},
  };
  for (const Collision& collision : cases) {
    SCOPED_TRACE(collision.arguments);
    ToolRun run = render(collision.arguments);
    EXPECT_EQ(run.exitCode, 2);
    expectOneLineError(run, collision.message);
    expectSourcesIntact();
    EXPECT_EQ(files(), filesBefore);
  }
}

TEST_F(RenderOutput, AFailedRunLeavesExistingOutputsAsTheyWere) {
  std::ofstream(path("out.wav")) << "the last good render";
  std::ofstream(path("e.png")) << "the last good picture";
  filesBefore = files();
  std::string outputs = " -o out.wav --editor-png e.png";
  std::string gain = "'" + std::string(LUMIVANE_GAIN_PLUGIN) + "'";
  const std::string cases[] = {
      "lib.so --commands 'prss 1 2'",
      "lib.so --script missing.txt",
      "lib.so --commands 'idle 1; shot sub'",
      "lib.so --param Width=1",
      "lib.so --program 99",
      gain,
  };
  for (const std::string& arguments : cases) {
    SCOPED_TRACE(arguments);
    ToolRun run = render(arguments + outputs);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(readFile(path("out.wav")) == "the last good render") << "out.wav changed";
    EXPECT_TRUE(readFile(path("e.png")) == "the last good picture") << "e.png changed";
    EXPECT_EQ(files(), filesBefore);  // no temporary file left behind
  }
}

mode_t modeOf(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

TEST_F(RenderOutput, ASuccessfulRunReplacesExistingOutputsAndKeepsTheirMode) {
  std::ofstream(path("out.wav")) << "the last good render";
  ASSERT_EQ(chmod(path("out.wav").c_str(), 0640), 0);
  ToolRun run = render("lib.so in.wav -o out.wav --editor-png e.png");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readAudio(path("out.wav")).left.size(), 100u);
  EXPECT_EQ(readFile(path("e.png")).substr(1, 3), "PNG");
  EXPECT_EQ(modeOf(path("out.wav")), 0640u);
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(modeOf(path("e.png")), 0666u & ~mask);  // as any new file
  std::set<std::string> expected = filesBefore;
  expected.insert({"out.wav", "e.png"});
  EXPECT_EQ(files(), expected);
}

TEST_F(RenderOutput, ADeviceIsWrittenInPlace) {
  ToolRun run = render("lib.so in.wav -o /dev/null");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  struct stat status {};
  ASSERT_EQ(stat("/dev/null", &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST_F(RenderOutput, ASmallOutputIsAPlainRiffWave) {
  // Outputs switch to RF64 only when they grow past what a RIFF header can count (4 GiB).
  ToolRun run = render("lib.so in.wav -o out.wav");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readFile(path("out.wav")).substr(0, 4), "RIFF");
}

}  // namespace
