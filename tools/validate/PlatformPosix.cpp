// The validator's platform functions for Linux and other POSIX systems.
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "tools/validate/Platform.h"

extern char** environ;

namespace platform {

void* openLibrary(const std::string& path, std::string& error) {
  // A path without a slash would make dlopen search the library path instead of this file.
  std::string local = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) error = dlerror();
  return library;
}

void* findSymbol(void* library, const char* name) { return dlsym(library, name); }

void closeLibrary(void* library) { dlclose(library); }

namespace {

ChildEnding endingOf(int status) {
  ChildEnding ending;
  if (WIFEXITED(status)) {
    ending.kind = ChildEnding::Kind::exited;
    ending.code = WEXITSTATUS(status);
    ending.description = "exited with status " + std::to_string(ending.code);
  } else {
    ending.kind = ChildEnding::Kind::killed;
    ending.code = WTERMSIG(status);
    ending.description =
        "killed by signal " + std::to_string(ending.code) + " (" + strsignal(ending.code) + ")";
  }
  return ending;
}

// Waits for the child, polling so that the time limit holds without signals or threads.
ChildEnding waitFor(pid_t child, double timeoutSeconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      ChildEnding ending;
      ending.kind = ChildEnding::Kind::timedOut;
      ending.description =
          "timed out after " + std::to_string(static_cast<int>(timeoutSeconds)) + " s";
      return ending;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return endingOf(status);
}

}  // namespace

ChildEnding runChild(const std::vector<std::string>& arguments, const std::string& outputPath,
                     double timeoutSeconds) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t child = 0;
  int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) {
    ChildEnding ending;
    ending.description = std::string("could not start: ") + std::strerror(failed);
    return ending;
  }
  return waitFor(child, timeoutSeconds);
}

// Nothing to do: a crash ends a POSIX process by its signal, which the validator reads.
void prepareCheckProcess() {}

std::string executablePath() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  path[length] = '\0';
  return path;
}

std::string temporaryFile(const std::string& stem) {
  const char* folder = std::getenv("TMPDIR");
  std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/" + stem + "-XXXXXX";
  int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) return "";
  close(descriptor);
  return pattern;
}

void removeFile(const std::string& path) { unlink(path.c_str()); }

// The validator opens no X11 windows: Lumivane's editor is reached through its headless table
// here, and a Linux host's effEditOpen of Lumivane answers 0.
bool hasHostWindows() { return false; }

void* openHostWindow(int, int, std::string& error) {
  error = "the validator makes no host windows on this platform";
  return nullptr;
}

bool hasChildWindow(void*) { return false; }

void closeHostWindow(void*) {}

void pumpMessages(int, int, const std::function<void()>&) {}

}  // namespace platform
