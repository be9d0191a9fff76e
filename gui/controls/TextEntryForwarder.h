#pragma once

#include "gui/platform/PlatformTextEntry.h"

namespace gui {

class CTextEdit;

// Hands the end of typing in a text field's entry box (Enter, Escape or lost keyboard focus) to
// the field's loseFocus, the way the field's own window procedure does for a native edit box.
class TextEntryForwarder final : public platform::TextEntryListener {
 public:
  explicit TextEntryForwarder(CTextEdit& field);
  void textEntryFinished(platform::PlatformTextEntry* entry) override;

 private:
  CTextEdit& field;
};

}  // namespace gui
