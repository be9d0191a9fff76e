#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gui/VirtualKeys.h"
#include "gui/controls/CTextEdit.h"
#include "gui/platform/raster/RasterClock.h"
#include "gui/platform/raster/RasterTextEntry.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CViewPoint;
using gui::CViewRect;
using ::testing::_;
using ::testing::InSequence;
using ::testing::Return;

constexpr int32_t kTag = 7;
const CViewRect kFieldRect(114, 64, 162, 88);
const CViewPoint kInside(130, 76);

void plain(float value, char* text) { std::snprintf(text, 256, "%.2f", value); }

std::string textOf(const gui::CTextEdit& field) {
  char text[256];
  field.getText(text);
  return text;
}

// One of the editor's value fields (font 4, green on black, transparent, two decimals) in a
// frame; the listener records the text each valueChanged finds in the field.
class TextEntry : public FrameFixture {
 protected:
  TextEntry() {
    field->setFont(4);
    field->setFontColor(gui::CRgbColor(0, 255, 0, 255));
    field->setBackColor(gui::CRgbColor(0, 0, 0, 255));
    field->setTransparency(true);
    field->setValueFormatter(plain);
    field->setValue(0.5f);
    ON_CALL(listener, valueChanged(_, _)).WillByDefault([this](auto, gui::CControl* control) {
      received.push_back(textOf(*static_cast<gui::CTextEdit*>(control)));
    });
  }
  gui::raster::RasterTextEntry* entry() {
    return static_cast<gui::raster::RasterTextEntry*>(window().getTextEntry());
  }
  void key(uint8_t virt) {
    gui::KeyEvent code = virtualKey(virt);
    window().keyDown(code);
  }
  void open() {
    window().press(kInside);
    ASSERT_NE(entry(), nullptr);
  }

  ::testing::NiceMock<MockListener> listener;
  gui::CTextEdit* field = add(new gui::CTextEdit(kFieldRect, &listener, kTag));
  std::vector<std::string> received;
};

TEST_F(TextEntry, ClickOpensABoxOverTheFieldWithItsTextSelected) {
  EXPECT_CALL(editor, beginEdit(kTag));
  EXPECT_CALL(editor, endEdit(_)).Times(0);
  open();
  EXPECT_EQ(entry()->getContent(), "0.50");
  EXPECT_EQ(entry()->getSelectionStart(), 0u);
  EXPECT_EQ(entry()->getSelectionEnd(), 4u);
  EXPECT_TRUE(entry()->contains(CViewPoint(kFieldRect.left, kFieldRect.top)));
  EXPECT_TRUE(entry()->contains(CViewPoint(kFieldRect.right - 1, kFieldRect.bottom - 1)));
  EXPECT_FALSE(entry()->contains(CViewPoint(kFieldRect.left - 1, kFieldRect.top)));
  EXPECT_FALSE(entry()->contains(CViewPoint(kFieldRect.right, kFieldRect.bottom)));
  EXPECT_TRUE(field->isEditing());
  EXPECT_EQ(frame->getFocusView(), field);
}

TEST_F(TextEntry, EnterAfterTypingHandsTheTextOverOnce) {
  {
    InSequence order;
    EXPECT_CALL(editor, beginEdit(kTag));
    EXPECT_CALL(listener, valueChanged(_, field));
    EXPECT_CALL(editor, endEdit(kTag));
  }
  open();
  window().typeText("250");
  key(gui::kVirtualKeyReturn);
  EXPECT_EQ(received, std::vector<std::string>{"250"});
  EXPECT_EQ(window().getTextEntry(), nullptr);
  EXPECT_FALSE(field->isEditing());
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(TextEntry, EnterWithoutAChangeReportsNothing) {
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  EXPECT_CALL(editor, endEdit(kTag)).Times(1);
  open();
  key(gui::kVirtualKeyEnter);
  EXPECT_EQ(window().getTextEntry(), nullptr);
  EXPECT_EQ(textOf(*field), "0.50");
}

TEST_F(TextEntry, EscapeCancelsAndKeepsTheOldText) {
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  EXPECT_CALL(editor, endEdit(kTag)).Times(1);
  open();
  window().typeText("9");
  key(gui::kVirtualKeyEscape);
  EXPECT_EQ(window().getTextEntry(), nullptr);
  EXPECT_EQ(textOf(*field), "0.50");
}

TEST_F(TextEntry, TextThatIsNotANumberIsHandedOverAsTyped) {
  open();
  window().typeText("abc -x");
  key(gui::kVirtualKeyReturn);
  EXPECT_EQ(received, std::vector<std::string>{"abc -x"});
}

TEST_F(TextEntry, ThreeHundredCharactersAreBoundedAt255) {
  open();
  window().typeText(std::string(300, '7').c_str());
  key(gui::kVirtualKeyReturn);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], std::string(255, '7'));
}

TEST_F(TextEntry, EditingKeysWorkInsideTheBox) {
  open();
  window().typeText("123");
  key(gui::kVirtualKeyLeft);
  key(gui::kVirtualKeyLeft);
  key(gui::kVirtualKeyBack);    // removes the 1
  key(gui::kVirtualKeyDelete);  // removes the 2
  window().typeText("9");
  key(gui::kVirtualKeyRight);
  window().typeText("4");
  key(gui::kVirtualKeyReturn);
  EXPECT_EQ(received, std::vector<std::string>{"934"});
}

TEST_F(TextEntry, PressElsewhereClosesTheBoxAndTakesTheText) {
  EXPECT_CALL(editor, endEdit(kTag)).Times(1);
  open();
  window().typeText("0.7");
  window().press(CViewPoint(5, 5));
  EXPECT_EQ(window().getTextEntry(), nullptr);
  EXPECT_EQ(received, std::vector<std::string>{"0.7"});
}

TEST_F(TextEntry, PressInsideTheOpenBoxStaysWithIt) {
  EXPECT_CALL(editor, beginEdit(kTag)).Times(1);
  open();
  window().press(kInside);
  EXPECT_NE(window().getTextEntry(), nullptr);
  EXPECT_TRUE(received.empty());
}

TEST_F(TextEntry, RightClickOnAnIdleFieldDoesNothing) {
  EXPECT_CALL(editor, beginEdit(_)).Times(0);
  window().press(kInside, gui::kRightButton);
  EXPECT_EQ(window().getTextEntry(), nullptr);
}

TEST_F(TextEntry, ModifierClickOpensUnlessTheListenerTakesIt) {
  EXPECT_CALL(listener, modifierClick(_, field, gui::kLeftButton | gui::kShift))
      .WillOnce(Return(1))
      .WillOnce(Return(0));
  window().press(kInside, gui::kLeftButton | gui::kShift);
  EXPECT_EQ(window().getTextEntry(), nullptr);
  window().press(kInside, gui::kLeftButton | gui::kShift);
  EXPECT_NE(window().getTextEntry(), nullptr);
}

TEST_F(TextEntry, KeysAndPressesWithNoOpenBoxChangeNothing) {
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  EXPECT_CALL(editor, beginEdit(_)).Times(0);
  gui::KeyEvent enter = virtualKey(gui::kVirtualKeyReturn);
  EXPECT_EQ(window().keyDown(enter), -1);
  window().typeText("12");
  window().press(CViewPoint(5, 5));
  EXPECT_EQ(window().getTextEntry(), nullptr);
  EXPECT_EQ(field->getValue(), 0.5f);
}

TEST_F(TextEntry, DoubleClickStyleNeedsTwoQuickClicks) {
  field->setStyle(gui::CParamDisplay::kDoubleClickStyle);
  window().press(kInside);
  EXPECT_EQ(window().getTextEntry(), nullptr);
  gui::raster::RasterClock::advance(100);
  window().press(kInside);
  EXPECT_NE(window().getTextEntry(), nullptr);
}

TEST_F(TextEntry, TheBoxShowsTheValueSetSinceTheLastDraw) {
  field->setValue(0.25f);
  open();
  EXPECT_EQ(entry()->getContent(), "0.25");
}

TEST_F(TextEntry, FieldDoesNotDrawItselfUnderTheOpenBox) {
  open();
  field->setDirty(true);
  Canvas canvas(frame, FrameFixture::kWidth, FrameFixture::kHeight, 0x0000FF);
  field->draw(canvas.context());
  EXPECT_FALSE(field->isDirty());
  for (int32_t x = kFieldRect.left; x < kFieldRect.right; x += 3) {
    EXPECT_EQ(canvas.at(x, 76), 0x0000FFu) << x;
  }
}

TEST_F(TextEntry, FocusGivenByTabAndTakenAwayReportsNoGesture) {
  EXPECT_CALL(editor, beginEdit(_)).Times(0);
  EXPECT_CALL(editor, endEdit(_)).Times(0);
  gui::KeyEvent tab = virtualKey(gui::kVirtualKeyTab);
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->getFocusView(), field);
  EXPECT_EQ(window().getTextEntry(), nullptr) << "focus alone opens no box";
  window().press(CViewPoint(5, 5));
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(TextEntry, FrameClosedWhileTypingFreesTheBoxWithoutReporting) {
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  open();
  window().typeText("42");
  frame->dropReference();
  frame = nullptr;
}

TEST(TextEditText, SetTextIsBoundedAndMarksChanges) {
  gui::CTextEdit field(CViewRect(0, 0, 48, 24), nullptr, 0, std::string(400, 'a').c_str());
  EXPECT_EQ(textOf(field), std::string(255, 'a')) << "the constructor's text is bounded too";
  field.setDirty(false);
  field.setText(std::string(300, 'a').c_str());
  EXPECT_FALSE(field.isDirty()) << "the same text after bounding";
  field.setText("12");
  EXPECT_TRUE(field.isDirty());
  EXPECT_EQ(textOf(field), "12");
  field.setDirty(false);
  field.setText(nullptr);
  EXPECT_EQ(textOf(field), "");
  EXPECT_TRUE(field.isDirty());
  field.setDirty(false);
  field.setText(nullptr);
  EXPECT_FALSE(field.isDirty());
  field.getText(nullptr);
}

TEST(TextEditText, TextFiltersDecideWhatIsShown) {
  gui::CTextEdit field(CViewRect(0, 0, 48, 24), nullptr, 0, "abc");
  field.setValueFormatter(plain);
  field.setTextFilter([](const char* in, char* out) { std::snprintf(out, 256, "[%s]", in); });
  field.draw(nullptr);
  EXPECT_EQ(textOf(field), "abc") << "a text filter leaves the stored text alone";
}

}  // namespace
}  // namespace controls_test

namespace controls_test {
namespace {

TEST_F(TextEntry, BoxIsDrawnOverTheFieldInItsColours) {
  window().paint(CViewRect(0, 0, kWidth, kHeight));
  open();
  const gui::raster::RasterImageCopy screen = window().screenshot();
  EXPECT_EQ(toRgb(screen.colorAt(kFieldRect.left + 1, kFieldRect.top + 1)), 0x000000u)
      << "the field's background colour";
  int32_t greenish = 0;
  for (int32_t y = kFieldRect.top; y < kFieldRect.bottom; ++y) {
    for (int32_t x = kFieldRect.left; x < kFieldRect.right; ++x) {
      const uint32_t rgb = toRgb(screen.colorAt(x, y));
      if (((rgb >> 8) & 0xFF) > 0x60 && (rgb >> 16) < 0x60 && (rgb & 0xFF) < 0x60) ++greenish;
    }
  }
  EXPECT_GT(greenish, 5) << "the text in the field's font colour";
}

}  // namespace
}  // namespace controls_test
