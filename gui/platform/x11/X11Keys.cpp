// X key presses as the toolkit's key events, for the keys serveWindow delivers to an open text
// entry (see X11Keys.h): XLookupString.

#include "gui/platform/x11/X11Keys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "gui/VirtualKeys.h"

namespace gui {
namespace platform {
namespace x11 {

namespace {

struct VirtualKeyOfSymbol {
  KeySym symbol;
  uint8_t virt;
};

constexpr VirtualKeyOfSymbol kVirtualKeys[] = {
    {XK_BackSpace, kVirtualKeyBack},   {XK_Tab, kVirtualKeyTab},
    {XK_ISO_Left_Tab, kVirtualKeyTab}, {XK_Return, kVirtualKeyReturn},
    {XK_KP_Enter, kVirtualKeyEnter},   {XK_Escape, kVirtualKeyEscape},
    {XK_space, kVirtualKeySpace},      {XK_End, kVirtualKeyEnd},
    {XK_KP_End, kVirtualKeyEnd},       {XK_Home, kVirtualKeyHome},
    {XK_KP_Home, kVirtualKeyHome},     {XK_Left, kVirtualKeyLeft},
    {XK_KP_Left, kVirtualKeyLeft},     {XK_Up, kVirtualKeyUp},
    {XK_KP_Up, kVirtualKeyUp},         {XK_Right, kVirtualKeyRight},
    {XK_KP_Right, kVirtualKeyRight},   {XK_Down, kVirtualKeyDown},
    {XK_KP_Down, kVirtualKeyDown},     {XK_Delete, kVirtualKeyDelete},
    {XK_KP_Delete, kVirtualKeyDelete},
};

uint8_t virtualKeyOf(KeySym symbol) {
  for (const VirtualKeyOfSymbol& entry : kVirtualKeys) {
    if (entry.symbol == symbol) return entry.virt;
  }
  return 0;
}

uint8_t modifiersOf(unsigned int state) {
  uint8_t modifiers = 0;
  if ((state & ShiftMask) != 0) modifiers |= kModifierShift;
  if ((state & Mod1Mask) != 0) modifiers |= kModifierAlternate;
  if ((state & ControlMask) != 0) modifiers |= kModifierControl;
  return modifiers;
}

}  // namespace

bool keyEventOf(XKeyEvent& event, KeyEvent& key) {
  char text[8] = {};
  KeySym symbol = NoSymbol;
  const int length = XLookupString(&event, text, sizeof(text), &symbol, nullptr);
  key = KeyEvent();
  key.modifier = modifiersOf(event.state);
  key.virt = virtualKeyOf(symbol);
  if (key.virt != 0) return true;
  if (length != 1) return false;
  key.character = static_cast<unsigned char>(text[0]);
  return true;
}

}  // namespace x11
}  // namespace platform
}  // namespace gui
