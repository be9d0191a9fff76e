// The editor base: the size it reports, the pacing of serviceIdle, the shared knob mode, and
// requests that come while no window is open.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "editor/AEffGUIEditor.h"
#include "editor/HeadlessEditorSession.h"
#include "editor/LumivaneEditor.h"
#include "effect/Lumivane.h"
#include "gui/CFrame.h"
#include "gui/controls/CVuMeter.h"
#include "gui/platform/raster/RasterClock.h"
#include "tests/editor/RecordingHost.h"

namespace {

using gui::raster::RasterClock;

// An editor base whose idle work is counted instead of drawn.
class CountingEditor : public AEffGUIEditor {
 public:
  using AEffGUIEditor::AEffGUIEditor;
  void idle() override { ++idles; }
  void setNextIdleTime(std::uint32_t time) { nextIdleTime = time; }
  std::uint32_t getNextIdleTime() const { return nextIdleTime; }
  int idles = 0;
};

class EditorBaseIdle : public ::testing::Test {
 protected:
  EditorBaseIdle() { RecordingHost::clear(); }
  ~EditorBaseIdle() override { RasterClock::useSystemTime(); }
};

struct PacingCase {
  std::uint32_t nextIdle;
  std::uint32_t now;
  std::uint64_t sleptMs;
  int idles;
  std::uint32_t nextIdleAfter;
};

// Skipped calls sleep 4 ms; a call at most 54 ms early does the work (after its sleep) and the
// next idle time becomes the time of the work plus 100 ms. Tick counts wrap at 2^32.
const PacingCase kPacing[] = {
    {1000, 900, 4, 0, 1000},
    {1000, 945, 4, 0, 1000},
    {1000, 946, 4, 1, 1050},
    {1000, 950, 4, 1, 1054},
    {1000, 1000, 0, 1, 1100},
    {1000, 5000, 0, 1, 5100},
    {20, 4294967290u, 4, 1, 98},  // just before the wrap, the next idle just after it
    {4294967290u, 5, 0, 1, 105},  // the count wrapped past the next idle time: due
    {4294967290u, 4294967200u, 4, 0, 4294967290u},
};

TEST_F(EditorBaseIdle, ServiceIdlePacesTheIdleWork) {
  for (const PacingCase& pacing : kPacing) {
    SCOPED_TRACE(testing::Message() << "next " << pacing.nextIdle << ", now " << pacing.now);
    RasterClock::useManualTime(pacing.now);
    Lumivane effect(RecordingHost::callback);
    auto* editor = new CountingEditor(&effect);  // the effect owns it from here
    editor->setNextIdleTime(pacing.nextIdle);
    RecordingHost::clear();

    editor->serviceIdle();

    EXPECT_EQ(RasterClock::totalSleep(), pacing.sleptMs);
    EXPECT_EQ(editor->idles, pacing.idles);
    EXPECT_EQ(editor->getNextIdleTime(), pacing.nextIdleAfter);
    EXPECT_EQ(RecordingHost::callsOf({audioMasterIdle}).size(),
              static_cast<std::size_t>(pacing.idles));
  }
}

TEST_F(EditorBaseIdle, AStreamOfCallsDoesTheWorkAboutEveryFiftyMilliseconds) {
  RasterClock::useManualTime(10000);
  Lumivane effect(RecordingHost::callback);
  auto* editor = new CountingEditor(&effect);
  for (int call = 0; call < 1000; ++call) editor->serviceIdle();  // each skipped call sleeps 4 ms
  const std::uint32_t elapsed = RasterClock::now() - 10000;
  EXPECT_NEAR(static_cast<double>(elapsed), 4000.0, 20.0);
  // Work at T, skipped calls until T + 48, whose 4 ms sleep makes it T + 52: due again.
  EXPECT_NEAR(static_cast<double>(editor->idles), elapsed / 52.0, 2.0);
}

TEST(EditorBase, ReportsTheBackgroundSizeBeforeOpening) {
  Lumivane effect(RecordingHost::callback);
  ERect* rect = nullptr;
  ASSERT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 160);
  EXPECT_EQ(rect->right, 752);
  EXPECT_NE(effect.getEffectRecord()->flags & effFlagsHasEditor, 0);
}

TEST(EditorBase, KeysAndWheelWhileClosedAreNotHandled) {
  Lumivane effect(RecordingHost::callback);
  VstKeyCode key{'a', 0, 0};
  EXPECT_FALSE(effect.getEditor()->onKeyDown(key));
  EXPECT_FALSE(effect.getEditor()->onKeyUp(key));
  EXPECT_FALSE(effect.getEditor()->onWheel(1.0f));
  EXPECT_EQ(key.character, 'a');
  EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
  EXPECT_EQ(effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_FALSE(effect.getEditor()->isOpen());
}

TEST(EditorBase, KnobModeIsSharedByEveryEditor) {
  Lumivane first(RecordingHost::callback);
  Lumivane second(RecordingHost::callback);
  auto* editor = static_cast<AEffGUIEditor*>(first.getEditor());
  gui::CFrame frame(gui::CViewRect(0, 0, 10, 10), nullptr,
                    static_cast<AEffGUIEditor*>(second.getEditor()));
  EXPECT_TRUE(editor->setKnobMode(2));
  EXPECT_EQ(frame.getKnobMode(), 2);
  EXPECT_EQ(first.dispatcher(effSetEditKnobMode, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(frame.getKnobMode(), 0);
}

TEST(EditorBase, GestureEndsReachTheHostWithTheParameterIndex) {
  RecordingHost::clear();
  Lumivane effect(RecordingHost::callback);
  auto* editor = static_cast<AEffGUIEditor*>(effect.getEditor());
  editor->AEffGUIEditor::beginEdit(4);
  editor->AEffGUIEditor::endEdit(4);
  const std::vector<RecordingHost::Call> expected = {{audioMasterBeginEdit, 4, 0.0f},
                                                     {audioMasterEndEdit, 4, 0.0f}};
  EXPECT_EQ(RecordingHost::gestures(), expected);
}

}  // namespace

namespace {

// A host that answers every request for idle time with an editor idle of its own, as some do.
AEffect* idlingHostTarget = nullptr;
VstIntPtr VSTCALLBACK idlingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) return kVstVersion;
  if (opcode == audioMasterIdle && idlingHostTarget)
    idlingHostTarget->dispatcher(idlingHostTarget, effEditIdle, 0, 0, nullptr, 0.0f);
  return 0;
}

TEST_F(EditorBaseIdle, AnIdleFromInsideTheHostsIdleTimeDrawsNothing) {
  RasterClock::useManualTime(1000);
  Lumivane effect(idlingHost);
  auto session = HeadlessEditorSession::open(effect.getEffectRecord());
  ASSERT_TRUE(session);
  idlingHostTarget = effect.getEffectRecord();
  auto& editor = *static_cast<LumivaneEditor*>(effect.getEditor());
  const gui::CVuMeter& meter = *editor.getControls()->leftPeakMeter;
  const float shown = meter.getOldValue();  // after the first paint
  editor.serviceIdle();                     // due at once: one redraw, then the host's idle time
  idlingHostTarget = nullptr;
  EXPECT_NEAR(meter.getOldValue(), shown - 0.1f, 1e-6f);
}

}  // namespace
