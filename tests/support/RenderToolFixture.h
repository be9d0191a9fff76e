#pragma once
// Runs the built lumivane-render as a user runs it, inside a temporary folder of the test's own,
// and keeps what it printed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

struct ToolRun {
  int exitCode;
  std::string out, err;
};

inline std::string readFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// A non-zero exit, and one line on standard error that starts with the tool's name and says
// what went wrong.
inline void expectOneLineError(const ToolRun& run, const std::string& containing) {
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(run.err.rfind("lumivane-render: ", 0), 0u) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find(containing), std::string::npos) << run.err;
}

class RenderToolFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumivane-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + directory + "'").c_str()); }

  std::string path(const std::string& name) const { return directory + "/" + name; }

  // Runs inside the test's own folder, so that nothing can land where the tests were started.
  ToolRun render(const std::string& arguments) {
    std::string command = "cd '" + directory + "' && '" + std::string(LUMIVANE_RENDER_PATH) + "' " +
                          arguments + " >'" + path("out.txt") + "' 2>'" + path("err.txt") +
                          "' </dev/null";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(path("out.txt")),
            readFile(path("err.txt"))};
  }

  std::string plugin = LUMIVANE_PLUGIN_PATH;
  std::string directory;
};
