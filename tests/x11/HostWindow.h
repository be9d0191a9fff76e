#pragma once

// The host's side of an open editor on X11: a top-level window at a known place on the screen,
// on the host's own connection to the display, whose area the editor's window fills; and the
// host's idle loop, which reads the host's own events and sends effEditIdle at a host's pace
// (every 20 ms).

#include <X11/Xlib.h>

#include <functional>

#include "tests/x11/ScreenImage.h"

class PluginInstance;

class HostWindow {
 public:
  // The host's connection, opened once for the process; null without a display.
  static Display* display();

  // A top-level window at (x, y) on the screen, mapped.
  HostWindow(int x, int y, int width, int height);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  Window handle() const { return window; }
  // The windows inside this one (the editor's), as the server knows them.
  int childCount() const;
  Window editorWindow() const;
  // A point of the window in screen coordinates.
  int screenX(int x) const { return left + x; }
  int screenY(int y) const { return top + y; }

  // Opens the plug-in's editor in this window (effEditOpen with the window id) and idles it
  // until its window has painted; true when effEditOpen answered 1.
  bool openEditor(PluginInstance& plugin);
  // What the window shows.
  ScreenImage capture() const;
  // The host destroys its window before it closes the editor.
  void destroy();

 private:
  Window window = None;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The host's loop for `milliseconds`, with effEditIdle to each plug-in given (may be null) every
// 20 ms.
void pumpIdle(int milliseconds, PluginInstance* plugin, PluginInstance* secondPlugin = nullptr);
// Idles until `done` answers true or `milliseconds` have passed; answers `done`'s last answer.
bool pumpUntil(const std::function<bool()>& done, int milliseconds, PluginInstance* plugin);
