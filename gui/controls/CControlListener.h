#pragma once

#include <cstdint>

#include "gui/MouseButtonState.h"

namespace gui {

class CControl;
class CDrawContext;

// What a control tells its owner (the effect editor) about the user's work on it. The listener is
// not owned by the control and must outlive it. The destructor is protected and not virtual so
// that the interface's operations are exactly the two below: nobody deletes through it.
class CControlListener {
 public:
  // The user changed the control's value; the listener reads it back with getValue (or the text
  // with getText). context may be empty.
  virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
  // A press with a modifier key arrived at the control. Non-zero: the listener handled it and the
  // control ignores the press. Listeners that do not care keep this answer of 0.
  virtual int32_t modifierClick(CDrawContext* context, CControl* control, MouseButtonState buttons);

 protected:
  CControlListener() = default;
  CControlListener(const CControlListener&) = default;
  CControlListener& operator=(const CControlListener&) = default;
  ~CControlListener() = default;
};

}  // namespace gui
