// The Lumivane editor driven end to end through its headless window, as a user and a host drive
// it: knobs and fields set parameters and tell the host, host values move both controls, the
// display feed reaches the meters and the goniometer, and the window opens and closes cleanly.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "editor/CGoniometer.h"
#include "editor/EditorLayout.h"
#include "editor/HeldReference.h"
#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "gui/VirtualKeys.h"
#include "gui/controls/CAnimKnob.h"
#include "gui/controls/CTextEdit.h"
#include "gui/controls/CVuMeter.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/WindowRecord.h"
#include "tests/editor/EditorSessionFixture.h"

namespace {

namespace layout = editor_layout;
using Call = RecordingHost::Call;

std::string fieldText(gui::CTextEdit* field) {
  char text[gui::CParamDisplay::kTextSize];
  field->getText(text);
  return text;
}

// True when the screen shows exactly the image over the rectangle.
bool showsImage(gui::raster::HeadlessWindow* window, const gui::CViewRect& rect, int imageId) {
  HeldReference<gui::CBitmap> image(new gui::CBitmap(imageId));
  gui::COffscreenContext copy(nullptr, image.get(), false);
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x)
      if (window->screenColorAt(x, y) != copy.getImage()->colorAt(x - rect.left, y - rect.top))
        return false;
  return true;
}

using LumivaneEditorWindow = EditorSessionFixture;

TEST_F(LumivaneEditorWindow, OpensWithEveryControlAtTheEffectsValues) {
  for (int i = 0; i < layout::kParameterCount; ++i) {
    EXPECT_FLOAT_EQ(controls().knobs[i]->getValue(), parameter(i));
    EXPECT_FLOAT_EQ(controls().textFields[i]->getValue(), parameter(i));
    EXPECT_EQ(controls().knobs[i]->getTag(), i + 1);
    EXPECT_EQ(controls().textFields[i]->getTag(), i + 7);
  }
  EXPECT_FLOAT_EQ(controls().leftPeakMeter->getValue(), 0.0f);
  EXPECT_FLOAT_EQ(controls().correlationMeter->getValue(), 1.0f);
  EXPECT_TRUE(editor().isOpen());
  ASSERT_TRUE(session->idle(1));
  // Default program: PreDelay 0 shows two decimals, the others whole percentages.
  const char* shown[] = {"0.00", "50", "100", "0", "100", "100"};
  for (int i = 0; i < layout::kParameterCount; ++i)
    EXPECT_EQ(fieldText(controls().textFields[i]), shown[i]);
}

TEST_F(LumivaneEditorWindow, DraggingKnobSixIsOneGestureOnParameterFive) {
  session->idle(1);
  const gui::CViewRect knob = layout::kKnobRects[5];
  // Across the upper half, from left to right: circular mode follows the pointer's angle, from
  // about 144 degrees (0.30) over the top to 36 degrees (0.70).
  ASSERT_TRUE(
      session->drag(knob.left + 4, knob.top + 12, knob.right - 4, knob.top + 12, gui::kLeftButton));
  const std::vector<Call> gestures = RecordingHost::gestures();
  ASSERT_GE(gestures.size(), 3u);
  EXPECT_EQ(gestures.front(), (Call{audioMasterBeginEdit, 5, 0.0f}));
  EXPECT_EQ(gestures.back(), (Call{audioMasterEndEdit, 5, 0.0f}));
  for (std::size_t i = 1; i + 1 < gestures.size(); ++i) {
    EXPECT_EQ(gestures[i].opcode, audioMasterAutomate);
    EXPECT_EQ(gestures[i].index, 5);
  }
  EXPECT_NEAR(parameter(5), 0.7017f, 0.005f);
  // The drag loop kept the host's idle time flowing.
  EXPECT_FALSE(RecordingHost::callsOf({audioMasterIdle}).empty());
  EXPECT_FLOAT_EQ(gestures[gestures.size() - 2].value, parameter(5));
  session->idle(1);
  EXPECT_EQ(fieldText(controls().textFields[5]),
            std::to_string(std::lround(parameter(5) * 100.0f)));
}

TEST_F(LumivaneEditorWindow, ControlClickResetsAKnobToTheMiddle) {
  ASSERT_TRUE(session->press(centreOf(layout::kKnobRects[0]).x, centreOf(layout::kKnobRects[0]).y,
                             gui::kLeftButton | gui::kControl));
  EXPECT_FLOAT_EQ(parameter(0), 0.5f);
  const std::vector<Call> expected = {{audioMasterBeginEdit, 0, 0.0f},
                                      {audioMasterAutomate, 0, 0.5f},
                                      {audioMasterEndEdit, 0, 0.0f}};
  EXPECT_EQ(RecordingHost::gestures(), expected);
}

TEST_F(LumivaneEditorWindow, WheelAndArrowKeysStepAKnob) {
  const gui::CViewPoint knob = centreOf(layout::kKnobRects[1]);
  ASSERT_TRUE(session->wheel(knob.x, knob.y, 1.0f));
  EXPECT_NEAR(parameter(1), 0.6f, 1e-6f);
  ASSERT_TRUE(session->wheel(knob.x, knob.y, -3.0f));
  EXPECT_NEAR(parameter(1), 0.3f, 1e-6f);
  // The wheel gesture left the knob with the focus: arrows step it, Tab moves on to the next.
  pressKey(gui::kVirtualKeyUp);
  EXPECT_NEAR(parameter(1), 0.4f, 1e-6f);
  pressKey(gui::kVirtualKeyUp, gui::kModifierShift);
  EXPECT_NEAR(parameter(1), 0.41f, 1e-6f);
  pressKey(gui::kVirtualKeyTab);
  pressKey(gui::kVirtualKeyDown);
  EXPECT_NEAR(parameter(2), 0.9f, 1e-6f);
  EXPECT_NEAR(parameter(1), 0.41f, 1e-6f);
  EXPECT_EQ(RecordingHost::callsOf({audioMasterBeginEdit}).size(), 5u);
  EXPECT_EQ(RecordingHost::callsOf({audioMasterEndEdit}).size(), 5u);
}

struct Typing {
  int field;
  const char* typed;
  float parameter;
  const char* shown;
};

// What the user types, what the parameter becomes, and what the field shows afterwards.
const Typing kTyping[] = {
    {3, "250", 1.0f, "100"},   {3, "42", 0.42f, "42"}, {0, "-3", 0.0f, "0.00"},
    {0, "0.7", 0.7f, "0.70"},  {0, "2", 1.0f, "1.00"}, {4, "abc", 0.0f, "0"},
    {2, "12.6", 0.126f, "13"},
};

TEST_F(LumivaneEditorWindow, TypingIntoAFieldSetsItsParameter) {
  for (const Typing& typing : kTyping) {
    SCOPED_TRACE(typing.typed);
    setByHost(typing.field, 0.55f);
    session->idle(1);
    RecordingHost::clear();
    pressAt(centreOf(layout::kFieldRects[typing.field]));
    ASSERT_TRUE(session->type(typing.typed));
    pressKey(gui::kVirtualKeyReturn);
    EXPECT_NEAR(parameter(typing.field), typing.parameter, 1e-6f);
    EXPECT_FLOAT_EQ(controls().knobs[typing.field]->getValue(), parameter(typing.field));
    session->idle(1);
    EXPECT_EQ(fieldText(controls().textFields[typing.field]), typing.shown);
    // The field's gesture, as the host records it: begin edit at the click, the automation of the
    // typed value, end edit as the box closes.
    const float value = parameter(typing.field);
    EXPECT_EQ(RecordingHost::gestures(),
              (std::vector<Call>{{audioMasterBeginEdit, typing.field, 0.0f},
                                 {audioMasterAutomate, typing.field, value},
                                 {audioMasterEndEdit, typing.field, 0.0f}}));
  }
}

TEST_F(LumivaneEditorWindow, ClearingAFieldReadsAsZero) {
  setByHost(1, 0.5f);
  pressAt(centreOf(layout::kFieldRects[1]));
  pressKey(gui::kVirtualKeyBack);  // the whole text is selected when the box opens
  pressKey(gui::kVirtualKeyReturn);
  EXPECT_FLOAT_EQ(parameter(1), 0.0f);
}

TEST_F(LumivaneEditorWindow, AVeryLongTextIsCutAtTheFieldsLimit) {
  pressAt(centreOf(layout::kFieldRects[3]));
  ASSERT_TRUE(session->type(std::string(300, '9').c_str()));
  pressKey(gui::kVirtualKeyReturn);
  EXPECT_FLOAT_EQ(parameter(3), 1.0f);
  session->idle(1);
  EXPECT_EQ(fieldText(controls().textFields[3]), "100");
}

TEST_F(LumivaneEditorWindow, EscapeLeavesTheParameterAlone) {
  setByHost(2, 0.25f);
  pressAt(centreOf(layout::kFieldRects[2]));
  ASSERT_TRUE(session->type("90"));
  pressKey(gui::kVirtualKeyEscape);
  EXPECT_FLOAT_EQ(parameter(2), 0.25f);
  EXPECT_TRUE(RecordingHost::callsOf({audioMasterAutomate}).empty());
}

TEST_F(LumivaneEditorWindow, AHostValueMovesTheKnobAndTheField) {
  session->idle(1);
  const gui::raster::RasterImageCopy before = screenshot();
  setByHost(2, 0.4f);
  EXPECT_FLOAT_EQ(controls().knobs[2]->getValue(), 0.4f);
  EXPECT_FLOAT_EQ(controls().textFields[2]->getValue(), 0.4f);
  session->idle(1);
  EXPECT_EQ(fieldText(controls().textFields[2]), "40");
  const gui::CViewPoint knob = centreOf(layout::kKnobRects[2]);
  int changed = 0;
  for (int y = knob.y - 32; y < knob.y + 32; ++y)
    for (int x = knob.x - 32; x < knob.x + 32; ++x) changed += before.colorAt(x, y) != screen(x, y);
  EXPECT_GT(changed, 20);
  // The editor shows the effect's value, not the one passed along with the index.
  editor().setParameter(2, 0.9f);
  EXPECT_FLOAT_EQ(controls().knobs[2]->getValue(), 0.4f);
  EXPECT_FLOAT_EQ(controls().textFields[2]->getValue(), 0.4f);
  EXPECT_TRUE(RecordingHost::gestures().empty());
}

TEST_F(LumivaneEditorWindow, IndicesOutsideTheTableChangeNothing) {
  for (VstInt32 index : {-1, 6, 14, 1000}) {
    editor().setParameter(index, 0.75f);
    setByHost(index, 0.75f);
  }
  for (int i = 0; i < layout::kParameterCount; ++i)
    EXPECT_FLOAT_EQ(controls().knobs[i]->getValue(), parameter(i));
  EXPECT_FLOAT_EQ(controls().leftPeakMeter->getValue(), 0.0f);
  EXPECT_FLOAT_EQ(controls().rightPeakMeter->getValue(), 0.0f);
  EXPECT_FLOAT_EQ(controls().correlationMeter->getValue(), 1.0f);
  EXPECT_EQ(controls().goniometer->countMarked(), 0u);
}

// Ten redraws: the window's first paint as it opens, then nine idles.
TEST_F(LumivaneEditorWindow, PeakMetersFallFromFullToEmptyOverTenRedrawsWhileCorrelationStaysFull) {
  for (int redraw = 1; redraw <= 10; ++redraw) {
    SCOPED_TRACE(redraw);
    if (redraw > 1) session->idle(1);
    const float expected = redraw == 10 ? 0.0f : 1.0f - 0.1f * static_cast<float>(redraw);
    EXPECT_NEAR(controls().leftPeakMeter->getOldValue(), expected, 1e-5f);
    EXPECT_NEAR(controls().rightPeakMeter->getOldValue(), expected, 1e-5f);
    EXPECT_FLOAT_EQ(controls().correlationMeter->getOldValue(), 1.0f);
    EXPECT_EQ(redraw == 10, showsImage(session->editorWindow(), layout::kLeftPeakRect,
                                       layout::kLeftPeakOffImage));
  }
  EXPECT_FALSE(controls().leftPeakMeter->isDirty());
  EXPECT_TRUE(
      showsImage(session->editorWindow(), layout::kRightPeakRect, layout::kRightPeakOffImage));
  EXPECT_TRUE(
      showsImage(session->editorWindow(), layout::kCorrelationRect, layout::kCorrelationOnImage));
}

std::vector<float> tone(std::size_t frames, float amplitude, float step) {
  std::vector<float> samples(frames);
  for (std::size_t i = 0; i < frames; ++i)
    samples[i] = amplitude * std::sin(step * static_cast<float>(i));
  return samples;
}

int greenPixels(gui::raster::HeadlessWindow* window, const gui::CViewRect& rect) {
  int green = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x)
      green += window->screenColorAt(x, y) == gui::platform::makeColor(0, 255, 0);
  return green;
}

TEST_F(LumivaneEditorWindow, TheFeedReachesMetersAndGoniometer) {
  process(tone(512, 0.5f, 0.05f));
  EXPECT_NEAR(controls().leftPeakMeter->getValue(), effect->getPeakLeft(), 1e-6);
  EXPECT_FLOAT_EQ(controls().rightPeakMeter->getValue(),
                  0.0f);  // the expression line is still silent
  // Left alone: every point lies on the diagonal of the left channel.
  EXPECT_GT(controls().goniometer->countMarked(), 20u);
  for (std::uint32_t x = 0; x < 124; ++x)
    for (std::uint32_t y = 0; y < 124; ++y)
      if (controls().goniometer->isMarked(x, y)) {
        EXPECT_EQ(x, y);
      }
  // Once the delayed right channel sounds too, the trace leaves the overlay's axes.
  process(tone(1024, 0.5f, 0.05f));
  EXPECT_GT(controls().rightPeakMeter->getValue(), 0.1f);
  session->idle(12);
  EXPECT_GT(greenPixels(session->editorWindow(), layout::kGoniometerRect), 50);
  EXPECT_FALSE(
      showsImage(session->editorWindow(), layout::kRightPeakRect, layout::kRightPeakOffImage));
}

TEST_F(LumivaneEditorWindow, ASilentBlockMarksTheCentreCellOnly) {
  process(std::vector<float>(256, 0.0f));
  EXPECT_EQ(controls().goniometer->countMarked(), 1u);
  EXPECT_TRUE(controls().goniometer->isMarked(62, 62));
}

TEST_F(LumivaneEditorWindow, BrokenAudioDrawsNothingOutsideTheMetersAndTheGoniometer) {
  session->idle(12);
  const gui::raster::RasterImageCopy before = screenshot();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  process({nan, infinity, -infinity, 1e30f, -1e30f, 0.5f, nan, 3.0f});
  for (VstInt32 index = 7; index <= 13; ++index)
    for (float value : {nan, infinity, -infinity, 1e30f, -1e30f})
      editor().setParameter(index, value);
  session->idle(12);
  const gui::raster::RasterImageCopy after = screenshot();
  const gui::CViewRect fed[] = {layout::kLeftPeakRect, layout::kRightPeakRect,
                                layout::kCorrelationRect, layout::kGoniometerRect};
  for (int y = 0; y < 160; ++y) {
    for (int x = 0; x < 752; ++x) {
      bool inside = false;
      for (const gui::CViewRect& rect : fed)
        inside = inside || (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom);
      if (!inside) {
        ASSERT_EQ(before.colorAt(x, y), after.colorAt(x, y)) << x << ", " << y;
      }
    }
  }
}

TEST_F(LumivaneEditorWindow, ANotANumberLevelShowsAsAnEmptyMeter) {
  editor().setParameter(7, std::numeric_limits<float>::quiet_NaN());
  session->idle(12);
  EXPECT_TRUE(
      showsImage(session->editorWindow(), layout::kLeftPeakRect, layout::kLeftPeakOffImage));
}

TEST_F(LumivaneEditorWindow, ReopeningShowsCurrentValuesAndAnEmptyGoniometer) {
  process(tone(2048, 0.8f, 0.03f));
  setByHost(1, 0.3f);
  session->idle(3);
  ASSERT_GT(greenPixels(session->editorWindow(), layout::kGoniometerRect), 50);
  session.reset();
  EXPECT_FALSE(editor().isOpen());
  EXPECT_EQ(editor().getControls(), nullptr);
  setByHost(0, 0.8f);
  setByHost(4, 0.1f);
  openEditor();
  for (int i = 0; i < layout::kParameterCount; ++i)
    EXPECT_FLOAT_EQ(controls().knobs[i]->getValue(), parameter(i));
  EXPECT_FLOAT_EQ(controls().knobs[0]->getValue(), 0.8f);
  EXPECT_EQ(controls().goniometer->countMarked(), 0u);
  EXPECT_EQ(greenPixels(session->editorWindow(), layout::kGoniometerRect), 0);
  EXPECT_EQ(fieldText(controls().textFields[0]), "0.80");
  EXPECT_EQ(fieldText(controls().textFields[4]), "10");
  EXPECT_FLOAT_EQ(controls().leftPeakMeter->getOldValue(), 0.9f);  // meters start afresh, from full
}

// A closed editor takes neither the display feed nor input: what is sent while it is closed builds
// no controls and no window, and no gesture reaches the host. A host's value still reaches the
// effect, and the next open shows it.
TEST_F(LumivaneEditorWindow, AClosedEditorTakesNoFeedAndNoInput) {
  session->close();
  EXPECT_EQ(editor().getControls(), nullptr);
  EXPECT_FALSE(editor().takesDisplayFeed());
  const std::size_t windows = gui::platform::WindowRecord::liveWindows().size();
  editor().setParameter(7, 0.5f);
  process(std::vector<float>(64, 0.5f));
  setByHost(2, 0.2f);
  EXPECT_EQ(editor().getControls(), nullptr);
  EXPECT_FALSE(editor().takesDisplayFeed());
  EXPECT_EQ(gui::platform::WindowRecord::liveWindows().size(), windows);
  EXPECT_FLOAT_EQ(parameter(2), 0.2f);
  EXPECT_GT(effect->getPeakLeft(), 0.49);  // processing went on without the editor
  EXPECT_FALSE(session->press(10, 10, gui::kLeftButton));
  EXPECT_FALSE(session->drag(10, 10, 50, 50, gui::kLeftButton));
  EXPECT_FALSE(session->wheel(10, 10, 1.0f));
  EXPECT_FALSE(session->type("12"));
  EXPECT_FALSE(session->idle(1));
  VstKeyCode key{0, gui::kVirtualKeyUp, 0};
  EXPECT_FALSE(session->key(key));
  EXPECT_EQ(record()->dispatcher(record(), effEditKeyDown, 0, gui::kVirtualKeyUp, nullptr, 0.0f),
            0);
  EXPECT_TRUE(RecordingHost::gestures().empty());
  EXPECT_FLOAT_EQ(parameter(2), 0.2f);

  openEditor();
  EXPECT_TRUE(editor().takesDisplayFeed());
  EXPECT_FLOAT_EQ(controls().knobs[2]->getValue(), 0.2f);
  EXPECT_FLOAT_EQ(controls().textFields[2]->getValue(), 0.2f);
}

// On this platform a host's own window cannot hold one of ours: the open fails, nothing is built.
TEST(LumivaneEditorInAHost, AForeignParentWindowOpensNothing) {
  Lumivane effect(RecordingHost::callback);
  const std::size_t windowsBefore = gui::platform::WindowRecord::liveWindows().size();
  int hostWindow = 0;
  void* handles[] = {reinterpret_cast<void*>(0x3a00007), &hostWindow};
  for (void* handle : handles) {
    EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, handle, 0.0f), 0);
    EXPECT_FALSE(effect.getEditor()->isOpen());
    EXPECT_EQ(static_cast<LumivaneEditor*>(effect.getEditor())->getControls(), nullptr);
    EXPECT_EQ(effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f), 0);
  }
  EXPECT_EQ(gui::platform::WindowRecord::liveWindows().size(), windowsBefore);
  EXPECT_EQ(effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f), 0);
}

// A damaged image of the library decodes to size 0: its control draws nothing, and the editor
// still opens, idles, takes input and closes. Without its background the editor has no size.
TEST(LumivaneEditorInAHost, AnImageThatDoesNotDecodeLeavesTheEditorWorking) {
  const std::uint8_t damaged[] = {0x89, 'P', 'N', 'G', 0, 0, 0, 0};
  for (std::int32_t id = editor_layout::kBackgroundImage; id <= editor_layout::kOverlayImage;
       ++id) {
    gui::platform::overrideLibraryResource(id, damaged, sizeof(damaged));
    Lumivane effect(RecordingHost::callback);
    ERect* rect = nullptr;
    ASSERT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    const bool withoutBackground = id == editor_layout::kBackgroundImage;
    EXPECT_EQ(rect->right - rect->left, withoutBackground ? 0 : 752) << id;
    gui::raster::HeadlessWindow hostWindow(752, 160);
    EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, hostWindow.handle(), 0.0f), 1) << id;
    gui::raster::HeadlessWindow* window = hostWindow.getChild();
    ASSERT_NE(window, nullptr) << id;
    window->dispatchPaint();
    std::vector<float> input(512, 0.5f), left(512), right(512);
    float* inputs[] = {input.data()};
    float* outputs[] = {left.data(), right.data()};
    effect.processReplacing(inputs, outputs, 512);
    effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    window->drag({{gui::CViewPoint(74, 80), gui::kLeftButton}, {gui::CViewPoint(74, 60), 0}});
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    gui::platform::overrideLibraryResource(id, nullptr, 0);
  }
}

TEST(LumivaneEditorInAHost, DestroyingTheEffectWithTheEditorOpenClosesIt) {
  auto effect = std::make_unique<Lumivane>(RecordingHost::callback);
  gui::raster::HeadlessWindow hostWindow(752, 160);
  ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, hostWindow.handle(), 0.0f), 1);
  gui::raster::HeadlessWindow* window = hostWindow.getChild();
  ASSERT_NE(window, nullptr);
  void* handle = window->handle();
  effect.reset();
  EXPECT_EQ(gui::raster::HeadlessWindow::fromHandle(handle), nullptr);
}

}  // namespace
