#pragma once

// The host's side of an open editor: a top-level window at a known place on the screen whose
// client area the editor's window fills, and the host's message loop, which dispatches the
// thread's messages and sends effEditIdle at a host's pace (every 20 ms).

#include <windows.h>

#include <functional>

class PluginInstance;

class HostWindow {
 public:
  // A borderless top-level window with its client area at (x, y) on the screen.
  HostWindow(int x, int y, int width, int height);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND handle() const { return window; }
  // The editor's window inside this one, or null.
  HWND editorWindow() const;
  // A point of the client area in screen coordinates.
  POINT toScreen(int x, int y) const;

  // Opens the plug-in's editor in this window (effEditOpen) and pumps until its window has
  // painted; true when effEditOpen answered 1.
  bool openEditor(PluginInstance& plugin);

 private:
  HWND window = nullptr;
};

// The host's message loop for `milliseconds`, with effEditIdle to each plug-in given (may be
// null) every 20 ms.
void pumpMessages(int milliseconds, PluginInstance* plugin = nullptr,
                  PluginInstance* secondPlugin = nullptr);
// Pumps until `done` answers true or `milliseconds` have passed; answers `done`'s last answer.
bool pumpUntil(const std::function<bool()>& done, int milliseconds, PluginInstance* plugin);
