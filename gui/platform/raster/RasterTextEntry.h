#pragma once

#include <cstddef>
#include <string>

#include "gui/KeyEvent.h"
#include "gui/platform/PlatformTextEntry.h"

namespace gui {
namespace platform {
struct PlatformImage;
struct WindowRecord;
}  // namespace platform

namespace raster {

// The raster backend's one-line text entry box: it edits its text itself (typing replaces the
// selection; Backspace, Delete, Left, Right, Home, End; Enter finishes; Escape puts the initial
// text back and finishes) and is drawn over the frame's window in screenshots, and by a native
// window (X11) over what it shows. If its window is destroyed while it is open, the object stays
// valid (reachable) until its owner destroys it.
class RasterTextEntry final : public platform::PlatformTextEntry {
 public:
  RasterTextEntry(platform::WindowRecord* window, const platform::TextEntryRequest& request,
                  platform::TextEntryListener* listener);
  ~RasterTextEntry() override;

  int32_t getText(char* buffer, int32_t size) override;
  void destroy() override;

  // A key while the box has the focus: always consumed.
  void handleKey(const KeyEvent& key);
  // A press inside the box moves the caret there.
  void handlePress(const CViewPoint& where);
  bool contains(const CViewPoint& where) const;
  // The box's rectangle in the window's client coordinates.
  const CViewRect& getRect() const { return rect; }
  // The box loses the keyboard focus (a press elsewhere): the listener is told.
  void loseFocus();
  // The window is gone: the box is closed, the object waits for destroy().
  void windowGone();
  // Draws the box onto an image of the window's client area.
  void render(platform::PlatformImage& image) const;

  const std::string& getContent() const { return text; }
  size_t getSelectionStart() const;
  size_t getSelectionEnd() const;

 private:
  void finish();
  void replaceSelection(const std::string& insertion);
  void eraseSelectionOr(int direction);
  void moveCaret(size_t position);
  int32_t textOffsetX() const;

  platform::WindowRecord* window = nullptr;
  platform::TextEntryListener* listener = nullptr;
  CViewRect rect;
  std::string text;
  std::string initialText;
  int32_t alignment = 1;
  int32_t maxLength = 255;
  platform::PlatformColor fontColor = 0xFFFFFF;
  platform::PlatformColor backColor = 0;
  platform::PlatformFont* font = nullptr;
  size_t caret = 0;
  size_t anchor = 0;
};

}  // namespace raster
}  // namespace gui
