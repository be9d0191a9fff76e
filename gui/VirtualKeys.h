#pragma once

#include <cstdint>

namespace gui {

// The virtual key values of KeyEvent::virt that the toolkit and the text entry read, and the
// modifier bits of KeyEvent::modifier. They are the plug-in interface's own numbers, so the editor
// base passes the host's key record on unchanged; kept in the toolkit's namespace so they cannot
// clash with names of the host interface.
enum : uint8_t {
  kVirtualKeyBack = 1,
  kVirtualKeyTab = 2,
  kVirtualKeyReturn = 4,
  kVirtualKeyEscape = 6,
  kVirtualKeySpace = 7,
  kVirtualKeyEnd = 9,
  kVirtualKeyHome = 10,
  kVirtualKeyLeft = 11,
  kVirtualKeyUp = 12,
  kVirtualKeyRight = 13,
  kVirtualKeyDown = 14,
  kVirtualKeyEnter = 19,
  kVirtualKeyDelete = 22,
};

enum : uint8_t {
  kModifierShift = 1,
  kModifierAlternate = 2,
  kModifierCommand = 4,
  kModifierControl = 8,
};

}  // namespace gui
