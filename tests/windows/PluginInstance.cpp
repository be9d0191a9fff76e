#include "tests/windows/PluginInstance.h"

#include <cstring>

namespace {

std::string windowsPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path)
    : module(LoadLibraryA(windowsPath(path).c_str())) {}

PluginLibrary::~PluginLibrary() {
  if (module != nullptr) FreeLibrary(module);
}

PluginLibrary::EntryPoint PluginLibrary::entry(const char* name) const {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

PluginInstance::PluginInstance(const PluginLibrary& library, const char* entryName) {
  PluginLibrary::EntryPoint entry = library.entry(entryName);
  if (entry == nullptr) return;
  record = entry(&PluginInstance::callback);
  // The record's user field belongs to the host: it leads the callback back to this object.
  if (record != nullptr) record->user = this;
}

PluginInstance::~PluginInstance() {
  if (record != nullptr) dispatch(effClose);
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index) {
  char buffer[256];
  std::memset(buffer, 0, sizeof(buffer));
  dispatch(opcode, index, 0, buffer);
  return buffer;
}

std::vector<HostEvent> PluginInstance::edits() const {
  std::lock_guard<std::mutex> lock(mutex);
  return events;
}

void PluginInstance::clearEdits() {
  std::lock_guard<std::mutex> lock(mutex);
  events.clear();
}

int PluginInstance::idleRequests() const {
  std::lock_guard<std::mutex> lock(mutex);
  return idles;
}

void PluginInstance::remember(VstInt32 opcode, VstInt32 index, float value) {
  std::lock_guard<std::mutex> lock(mutex);
  if (opcode == audioMasterIdle) {
    ++idles;
    return;
  }
  events.push_back({opcode, index, value});
}

VstIntPtr VSTCALLBACK PluginInstance::callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                               VstIntPtr, void*, float opt) {
  if (opcode == audioMasterVersion) return 2400;
  auto* instance = effect != nullptr ? static_cast<PluginInstance*>(effect->user) : nullptr;
  if (instance == nullptr) return 0;
  switch (opcode) {
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterIdle:
      instance->remember(opcode, index, opt);
      return 1;
    default:
      return 0;
  }
}
