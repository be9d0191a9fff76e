#pragma once

#include <cstdint>

namespace gui {

// A key as the toolkit receives it: the character (0 for keys without one), the virtual key
// (VirtualKeys.h, 0 for plain characters) and the modifier bits (VirtualKeys.h). The editor base
// makes it from the host's key record, so the toolkit does not depend on the plug-in interface.
struct KeyEvent {
  int32_t character = 0;
  uint8_t virt = 0;
  uint8_t modifier = 0;
};

}  // namespace gui
