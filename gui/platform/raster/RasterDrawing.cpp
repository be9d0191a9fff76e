// The raster backend's drawing half, the plain calls (the devices, objects and images themselves
// live in RasterDevice, RasterObjects and RasterImage):
// - memory devices: createCompatibleDevice / deleteDevice (CreateCompatibleDC / DeleteDC);
// - resources: findLibraryResource (the images compiled into the library), loadBitmapResource;
// - the blending "library": loadImageLibrary / freeImageLibrary, findAlphaBlend /
//   findTransparentBlt, getOsVersion.
// Every window half of the raster backend (the headless window, X11) draws through these.

#include "gui/platform/PlatformDrawing.h"
#include "gui/platform/ResourceOverrides.h"
#include "gui/platform/raster/RasterDevice.h"
#include "gui/platform/raster/RasterObjects.h"
#include "resources/EmbeddedResources.h"

namespace gui {
namespace platform {

// --- Memory devices -------------------------------------------------------------------------

PlatformDevice* createCompatibleDevice(PlatformDevice*) {
  return raster::acquireDevice(raster::RasterDevice::Kind::memory, nullptr);
}

void deleteDevice(PlatformDevice* device) {
  raster::recycleDevice(static_cast<raster::RasterDevice*>(device));
}

// --- Library resources ----------------------------------------------------------------------

ResourceBytes findLibraryResource(int32_t id) {
  ResourceBytes bytes;
  if (findResourceOverride(id, bytes)) return bytes;
  if (const resources::EmbeddedResource* embedded = resources::findEmbeddedResource(id & 0xFFFF)) {
    bytes.data = embedded->data;
    bytes.size = embedded->size;
  }
  return bytes;
}

PlatformImage* loadBitmapResource(int32_t) { return nullptr; }

// --- The image-blending library ---------------------------------------------------------------

ImageLibrary* loadImageLibrary() {
  static ImageLibrary library;
  ++library.loads;
  return &library;
}

void freeImageLibrary(ImageLibrary* library) {
  if (library != nullptr && library->loads > 0) --library->loads;
}

AlphaBlendOperation findAlphaBlend(ImageLibrary* library) {
  return library != nullptr ? &raster::alphaBlend : nullptr;
}

TransparentBltOperation findTransparentBlt(ImageLibrary* library) {
  return library != nullptr ? &raster::transparentBlt : nullptr;
}

bool getOsVersion(OsVersion& version) {
  if (version.size != 156) return false;
  version.majorVersion = 10;
  version.minorVersion = 0;
  version.platformId = 2;  // the NT family
  return true;
}

}  // namespace platform
}  // namespace gui
