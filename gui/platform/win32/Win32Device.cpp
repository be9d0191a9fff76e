// The drawing device over an HDC, and how devices are obtained and given back:
// - PlatformDevice: GetCurrentObject, SelectObject, SetBkMode, SetBkColor, SetTextColor, SetROP2,
//   CreateRectRgn + SelectClipRgn, MoveToEx, LineTo, FillRect, SetPixel, GetPixel, DrawTextA,
//   BitBlt;
// - getWindowDevice / releaseWindowDevice (GetDC / ReleaseDC), createCompatibleDevice /
//   deleteDevice (CreateCompatibleDC / DeleteDC). BeginPaint's device is made in Win32Window.cpp.

#include "gui/platform/win32/Win32Device.h"

#include "gui/platform/Platform.h"

namespace gui {
namespace platform {

namespace win32 {

HDC deviceContextOf(PlatformDevice* device) {
  return device != nullptr ? static_cast<Win32Device*>(device)->context() : nullptr;
}

Win32Device::Win32Device(HDC context, Origin origin, HWND window)
    : dc(context), from(origin), owner(window) {}

PlatformPen* Win32Device::getCurrentPen() { return toPen(GetCurrentObject(dc, OBJ_PEN)); }

PlatformBrush* Win32Device::getCurrentBrush() { return toBrush(GetCurrentObject(dc, OBJ_BRUSH)); }

PlatformFont* Win32Device::getCurrentFont() { return toFont(GetCurrentObject(dc, OBJ_FONT)); }

PlatformPen* Win32Device::selectPen(PlatformPen* pen) {
  return pen != nullptr ? toPen(SelectObject(dc, toHandle(pen))) : nullptr;
}

PlatformBrush* Win32Device::selectBrush(PlatformBrush* brush) {
  return brush != nullptr ? toBrush(SelectObject(dc, toHandle(brush))) : nullptr;
}

PlatformFont* Win32Device::selectFont(PlatformFont* font) {
  return font != nullptr ? toFont(SelectObject(dc, toHandle(font))) : nullptr;
}

PlatformImage* Win32Device::selectImage(PlatformImage* image) {
  // A bitmap already selected into another device cannot be selected: SelectObject answers null.
  return image != nullptr ? toImage(SelectObject(dc, toHandle(image))) : nullptr;
}

void Win32Device::setBackgroundMode(int32_t mode) { SetBkMode(dc, mode); }

PlatformColor Win32Device::setBackgroundColor(PlatformColor color) {
  return SetBkColor(dc, color & 0xFFFFFF);
}

PlatformColor Win32Device::setTextColor(PlatformColor color) {
  return SetTextColor(dc, color & 0xFFFFFF);
}

void Win32Device::setRasterMode(int32_t mode) { SetROP2(dc, mode); }

void Win32Device::selectClipRect(const CViewRect& rect) {
  HRGN region = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
  SelectClipRgn(dc, region);
  DeleteObject(region);
}

void Win32Device::moveTo(int32_t x, int32_t y) { MoveToEx(dc, x, y, nullptr); }

void Win32Device::lineTo(int32_t x, int32_t y) { LineTo(dc, x, y); }

void Win32Device::fillRect(const CViewRect& rect, PlatformBrush* brush) {
  if (brush == nullptr || rect.isEmpty()) return;
  const RECT area = toRect(rect);
  FillRect(dc, &area, toHandle(brush));
}

void Win32Device::setPixel(int32_t x, int32_t y, PlatformColor color) {
  SetPixel(dc, x, y, color & 0xFFFFFF);
}

PlatformColor Win32Device::getPixel(int32_t x, int32_t y) { return GetPixel(dc, x, y); }

void Win32Device::drawText(const char* text, const CViewRect& rect, uint32_t flags) {
  if (text == nullptr) return;
  RECT area = toRect(rect);
  DrawTextA(dc, text, -1, &area, flags);
}

void Win32Device::bitBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                         PlatformDevice* source, int32_t sx, int32_t sy, uint32_t rop) {
  if (source == nullptr || width <= 0 || height <= 0) return;
  BitBlt(dc, dx, dy, width, height, deviceContextOf(source), sx, sy, rop);
}

}  // namespace win32

using win32::Win32Device;

PlatformDevice* getWindowDevice(void* window) {
  HWND handle = win32::toWindow(window);
  if (handle != nullptr && !IsWindow(handle)) return nullptr;
  HDC context = GetDC(handle);
  if (context == nullptr) return nullptr;
  return new Win32Device(context, Win32Device::Origin::windowDevice, handle);
}

void releaseWindowDevice(void*, PlatformDevice* device) {
  if (device == nullptr) return;
  auto* win32Device = static_cast<Win32Device*>(device);
  ReleaseDC(win32Device->window(), win32Device->context());
  delete win32Device;
}

PlatformDevice* createCompatibleDevice(PlatformDevice* reference) {
  HDC context = CreateCompatibleDC(win32::deviceContextOf(reference));
  if (context == nullptr) return nullptr;
  return new Win32Device(context, Win32Device::Origin::memory, nullptr);
}

void deleteDevice(PlatformDevice* device) {
  if (device == nullptr) return;
  auto* win32Device = static_cast<Win32Device*>(device);
  DeleteDC(win32Device->context());
  delete win32Device;
}

}  // namespace platform
}  // namespace gui
