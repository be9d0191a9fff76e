// The Win32 layer's plain platform calls:
// - time: getTickCount (GetTickCount), sleepMilliseconds (Sleep);
// - input: readAsyncInput (GetAsyncKeyState), getCursorPosition (GetCursorPos),
//   areMouseButtonsSwapped (GetSystemMetrics SM_SWAPBUTTON), getDoubleClickTime;
// - graphic objects: createPen (CreatePenIndirect), createSolidBrush (CreateBrushIndirect),
//   createFont (CreateFontIndirectA), deleteObject (DeleteObject);
// - images: createImage (CreateDIBSection), imagePixelRow (GdiFlush, GetObjectA of the DIB
//   section), createCompatibleImage (CreateCompatibleBitmap), createMonochromeImage
//   (CreateBitmap), getImageSize (GetObjectA);
// - resources: findLibraryResource (FindResourceA "PNG", SizeofResource, LoadResource,
//   LockResource), loadBitmapResource (LoadBitmapA);
// - the blending library: loadImageLibrary / freeImageLibrary (LoadLibraryA / FreeLibrary of
//   "msimg32.dll"), findAlphaBlend / findTransparentBlt (GetProcAddress, behind thunks that take
//   the seam's devices), getOsVersion (GetVersionExA).

#include <cstring>

#include "gui/platform/ModuleHandle.h"
#include "gui/platform/Platform.h"
#include "gui/platform/ResourceOverrides.h"
#include "gui/platform/win32/Win32Handles.h"

namespace gui {
namespace platform {

namespace win32 {

HINSTANCE moduleInstance() {
  if (moduleHandle != nullptr) return static_cast<HINSTANCE>(moduleHandle);
  HMODULE own = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&moduleInstance), &own);
  return own;
}

}  // namespace win32

namespace {

using win32::toHandle;

// The limits of the raster backend's images, so that both refuse the same absurd sizes.
constexpr int32_t kMaximumImageSide = 16384;
constexpr int64_t kMaximumImagePixels = int64_t(1) << 24;

bool isReasonableSize(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= kMaximumImageSide && height <= kMaximumImageSide &&
         int64_t(width) * height <= kMaximumImagePixels;
}

bool isDown(int virtualKey) { return GetAsyncKeyState(virtualKey) < 0; }

// The entry points found in "msimg32.dll". The seam's operations take its devices; these thunks
// hand the devices' contexts to the real functions. The library stays loaded for the process's
// life (the toolkit keeps one load of its own), so the pointers never dangle.
using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);
using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                             UINT);
AlphaBlendFunction realAlphaBlend = nullptr;
TransparentBltFunction realTransparentBlt = nullptr;

bool alphaBlendThunk(PlatformDevice* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                     PlatformDevice* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                     BlendFunction blend) {
  if (realAlphaBlend == nullptr) return false;
  const BLENDFUNCTION function{blend.operation, blend.flags, blend.constantAlpha,
                               blend.alphaFormat};
  return realAlphaBlend(win32::deviceContextOf(destination), dx, dy, dw, dh,
                        win32::deviceContextOf(source), sx, sy, sw, sh, function) != FALSE;
}

bool transparentBltThunk(PlatformDevice* destination, int32_t dx, int32_t dy, int32_t dw,
                         int32_t dh, PlatformDevice* source, int32_t sx, int32_t sy, int32_t sw,
                         int32_t sh, PlatformColor transparent) {
  if (realTransparentBlt == nullptr) return false;
  return realTransparentBlt(win32::deviceContextOf(destination), dx, dy, dw, dh,
                            win32::deviceContextOf(source), sx, sy, sw, sh,
                            transparent & 0xFFFFFF) != FALSE;
}

template <typename Function>
Function procedureOf(ImageLibrary* library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(toHandle(library), name)));
}

}  // namespace

// --- Time -----------------------------------------------------------------------------------

uint32_t getTickCount() { return GetTickCount(); }

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

// --- Input ----------------------------------------------------------------------------------

AsyncInputState readAsyncInput() {
  AsyncInputState input;
  input.leftButton = isDown(VK_LBUTTON);
  input.rightButton = isDown(VK_RBUTTON);
  input.middleButton = isDown(VK_MBUTTON);
  input.shift = isDown(VK_SHIFT);
  input.control = isDown(VK_CONTROL);
  input.alt = isDown(VK_MENU);
  return input;
}

CViewPoint getCursorPosition() {
  POINT point{0, 0};
  GetCursorPos(&point);
  return CViewPoint(point.x, point.y);
}

bool areMouseButtonsSwapped() { return GetSystemMetrics(SM_SWAPBUTTON) > 0; }

uint32_t getDoubleClickTime() { return GetDoubleClickTime(); }

// --- Graphic objects ------------------------------------------------------------------------

PlatformPen* createPen(int32_t style, int32_t width, PlatformColor color) {
  LOGPEN logical{};
  logical.lopnStyle = UINT(style);
  logical.lopnWidth.x = width;
  logical.lopnColor = color & 0xFFFFFF;
  return win32::toPen(CreatePenIndirect(&logical));
}

PlatformBrush* createSolidBrush(PlatformColor color) {
  LOGBRUSH logical{};
  logical.lbStyle = BS_SOLID;
  logical.lbColor = color & 0xFFFFFF;
  return win32::toBrush(CreateBrushIndirect(&logical));
}

PlatformFont* createFont(const LogicalFont& font) {
  LOGFONTA logical{};
  logical.lfHeight = font.height;
  logical.lfWeight = font.weight;
  logical.lfItalic = font.italic ? TRUE : FALSE;
  logical.lfUnderline = font.underline ? TRUE : FALSE;
  logical.lfCharSet = font.charSet;
  logical.lfOutPrecision = font.outputPrecision;
  logical.lfClipPrecision = font.clipPrecision;
  logical.lfQuality = font.quality;
  logical.lfPitchAndFamily = font.pitchAndFamily;
  static_assert(sizeof(logical.lfFaceName) == sizeof(font.faceName), "face names of one size");
  std::memcpy(logical.lfFaceName, font.faceName, sizeof(logical.lfFaceName) - 1);
  return win32::toFont(CreateFontIndirectA(&logical));
}

void deleteObject(PlatformPen* pen) {
  if (pen != nullptr) DeleteObject(toHandle(pen));
}
void deleteObject(PlatformBrush* brush) {
  if (brush != nullptr) DeleteObject(toHandle(brush));
}
void deleteObject(PlatformFont* font) {
  if (font != nullptr) DeleteObject(toHandle(font));
}
void deleteObject(PlatformImage* image) {
  if (image != nullptr) DeleteObject(toHandle(image));
}

// --- Images ---------------------------------------------------------------------------------

PlatformImage* createImage(int32_t width, int32_t height) {
  if (!isReasonableSize(width, height)) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: rows bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return win32::toImage(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

uint8_t* imagePixelRow(PlatformImage* image, int32_t row) {
  if (image == nullptr) return nullptr;
  // Drawing into the image may still be queued in GDI; it lands before the memory is read.
  GdiFlush();
  DIBSECTION section{};
  if (GetObjectA(toHandle(image), sizeof(section), &section) != int(sizeof(section)))
    return nullptr;
  const BITMAP& bitmap = section.dsBm;
  if (bitmap.bmBits == nullptr || bitmap.bmBitsPixel != 32) return nullptr;
  const int32_t height = bitmap.bmHeight < 0 ? -bitmap.bmHeight : bitmap.bmHeight;
  if (row < 0 || row >= height) return nullptr;
  // A positive height in the section's header means the rows are stored bottom-up.
  const bool bottomUp = section.dsBmih.biHeight > 0;
  const int32_t storedRow = bottomUp ? height - 1 - row : row;
  return static_cast<uint8_t*>(bitmap.bmBits) + intptr_t(storedRow) * bitmap.bmWidthBytes;
}

PlatformImage* createCompatibleImage(PlatformDevice* reference, int32_t width, int32_t height) {
  if (!isReasonableSize(width, height)) return nullptr;
  if (reference != nullptr) {
    return win32::toImage(CreateCompatibleBitmap(win32::deviceContextOf(reference), width, height));
  }
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  return win32::toImage(image);
}

PlatformImage* createMonochromeImage(int32_t width, int32_t height) {
  if (!isReasonableSize(width, height)) return nullptr;
  return win32::toImage(CreateBitmap(width, height, 1, 1, nullptr));
}

bool getImageSize(PlatformImage* image, int32_t& width, int32_t& height) {
  BITMAP bitmap{};
  if (image == nullptr || GetObjectA(toHandle(image), sizeof(bitmap), &bitmap) == 0) return false;
  width = bitmap.bmWidth;
  height = bitmap.bmHeight < 0 ? -bitmap.bmHeight : bitmap.bmHeight;
  return true;
}

// --- Library resources ----------------------------------------------------------------------

ResourceBytes findLibraryResource(int32_t id) {
  ResourceBytes bytes;
  if (findResourceOverride(id, bytes)) return bytes;
  HINSTANCE module = win32::moduleInstance();
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), "PNG");
  if (resource == nullptr) return bytes;
  const DWORD size = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr || size == 0) return bytes;
  bytes.data = static_cast<const uint8_t*>(data);
  bytes.size = size;
  return bytes;
}

PlatformImage* loadBitmapResource(int32_t id) {
  return win32::toImage(LoadBitmapA(win32::moduleInstance(), MAKEINTRESOURCEA(id & 0xFFFF)));
}

// --- The image-blending library ---------------------------------------------------------------

ImageLibrary* loadImageLibrary() { return win32::toLibrary(LoadLibraryA("msimg32.dll")); }

void freeImageLibrary(ImageLibrary* library) {
  if (library != nullptr) FreeLibrary(toHandle(library));
}

AlphaBlendOperation findAlphaBlend(ImageLibrary* library) {
  auto function = procedureOf<AlphaBlendFunction>(library, "AlphaBlend");
  if (function == nullptr) return nullptr;
  realAlphaBlend = function;
  return &alphaBlendThunk;
}

TransparentBltOperation findTransparentBlt(ImageLibrary* library) {
  auto function = procedureOf<TransparentBltFunction>(library, "TransparentBlt");
  if (function == nullptr) return nullptr;
  realTransparentBlt = function;
  return &transparentBltThunk;
}

bool getOsVersion(OsVersion& version) {
  OSVERSIONINFOEXA record{};
  static_assert(sizeof(record) == 156, "the version record the system fills");
  record.dwOSVersionInfoSize = version.size;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record))) return false;
  version.majorVersion = record.dwMajorVersion;
  version.minorVersion = record.dwMinorVersion;
  version.platformId = record.dwPlatformId;
  return true;
}

}  // namespace platform
}  // namespace gui
