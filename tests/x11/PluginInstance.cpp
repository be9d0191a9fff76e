#include "tests/x11/PluginInstance.h"

#include <dlfcn.h>

#include <cstdint>

PluginLibrary::PluginLibrary(const std::string& path)
    : handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

PluginLibrary::~PluginLibrary() {
  if (handle != nullptr) dlclose(handle);
}

PluginLibrary::EntryPoint PluginLibrary::entry(const char* name) const {
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<EntryPoint>(dlsym(handle, name));
}

PluginInstance::PluginInstance(const PluginLibrary& library) {
  PluginLibrary::EntryPoint entry = library.entry("VSTPluginMain");
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

VstIntPtr PluginInstance::openEditor(unsigned long window) {
  return dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(window)));
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

VstIntPtr PluginInstance::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                   void*, float opt) {
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
