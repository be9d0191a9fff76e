#pragma once
#include <string>

#include "editor/HeadlessEditorApi.h"
#include "tools/render/EditorScript.h"

class OutputFiles;
class PluginLibrary;

// The plug-in's editor in a headless window, for --editor-png and --script: opened before the
// first block, so the last block's display feed is what it shows at the end, then idled until
// its meters have settled, driven by the script and saved as a picture. Reached through the table
// that Lumivane libraries export (HeadlessEditorApi.h); a library without it is refused with a
// clear message. Pictures go where the run's OutputFiles say, to be moved into place when the
// whole run has succeeded.
class EditorWindow {
 public:
  // Idles that let a meter fall from full to any level (ten steps of 0.1) and draw the rest.
  static constexpr int kSettleIdles = 12;

  // Opens the editor when there is a picture to save or a script to play, else does nothing.
  // Throws RenderError for a library without the headless editor or an editor that does not open.
  EditorWindow(const PluginLibrary& plugin, const std::string& pluginPath, EditorScript script,
               std::string picturePath, const OutputFiles& outputs);
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // After rendering: settles the meters, plays the script, writes the pictures.
  void finish();

 private:
  void run(const EditorCommand& command);
  void save(const std::string& path, const std::string& where);

  const LumivaneHeadlessEditorApi* api = nullptr;
  LumivaneEditorSession* session = nullptr;
  EditorScript script;
  std::string picturePath;
  const OutputFiles& outputs;
};
