#pragma once

// Keys of the X11 window half, for the text entry while the window holds the keyboard focus
// (serveWindow delivers them): the toolkit's KeyEvent of an X key press (XLookupString).

#include <X11/Xlib.h>

#include "gui/KeyEvent.h"

namespace gui {
namespace platform {
namespace x11 {

// The key of `event`: a virtual key for the editing keys, the Latin-1 character otherwise, and
// the modifier bits; false for a key that means nothing to a text entry (a lone Shift).
bool keyEventOf(XKeyEvent& event, KeyEvent& key);

}  // namespace x11
}  // namespace platform
}  // namespace gui
