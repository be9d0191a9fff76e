// A full paint of a 752 x 160 frame: background image and a dozen film-strip views drawn into the
// back buffer, then copied to the window.

#include <benchmark/benchmark.h>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/PngWriter.h"
#include "gui/platform/raster/RasterImage.h"

namespace {

// PNG bytes of a width x height image: an opaque gradient, or a round translucent knob.
std::vector<uint8_t> makePng(int32_t width, int32_t height, bool knob) {
  gui::platform::PlatformImage* image = gui::platform::createImage(width, height);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = gui::platform::imagePixelRow(image, y);
    for (int32_t x = 0; x < width; ++x) {
      const int32_t dx = x % 64 - 32, dy = y % 64 - 32;
      const bool inside = dx * dx + dy * dy < 30 * 30;
      row[x * 4 + 0] = uint8_t(x * 3 + y);
      row[x * 4 + 1] = uint8_t(y * 2);
      row[x * 4 + 2] = uint8_t(x);
      row[x * 4 + 3] = knob ? (inside ? 255 : 0) : 255;
    }
  }
  std::vector<uint8_t> png = gui::raster::encodePng(*image, knob);
  gui::platform::deleteObject(image);
  return png;
}

void fullPaintOfTheEditorFrame(benchmark::State& state) {
  const std::vector<uint8_t> background = makePng(752, 160, false);
  const std::vector<uint8_t> strip = makePng(64, 3904, true);
  gui::platform::overrideLibraryResource(1128, background.data(), background.size());
  gui::platform::overrideLibraryResource(1129, strip.data(), strip.size());
  gui::raster::HeadlessWindow host(752, 160);
  auto* frame = new gui::CFrame(gui::CViewRect(0, 0, 752, 160), host.handle(), nullptr);
  auto* backgroundBitmap = new gui::CBitmap(1128);
  auto* stripBitmap = new gui::CBitmap(1129);
  for (int i = 0; i < 12; ++i) {
    const int32_t left = 20 + (i % 6) * 120;
    const int32_t top = (i / 6) * 96;
    auto* view = new gui::CView(gui::CViewRect(left, top, left + 64, top + 64));
    view->setBackground(stripBitmap);
    frame->addView(view);
  }
  frame->setBackground(backgroundBitmap);
  backgroundBitmap->dropReference();
  stripBitmap->dropReference();
  gui::raster::HeadlessWindow* window = host.getChild();
  window->dispatchPaint();
  for (auto _ : state) {
    window->paint(gui::CViewRect(0, 0, 752, 160));
  }
  delete frame;
  gui::platform::clearLibraryResourceOverrides();
}
BENCHMARK(fullPaintOfTheEditorFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
