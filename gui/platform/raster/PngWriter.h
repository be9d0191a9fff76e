#pragma once

#include <cstdint>
#include <vector>

#include "gui/platform/raster/RasterImage.h"

namespace gui {
namespace raster {

// Encodes a 32-bit image as an 8-bit RGB PNG (alpha dropped: what a screen shows), or with
// withAlpha as RGBA, un-premultiplying the colours. Empty on failure.
std::vector<uint8_t> encodePng(const platform::PlatformImage& image, bool withAlpha = false);
// The same, written to a file; false when the image is empty or the file cannot be written.
bool writePng(const char* path, const platform::PlatformImage& image, bool withAlpha = false);

}  // namespace raster
}  // namespace gui
