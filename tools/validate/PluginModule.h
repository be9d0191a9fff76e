#pragma once
#include <string>

#include "editor/HeadlessEditorApi.h"
#include "host/VstInterface.h"

// A VST 2.4 plug-in library, loaded as a host loads it: through the platform's library loader and
// the exported entry point VSTPluginMain (or, in older plug-ins, main). It stays loaded as long as
// this object lives; every effect of a check comes from its entry point.
class PluginModule {
 public:
  // Throws CheckFailure when the file is no loadable library or has no entry point.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // A new effect from the entry point, or null when the entry point gives none.
  AEffect* createEffect() const;
  const std::string& entryPointName() const { return entryName; }
  // Lumivane's table for opening its editor without a window system, or null when the library
  // exports none (HeadlessEditorApi.h).
  const LumivaneHeadlessEditorApi* headlessEditor() const;

 private:
  using EntryPoint = AEffect* (*)(audioMasterCallback);

  void* library = nullptr;
  EntryPoint entry = nullptr;
  std::string entryName;
};
