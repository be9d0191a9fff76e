#pragma once
// What the validator needs from the operating system, behind one small interface: loading a
// plug-in library, running a check in a child process with a time limit, and a few file names.
// PlatformPosix.cpp implements it with dlopen and posix_spawn; a Windows build adds a file that
// implements the same functions with LoadLibrary, GetProcAddress and CreateProcess.
#include <string>
#include <vector>

namespace platform {

// A loaded library, or null with the system's reason in `error`.
void* openLibrary(const std::string& path, std::string& error);
// An exported symbol of a loaded library, or null.
void* findSymbol(void* library, const char* name);
void closeLibrary(void* library);

// How a child process ended.
struct ChildEnding {
  enum class Kind { exited, killed, timedOut, notStarted };
  Kind kind = Kind::notStarted;
  int code = 0;             // exited: the exit status; killed: the signal or exception number
  std::string description;  // "killed by signal 11 (Segmentation fault)", "timed out after 60 s"
};

// Runs `arguments` (the program first) with standard input empty and standard output and error
// into the file `outputPath`; a child still running after `timeoutSeconds` is killed.
ChildEnding runChild(const std::vector<std::string>& arguments, const std::string& outputPath,
                     double timeoutSeconds);

// The path of the running program, so that it can start itself again.
std::string executablePath();
// A file name of the system's temporary folder that no other file has, with `stem` in it.
std::string temporaryFile(const std::string& stem);
void removeFile(const std::string& path);

}  // namespace platform
