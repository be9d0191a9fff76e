#include "gui/FontTable.h"

namespace gui {

namespace {

// Id 0 is always drawn bold and id 7 is the decorative family; the drawing context applies both.
const FontTableEntry kFontTable[kFontTableSize] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

}  // namespace

const FontTableEntry& fontTableEntry(int32_t fontId) {
  if (fontId < 0 || fontId >= kFontTableSize) fontId = 0;
  return kFontTable[fontId];
}

}  // namespace gui
