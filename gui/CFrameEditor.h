#pragma once

#include <cstdint>

namespace gui {

// What the frame asks of the editor that owns it. The editor base implements it, so the toolkit
// does not depend on the editor. All calls come on the editor's thread.
class CFrameEditor {
 public:
  virtual ~CFrameEditor() = default;
  // A control starts / ends a user gesture on the parameter its tag stands for.
  virtual void beginEdit(int32_t tag) = 0;
  virtual void endEdit(int32_t tag) = 0;
  // Called on every pass of a control's mouse-tracking loop: redraw, paint, host idle time.
  virtual void serviceIdle() = 0;
  // The process-wide knob mode the host set (2 = linear).
  virtual int32_t getKnobMode() const = 0;
};

}  // namespace gui
