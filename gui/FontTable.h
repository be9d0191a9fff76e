#pragma once

#include <cstdint>

namespace gui {

// The toolkit's fixed font table, indexed by font id 0..7. The drawing context's setFont and the
// text-entry box of the text field both take their face and default size from it.
struct FontTableEntry {
  const char* faceName;
  int32_t defaultSize;  // pixels
};

constexpr int32_t kFontTableSize = 8;

// Entry `fontId`; an id outside 0..7 gives entry 0.
const FontTableEntry& fontTableEntry(int32_t fontId);

}  // namespace gui
