// The library's entry: the exported entry point under its two names, and the load notification
// that records the module handle. Only the plug-in library itself is built from this file.
#include "gui/platform/ModuleHandle.h"
#include "host/PluginMain.h"

#if defined(_WIN32)
#include <windows.h>

#include <type_traits>

// The Windows loader tells every module about process and thread events; the handle is the same
// each time.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  moduleHandle = instance;
  return TRUE;
}

// Exported by the module-definition file, which also lists main as a second name for it.
extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback) {
  return pluginMain(hostCallback);
}

#if defined(__i386__) || defined(_M_IX86)
// 32-bit hosts call the entry point, the record's functions and their own callback with the C
// calling convention; a callee-cleans convention here would corrupt the host's stack.
static_assert(std::is_same_v<decltype(&VSTPluginMain), AEffect*(__cdecl*)(audioMasterCallback)>,
              "the entry point uses the C calling convention");
static_assert(std::is_same_v<audioMasterCallback, VstIntPtr(__cdecl*)(AEffect*, VstInt32, VstInt32,
                                                                      VstIntPtr, void*, float)>,
              "the host callback uses the C calling convention");
static_assert(
    std::is_same_v<AEffectDispatcherProc,
                   VstIntPtr(__cdecl*)(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)>,
    "the dispatcher uses the C calling convention");
static_assert(
    std::is_same_v<AEffectProcessProc, void(__cdecl*)(AEffect*, float**, float**, VstInt32)>,
    "the process functions use the C calling convention");
static_assert(std::is_same_v<AEffectSetParameterProc, void(__cdecl*)(AEffect*, VstInt32, float)>,
              "setParameter uses the C calling convention");
static_assert(std::is_same_v<AEffectGetParameterProc, float(__cdecl*)(AEffect*, VstInt32)>,
              "getParameter uses the C calling convention");
#endif

#else
#include <dlfcn.h>

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(
    audioMasterCallback hostCallback) {
  return pluginMain(hostCallback);
}

// Older hosts look for "main". A C++ function cannot carry that name with this signature, so the
// symbol is an alias of VSTPluginMain.
extern "C" __attribute__((visibility("default"), alias("VSTPluginMain"))) AEffect* vstMainAlias(
    audioMasterCallback hostCallback) __asm__("main");

// The counterpart of the Windows module handle: the address where this library was loaded.
__attribute__((constructor)) static void recordModuleHandle() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&VSTPluginMain), &info) != 0) moduleHandle = info.dli_fbase;
}
#endif
