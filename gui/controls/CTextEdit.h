#pragma once

#include <cstdint>

#include "gui/controls/CParamDisplay.h"
#include "gui/controls/TextEntryForwarder.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {

namespace platform {
class PlatformTextEntry;
}  // namespace platform

// A text field the user can type into: a left click opens a one-line entry box over the field
// (through the frame), and when the box closes (Enter, or the box losing the keyboard focus) its
// text becomes the field's text and the listener hears valueChanged if the text changed. The
// listener reads the text with getText. While the box is open the field does not draw itself.
class CTextEdit : public CParamDisplay {
 public:
  using TextToText = void (*)(const char* input, char* output);
  using TextToTextWithData = void (*)(const char* input, char* output, void* userData);

  // text and background may be empty. The field is focusable.
  CTextEdit(const CViewRect& size, CControlListener* listener, int32_t tag,
            const char* text = nullptr, CBitmap* background = nullptr, int32_t style = 0);
  // An open entry box is closed without telling the listener.
  ~CTextEdit() override;

  void draw(CDrawContext* context) override;
  // Left click on a field that is not being edited (a double click with kDoubleClickStyle):
  // begins the edit gesture and opens the entry box.
  void onMouseDown(CDrawContext* context, const CViewPoint& where,
                   MouseButtonState buttons) override;
  // Closes the entry box and takes its text; ends the edit gesture.
  void loseFocus(CDrawContext* context) override;
  // Opens the entry box over the field with the field's text all selected.
  void takeFocus(CDrawContext* context) override;
  // "CTextEdit", "CParamDisplay", "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  // Copies at most kTextSize - 1 bytes of text (empty for none); dirty when it changed.
  virtual void setText(const char* newText);
  // Copies the text with its NUL into buffer (at least kTextSize bytes); nothing for none.
  virtual void getText(char* buffer) const;
  virtual void setTextFilter(TextToText conversion);
  virtual void setTextFilterWithData(TextToTextWithData conversion, void* data);

  bool isEditing() const { return editBox != nullptr; }
  const char* getTextPointer() const { return text; }

 private:
  void shownText(char* shown);
  bool readBackText(CDrawContext* context);
  CViewRect rectInFrame(CDrawContext* context) const;
  int32_t entryFontHeight(const CViewRect& rect) const;
  platform::LogicalFont entryFont(int32_t height) const;
  void deleteEntryObjects();
  void closeEntryBox();
  void endGesture();

  platform::PlatformBrush* editBrush = nullptr;
  platform::PlatformTextEntry* editBox = nullptr;
  platform::PlatformFont* editFont = nullptr;
  char text[kTextSize] = {};
  TextToText textToText = nullptr;
  TextToTextWithData textToTextWithData = nullptr;
  TextEntryForwarder entryForwarder{*this};
  bool gestureOpen = false;
};

}  // namespace gui
