#include "gui/CBitmap.h"

#include <algorithm>

#include "gui/CDrawContext.h"
#include "gui/PlatformState.h"
#include "gui/PngDecoder.h"
#include "gui/platform/Platform.h"

namespace gui {

namespace {

// A memory device holding the image for the duration of one draw.
class ImageDevice {
 public:
  ImageDevice(platform::PlatformDevice* reference, platform::PlatformImage* image)
      : device(platform::createCompatibleDevice(reference)) {
    if (device != nullptr) previous = device->selectImage(image);
  }
  ~ImageDevice() {
    if (device == nullptr) return;
    if (previous != nullptr) device->selectImage(previous);
    platform::deleteDevice(device);
  }
  ImageDevice(const ImageDevice&) = delete;
  ImageDevice& operator=(const ImageDevice&) = delete;
  // False when the image could not be selected (then nothing may be drawn from it).
  bool ready() const { return device != nullptr && previous != nullptr; }
  platform::PlatformDevice* get() const { return device; }

 private:
  platform::PlatformDevice* device;
  platform::PlatformImage* previous = nullptr;
};

// A block to copy from the image: the destination rectangle translated by the context's offset
// and clipped so that its source lies inside the image (copies draw what lies inside).
struct Block {
  int32_t x, y, width, height, sourceX, sourceY;
};

bool clipBlock(const CDrawContext* context, const CViewRect& destination, const CViewPoint& source,
               int32_t imageWidth, int32_t imageHeight, Block& block) {
  const int64_t left = std::max<int64_t>(0, -int64_t(source.x));
  const int64_t top = std::max<int64_t>(0, -int64_t(source.y));
  const int64_t right = std::min<int64_t>(destination.getWidth(), int64_t(imageWidth) - source.x);
  const int64_t bottom =
      std::min<int64_t>(destination.getHeight(), int64_t(imageHeight) - source.y);
  if (right <= left || bottom <= top) return false;
  block.x = addSaturated(addSaturated(destination.left, int32_t(left)), context->offset.x);
  block.y = addSaturated(addSaturated(destination.top, int32_t(top)), context->offset.y);
  block.width = int32_t(right - left);
  block.height = int32_t(bottom - top);
  block.sourceX = int32_t(source.x + left);
  block.sourceY = int32_t(source.y + top);
  return true;
}

bool isWindows98(const platform::OsVersion& version) {
  return version.majorVersion == 4 && version.minorVersion == 10 && version.platformId == 1;
}

}  // namespace

CBitmap::CBitmap(int32_t resourceId) : resourceId(resourceId) {
  loadFromResource(resourceId);
  transparentColor = CRgbColor(255, 255, 255, 0);
}

CBitmap::~CBitmap() { dispose(); }

void CBitmap::dispose() {
  platform::deleteObject(handle);
  handle = nullptr;
  width = 0;
  height = 0;
  alphaBlended = true;
}

bool CBitmap::loadFromResource(int32_t id) {
  dispose();
  const platform::ResourceBytes bytes = platform::findLibraryResource(id);
  if (bytes.data != nullptr && bytes.size > 0) return loadPng(bytes);
  return loadPlatformBitmap(id);
}

bool CBitmap::loadFromPath(const void*) {
  dispose();
  return false;
}

bool CBitmap::loadPng(const platform::ResourceBytes& bytes) {
  const DecodedPng decoded = decodePng(bytes);
  handle = decoded.image;
  width = decoded.width;
  height = decoded.height;
  alphaBlended = true;
  return true;
}

bool CBitmap::loadPlatformBitmap(int32_t id) {
  handle = platform::loadBitmapResource(id);
  if (handle == nullptr) return false;
  int32_t imageWidth = 0;
  int32_t imageHeight = 0;
  if (!platform::getImageSize(handle, imageWidth, imageHeight)) return false;
  width = imageWidth;
  height = imageHeight;
  alphaBlended = false;
  return true;
}

void CBitmap::draw(CDrawContext* context, const CViewRect& destination, const CViewPoint& source) {
  if (alphaBlended) {
    drawAlphaBlend(context, destination, source, 255);
    return;
  }
  if (handle == nullptr || context == nullptr || context->getDevice() == nullptr) return;
  Block block;
  if (!clipBlock(context, destination, source, width, height, block)) return;
  ImageDevice image(context->getDevice(), handle);
  if (!image.ready()) return;
  context->getDevice()->bitBlt(block.x, block.y, block.width, block.height, image.get(),
                               block.sourceX, block.sourceY, platform::kSourceCopy);
}

void CBitmap::drawTransparent(CDrawContext* context, const CViewRect& destination,
                              const CViewPoint& source) {
  if (alphaBlended) {
    drawAlphaBlend(context, destination, source, 255);
    return;
  }
  if (handle == nullptr || context == nullptr || context->getDevice() == nullptr) return;
  Block block;
  if (!clipBlock(context, destination, source, width, height, block)) return;
  platform::PlatformDevice* target = context->getDevice();
  ImageDevice image(target, handle);
  if (!image.ready()) return;
  ensureImageOperations();
  const platform::PlatformColor key = transparentColor.toPlatform();
  if (platform::TransparentBltOperation transparentBlt = platformState().transparentBlt) {
    transparentBlt(target, block.x, block.y, block.width, block.height, image.get(), block.sourceX,
                   block.sourceY, block.width, block.height, key);
    return;
  }
  // Without TransparentBlt: a mask of the key colour, then XOR, AND with the mask, XOR again;
  // where the mask is 1 the destination keeps its pixels.
  platform::PlatformImage* mask = platform::createMonochromeImage(block.width, block.height);
  if (mask == nullptr) return;
  {
    ImageDevice maskDevice(target, mask);
    if (maskDevice.ready()) {
      const platform::PlatformColor imageBackground = image.get()->setBackgroundColor(key);
      maskDevice.get()->bitBlt(0, 0, block.width, block.height, image.get(), block.sourceX,
                               block.sourceY, platform::kSourceCopy);
      image.get()->setBackgroundColor(imageBackground);
      const platform::PlatformColor oldBackground = target->setBackgroundColor(0xFFFFFF);
      const platform::PlatformColor oldText = target->setTextColor(0x000000);
      target->bitBlt(block.x, block.y, block.width, block.height, image.get(), block.sourceX,
                     block.sourceY, platform::kSourceInvert);
      target->bitBlt(block.x, block.y, block.width, block.height, maskDevice.get(), 0, 0,
                     platform::kSourceAnd);
      target->bitBlt(block.x, block.y, block.width, block.height, image.get(), block.sourceX,
                     block.sourceY, platform::kSourceInvert);
      target->setBackgroundColor(oldBackground);
      target->setTextColor(oldText);
    }
  }
  platform::deleteObject(mask);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CViewRect& destination,
                             const CViewPoint& source, uint8_t alpha) {
  if (handle == nullptr || context == nullptr || context->getDevice() == nullptr) return;
  const int32_t blockWidth = destination.getWidth();
  const int32_t blockHeight = destination.getHeight();
  if (blockWidth <= 0 || blockHeight <= 0) return;
  ensureImageOperations();
  const PlatformState& state = platformState();
  if (state.alphaBlend == nullptr) return;  // no blending operation: nothing is drawn
  platform::BlendFunction blend;
  blend.constantAlpha = alpha;
  blend.alphaFormat = alphaBlended ? platform::kSourceAlpha : 0;
  platform::PlatformDevice* target = context->getDevice();
  const int32_t x = addSaturated(destination.left, context->offset.x);
  const int32_t y = addSaturated(destination.top, context->offset.y);
  ImageDevice image(target, handle);
  if (!image.ready()) return;
  if (!isWindows98(state.osVersion)) {
    // The blend refuses a source block that leaves the image: then nothing is drawn.
    state.alphaBlend(target, x, y, blockWidth, blockHeight, image.get(), source.x, source.y,
                     blockWidth, blockHeight, blend);
    return;
  }
  // Windows 98 blends only from a plain copy of the block.
  platform::PlatformImage* copy = platform::createCompatibleImage(target, blockWidth, blockHeight);
  if (copy == nullptr) return;
  {
    ImageDevice copyDevice(target, copy);
    if (copyDevice.ready()) {
      copyDevice.get()->bitBlt(0, 0, blockWidth, blockHeight, image.get(), source.x, source.y,
                               platform::kSourceCopy);
      state.alphaBlend(target, x, y, blockWidth, blockHeight, copyDevice.get(), 0, 0, blockWidth,
                       blockHeight, blend);
    }
  }
  platform::deleteObject(copy);
}

}  // namespace gui
