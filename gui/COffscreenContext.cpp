#include "gui/COffscreenContext.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/platform/Platform.h"

namespace gui {

COffscreenContext::COffscreenContext(CDrawContext* context, CBitmap* bitmap, bool drawInBitmap)
    : CDrawContext(context != nullptr ? context->getFrame() : nullptr, nullptr, nullptr),
      backgroundBitmap(bitmap) {
  width = 20;
  height = 20;
  if (bitmap != nullptr) {
    width = bitmap->getWidth();
    height = bitmap->getHeight();
    clipRect = CViewRect(0, 0, width, height).normalized();
  }
  ownsImage = false;
  platform::PlatformDevice* reference = context != nullptr ? context->getDevice() : nullptr;
  makeMemoryDevice(reference);
  if (drawInBitmap) {
    window = bitmap != nullptr ? bitmap->getHandle() : nullptr;
  } else {
    ownsImage = true;
    window = platform::createCompatibleImage(reference, width, height);
  }
  selectTargetImage(getImage());
  if (drawInBitmap || getImage() == nullptr) return;
  if (bitmap != nullptr) {
    bitmap->draw(this, CViewRect(0, 0, width, height), CViewPoint(0, 0));
  } else {
    setFillColor(CRgbColor(0, 0, 0, 255));
    fillRect(CViewRect(0, 0, width, height));
  }
}

COffscreenContext::COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                                     const CRgbColor& background)
    : CDrawContext(frame, nullptr, nullptr),
      height(height),
      width(width),
      backgroundColor(background) {
  clipRect = CViewRect(0, 0, width, height).normalized();
  ownsImage = true;
  void* frameWindow = frame != nullptr ? frame->getNativeWindow() : nullptr;
  platform::PlatformDevice* windowDevice = platform::getWindowDevice(frameWindow);
  makeMemoryDevice(windowDevice);
  window = platform::createCompatibleImage(windowDevice, width, height);
  selectTargetImage(getImage());
  if (windowDevice != nullptr) platform::releaseWindowDevice(frameWindow, windowDevice);
  if (getImage() == nullptr) return;
  setFillColor(background);
  setLineColor(background);
  fillRect(CViewRect(0, 0, width, height));
  drawRect(CViewRect(0, 0, width, height), kDrawStroked);
}

COffscreenContext::~COffscreenContext() {
  // The memory device is given back its own objects before it is deleted, and the image is
  // deleted only once no device holds it.
  if (device != nullptr) {
    if (previousImage != nullptr) device->selectImage(previousImage);
    restoreDeviceObjects();
    platform::deleteDevice(device);
    device = nullptr;
  }
  if (ownsImage) platform::deleteObject(getImage());
  window = nullptr;
}

void COffscreenContext::makeMemoryDevice(platform::PlatformDevice* reference) {
  adoptDevice(platform::createCompatibleDevice(reference));
}

void COffscreenContext::selectTargetImage(platform::PlatformImage* image) {
  if (device == nullptr || image == nullptr) {
    becomeEmpty();
    return;
  }
  previousImage = device->selectImage(image);
  if (previousImage == nullptr) becomeEmpty();
}

void COffscreenContext::becomeEmpty() {
  // No image to draw into (it could not be made or selected): a size-0 surface.
  if (ownsImage) platform::deleteObject(getImage());
  window = nullptr;
  ownsImage = false;
  width = 0;
  height = 0;
  clipRect = CViewRect();
}

void COffscreenContext::copyTo(CDrawContext* target, const CViewRect& destination,
                               const CViewPoint& source) {
  if (target == nullptr || target->getDevice() == nullptr || device == nullptr) return;
  const int32_t blockWidth = destination.getWidth();
  const int32_t blockHeight = destination.getHeight();
  if (blockWidth <= 0 || blockHeight <= 0 || getImage() == nullptr) return;
  target->getDevice()->bitBlt(addSaturated(destination.left, target->offset.x),
                              addSaturated(destination.top, target->offset.y), blockWidth,
                              blockHeight, device, source.x, source.y, platform::kSourceCopy);
}

void COffscreenContext::copyFrom(CDrawContext* from, const CViewRect& source,
                                 const CViewPoint& destination) {
  if (from == nullptr || from->getDevice() == nullptr || device == nullptr) return;
  const int32_t blockWidth = source.getWidth();
  const int32_t blockHeight = source.getHeight();
  if (blockWidth <= 0 || blockHeight <= 0 || getImage() == nullptr) return;
  device->bitBlt(destination.x, destination.y, blockWidth, blockHeight, from->getDevice(),
                 addSaturated(source.left, from->offset.x),
                 addSaturated(source.top, from->offset.y), platform::kSourceCopy);
}

}  // namespace gui
