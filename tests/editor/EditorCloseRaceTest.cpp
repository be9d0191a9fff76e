// The display feed arrives on the audio thread while the editor thread opens and closes the window:
// no feed call may reach a control that close is destroying, and close must never hang on the feed.
// Meant for the ThreadSanitizer and AddressSanitizer builds as much as for the plain one.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "editor/CGoniometer.h"
#include "editor/EditorLayout.h"
#include "editor/HeadlessEditorSession.h"
#include "editor/LumivaneEditor.h"
#include "effect/Lumivane.h"
#include "effect/ValueTag.h"
#include "gui/VirtualKeys.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/PngWriter.h"
#include "gui/platform/raster/RasterImage.h"
#include "tests/editor/EditorSessionFixture.h"
#include "tests/editor/RecordingHost.h"

namespace {

// A small deterministic noise source, one per thread.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state(seed) {}
  float next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 16777216.0f;
  }

 private:
  std::uint32_t state;
};

// Keeps a thread doing its work, with a pause after each round as a host's threads have, until the
// scope ends; then joins it. The pauses leave the editor thread its share of the processor.
class Running {
 public:
  template <typename Work>
  Running(std::chrono::microseconds pause, Work work)
      : thread([this, pause, work]() mutable {
          while (!stop.load(std::memory_order_relaxed)) {
            work();
            std::this_thread::sleep_for(pause);
          }
        }) {}
  ~Running() {
    stop.store(true, std::memory_order_relaxed);
    thread.join();
  }

 private:
  std::atomic<bool> stop{false};
  std::thread thread;
};

// Small stand-ins for the images each open decodes (the goniometer keeps its real size, so its grid
// is the editor's): a thousand opens then cost little even in the sanitizer builds, where decoding
// and blending the real artwork takes most of a second per open.
class SmallArtwork {
 public:
  SmallArtwork() {
    images.reserve(editor_layout::kOverlayImage - editor_layout::kKnobStripImage + 1);
    for (std::int32_t id = editor_layout::kKnobStripImage; id <= editor_layout::kOverlayImage;
         ++id) {
      const std::int32_t side = id == editor_layout::kGoniometerImage ? 124 : 4;
      gui::platform::PlatformImage* image = gui::platform::createImage(side, side);
      images.push_back(gui::raster::encodePng(*image));
      gui::platform::deleteObject(image);
      gui::platform::overrideLibraryResource(id, images.back().data(), images.back().size());
    }
  }
  ~SmallArtwork() { gui::platform::clearLibraryResourceOverrides(); }

 private:
  std::vector<std::vector<std::uint8_t>> images;  // reserved: overrides point into them
};

TEST(EditorCloseRace, OpeningIdlingAndClosingAThousandTimesWhileAudioAndAutomationRun) {
  SmallArtwork artwork;
  Lumivane effect(RecordingHost::callback);
  AEffect* record = effect.getEffectRecord();
  auto& editor = *static_cast<LumivaneEditor*>(effect.getEditor());
  std::atomic<long> blocks{0};
  int cyclesThatSawTheFeed = 0;
  {
    Noise audioNoise(1);
    std::vector<float> input(1024), left(1024), right(1024);
    Running audio(std::chrono::microseconds(50), [&] {
      for (float& sample : input) sample = audioNoise.next() * 2.0f - 1.0f;
      float* inputs[] = {input.data(), input.data()};
      float* outputs[] = {left.data(), right.data()};
      record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(input.size()));
      blocks.fetch_add(1, std::memory_order_relaxed);
    });
    Noise automationNoise(2);
    VstInt32 index = 0;
    Running automation(std::chrono::microseconds(20), [&] {
      record->setParameter(record, index, automationNoise.next());
      // A host that also sends the feed's own indices through the parameter interface.
      record->setParameter(record, kTagPointSide + index % 2, automationNoise.next());
      index = (index + 1) % Lumivane::kNumParams;
    });

    // Every tenth window is painted, and from then on idles redraw meters and goniometer while
    // the feed writes into them; the others are opened, idled and closed before their first paint.
    for (int cycle = 0; cycle < 1000; ++cycle) {
      gui::raster::HeadlessWindow hostWindow(752, 160);
      ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, hostWindow.handle(), 0.0f), 1);
      const long before = blocks.load(std::memory_order_relaxed);
      while (cycle % 100 == 0 && blocks.load(std::memory_order_relaxed) < before + 2)
        std::this_thread::yield();
      if (cycle % 10 == 0) hostWindow.getChild()->dispatchPaint();
      for (int idle = 0; idle <= cycle % 2; ++idle)
        record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f);
      if (editor.getControls()->goniometer->countMarked() > 0) ++cyclesThatSawTheFeed;
      record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
    }
  }
  EXPECT_GE(cyclesThatSawTheFeed, 10);
  EXPECT_GT(blocks.load(), 100);
}

// Only an audio thread that stalls in the middle of a block keeps the feed inside the editor.
// Closing then waits for a while, gives up, and keeps the controls that block holds alive until it
// lets go of them.
TEST(EditorCloseRace, ABlockNeverFinishedNeitherHangsCloseNorLosesItsControls) {
  Lumivane effect(RecordingHost::callback);
  auto& editor = *static_cast<LumivaneEditor*>(effect.getEditor());
  auto session = HeadlessEditorSession::open(effect.getEffectRecord());
  ASSERT_TRUE(session);
  std::atomic<int> stage{0};
  std::thread stalled([&] {
    editor.setFeedValue(kTagClearPoints, 0.0f);
    stage.store(1);
    while (stage.load() != 2) std::this_thread::yield();
    // Writes into the controls of the closed window: they must still be there.
    const float side[100] = {0.3f};
    const float mid[100] = {0.7f};
    editor.setPoints(side, mid, 100);
    editor.setFeedValue(kTagPeakLeft, 0.5f);
    editor.setFeedValue(kTagShowPoints, 0.0f);
  });
  while (stage.load() != 1) std::this_thread::yield();

  const auto start = std::chrono::steady_clock::now();
  session->close();
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, LumivaneEditor::kClosePatience);
  EXPECT_LT(waited, LumivaneEditor::kClosePatience + std::chrono::seconds(2));
  EXPECT_EQ(editor.getControls(), nullptr);
  // Another window while the block still holds the first one's controls: its close waits again.
  session = HeadlessEditorSession::open(effect.getEffectRecord());
  ASSERT_TRUE(session);
  session->close();

  stage.store(2);
  stalled.join();
  // The next window is built anew; the feed reaches it as usual.
  session = HeadlessEditorSession::open(effect.getEffectRecord());
  ASSERT_TRUE(session);
  effect.setParameter(kTagClearPoints, 0.0f);
  effect.setParameter(kTagPointSide, 0.5f);
  effect.setParameter(kTagPointMid, 0.5f);
  effect.setParameter(kTagShowPoints, 0.0f);
  EXPECT_TRUE(editor.getControls()->goniometer->isMarked(62, 62));
  EXPECT_EQ(editor.getControls()->goniometer->countMarked(), 1u);
}

// Values a host sends at the feed's indices (a host iterating over every index, from a thread
// that then ends) are single calls: they leave nothing behind that close would wait for, and the
// window's controls go with the window.
TEST(EditorCloseRace, FeedValuesFromAHostThreadLeaveNothingBehind) {
  Lumivane effect(RecordingHost::callback);
  auto& editor = *static_cast<LumivaneEditor*>(effect.getEditor());
  auto session = HeadlessEditorSession::open(effect.getEffectRecord());
  ASSERT_TRUE(session);
  std::thread([&] {
    for (VstInt32 index = 6; index <= 13; ++index) effect.setParameter(index, 0.5f);
  }).join();
  effect.setParameter(kTagClearPoints, 0.0f);  // and from the editor's own thread
  gui::CView* goniometer = editor.getControls()->goniometer;
  goniometer->addReference();
  session->close();
  EXPECT_EQ(goniometer->getReferenceCount(), 1) << "the closed window's controls are kept alive";
  goniometer->dropReference();
}

// A host may close the editor from inside the idle time the editor gives it while the user is
// busy in it: in the middle of a knob's drag, or as a typed value is taken. The gesture still
// ends as a gesture (its end edit included), the editor closes, and nothing of the closed window
// is used after it is gone (the AddressSanitizer build checks the last).
class CloseFromHostIdle : public EditorSessionFixture {
 protected:
  void closeAtNextIdle() {
    RecordingHost::atNextIdle(
        [this] { record()->dispatcher(record(), effEditClose, 0, 0, nullptr, 0.0f); });
  }
  void expectOneGestureOn(VstInt32 index) {
    const std::vector<RecordingHost::Call> gestures = RecordingHost::gestures();
    ASSERT_GE(gestures.size(), 2u);
    EXPECT_EQ(gestures.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(gestures.back().opcode, audioMasterEndEdit);
    for (const RecordingHost::Call& call : gestures) EXPECT_EQ(call.index, index);
    EXPECT_EQ(RecordingHost::callsOf({audioMasterBeginEdit}).size(), 1u);
    EXPECT_EQ(RecordingHost::callsOf({audioMasterEndEdit}).size(), 1u);
  }
  void expectClosedAndReopenable() {
    EXPECT_FALSE(editor().isOpen());
    EXPECT_EQ(editor().getControls(), nullptr);
    session.reset();
    openEditor();
    EXPECT_TRUE(editor().isOpen());
    ASSERT_TRUE(session->idle(2));
  }
};

TEST_F(CloseFromHostIdle, DuringAKnobDrag) {
  session->idle(1);
  RecordingHost::clear();
  closeAtNextIdle();
  const gui::CViewRect knob = editor_layout::kKnobRects[5];
  session->drag(knob.left + 4, knob.top + 12, knob.right - 4, knob.top + 12, gui::kLeftButton);
  expectOneGestureOn(5);
  expectClosedAndReopenable();
}

TEST_F(CloseFromHostIdle, AsATypedValueIsTaken) {
  session->idle(1);
  pressAt(centreOf(editor_layout::kFieldRects[3]));
  ASSERT_TRUE(session->type("250"));
  RecordingHost::clear();
  closeAtNextIdle();
  pressKey(gui::kVirtualKeyReturn);
  EXPECT_EQ(parameter(3), 1.0f);
  EXPECT_EQ(RecordingHost::gestures(),
            (std::vector<RecordingHost::Call>{{audioMasterAutomate, 3, 1.0f},
                                              {audioMasterEndEdit, 3, 0.0f}}));
  expectClosedAndReopenable();
}

}  // namespace
