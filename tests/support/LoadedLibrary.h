#pragma once

// A plug-in library loaded as a host loads it: dlopen on Linux, LoadLibraryA on Windows.

#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::string& path) {
#if defined(_WIN32)
    std::string windowsPath = path;
    for (char& c : windowsPath) {
      if (c == '/') c = '\\';
    }
    handle = LoadLibraryA(windowsPath.c_str());
#else
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
  }
  ~LoadedLibrary() {
    if (handle == nullptr) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool isLoaded() const { return handle != nullptr; }
  // The exported symbol, or null.
  void* symbol(const char* name) const {
    if (handle == nullptr) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
  }
  // Why the last load failed, for test messages.
  static std::string lastError() {
#if defined(_WIN32)
    return "Windows error " + std::to_string(GetLastError());
#else
    const char* message = dlerror();
    return message != nullptr ? message : "";
#endif
  }

 private:
  void* handle = nullptr;
};
