#include "tools/validate/PluginModule.h"

#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Platform.h"
#include "tools/validate/ValidatorHost.h"

PluginModule::PluginModule(const std::string& path) {
  std::string error;
  library = platform::openLibrary(path, error);
  if (!library) throw CheckFailure("'" + path + "' is not a loadable plug-in library: " + error);
  for (const char* name : {"VSTPluginMain", "main"}) {
    if (void* symbol = platform::findSymbol(library, name)) {
      entry = reinterpret_cast<EntryPoint>(symbol);
      entryName = name;
      return;
    }
  }
  platform::closeLibrary(library);
  throw CheckFailure("'" + path + "' has no VST 2.4 entry point (VSTPluginMain or main)");
}

PluginModule::~PluginModule() { platform::closeLibrary(library); }

AEffect* PluginModule::createEffect() const { return entry(ValidatorHost::callback()); }

const LumivaneHeadlessEditorApi* PluginModule::headlessEditor() const {
  void* symbol = platform::findSymbol(library, LUMIVANE_HEADLESS_EDITOR_SYMBOL);
  if (!symbol) return nullptr;
  const LumivaneHeadlessEditorApi* api = reinterpret_cast<LumivaneHeadlessEditorProc>(symbol)();
  return api && api->version == LUMIVANE_HEADLESS_EDITOR_VERSION ? api : nullptr;
}
