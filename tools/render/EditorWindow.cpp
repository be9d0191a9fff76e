#include "tools/render/EditorWindow.h"

#include <dlfcn.h>

#include <cstdio>
#include <sstream>

#include "tools/render/CommandLine.h"
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

// Commands given on the command line, separated by ';'.
EditorScript inlineScript(const std::string& commands) {
  std::string lines = commands;
  for (char& c : lines)
    if (c == ';') c = '\n';
  return EditorScript::parse(lines, "--commands");
}

}  // namespace

EditorWindow::EditorWindow(const PluginLibrary& plugin, const RenderOptions& options)
    : picturePath(options.editorPngPath) {
  if (!options.scriptPath.empty()) script = EditorScript::load(options.scriptPath);
  if (!options.scriptCommands.empty()) script.append(inlineScript(options.scriptCommands));
  if (picturePath.empty() && script.empty()) return;
  api = findHeadlessEditor(options.pluginPath);
  if (!api)
    throw RenderError("'" + options.pluginPath + "' has no headless editor (" LUMIVANE_HEADLESS_EDITOR_SYMBOL
                      "): --editor-png, --script and --commands need a Lumivane plug-in library");
  session = api->open(plugin.effect());
  if (!session) throw RenderError("the editor of '" + options.pluginPath + "' did not open");
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
    save(picturePath, 0);
  }
}

void EditorWindow::run(const EditorCommand& command) {
  int32_t done = 1;
  switch (command.kind) {
    case EditorCommand::Kind::press: done = api->press(session, command.x1, command.y1, command.buttons); break;
    case EditorCommand::Kind::drag:
      done = api->drag(session, command.x1, command.y1, command.x2, command.y2, command.buttons);
      break;
    case EditorCommand::Kind::wheel: done = api->wheel(session, command.x1, command.y1, command.notches); break;
    case EditorCommand::Kind::key:
      done = api->key(session, command.character, command.virtualKey, command.modifiers);
      break;
    case EditorCommand::Kind::type: done = api->type(session, command.text.c_str()); break;
    case EditorCommand::Kind::idle: done = api->idle(session, command.count); break;
    case EditorCommand::Kind::shot: save(command.text, command.line); return;
  }
  if (!done) throw RenderError("script line " + std::to_string(command.line) + ": the editor did not take it");
}

void EditorWindow::save(const std::string& path, int line) {
  if (!api->snapshot(session, path.c_str())) {
    std::string where = line > 0 ? "script line " + std::to_string(line) + ": " : "";
    throw RenderError(where + "cannot write the editor picture '" + path + "'");
  }
  std::printf("Wrote the editor picture '%s'\n", path.c_str());
}
