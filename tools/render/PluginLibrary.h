#pragma once
#include <string>
#include <vector>

#include "host/VstInterface.h"

// A VST 2.4 plug-in library, opened with dlopen, and the one effect its entry point built.
// Closing the effect (effClose) and the library happens in the destructor.
class PluginLibrary {
 public:
  // Throws RenderError when the file is missing, is no library, has no entry point, or the
  // entry point gives no effect or a record without the functions its flags promise.
  PluginLibrary(const std::string& path, audioMasterCallback host);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  AEffect* effect() const { return record; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  // A text the effect writes for the opcode (name, display...), at most 63 characters.
  std::string text(VstInt32 opcode, VstInt32 index = 0) const;
  std::vector<std::string> parameterNames() const;
  // "Name = display label (normalised value)", as the plug-in shows the parameter now.
  std::string describeParameter(VstInt32 index) const;

 private:
  void* library = nullptr;
  AEffect* record = nullptr;
};
