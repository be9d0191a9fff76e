#pragma once

#include <string>

#include "gui/platform/PlatformTextEntry.h"
#include "gui/platform/win32/Win32Handles.h"

namespace gui {
namespace platform {
namespace win32 {

// The text field's entry box: a native "EDIT" child of the frame's window, subclassed so that
// Enter and the loss of the keyboard focus finish the entry (the listener is told), Escape puts
// the first text back and finishes, and every key reaches the box. Its colours answer the
// parent's WM_CTLCOLOREDIT. One box is open at a time in the process.
//
// The box may end before its owner destroys it: a window destroyed with its parent (the frame's
// window goes before the frame's views) leaves this object reachable, with the last text, until
// destroy().
class Win32TextEntry final : public PlatformTextEntry {
 public:
  static Win32TextEntry* open(HWND parent, const TextEntryRequest& request,
                              TextEntryListener* listener);

  int32_t getText(char* buffer, int32_t size) override;
  void destroy() override;

  // WM_CTLCOLOREDIT of a parent: true, with the brush as the message's result, when `box` is the
  // open entry box.
  static bool answerColors(HWND box, HDC device, LRESULT& brush);
  // The parent window is going: its box reports nothing from now on.
  static void forgetListenersIn(HWND parent);

 private:
  Win32TextEntry(const TextEntryRequest& request, TextEntryListener* listener);
  ~Win32TextEntry() override;
  static LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void finish();
  void cancel();
  void keepText();
  void windowGone();

  HWND box = nullptr;
  HWND parent = nullptr;
  WNDPROC previousProcedure = nullptr;
  TextEntryListener* listener = nullptr;
  PlatformColor fontColor;
  PlatformColor backColor;
  HBRUSH brush;
  std::string initialText;
  std::string lastText;  // the text when the window went, for a box that outlives its window
};

}  // namespace win32
}  // namespace platform
}  // namespace gui
