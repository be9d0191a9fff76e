#pragma once
#include "tools/validate/EditorDriver.h"
#include "tools/validate/EffectInstance.h"

// The editor opened as a host opens it: effEditGetRect for the size, a top-level window of the
// validator's own made to fit, effEditOpen with that window as the parent, the window's messages
// pumped and effEditIdle sent every 20 ms, and effEditClose before the window goes. The editor
// must put a window of its own into the host's window when it opens and take it out when it
// closes.
class WindowEditorDriver : public EditorDriver {
 public:
  static constexpr int kIdleMilliseconds = 20;

  explicit WindowEditorDriver(const EffectInstance& effect);
  // Closes an editor that a failed check left open, and its host window.
  ~WindowEditorDriver() override;

  std::string open() override;
  void idle() override;
  std::string close() override;
  std::string manner() const override;

 private:
  // The client size the editor asks for before it opens, or a usual editor's size when it gives
  // no usable rectangle then.
  void askSize(int& width, int& height) const;
  void closeWindow();

  const EffectInstance& effect;
  void* window = nullptr;
  bool editorOpen = false;
};
