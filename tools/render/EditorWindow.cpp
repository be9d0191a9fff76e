#include "tools/render/EditorWindow.h"

#include <dlfcn.h>

#include "tools/render/OutputFiles.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/RenderError.h"

namespace {

// The table of the library the plug-in was loaded from. dlopen with RTLD_NOLOAD only finds the
// library already loaded (the same rule for a path without a slash as when it was loaded).
const LumivaneHeadlessEditorApi* findHeadlessEditor(const std::string& path) {
  std::string local = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(local.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!library) return nullptr;
  void* symbol = dlsym(library, LUMIVANE_HEADLESS_EDITOR_SYMBOL);
  dlclose(library);  // the plug-in keeps it loaded
  if (!symbol) return nullptr;
  const LumivaneHeadlessEditorApi* api = reinterpret_cast<LumivaneHeadlessEditorProc>(symbol)();
  return api && api->version == LUMIVANE_HEADLESS_EDITOR_VERSION ? api : nullptr;
}

}  // namespace

EditorWindow::EditorWindow(const PluginLibrary& plugin, const std::string& pluginPath,
                           EditorScript script, std::string picturePath, const OutputFiles& outputs)
    : script(std::move(script)), picturePath(std::move(picturePath)), outputs(outputs) {
  if (this->picturePath.empty() && this->script.empty()) return;
  api = findHeadlessEditor(pluginPath);
  if (!api)
    throw RenderError("'" + pluginPath +
                      "' has no headless editor (" LUMIVANE_HEADLESS_EDITOR_SYMBOL
                      "): --editor-png, --script and --commands need a Lumivane plug-in library");
  session = api->open(plugin.effect());
  if (!session) throw RenderError("the editor of '" + pluginPath + "' did not open");
}

EditorWindow::~EditorWindow() {
  if (session) api->close(session);
}

void EditorWindow::finish() {
  if (!session) return;
  api->idle(session, kSettleIdles);
  for (const EditorCommand& command : script.commands()) run(command);
  if (!picturePath.empty()) {
    api->idle(session, 1);
    save(picturePath, "");
  }
}

void EditorWindow::run(const EditorCommand& command) {
  int32_t done = 1;
  switch (command.kind) {
    case EditorCommand::Kind::press:
      done = api->press(session, command.x1, command.y1, command.buttons);
      break;
    case EditorCommand::Kind::drag:
      done = api->drag(session, command.x1, command.y1, command.x2, command.y2, command.buttons);
      break;
    case EditorCommand::Kind::wheel:
      done = api->wheel(session, command.x1, command.y1, command.notches);
      break;
    case EditorCommand::Kind::key:
      done = api->key(session, command.character, command.virtualKey, command.modifiers);
      break;
    case EditorCommand::Kind::type:
      done = api->type(session, command.text.c_str());
      break;
    case EditorCommand::Kind::idle:
      done = api->idle(session, command.count);
      break;
    case EditorCommand::Kind::shot:
      save(command.text, command.where());
      return;
  }
  if (!done) throw RenderError(command.where() + ": the editor did not take it");
}

void EditorWindow::save(const std::string& path, const std::string& where) {
  if (!api->snapshot(session, outputs.writePath(path).c_str()))
    throw RenderError("cannot write the editor picture '" + path + "'" +
                      (where.empty() ? "" : " (" + where + ")"));
}
