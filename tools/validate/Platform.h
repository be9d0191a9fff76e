#pragma once
// What the validator needs from the operating system, behind one small interface: loading a
// plug-in library, running a check in a child process with a time limit, a few file names, and
// a window for a plug-in's editor to open in. PlatformPosix.cpp implements it with dlopen and
// posix_spawn, PlatformWin32.cpp with LoadLibrary, CreateProcess and a top-level window of USER32.
#include <functional>
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
  int code = 0;  // exited: the exit status; killed: the signal or exception number
  // "killed by signal 11 (Segmentation fault)", "crashed with exception 0xC0000005 (access
  // violation)", "timed out after 60 s"
  std::string description;
};

// Runs `arguments` (the program first) with standard input empty and standard output and error
// into the file `outputPath`; a child still running after `timeoutSeconds` is killed.
ChildEnding runChild(const std::vector<std::string>& arguments, const std::string& outputPath,
                     double timeoutSeconds);
// Readies the process that runs one check: a plug-in that crashes in it ends the process at once,
// with no error dialog or debugger in between, so that the validator sees how it ended.
void prepareCheckProcess();

// The path of the running program, so that it can start itself again.
std::string executablePath();
// A file name of the system's temporary folder that no other file has, with `stem` in it.
std::string temporaryFile(const std::string& stem);
void removeFile(const std::string& path);

// Host windows: a top-level window of the validator's own that a plug-in's editor opens in as the
// child of a host's window. Its native handle (an HWND on Windows) is the parent that effEditOpen
// gets. Platforms whose plug-ins have no window-system editor that the validator can open have
// none (POSIX: Lumivane's headless editor table stands in there).
bool hasHostWindows();
// A visible host window whose client area is `width` by `height` pixels, or null with the
// system's reason in `error`.
void* openHostWindow(int width, int height, std::string& error);
// True while a window (the editor's) lives inside the host window.
bool hasChildWindow(void* window);
// Destroys the host window and whatever still lives inside it.
void closeHostWindow(void* window);
// The host's message loop for `milliseconds`: dispatches the thread's window messages as they
// come and calls `idle` every `idleMilliseconds`, as a host's editor timer does.
void pumpMessages(int milliseconds, int idleMilliseconds, const std::function<void()>& idle);

}  // namespace platform
