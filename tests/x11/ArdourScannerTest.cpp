// Ardour's VST 2 scanner, a real Linux host's first look at a plug-in: it loads lumivane.so with
// its own loader, reads the record and reports what it found, the editor included. Skipped where
// Ardour is not installed (scripts/setup --extras installs it).

#include <glob.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

// The scanner lives in Ardour's private folder, beside the libraries it needs.
std::string findScanner() {
  glob_t found{};
  std::string scanner;
  if (glob("/usr/lib/ardour*/ardour-vst-scanner", 0, nullptr, &found) == 0 && found.gl_pathc > 0) {
    scanner = found.gl_pathv[found.gl_pathc - 1];
  }
  globfree(&found);
  return scanner;
}

// Runs a shell command; its output and exit status.
int run(const std::string& command, std::string& output) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  size_t length = 0;
  while ((length = fread(buffer, 1, sizeof(buffer), pipe)) > 0) output.append(buffer, length);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ArdourScanner, FindsLumivaneWithItsEditor) {
  const std::string scanner = findScanner();
  if (scanner.empty()) GTEST_SKIP() << "Ardour's VST scanner is not installed";
  char home[] = "/tmp/lumivane-ardour-XXXXXX";
  ASSERT_NE(mkdtemp(home), nullptr);
  const std::string folder = scanner.substr(0, scanner.rfind('/'));
  // Its cache goes into a home of its own, so that the run leaves nothing behind.
  const std::string command = std::string("env -u XDG_CACHE_HOME HOME=") + home +
                              " LD_LIBRARY_PATH=" + folder + " " + scanner + " -v -f " +
                              LUMIVANE_PLUGIN_PATH + " 2>&1";
  std::string output;
  const int status = run(command, output);
  run(std::string("rm -rf ") + home, output);
  std::printf("%s", output.c_str());
  EXPECT_EQ(status, 0);
  EXPECT_NE(output.find("name=\"Lumivane\""), std::string::npos);
  EXPECT_NE(output.find("creator=\"Velmora\""), std::string::npos);
  EXPECT_NE(output.find("n_inputs=\"2\" n_outputs=\"2\""), std::string::npos);
  EXPECT_NE(output.find("has_editor=\"1\""), std::string::npos);
}

}  // namespace
