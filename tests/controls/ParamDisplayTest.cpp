#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gui/controls/CParamDisplay.h"
#include "gui/controls/CTextEdit.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CParamDisplay;
using gui::CRgbColor;
using gui::CViewRect;

constexpr uint32_t kCanvasColour = 0x0000FF;
const CRgbColor kBack(40, 40, 40, 255);
const CRgbColor kFrameLine(200, 200, 0, 255);
constexpr uint32_t kBackRgb = 0x282828;
constexpr uint32_t kFrameRgb = 0xC8C800;

void percent(float value, char* text) { std::snprintf(text, 256, "%.0f", value * 100.0f); }
void tagged(float value, char* text, void* data) {
  std::snprintf(text, 256, "%s%.1f", static_cast<const char*>(data), value);
}

// The text a display shows for its value, read through the field variant that keeps it.
std::string shownFor(float value, CParamDisplay::ValueToText conversion = nullptr) {
  gui::CTextEdit field(CViewRect(0, 0, 48, 24), nullptr, 0);
  if (conversion != nullptr) field.setValueFormatter(conversion);
  field.setValue(value);
  field.draw(nullptr);
  char text[256];
  field.getText(text);
  return text;
}

TEST(ParamDisplayText, ValueConversionsInOrderOfPrecedence) {
  struct Exposed : CParamDisplay {
    using CParamDisplay::CParamDisplay;
    using CParamDisplay::formatValue;
  };
  Exposed display(CViewRect(0, 0, 48, 24));
  char text[256];
  display.formatValue(0.5f, text);
  EXPECT_STREQ(text, "0.50");
  display.setValueFormatter(percent);
  display.formatValue(0.37f, text);
  EXPECT_STREQ(text, "37");
  char prefix[] = "v=";
  display.setValueFormatterWithData(tagged, prefix);
  display.formatValue(0.25f, text);
  EXPECT_STREQ(text, "v=0.2") << "the conversion with data comes first";
}

TEST(ParamDisplayText, FieldTextFollowsTheValueAtEveryDraw) {
  EXPECT_EQ(shownFor(0.5f), "") << "without a value conversion the field shows its own text";
  EXPECT_EQ(shownFor(0.37f, percent), "37");
  EXPECT_EQ(shownFor(1.0f, percent), "100");
}

TEST(ParamDisplayText, TypeNames) {
  CParamDisplay display(CViewRect(0, 0, 10, 10));
  gui::CTextEdit field(CViewRect(0, 0, 10, 10), nullptr, 0);
  for (const char* name : {"CParamDisplay", "CControl", "CView"}) {
    EXPECT_TRUE(display.isTypeOf(name)) << name;
    EXPECT_TRUE(field.isTypeOf(name)) << name;
  }
  EXPECT_FALSE(display.isTypeOf("CTextEdit"));
  EXPECT_TRUE(field.isTypeOf("CTextEdit"));
}

TEST(ParamDisplaySetters, MarkDirtyOnlyOnChange) {
  CParamDisplay display(CViewRect(0, 0, 48, 24));
  display.setDirty(false);
  display.setFontColor(display.getFontColor());
  display.setBackColor(display.getBackColor());
  display.setFont(display.getFont());
  display.setTextAlignment(display.getTextAlignment());
  EXPECT_FALSE(display.isDirty());
  display.setFontColor(CRgbColor(255, 255, 255, 254));  // alpha alone differs
  EXPECT_TRUE(display.isDirty());
  display.setDirty(false);
  display.setTextAlignment(gui::kRightText);
  EXPECT_TRUE(display.isDirty());
  EXPECT_EQ(display.getTextAlignment(), gui::kRightText);
}

TEST(ParamDisplaySetters, NoDrawStyleStartsClean) {
  CParamDisplay display(CViewRect(0, 0, 48, 24), nullptr, CParamDisplay::kNoDrawStyle);
  EXPECT_FALSE(display.isDirty());
  EXPECT_EQ(display.getOldValue(), display.getValue());
}

class ParamDisplayDrawing : public FrameFixture {
 protected:
  CParamDisplay* makeDisplay(int32_t style) {
    auto* display = add(new CParamDisplay(CViewRect(10, 10, 58, 34), nullptr, style));
    display->setBackColor(kBack);
    display->setFrameColor(kFrameLine);
    display->setFontColor(CRgbColor(0, 255, 0, 255));
    display->setFont(4);
    display->setValue(0.5f);
    return display;
  }
  bool hasGreenText(const Canvas& canvas) {
    for (int32_t y = 11; y < 33; ++y) {
      for (int32_t x = 11; x < 57; ++x) {
        const uint32_t rgb = canvas.at(x, y);
        if (((rgb >> 8) & 0xFF) > 0x80 && (rgb >> 16) < 0x60) return true;
      }
    }
    return false;
  }
};

TEST_F(ParamDisplayDrawing, OpaqueFieldIsFilledAndOutlined) {
  CParamDisplay* display = makeDisplay(0);
  Canvas canvas(frame, 80, 50, kCanvasColour);
  display->draw(canvas.context());
  EXPECT_EQ(canvas.at(12, 12), kBackRgb);
  EXPECT_EQ(canvas.at(10, 20), kFrameRgb) << "left edge";
  EXPECT_EQ(canvas.at(57, 20), kFrameRgb) << "right edge";
  EXPECT_EQ(canvas.at(30, 10), kFrameRgb) << "top edge";
  EXPECT_EQ(canvas.at(30, 33), kFrameRgb) << "bottom edge";
  EXPECT_EQ(canvas.at(58, 20), kCanvasColour) << "nothing outside the field";
  EXPECT_TRUE(hasGreenText(canvas));
  EXPECT_FALSE(display->isDirty());
}

TEST_F(ParamDisplayDrawing, TransparentFieldDrawsOnlyItsText) {
  CParamDisplay* display = makeDisplay(0);
  display->setTransparency(true);
  Canvas canvas(frame, 80, 50, kCanvasColour);
  display->draw(canvas.context());
  EXPECT_EQ(canvas.at(12, 12), kCanvasColour);
  EXPECT_EQ(canvas.at(10, 20), kCanvasColour);
  EXPECT_TRUE(hasGreenText(canvas));
}

TEST_F(ParamDisplayDrawing, NoTextAndNoDrawStyles) {
  Canvas canvas(frame, 80, 50, kCanvasColour);
  makeDisplay(CParamDisplay::kNoTextStyle)->draw(canvas.context());
  EXPECT_EQ(canvas.at(12, 12), kBackRgb);
  EXPECT_FALSE(hasGreenText(canvas));

  Canvas untouched(frame, 80, 50, kCanvasColour);
  CParamDisplay* hidden = makeDisplay(CParamDisplay::kNoDrawStyle);
  hidden->setDirty(true);
  hidden->draw(untouched.context());
  EXPECT_EQ(untouched.at(12, 12), kCanvasColour);
  EXPECT_EQ(untouched.at(10, 20), kCanvasColour);
  EXPECT_FALSE(hidden->isDirty());
}

TEST_F(ParamDisplayDrawing, SunkenBorderIsLightBelowAndRight) {
  CParamDisplay* display = makeDisplay(CParamDisplay::kSunkenFrame | CParamDisplay::kNoTextStyle);
  Canvas canvas(frame, 80, 50, kCanvasColour);
  display->draw(canvas.context());
  EXPECT_EQ(canvas.at(10, 20), kBackRgb) << "left line in the background colour";
  EXPECT_EQ(canvas.at(30, 11), kBackRgb) << "top line";
  EXPECT_EQ(canvas.at(57, 20), kFrameRgb) << "right line in the frame colour";
  EXPECT_EQ(canvas.at(30, 33), kFrameRgb) << "bottom line";
}

TEST_F(ParamDisplayDrawing, RaisedBorderSwapsTheColours) {
  CParamDisplay* display = makeDisplay(CParamDisplay::kRaisedFrame | CParamDisplay::kNoTextStyle);
  Canvas canvas(frame, 80, 50, kCanvasColour);
  display->draw(canvas.context());
  EXPECT_EQ(canvas.at(10, 20), kFrameRgb);
  EXPECT_EQ(canvas.at(57, 20), kBackRgb);
}

TEST_F(ParamDisplayDrawing, UnterminatedConversionCannotOverrunTheText) {
  CParamDisplay* display = makeDisplay(0);
  display->setValueFormatter([](float, char* text) { std::memset(text, '7', 256); });
  Canvas canvas(frame, 80, 50, kCanvasColour);
  display->draw(canvas.context());  // AddressSanitizer watches the read
  EXPECT_TRUE(hasGreenText(canvas));
}

}  // namespace
}  // namespace controls_test
