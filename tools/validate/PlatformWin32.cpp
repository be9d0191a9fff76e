// The validator's platform functions for Windows: libraries through LoadLibraryA, checks in child
// processes through CreateProcessA with their output in an inherited file handle, temporary files
// through GetTempFileNameA, and a top-level window of USER32 for editors to open in.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "tools/validate/Platform.h"

namespace platform {

namespace {

// The system's words for an error code, on one line without the closing full stop.
std::string systemMessage(DWORD code) {
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  std::replace(message.begin(), message.end(), '\r', ' ');
  std::replace(message.begin(), message.end(), '\n', ' ');
  while (!message.empty() && (message.back() == ' ' || message.back() == '.')) message.pop_back();
  std::size_t insert = message.find("%1");
  if (insert != std::string::npos) message.replace(insert, 2, "the file");
  return (message.empty() ? "" : message + " ") + "(error " + std::to_string(code) + ")";
}

// A path as LoadLibraryA wants it: backslashes, and a folder even for a bare file name, so that
// the file given is loaded rather than one of that name on the library search path.
std::string windowsPath(const std::string& path) {
  std::string local = path;
  std::replace(local.begin(), local.end(), '/', '\\');
  if (local.find_first_of("\\:") == std::string::npos) local = ".\\" + local;
  return local;
}

// The machine a PE image is built for (IMAGE_FILE_MACHINE_...), or 0 for a file that is none.
WORD imageMachine(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char dosMagic[2] = {}, peMagic[4] = {};
  std::uint32_t peOffset = 0;
  WORD machine = 0;
  file.read(dosMagic, sizeof dosMagic);
  file.seekg(0x3C).read(reinterpret_cast<char*>(&peOffset), sizeof peOffset);
  file.seekg(peOffset).read(peMagic, sizeof peMagic);
  file.read(reinterpret_cast<char*>(&machine), sizeof machine);
  if (!file || std::memcmp(dosMagic, "MZ", 2) != 0 || std::memcmp(peMagic, "PE\0\0", 4) != 0)
    return 0;
  return machine;
}

std::string machineName(WORD machine) {
  switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
      return "32-bit x86";
    case IMAGE_FILE_MACHINE_AMD64:
      return "x64";
    case 0xAA64:
      return "ARM64";
    default:
      return "machine " + std::to_string(machine);
  }
}

#ifdef _WIN64
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_I386;
#endif

// Why LoadLibraryA refused the file: for a library of another architecture, which one it is.
std::string loadError(const std::string& path, DWORD code) {
  WORD machine = code == ERROR_BAD_EXE_FORMAT ? imageMachine(path) : 0;
  if (machine == 0 || machine == kOwnMachine) return systemMessage(code);
  return "it is built for " + machineName(machine) + ", and this validator loads " +
         machineName(kOwnMachine) + " libraries only";
}

}  // namespace

void* openLibrary(const std::string& path, std::string& error) {
  HMODULE library = LoadLibraryA(windowsPath(path).c_str());
  if (!library) error = loadError(path, GetLastError());
  return reinterpret_cast<void*>(library);
}

void* findSymbol(void* library, const char* name) {
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(library), name);
  void* address = nullptr;
  static_assert(sizeof address == sizeof symbol);
  std::memcpy(&address, &symbol, sizeof address);
  return address;
}

void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

namespace {

struct ExceptionName {
  DWORD code;
  const char* words;
};

// The exception codes a crashing plug-in ends a process with.
constexpr ExceptionName kExceptionNames[] = {
    {0xC0000005, "access violation"},
    {0xC00000FD, "stack overflow"},
    {0xC0000094, "integer division by zero"},
    {0xC0000095, "integer overflow"},
    {0xC000001D, "illegal instruction"},
    {0xC0000096, "privileged instruction"},
    {0xC0000006, "in-page error"},
    {0xC000008C, "array bounds exceeded"},
    {0xC000008D, "floating-point denormal operand"},
    {0xC000008E, "floating-point division by zero"},
    {0xC000008F, "floating-point inexact result"},
    {0xC0000090, "floating-point invalid operation"},
    {0xC0000091, "floating-point overflow"},
    {0xC0000092, "floating-point stack check"},
    {0xC0000093, "floating-point underflow"},
    {0xC0000409, "stack buffer overrun"},
    {0xC0000374, "heap corruption"},
    {0xC0000008, "invalid handle"},
    {0xC0000017, "out of memory"},
    {0xC0000025, "noncontinuable exception"},
    {0xC0000026, "invalid disposition"},
    {0xC000013A, "ended by Ctrl+C"},
    {0x80000002, "datatype misalignment"},
    {0x80000003, "breakpoint"},
    {0xE06D7363, "C++ exception not caught"},
};

std::string hexCode(DWORD code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

// The words for an exception code: from the table, or empty for an error code that it lacks
// (the system's error codes all have 0xC in their top four bits), or null for no exception.
const char* exceptionWords(DWORD code) {
  for (const ExceptionName& name : kExceptionNames)
    if (name.code == code) return name.words;
  return (code & 0xF0000000) == 0xC0000000 ? "" : nullptr;
}

// How a process that ended with `code` ended: exception codes say a crash, other codes are the
// status the program chose.
ChildEnding endingOf(DWORD code) {
  ChildEnding ending;
  ending.code = static_cast<int>(code);
  const char* words = exceptionWords(code);
  if (!words) {
    ending.kind = ChildEnding::Kind::exited;
    ending.description = "exited with status " + std::to_string(ending.code);
    return ending;
  }
  ending.kind = ChildEnding::Kind::killed;
  ending.description = "crashed with exception " + hexCode(code) +
                       (*words ? std::string(" (") + words + ")" : std::string());
  return ending;
}

ChildEnding notStarted(const std::string& why) {
  ChildEnding ending;
  ending.description = "could not start: " + why;
  return ending;
}

// One argument quoted the way the C runtime splits a command line again: quotes around it, each
// quote escaped, and the backslashes before a quote (or before the closing one) doubled.
std::string quotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
    return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

std::string commandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments)
    line += (line.empty() ? "" : " ") + quotedArgument(argument);
  return line;
}

// A file handle that a child process inherits.
HANDLE inheritableFile(const char* path, DWORD access, DWORD creation) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Waits for the child until the time limit, and ends it there.
ChildEnding waitFor(HANDLE process, double timeoutSeconds) {
  auto limit = static_cast<DWORD>(std::min(timeoutSeconds * 1000.0, 4.0e9));
  if (WaitForSingleObject(process, limit) == WAIT_TIMEOUT) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, INFINITE);
    ChildEnding ending;
    ending.kind = ChildEnding::Kind::timedOut;
    ending.description =
        "timed out after " + std::to_string(static_cast<int>(timeoutSeconds)) + " s";
    return ending;
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return endingOf(code);
}

}  // namespace

ChildEnding runChild(const std::vector<std::string>& arguments, const std::string& outputPath,
                     double timeoutSeconds) {
  HANDLE output = inheritableFile(outputPath.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  if (output == INVALID_HANDLE_VALUE) return notStarted(systemMessage(GetLastError()));
  HANDLE input = inheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION child{};
  std::string line = commandLine(arguments);
  BOOL started = CreateProcessA(arguments[0].c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                nullptr, nullptr, &startup, &child);
  DWORD startError = GetLastError();
  CloseHandle(output);
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  if (!started) return notStarted(systemMessage(startError));
  CloseHandle(child.hThread);
  ChildEnding ending = waitFor(child.hProcess, timeoutSeconds);
  CloseHandle(child.hProcess);
  return ending;
}

namespace {

// Ends the process at an exception that nothing handled, with the exception's code as its exit
// status. Windows does so by itself under SEM_NOGPFAULTERRORBOX; Wine starts its debugger (and
// under a display its crash dialog, which waits for a click) whatever the error mode says, after
// the filter has had its turn.
LONG WINAPI endAtUnhandledException(EXCEPTION_POINTERS* exception) {
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void prepareCheckProcess() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(endAtUnhandledException);
}

std::string executablePath() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

std::string temporaryFile(const std::string& stem) {
  char folder[MAX_PATH + 1] = {};
  char name[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return "";
  // GetTempFileNameA makes the file, named with the stem's first three letters and a number.
  if (GetTempFileNameA(folder, stem.c_str(), 0, name) == 0) return "";
  return name;
}

void removeFile(const std::string& path) { DeleteFileA(path.c_str()); }

namespace {

const char kHostWindowClass[] = "LumivaneValidateHost";
constexpr DWORD kHostWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

bool registerHostWindowClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = hostWindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kHostWindowClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  return registered;
}

void dispatchWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

bool hasHostWindows() { return true; }

void* openHostWindow(int width, int height, std::string& error) {
  if (!registerHostWindowClass()) {
    error = "the host window class could not be registered: " + systemMessage(GetLastError());
    return nullptr;
  }
  RECT frame{0, 0, width, height};
  AdjustWindowRect(&frame, kHostWindowStyle, FALSE);
  HWND window =
      CreateWindowExA(0, kHostWindowClass, "lumivane-validate", kHostWindowStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                      nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window) {
    error = "no host window could be made: " + systemMessage(GetLastError());
    return nullptr;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  dispatchWaitingMessages();
  return window;
}

bool hasChildWindow(void* window) {
  return GetWindow(static_cast<HWND>(window), GW_CHILD) != nullptr;
}

void closeHostWindow(void* window) {
  if (window && IsWindow(static_cast<HWND>(window))) DestroyWindow(static_cast<HWND>(window));
  dispatchWaitingMessages();
}

void pumpMessages(int milliseconds, int idleMilliseconds, const std::function<void()>& idle) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const Clock::time_point end = start + std::chrono::milliseconds(milliseconds);
  const auto interval = std::chrono::milliseconds(std::max(idleMilliseconds, 1));
  Clock::time_point nextIdle = start + interval;
  for (;;) {
    dispatchWaitingMessages();
    Clock::time_point now = Clock::now();
    if (now >= nextIdle) {
      idle();
      nextIdle = now + interval;
    }
    if (now >= end) return;
    auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::min(nextIdle, end) - now);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait.count()) + 1, QS_ALLINPUT);
  }
}

}  // namespace platform
