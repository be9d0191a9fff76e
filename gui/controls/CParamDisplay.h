#pragma once

#include <cstdint>

#include "gui/CRgbColor.h"
#include "gui/controls/CControl.h"

namespace gui {

// A control's value as one line of text in its rectangle, with its own font, colours, alignment
// and optional border. The text comes from a value-to-text conversion (with user data first),
// else "%2.2f". Conversions write into a buffer of kTextSize bytes.
class CParamDisplay : public CControl {
 public:
  using ValueToText = void (*)(float value, char* text);
  using ValueToTextWithData = void (*)(float value, char* text, void* userData);
  using IndexedValueToText = void (*)(int32_t index, float value, char* text);

  // Bytes of every text buffer, the NUL included.
  static constexpr int32_t kTextSize = 256;

  // Style bits.
  enum : int32_t {
    kShadowText = 0x4,
    kSunkenFrame = 0x80,
    kRaisedFrame = 0x100,
    kNoTextStyle = 0x800,
    kNoDrawStyle = 0x1000,
    kDoubleClickStyle = 0x2000,
    kNoFrame = 0x4000,
  };

  // No listener, tag 0. With kNoDrawStyle the view starts clean.
  CParamDisplay(const CViewRect& size, CBitmap* background = nullptr, int32_t style = 0);
  ~CParamDisplay() override;

  void draw(CDrawContext* context) override;
  // "CParamDisplay", "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  // Each setter marks the view dirty when the new value differs, then stores it.
  virtual void setFont(int32_t fontId);
  virtual void setFontColor(const CRgbColor& color);
  virtual void setBackColor(const CRgbColor& color);
  virtual void setFrameColor(const CRgbColor& color);
  virtual void setShadowColor(const CRgbColor& color);
  // 0 left, 1 centre, 2 right (TextAlign).
  virtual void setTextAlignment(int32_t alignment);
  // These store only.
  virtual void setValueFormatter(ValueToText conversion);
  virtual void setValueFormatterWithData(ValueToTextWithData conversion, void* data);
  virtual void setIndexedFormatter(IndexedValueToText conversion);
  virtual void setStyle(int32_t newStyle);
  // Font style bits (kBoldFace, kItalicFace, kUnderlineFace).
  virtual void setTextStyle(int32_t face);
  virtual void setTextTransparent(bool state);

  // Background (bitmap, or fill and outline), border and the text, as the style asks; clean.
  void drawText(CDrawContext* context, const char* text, CBitmap* bitmap = nullptr);
  CRgbColor getFontColor() const { return fontColor; }
  CRgbColor getBackColor() const { return backColor; }
  CRgbColor getFrameColor() const { return frameColor; }
  CRgbColor getShadowColor() const { return shadowColor; }
  int32_t getFont() const { return fontId; }
  int32_t getTextAlignment() const { return alignment; }
  int32_t getStyle() const { return style; }
  int32_t getTextStyle() const { return textFace; }
  bool getTextTransparent() const { return textTransparent; }

 protected:
  // The text of `number` by the value conversions (user data first), or "%2.2f" without one.
  void formatValue(float number, char* text) const;
  bool hasValueConversion() const;
  void drawBackground(CDrawContext* context, CBitmap* bitmap);
  void drawBorder(CDrawContext* context);
  void drawLabel(CDrawContext* context, const char* text);

  ValueToText valueToText = nullptr;
  ValueToTextWithData valueToTextWithData = nullptr;
  IndexedValueToText indexedValueToText = nullptr;
  void* userData = nullptr;
  int32_t alignment = 1;
  int32_t style = 0;
  int32_t fontId = 3;
  int32_t textFace = 0;
  CRgbColor fontColor{255, 255, 255, 255};
  CRgbColor backColor{0, 0, 0, 255};
  CRgbColor frameColor{0, 0, 0, 255};
  CRgbColor shadowColor{255, 0, 0, 255};
  bool textTransparent = true;
};

}  // namespace gui
