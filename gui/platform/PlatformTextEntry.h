#pragma once

#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {

class PlatformTextEntry;

// What a one-line text entry box shows when it opens (the "EDIT" child window of CTextEdit).
// The font and the brush belong to the opener, which deletes them after the box is destroyed.
struct TextEntryRequest {
  CViewRect rect;                      // in the client coordinates of the frame's window
  const char* text = "";               // initial content, all of it selected
  int32_t alignment = 1;               // 0 left, 1 centre, 2 right (ES_LEFT, ES_CENTER, ES_RIGHT)
  PlatformFont* font = nullptr;        // WM_SETFONT; null: the system's font
  PlatformColor fontColor = 0xFFFFFF;  // text colour (WM_CTLCOLOREDIT: SetTextColor)
  PlatformColor backColor = 0;         // background (WM_CTLCOLOREDIT: SetBkColor)
  PlatformBrush* brush = nullptr;      // WM_CTLCOLOREDIT's answer: the background brush
  int32_t maxLength = 255;             // EM_LIMITTEXT
};

// Told when the user is done with the box: Enter, or the box lost the keyboard focus (a press
// elsewhere). The listener normally reads the text and destroys the box from inside this call.
// On the raster backend Escape first puts the initial text back, then finishes the same way.
class TextEntryListener {
 public:
  virtual ~TextEntryListener() = default;
  virtual void textEntryFinished(PlatformTextEntry* entry) = 0;
};

// A one-line text entry box over the frame's window: on Win32 an "EDIT" child window with its
// own font and brush; on the raster backend the backend edits and draws it itself (typing,
// Backspace, Delete, Left, Right, Home, End, Enter, Escape; at most maxLength characters).
class PlatformTextEntry {
 public:
  virtual ~PlatformTextEntry() = default;
  // GetWindowTextA: copies at most size - 1 characters and a NUL; returns the length copied.
  virtual int32_t getText(char* buffer, int32_t size) = 0;
  // DestroyWindow(box): closes the box (when its window still exists) and frees this object.
  // Destroying does not call the listener, even though the box loses the keyboard focus.
  virtual void destroy() = 0;
};

}  // namespace platform
}  // namespace gui
