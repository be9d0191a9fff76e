#include "tests/controls/ControlTestSupport.h"

#include "gui/platform/Platform.h"
#include "gui/platform/raster/PngWriter.h"
#include "gui/platform/raster/RasterClock.h"
#include "gui/platform/raster/RasterInput.h"

namespace controls_test {

using gui::CViewPoint;
using gui::raster::InputStep;

FrameFixture::FrameFixture() {
  gui::raster::RasterInput::reset();
  gui::raster::RasterClock::useManualTime(100000);
  host = std::make_unique<gui::raster::HeadlessWindow>(kWidth, kHeight, CViewPoint(30, 40));
  frame = new gui::CFrame(gui::CViewRect(0, 0, kWidth, kHeight), host->handle(), &editor);
}

FrameFixture::~FrameFixture() {
  if (frame != nullptr) frame->dropReference();
  host.reset();
  gui::raster::RasterInput::reset();
  gui::raster::RasterClock::useSystemTime();
}

gui::raster::HeadlessWindow& FrameFixture::window() { return *host->getChild(); }

void FrameFixture::dragLeft(const std::vector<CViewPoint>& points,
                            gui::MouseButtonState modifiers) {
  std::vector<InputStep> path;
  for (const CViewPoint& point : points) path.push_back({point, gui::kLeftButton | modifiers});
  path.push_back({points.back(), modifiers});
  window().drag(path);
}

ResourceImage::ResourceImage(int32_t id, int32_t width, int32_t height,
                             const std::function<uint32_t(int32_t, int32_t)>& pixel)
    : id(id) {
  gui::platform::PlatformImage* image = gui::platform::createImage(width, height);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = gui::platform::imagePixelRow(image, y);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t rgb = pixel(x, y);
      row[4 * x + 0] = uint8_t(rgb);
      row[4 * x + 1] = uint8_t(rgb >> 8);
      row[4 * x + 2] = uint8_t(rgb >> 16);
      row[4 * x + 3] = 255;
    }
  }
  bytes = gui::raster::encodePng(*image);
  gui::platform::deleteObject(image);
  gui::platform::overrideLibraryResource(id, bytes.data(), bytes.size());
}

ResourceImage::~ResourceImage() { gui::platform::overrideLibraryResource(id, nullptr, 0); }

gui::CBitmap* ResourceImage::load() const { return new gui::CBitmap(id); }

Canvas::Canvas(gui::CFrame* frame, int32_t width, int32_t height, uint32_t fill)
    : surface(new gui::COffscreenContext(
          frame, width, height,
          gui::CRgbColor(uint8_t(fill >> 16), uint8_t(fill >> 8), uint8_t(fill), 255))) {}

Canvas::~Canvas() { surface->dropReference(); }

uint32_t Canvas::at(int32_t x, int32_t y) const {
  return toRgb(surface->getImage()->colorAt(x, y));
}

uint32_t toRgb(uint32_t platformColor) {
  return ((platformColor & 0xFF) << 16) | (platformColor & 0xFF00) | ((platformColor >> 16) & 0xFF);
}

gui::KeyEvent virtualKey(uint8_t virt, uint8_t modifier) {
  gui::KeyEvent key{};
  key.virt = virt;
  key.modifier = modifier;
  return key;
}

gui::KeyEvent characterKey(char character) {
  gui::KeyEvent key{};
  key.character = static_cast<unsigned char>(character);
  return key;
}

}  // namespace controls_test

// fontconfig keeps part of the configuration it parses on first use unreachable until the
// process ends (the text backend never calls FcFini, as other users may share the library).
// That is the library's own bookkeeping, not a leak of the controls under test.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
