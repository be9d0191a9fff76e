#include "tools/render/PluginLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tools/render/RenderError.h"

namespace {

using EntryPoint = AEffect* (*)(audioMasterCallback);

void* openLibrary(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    throw RenderError("cannot open plug-in '" + path + "': " + std::strerror(errno));
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

// The most inputs or outputs this host gives buffers for; a record that declares more is damaged.
constexpr VstInt32 kMaxChannels = 1024;

// What a record that carries the right magic still lacks before this host can use it: a null
// function it would call, or channel counts it cannot give buffers for. Empty when it is whole.
std::string recordFault(const AEffect& record) {
  if (!record.dispatcher) return "has no dispatcher function";
  if ((record.flags & effFlagsCanReplacing) && !record.processReplacing)
    return "promises 32-bit processing but has no processReplacing function";
  if ((record.flags & effFlagsCanDoubleReplacing) && !record.processDoubleReplacing)
    return "promises 64-bit processing but has no processDoubleReplacing function";
  if (!record.setParameter) return "has no setParameter function";
  if (!record.getParameter) return "has no getParameter function";
  for (auto [count, what] :
       {std::pair{record.numInputs, "inputs"}, std::pair{record.numOutputs, "outputs"}})
    if (count < 0 || count > kMaxChannels)
      return "declares " + std::to_string(count) + " " + what + "; this host takes 0 to " +
             std::to_string(kMaxChannels);
  return "";
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
    std::string fault = recordFault(*record);
    if (!fault.empty()) {
      // A record with a dispatcher is still closed, so the plug-in can free what it built.
      if (record->dispatcher) dispatch(effClose);
      record = nullptr;
      throw RenderError("the effect of '" + path + "' " + fault);
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

VstIntPtr PluginLibrary::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) const {
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

std::string PluginLibrary::describeParameter(VstInt32 index) const {
  std::string label = text(effGetParamLabel, index);
  char value[32];
  std::snprintf(value, sizeof value, "%g",
                static_cast<double>(record->getParameter(record, index)));
  return text(effGetParamName, index) + " = " + text(effGetParamDisplay, index) +
         (label.empty() ? "" : " " + label) + " (" + value + ")";
}
