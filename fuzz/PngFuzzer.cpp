// Feeds arbitrary bytes to the bitmap loader as a PNG resource of the library, then draws what
// was decoded through every drawing path. Whatever the bytes, the result is an image of size 0 or
// the rows that could be read, never a crash or an access outside an image.

#include <cstddef>
#include <cstdint>

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "gui/platform/Platform.h"

namespace {

constexpr int32_t kFuzzedId = 4000;

void drawEveryWay(gui::CBitmap* bitmap) {
  gui::COffscreenContext target(nullptr, 24, 24, gui::CRgbColor(10, 20, 30));
  const gui::CViewRect whole(0, 0, 24, 24);
  bitmap->draw(&target, whole);
  bitmap->drawAlphaBlend(&target, whole, gui::CViewPoint(1, 2), 77);
  bitmap->setAlphaBlended(false);
  bitmap->setTransparentColor(gui::CRgbColor(0, 0, 0, 0));
  bitmap->draw(&target, whole, gui::CViewPoint(-3, 5));
  bitmap->drawTransparent(&target, whole, gui::CViewPoint(2, -1));
  gui::COffscreenContext copy(&target, bitmap, false);
  copy.copyTo(&target, whole);
}

}  // namespace

// The font cache and fontconfig are set up once for the process, before the leak checks of the
// single inputs begin.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gui::COffscreenContext warmUp(nullptr, 4, 4, gui::CRgbColor(0, 0, 0));
  warmUp.drawString("0", gui::CViewRect(0, 0, 4, 4));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gui::platform::overrideLibraryResource(kFuzzedId, data, size);
  auto* bitmap = new gui::CBitmap(kFuzzedId);
  if (bitmap->getHandle() != nullptr) drawEveryWay(bitmap);
  bitmap->dropReference();
  gui::platform::overrideLibraryResource(kFuzzedId, nullptr, 0);
  return 0;
}
