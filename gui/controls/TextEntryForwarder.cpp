#include "gui/controls/TextEntryForwarder.h"

#include "gui/controls/CTextEdit.h"

namespace gui {

TextEntryForwarder::TextEntryForwarder(CTextEdit& field) : field(field) {}

void TextEntryForwarder::textEntryFinished(platform::PlatformTextEntry*) {
  field.loseFocus(nullptr);
}

}  // namespace gui
