#pragma once

// One effect of a VST 2.4 plug-in library, loaded and driven as a Linux host drives it: dlopen,
// the exported entry point and the AEffect record only. The host's callback records what the
// effect tells it (automation, begin and end of edits, idle requests), from whatever thread.

#include <mutex>
#include <string>
#include <vector>

#include "host/VstInterface.h"

struct HostEvent {
  VstInt32 opcode;
  VstInt32 index;
  float value;
};

class PluginLibrary {
 public:
  explicit PluginLibrary(const std::string& path);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  bool isLoaded() const { return handle != nullptr; }
  using EntryPoint = AEffect* (*)(audioMasterCallback);
  EntryPoint entry(const char* name) const;

 private:
  void* handle = nullptr;
};

class PluginInstance {
 public:
  // Calls VSTPluginMain with this host's callback; effect() is null when it refused.
  explicit PluginInstance(const PluginLibrary& library);
  // effClose, when the effect was made.
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  AEffect* effect() const { return record; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  float parameter(VstInt32 index) const { return record->getParameter(record, index); }
  void setParameter(VstInt32 index, float value) { record->setParameter(record, index, value); }
  // effEditOpen with an X11 window id, as Linux hosts pass it.
  VstIntPtr openEditor(unsigned long window);

  // What the effect told the host: automation, begin edit and end edit, in order.
  std::vector<HostEvent> edits() const;
  void clearEdits();
  int idleRequests() const;

 private:
  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt);
  void remember(VstInt32 opcode, VstInt32 index, float value);

  AEffect* record = nullptr;
  mutable std::mutex mutex;
  std::vector<HostEvent> events;
  int idles = 0;
};
