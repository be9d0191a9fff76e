#include "gui/platform/raster/RasterText.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>

#include "gui/platform/raster/RasterImage.h"
#include "gui/platform/raster/RasterObjects.h"

namespace gui {
namespace raster {

namespace {

FT_Face ftFace(FontFace* face) { return static_cast<FT_Face>(face->ftFace); }

int32_t pixelSizeOf(const platform::LogicalFont& logical) {
  if (logical.height < 0) return std::min(-logical.height, 1000);
  if (logical.height > 0) return std::min(logical.height, 1000);  // approximated as em height
  return 12;
}

std::string keyOf(const platform::LogicalFont& logical) {
  std::string key(logical.faceName, strnlen(logical.faceName, sizeof(logical.faceName)));
  key += '/';
  key += std::to_string(pixelSizeOf(logical));
  key += logical.weight >= 600 ? "b" : "n";
  key += logical.italic ? "i" : "r";
  return key;
}

// Where fontconfig finds the face closest to the request.
bool matchFontFile(const platform::LogicalFont& logical, std::string& path, int& index) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  std::string family(logical.faceName, strnlen(logical.faceName, sizeof(logical.faceName)));
  if (family.empty()) family = "Arial";
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT,
                      logical.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, logical.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* file = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
  if (found) {
    path = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

void readMetrics(FontFace* face) {
  FT_Face ft = ftFace(face);
  const FT_Size_Metrics& metrics = ft->size->metrics;
  face->ascent = int32_t((metrics.ascender + 63) >> 6);
  face->descent = int32_t((-metrics.descender + 63) >> 6);
  // The Windows metrics of the face decide the line height there; use them when present.
  if (const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2))) {
    if (os2->version != 0xFFFF && ft->units_per_EM > 0) {
      const double scale = double(metrics.y_ppem) / ft->units_per_EM;
      face->ascent = int32_t(os2->usWinAscent * scale + 0.5);
      face->descent = int32_t(os2->usWinDescent * scale + 0.5);
    }
  }
  if (ft->units_per_EM > 0) {
    const double scale = double(metrics.y_ppem) / ft->units_per_EM;
    face->underlinePosition = std::max(1, int32_t(-ft->underline_position * scale + 0.5));
    face->underlineThickness = std::max(1, int32_t(ft->underline_thickness * scale + 0.5));
  }
}

uint32_t codePointOf(FontFace* face, uint8_t character) {
  return face->symbolCharmap ? 0xF000u + character : character;
}

void blendCoverage(uint8_t* pixel, platform::PlatformColor color, uint32_t coverage) {
  const uint32_t inverse = 255 - coverage;
  pixel[0] = uint8_t((platform::blueOf(color) * coverage + pixel[0] * inverse + 127) / 255);
  pixel[1] = uint8_t((platform::greenOf(color) * coverage + pixel[1] * inverse + 127) / 255);
  pixel[2] = uint8_t((platform::redOf(color) * coverage + pixel[2] * inverse + 127) / 255);
  pixel[3] = 255;
}

void fillSpan(const TextTarget& target, const CViewRect& area, platform::PlatformColor color) {
  const CViewRect clipped = area.intersect(target.bounds);
  const uint32_t value = opaquePixel(color);
  for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
    uint8_t* row = target.image->row(y);
    for (int32_t x = clipped.left; x < clipped.right; ++x) std::memcpy(row + x * 4, &value, 4);
  }
}

void drawGlyph(const TextTarget& target, const CViewRect& clip, const Glyph& glyph, int32_t x,
               int32_t baseline) {
  const int32_t left = x + glyph.left;
  const int32_t top = baseline - glyph.top;
  const CViewRect area =
      CViewRect(left, top, left + glyph.width, top + glyph.height).intersect(clip);
  for (int32_t y = area.top; y < area.bottom; ++y) {
    const uint8_t* coverage = glyph.coverage.data() + (y - top) * glyph.width;
    uint8_t* row = target.image->row(y);
    for (int32_t column = area.left; column < area.right; ++column) {
      const uint8_t amount = coverage[column - left];
      if (amount != 0) blendCoverage(row + column * 4, target.textColor, amount);
    }
  }
}

}  // namespace

FontCache& FontCache::instance() {
  static FontCache cache;
  return cache;
}

FontCache::FontCache() {
  FT_Library ft = nullptr;
  if (FT_Init_FreeType(&ft) == 0) library = ft;
  fontconfigReady = FcInit() != FcFalse;
}

FontCache::~FontCache() {
  for (auto& face : faces) {
    if (face->ftFace != nullptr) FT_Done_Face(ftFace(face.get()));
  }
  faces.clear();
  if (library != nullptr) FT_Done_FreeType(static_cast<FT_Library>(library));
  if (fontconfigReady) FcFini();
}

FontFace* FontCache::faceFor(const platform::LogicalFont& logical) {
  const std::string key = keyOf(logical);
  for (auto& face : faces) {
    if (face->key == key) return face->ftFace != nullptr ? face.get() : nullptr;
  }
  auto face = std::make_unique<FontFace>();
  face->key = key;
  std::string path;
  int index = 0;
  FT_Face ft = nullptr;
  if (library != nullptr && fontconfigReady && matchFontFile(logical, path, index) &&
      FT_New_Face(static_cast<FT_Library>(library), path.c_str(), index, &ft) == 0) {
    if (FT_Select_Charmap(ft, FT_ENCODING_UNICODE) != 0 &&
        FT_Select_Charmap(ft, FT_ENCODING_MS_SYMBOL) == 0) {
      face->symbolCharmap = true;
    }
    if (FT_Set_Pixel_Sizes(ft, 0, FT_UInt(pixelSizeOf(logical))) == 0) {
      face->ftFace = ft;
      readMetrics(face.get());
    } else {
      FT_Done_Face(ft);
    }
  }
  faces.push_back(std::move(face));
  return faces.back()->ftFace != nullptr ? faces.back().get() : nullptr;
}

Glyph& glyphFor(FontFace* face, uint8_t character) {
  Glyph& glyph = face->glyphs[character];
  if (glyph.rendered) return glyph;
  glyph.rendered = true;
  FT_Face ft = ftFace(face);
  if (FT_Load_Char(ft, codePointOf(face, character), FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0 ||
      FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL) != 0) {
    return glyph;
  }
  const FT_Bitmap& bitmap = ft->glyph->bitmap;
  glyph.left = ft->glyph->bitmap_left;
  glyph.top = ft->glyph->bitmap_top;
  glyph.advance = int32_t((ft->glyph->advance.x + 32) >> 6);
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
  glyph.width = int32_t(bitmap.width);
  glyph.height = int32_t(bitmap.rows);
  glyph.coverage.resize(size_t(glyph.width) * glyph.height);
  for (int32_t y = 0; y < glyph.height; ++y) {
    std::memcpy(glyph.coverage.data() + y * glyph.width, bitmap.buffer + y * bitmap.pitch,
                size_t(glyph.width));
  }
  return glyph;
}

int32_t textWidth(FontFace* face, const char* text) {
  int32_t width = 0;
  for (const char* c = text; *c != '\0'; ++c) width += glyphFor(face, uint8_t(*c)).advance;
  return width;
}

int32_t textHeight(FontFace* face) { return face->ascent + face->descent; }

void drawTextLine(const TextTarget& target, FontFace* face, bool underline, const char* text,
                  const CViewRect& rect, uint32_t flags) {
  if (target.image == nullptr || face == nullptr || text == nullptr) return;
  const int32_t width = textWidth(face, text);
  const int32_t height = textHeight(face);
  int32_t x = rect.left;
  if (flags & platform::kTextCenter) {
    x = int32_t((int64_t(rect.left) + rect.right - width) / 2);
  } else if (flags & platform::kTextRight) {
    x = rect.right - width;
  }
  int32_t y = rect.top;
  if (flags & platform::kTextVerticalCenter) {
    y = int32_t(rect.top + (int64_t(rect.bottom) - rect.top - height) / 2);
  }
  const CViewRect clip = rect.intersect(target.bounds);
  if (clip.isEmpty()) return;
  TextTarget clipped = target;
  clipped.bounds = clip;
  if (target.opaque)
    fillSpan(clipped, CViewRect(x, y, x + width, y + height), target.backgroundColor);
  const int32_t baseline = y + face->ascent;
  int32_t pen = x;
  for (const char* c = text; *c != '\0'; ++c) {
    const Glyph& glyph = glyphFor(face, uint8_t(*c));
    drawGlyph(clipped, clip, glyph, pen, baseline);
    pen += glyph.advance;
  }
  if (underline) {
    const int32_t lineTop = baseline + face->underlinePosition - face->underlineThickness / 2;
    fillSpan(clipped, CViewRect(x, lineTop, x + width, lineTop + face->underlineThickness),
             target.textColor);
  }
}

}  // namespace raster
}  // namespace gui
