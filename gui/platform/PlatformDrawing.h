#pragma once

// The drawing half of the platform seam: memory devices, pens, brushes, fonts, images, the
// library's own resources and the image-blending library. Devices draw through the operations of
// PlatformDevice.h. On Win32 the calls are GDI's; the raster backend draws into memory, and serves
// every window half of its platforms (the headless window, X11) with the same pixels. See
// Platform.h for the seam as a whole.

#include "gui/platform/PlatformDevice.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {

// --- Memory devices -------------------------------------------------------------------------
// CreateCompatibleDC (null reference: the screen) / DeleteDC. A new memory device holds the
// platform's defaults: a 1 x 1 image, black pen, white brush, system font, black text, white
// background, opaque background mode, copy raster mode, no clip.
PlatformDevice* createCompatibleDevice(PlatformDevice* reference);
void deleteDevice(PlatformDevice* device);

// --- Graphic objects ------------------------------------------------------------------------
// CreatePenIndirect(style, width, colour).
PlatformPen* createPen(int32_t style, int32_t width, PlatformColor color);
// CreateBrushIndirect(BS_SOLID, colour); may fail and answer null.
PlatformBrush* createSolidBrush(PlatformColor color);
// CreateFontIndirectA.
PlatformFont* createFont(const LogicalFont& font);
// DeleteObject. Null is ignored.
void deleteObject(PlatformPen* pen);
void deleteObject(PlatformBrush* brush);
void deleteObject(PlatformFont* font);
void deleteObject(PlatformImage* image);

// --- Images ---------------------------------------------------------------------------------
// CreateDIBSection of width x height, 32 bits per pixel, BI_RGB, rows bottom-up, zero-filled.
// Null when the size is not positive, absurd, or the memory cannot be had.
PlatformImage* createImage(int32_t width, int32_t height);
// The pixel memory of row `row` counted from the top of an image made by createImage
// (width x 4 bytes: blue, green, red, alpha); null for another image or a row out of range.
uint8_t* imagePixelRow(PlatformImage* image, int32_t row);
// CreateCompatibleBitmap(reference or the screen, width, height); null on failure. The image has
// the format of the reference: colour for a window or the screen, and for a memory device the
// format of the image selected into it, so a new memory device (which holds a monochrome 1 x 1
// image) gives a monochrome image.
PlatformImage* createCompatibleImage(PlatformDevice* reference, int32_t width, int32_t height);
// CreateBitmap(width, height, 1, 1, null): a monochrome mask.
PlatformImage* createMonochromeImage(int32_t width, int32_t height);
// GetObjectA on a bitmap: its width and height.
bool getImageSize(PlatformImage* image, int32_t& width, int32_t& height);

// --- Library resources ----------------------------------------------------------------------
// FindResourceA(module, id & 0xFFFF, "PNG"), SizeofResource, LoadResource, LockResource. Bytes
// registered with overrideLibraryResource come first.
ResourceBytes findLibraryResource(int32_t id);
// LoadBitmapA(module, id): a bitmap resource; null when there is none.
PlatformImage* loadBitmapResource(int32_t id);
// Test hook: findLibraryResource(id) answers these bytes (not copied; they must outlive the use)
// until clearLibraryResourceOverrides. A null `data` removes the override of that id.
void overrideLibraryResource(int32_t id, const void* data, size_t size);
void clearLibraryResourceOverrides();

// --- The image-blending library ---------------------------------------------------------------
// LoadLibraryA("msimg32.dll") / FreeLibrary.
ImageLibrary* loadImageLibrary();
void freeImageLibrary(ImageLibrary* library);
// GetProcAddress(library, "AlphaBlend") / (library, "TransparentBlt"); null when missing.
AlphaBlendOperation findAlphaBlend(ImageLibrary* library);
TransparentBltOperation findTransparentBlt(ImageLibrary* library);
// GetVersionExA.
bool getOsVersion(OsVersion& version);

}  // namespace platform
}  // namespace gui
