#pragma once

#include <cstdint>

#include "gui/CReferenceCounter.h"
#include "gui/CRgbColor.h"
#include "gui/CViewPoint.h"
#include "gui/CViewRect.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {

class CDrawContext;

// One image of the editor, decoded from a PNG resource of the library into a 32-bit platform
// image with premultiplied alpha (blue, green, red, alpha; colour = value * alpha >> 8), and
// drawn in rectangular parts into drawing contexts. No draw scales; the context's clip applies.
// A missing resource gives width and height 0 and every draw draws nothing.
class CBitmap : public CReferenceCounter {
 public:
  // Loads the resource (the result is not kept); transparentColor = (255, 255, 255, 0).
  explicit CBitmap(int32_t resourceId);
  ~CBitmap() override;

  // Copies the block at `source` with the rectangle's size onto the rectangle (translated by
  // the context's offset); through drawAlphaBlend(255) when alphaBlended.
  virtual void draw(CDrawContext* context, const CViewRect& destination,
                    const CViewPoint& source = CViewPoint(0, 0));
  // The same, leaving out transparentColor for an opaque image.
  virtual void drawTransparent(CDrawContext* context, const CViewRect& destination,
                               const CViewPoint& source = CViewPoint(0, 0));
  // The same, blended source-over with the constant opacity `alpha` (255 = opaque). A source
  // block that leaves the image draws nothing.
  virtual void drawAlphaBlend(CDrawContext* context, const CViewRect& destination,
                              const CViewPoint& source = CViewPoint(0, 0), uint8_t alpha = 255);
  // Frees the image: width and height 0, alphaBlended true, nothing drawn any more.
  virtual void dispose();
  // Decodes PNG resource `id` (or falls back to a platform bitmap resource). False only when
  // neither exists; a corrupt or truncated PNG answers true and keeps the rows read so far.
  virtual bool loadFromResource(int32_t id);
  // Loading from any other source is not supported: disposes and answers false.
  virtual bool loadFromPath(const void* platformPath);

  int32_t getResourceId() const { return resourceId; }
  int32_t getWidth() const { return width; }
  int32_t getHeight() const { return height; }
  void setTransparentColor(const CRgbColor& color) { transparentColor = color; }
  CRgbColor getTransparentColor() const { return transparentColor; }
  // True when the image carries premultiplied alpha and every draw blends; users may switch it
  // off to have plain copies (the goniometer does for its background).
  bool isAlphaBlended() const { return alphaBlended; }
  void setAlphaBlended(bool blended) { alphaBlended = blended; }
  // The platform image, for an off-screen context that draws straight into it; null when empty.
  platform::PlatformImage* getHandle() const { return handle; }

 private:
  bool loadPng(const platform::ResourceBytes& bytes);
  bool loadPlatformBitmap(int32_t id);

  int32_t resourceId = 0;
  int32_t width = 0;
  int32_t height = 0;
  CRgbColor transparentColor{255, 255, 255, 0};
  bool alphaBlended = false;
  platform::PlatformImage* handle = nullptr;
};

}  // namespace gui
