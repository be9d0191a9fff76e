#pragma once
#include <chrono>
#include <memory>
#include <vector>

#include "editor/AEffGUIEditor.h"
#include "editor/EditorControls.h"
#include "editor/FeedGate.h"
#include "gui/controls/CControlListener.h"

namespace gui {
class CBitmap;
class CControl;
class CView;
}  // namespace gui

// The Lumivane effect's own editor: a 752 x 160 window on the background artwork with a film-strip
// knob and a value field for each of the six parameters, two peak meters, a correlation meter and
// the goniometer under its overlay. Values travel both ways: a control the user changes sets the
// effect's parameter (and the host hears of it); every value the effect sets, the parameters and
// the display feed alike, arrives through setParameter and goes to the matching controls.
//
// Threads: open, close, idle, input and valueChanged run on the host's editor thread. setParameter
// runs on whatever thread the effect calls it from: the audio thread for the display feed, any
// host thread for parameters. It reaches the controls only through the feed gate, which close
// shuts before it destroys them.
class LumivaneEditor : public AEffGUIEditor, public gui::CControlListener {
 public:
  // How long close waits for a feed call still holding the controls. A block of audio is done in
  // far less; only an audio thread that stalls inside a block makes close give up and keep the
  // controls alive (not drawn, no longer in a window) until the feed has let go of them.
  static constexpr std::chrono::milliseconds kClosePatience{200};

  explicit LumivaneEditor(AudioEffectX* effect);
  ~LumivaneEditor() override;

  // Builds the window with its 17 controls inside parentWindow. False, with nothing built, when
  // the platform cannot make a window there.
  bool open(void* parentWindow) override;
  // Shuts the feed off, then destroys the window and every control.
  void close() override;
  // A value from any thread: one counted pass through the feed gate.
  void setParameter(VstInt32 index, float value) override;
  // The processing's own feed: one pass through the gate for the whole block.
  void setFeedValue(VstInt32 index, float value) override;
  // A run of goniometer points: inside the processing's block without counting.
  void setPoints(const float* side, const float* mid, VstInt32 count) override;
  // Only while a window is open and its controls are published to the feed.
  bool takesDisplayFeed() const override;
  // The frame reports gestures by control tag; the host hears the parameter index.
  void beginEdit(VstInt32 tag) override;
  void endEdit(VstInt32 tag) override;
  virtual void valueChanged(gui::CDrawContext* context, gui::CControl* control) override;

  // Editor thread: the controls of the open window, null while closed.
  const EditorControls* getControls() const { return controls.get(); }
  gui::CBitmap* getBackground() const { return background; }

 private:
  void buildControls(gui::CFrame* newFrame, EditorControls& built);
  void closeFrame();
  void routeValue(EditorControls& target, VstInt32 index, float value);
  void keepAlive(const EditorControls& closing);
  void releaseKeptAlive();

  gui::CBitmap* background;
  std::unique_ptr<EditorControls> controls;
  FeedGate feed;
  // Controls of a closed window that a feed call might still hold (see kClosePatience).
  std::vector<gui::CView*> keptAlive;
  std::vector<std::unique_ptr<EditorControls>> keptAliveSets;
};
