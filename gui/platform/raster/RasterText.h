#pragma once

// Text on the raster backend: faces found through fontconfig ("Arial" resolves to a metric-
// compatible face such as Liberation Sans), rasterised by FreeType with anti-aliasing. Each face
// keeps the glyphs it has rendered, so drawing the same text again allocates nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/CViewRect.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace raster {

struct Glyph {
  bool rendered = false;
  int32_t left = 0;  // from the pen position to the bitmap's left column
  int32_t top = 0;   // from the baseline up to the bitmap's top row
  int32_t width = 0;
  int32_t height = 0;
  int32_t advance = 0;  // whole pixels
  std::vector<uint8_t> coverage;
};

// One face at one pixel size.
struct FontFace {
  std::string key;
  void* ftFace = nullptr;  // FT_Face
  bool symbolCharmap = false;
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t underlinePosition = 0;  // below the baseline, pixels
  int32_t underlineThickness = 1;
  Glyph glyphs[256];
};

// Text measurements of one line in one face.
int32_t textWidth(FontFace* face, const char* text);
int32_t textHeight(FontFace* face);
Glyph& glyphFor(FontFace* face, uint8_t character);

class FontCache {
 public:
  static FontCache& instance();
  // The face for a logical font, made on first use; null when no face can be found.
  FontFace* faceFor(const platform::LogicalFont& logical);

 private:
  FontCache();
  ~FontCache();
  void* library = nullptr;  // FT_Library
  bool fontconfigReady = false;
  std::vector<std::unique_ptr<FontFace>> faces;
};

// What drawText needs from the device, in device coordinates.
struct TextTarget {
  platform::PlatformImage* image = nullptr;
  CViewRect bounds;  // the image clipped to the device's clip rectangle
  platform::PlatformColor textColor = 0;
  platform::PlatformColor backgroundColor = 0xFFFFFF;
  bool opaque = false;
};

// DrawTextA with DT_SINGLELINE | DT_NOPREFIX and the alignment flags: the line is placed in
// rect (vertically centred with DT_VCENTER) and clipped to it.
void drawTextLine(const TextTarget& target, FontFace* face, bool underline, const char* text,
                  const CViewRect& rect, uint32_t flags);

}  // namespace raster
}  // namespace gui
