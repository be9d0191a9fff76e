#include "gui/controls/TextEntryForwarder.h"

#include "gui/CFrame.h"
#include "gui/ReferenceGuard.h"
#include "gui/controls/CTextEdit.h"

namespace gui {

TextEntryForwarder::TextEntryForwarder(CTextEdit& field) : field(field) {}

void TextEntryForwarder::textEntryFinished(platform::PlatformTextEntry*) {
  // Taking the typed value tells the host and gives it idle time; should it close the editor
  // there, the field and its frame stay until the field is done.
  ReferenceGuard keepFrame(field.getParentFrame());
  ReferenceGuard keepField(&field);
  field.loseFocus(nullptr);
}

}  // namespace gui
