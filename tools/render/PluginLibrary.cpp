#include "tools/render/PluginLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "tools/render/RenderError.h"

namespace {

using EntryPoint = AEffect* (*)(audioMasterCallback);

void* openLibrary(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) throw RenderError("cannot open plug-in '" + path + "': " + std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw RenderError("plug-in '" + path + "' is not a file");
  // A path without a slash would make dlopen search the library path instead of this file.
  std::string local = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) throw RenderError("'" + path + "' is not a loadable plug-in library: " + dlerror());
  return library;
}

EntryPoint findEntryPoint(void* library, const std::string& path) {
  // Older plug-ins export only "main".
  for (const char* name : {"VSTPluginMain", "main"}) {
    if (void* symbol = dlsym(library, name)) return reinterpret_cast<EntryPoint>(symbol);
  }
  throw RenderError("'" + path + "' has no VST 2.4 entry point (VSTPluginMain or main)");
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path, audioMasterCallback host) {
  library = openLibrary(path);
  try {
    EntryPoint entry = findEntryPoint(library, path);
    record = entry(host);
    if (!record) throw RenderError("the entry point of '" + path + "' returned no effect");
    if (record->magic != kEffectMagic) {
      record = nullptr;
      throw RenderError("'" + path + "' returned something that is not a VST 2.4 effect");
    }
  } catch (...) {
    dlclose(library);
    throw;
  }
}

PluginLibrary::~PluginLibrary() {
  if (record) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
  dlclose(library);
}

VstIntPtr PluginLibrary::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

std::string PluginLibrary::text(VstInt32 opcode, VstInt32 index) const {
  // Hosts give far more room than the interface's nominal sizes, as plug-ins often need it.
  char buffer[256] = {};
  dispatch(opcode, index, 0, buffer);
  buffer[63] = '\0';
  return buffer;
}

std::vector<std::string> PluginLibrary::parameterNames() const {
  std::vector<std::string> names;
  for (VstInt32 i = 0; i < record->numParams; ++i) names.push_back(text(effGetParamName, i));
  return names;
}
