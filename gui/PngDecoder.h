#pragma once

// Decodes PNG bytes straight into a 32-bit platform image (blue, green, red, alpha; colours
// premultiplied by alpha with a shift of 8 bits). Used by CBitmap; kept apart because libpng's
// error recovery jumps (setjmp/longjmp) and must not cross C++ objects with destructors.

#include <cstdint>

#include "gui/platform/PlatformTypes.h"

namespace gui {

struct DecodedPng {
  platform::PlatformImage* image = nullptr;  // null when no image could be made
  int32_t width = 0;
  int32_t height = 0;
  bool complete = false;  // every row was read and the end of the data was reached
};

// Never fails loudly: corrupt, truncated or foreign data gives an image with the rows read so
// far (premultiplied), or no image at all with size 0.
DecodedPng decodePng(const platform::ResourceBytes& bytes);

}  // namespace gui
