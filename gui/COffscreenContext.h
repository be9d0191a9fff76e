#pragma once

#include "gui/CDrawContext.h"

namespace gui {

class CBitmap;

// A drawing context whose device draws into a memory image instead of a window: the frame's back
// buffer, and the private buffers of meters and the goniometer. If the image cannot be made
// (absurd size, no memory) the context has size 0 and draws nothing.
class COffscreenContext : public CDrawContext {
 public:
  // An image the size of `bitmap` (20 x 20 without one), compatible with `context`'s device, for
  // `context`'s frame. With drawInBitmap the context draws straight into the bitmap's own image;
  // otherwise into a new image that starts as a copy of the bitmap (black without one).
  COffscreenContext(CDrawContext* context, CBitmap* bitmap, bool drawInBitmap = false);
  // An image of width x height, compatible with the frame's window, filled with `background`.
  COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                    const CRgbColor& background = CRgbColor(0, 0, 0, 255));
  ~COffscreenContext() override;

  // Copies the block of this image at `source` (not translated) onto `destination` of
  // `target` (translated by target's offset); the size comes from the rectangle.
  void copyTo(CDrawContext* target, const CViewRect& destination,
              const CViewPoint& source = CViewPoint(0, 0));
  // Copies `source` of `from` (translated by from's offset) into this image at `destination`
  // (not translated).
  void copyFrom(CDrawContext* from, const CViewRect& source,
                const CViewPoint& destination = CViewPoint(0, 0));

  int32_t getWidth() const { return width; }
  int32_t getHeight() const { return height; }
  // The platform image drawn into (null when it could not be made).
  platform::PlatformImage* getImage() const {
    return static_cast<platform::PlatformImage*>(window);
  }

 private:
  void makeMemoryDevice(platform::PlatformDevice* reference);
  void selectTargetImage(platform::PlatformImage* image);
  void becomeEmpty();

  [[maybe_unused]] CBitmap* backgroundBitmap = nullptr;  // not owned, no reference held
  int32_t height = 0;
  int32_t width = 0;
  bool ownsImage = false;
  CRgbColor backgroundColor;
  platform::PlatformImage* previousImage = nullptr;
};

}  // namespace gui
