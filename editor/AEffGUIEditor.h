#pragma once
#include <atomic>
#include <cstdint>

#include "editor/AEffEditor.h"
#include "gui/CFrameEditor.h"

class AudioEffectX;

namespace gui {
class CFrame;
}  // namespace gui

// The editor base that joins the host's editor requests to the GUI toolkit: it holds the size the
// host asks for and the frame the concrete editor builds, hands keys and wheel steps to the frame,
// idles it, paces the idle work the toolkit asks for while a control tracks the mouse, and tells
// the host where a user gesture on a parameter begins and ends.
//
// Everything here runs on the host's editor thread; the concrete editor decides what setParameter
// does on the threads the effect calls it from.
class AEffGUIEditor : public AEffEditor, public gui::CFrameEditor {
 public:
  // Pacing of serviceIdle, in milliseconds of the system tick count.
  static constexpr std::uint32_t kEarlySleep = 4;
  static constexpr std::uint32_t kEarlyAllowance = 50;
  static constexpr std::uint32_t kIdleInterval = 100;

  // Attaches itself to the effect, which owns it from then on.
  explicit AEffGUIEditor(AudioEffectX* effect);
  ~AEffGUIEditor() override;

  // Points the host at the editor's own rectangle, which lives as long as the editor.
  bool getRect(ERect** rect) override;
  // Remembers the host's window and initialises OLE (for drag and drop) on the thread that opens
  // the editor; close releases it on the same thread, and only when the initialisation succeeded.
  bool open(void* window) override;
  void close() override;
  // Delivers the window's waiting events where the editor reads them itself (X11), then redraws
  // what is dirty; nothing while the host is being given idle time from serviceIdle, and nothing
  // on a thread that does not own the window.
  void idle() override;
  // True exactly when the frame handled the key (answered 1).
  bool onKeyDown(VstKeyCode& keyCode) override;
  bool onKeyUp(VstKeyCode& keyCode) override;
  // A wheel turn at the current mouse position.
  bool onWheel(float distance) override;
  // The knob mode is shared by every editor of the process.
  bool setKnobMode(VstInt32 mode) override;

  void setParameter(VstInt32 index, float value) override;
  // A control starts or ends a gesture; the base tells the host about parameter `index`.
  void beginEdit(VstInt32 index) override;
  void endEdit(VstInt32 index) override;
  // Called on every pass of a control's mouse-tracking loop: at most about every 50 ms it idles
  // the frame, hands on one pending paint and gives the host idle time; earlier calls sleep 4 ms.
  void serviceIdle() override;

  std::int32_t getKnobMode() const override;
  gui::CFrame* getFrame() const { return frame; }

 protected:
  AudioEffectX* effectX() const;

  ERect rectangle;
  std::uint32_t nextIdleTime;
  bool inHostIdle;
  gui::CFrame* frame;

 private:
  bool oleInitialized = false;

  // Not tied to one editor: a host sets it once for all its knobs. Atomic because editors of
  // different effects may live on different threads of a host.
  static std::atomic<VstInt32> knobMode;
};
