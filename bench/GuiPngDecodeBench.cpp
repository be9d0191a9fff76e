// Decoding a 752 x 160 RGB PNG into a premultiplied image, as the editor does for its background.

#include <benchmark/benchmark.h>

#include "gui/CBitmap.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/PngWriter.h"
#include "gui/platform/raster/RasterImage.h"

namespace {

std::vector<uint8_t> panelPng() {
  gui::platform::PlatformImage* image = gui::platform::createImage(752, 160);
  for (int32_t y = 0; y < 160; ++y) {
    uint8_t* row = gui::platform::imagePixelRow(image, y);
    for (int32_t x = 0; x < 752; ++x) {
      // A shaded panel with some texture, so that the data compresses like artwork does.
      const uint32_t grain = (uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 29;
      row[x * 4 + 0] = uint8_t(180 - y / 4 + grain);
      row[x * 4 + 1] = uint8_t(185 - y / 4 + grain);
      row[x * 4 + 2] = uint8_t(190 - y / 4 + grain);
      row[x * 4 + 3] = 255;
    }
  }
  std::vector<uint8_t> png = gui::raster::encodePng(*image, false);
  gui::platform::deleteObject(image);
  return png;
}

void decode(benchmark::State& state, int32_t id) {
  for (auto _ : state) {
    auto* bitmap = new gui::CBitmap(id);
    benchmark::DoNotOptimize(bitmap->getHandle());
    bitmap->dropReference();
  }
}

void decodeA752x160RgbPng(benchmark::State& state) {
  const std::vector<uint8_t> png = panelPng();
  gui::platform::overrideLibraryResource(1200, png.data(), png.size());
  decode(state, 1200);
  gui::platform::overrideLibraryResource(1200, nullptr, 0);
}
BENCHMARK(decodeA752x160RgbPng)->Unit(benchmark::kMicrosecond);

// The editor's own background image, when the build embedded it.
void decodeTheEmbeddedBackground(benchmark::State& state) {
  if (gui::platform::findLibraryResource(128).data == nullptr) {
    state.SkipWithError("resources/128-background.png was not there at build time");
    return;
  }
  decode(state, 128);
}
BENCHMARK(decodeTheEmbeddedBackground)->Unit(benchmark::kMicrosecond);

}  // namespace
