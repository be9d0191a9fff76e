// Text on the raster backend where FreeType and fontconfig are not available (the Windows cross
// build, which draws its text with GDI): no face is ever found, so text draws nothing and measures
// nothing, exactly as on a machine without the fonts.

#include "gui/platform/raster/RasterText.h"

namespace gui {
namespace raster {

FontCache& FontCache::instance() {
  static FontCache cache;
  return cache;
}

FontCache::FontCache() = default;

FontCache::~FontCache() = default;

FontFace* FontCache::faceFor(const platform::LogicalFont&) { return nullptr; }

Glyph& glyphFor(FontFace* face, uint8_t character) { return face->glyphs[character]; }

int32_t textWidth(FontFace*, const char*) { return 0; }

int32_t textHeight(FontFace*) { return 0; }

void drawTextLine(const TextTarget&, FontFace*, bool, const char*, const CViewRect&, uint32_t) {}

}  // namespace raster
}  // namespace gui
