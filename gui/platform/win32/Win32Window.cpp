// The frame's native window on Win32:
// - registerWindowClass / unregisterWindowClass (RegisterClassA / UnregisterClassA of
//   "Plugin%p" with the module instance), and the class's window procedure: a CALLBACK trampoline
//   that turns WM_DESTROY, WM_PAINT, the three button-down messages and WM_MOUSEWHEEL into the
//   seam's WindowMessage for the registered procedure, answers WM_CTLCOLOREDIT from the entry
//   box's own colours, and leaves everything else to DefWindowProcA;
// - createChildWindow (CreateWindowExA), destroyWindow (DestroyWindow), setWindowUserData /
//   getWindowUserData (SetWindowLongPtrA / GetWindowLongPtrA, GWLP_USERDATA), getWindowOrigin
//   (GetWindowRect);
// - painting: getUpdateRect (GetUpdateRect), beginPaint / endPaint (BeginPaint / EndPaint),
//   invalidateRect (InvalidateRect), dispatchPendingPaint (PeekMessageA WM_PAINT +
//   DispatchMessageA), serveWindow (GetWindowThreadProcessId).

#include <windowsx.h>

#include <cstdio>

#include "gui/platform/Platform.h"
#include "gui/platform/win32/Win32Device.h"
#include "gui/platform/win32/Win32Handles.h"
#include "gui/platform/win32/Win32TextEntry.h"

namespace gui {
namespace platform {

namespace {

using win32::Win32Device;
using win32::Win32TextEntry;

// The class is registered once per module: its name carries the module instance, so that two
// plug-ins built from this code never share a class (CS_GLOBALCLASS makes names process-wide).
char className[32] = {};
WindowProcedure registeredProcedure = nullptr;

bool decode(UINT message, WPARAM wParam, LPARAM lParam, WindowMessage& decoded) {
  switch (message) {
    case WM_DESTROY:
      decoded.kind = WindowMessageKind::destroy;
      return true;
    case WM_PAINT:
      decoded.kind = WindowMessageKind::paint;
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      decoded.kind = WindowMessageKind::mouseDown;
      decoded.where = CViewPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return true;
    case WM_MOUSEWHEEL:
      // Screen coordinates, signed: a second monitor left of or above the first is negative.
      decoded.kind = WindowMessageKind::mouseWheel;
      decoded.where = CViewPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      decoded.wheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLOREDIT) {
    LRESULT brush = 0;
    if (Win32TextEntry::answerColors(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                                     brush)) {
      return brush;
    }
  }
  // The box loses its listener before the window goes: the messages its end brings are no
  // user's decision.
  if (message == WM_DESTROY) Win32TextEntry::forgetListenersIn(window);
  WindowMessage decoded;
  if (registeredProcedure != nullptr && decode(message, wParam, lParam, decoded)) {
    const bool consumed =
        win32::guarded(false, [&] { return registeredProcedure(window, decoded); });
    if (consumed) return decoded.result;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// --- Windows --------------------------------------------------------------------------------

bool registerWindowClass(WindowProcedure procedure) {
  if (procedure == nullptr) return false;
  HINSTANCE instance = win32::moduleInstance();
  std::snprintf(className, sizeof(className), "Plugin%p", static_cast<void*>(instance));
  WNDCLASSA windowClass{};
  windowClass.style = CS_GLOBALCLASS;
  windowClass.lpfnWndProc = frameWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = className;
  // A class that could not be unregistered before (a window of it outlived its frame) is this
  // module's own, with this procedure: it serves as well as a new one.
  if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }
  registeredProcedure = procedure;
  return true;
}

void unregisterWindowClass() {
  if (className[0] == '\0') return;
  UnregisterClassA(className, win32::moduleInstance());
  registeredProcedure = nullptr;
}

void* createChildWindow(void* parent, int32_t width, int32_t height) {
  HWND parentWindow = win32::toWindow(parent);
  // A host that hands over no window, or something that is not one, gets no child.
  if (parentWindow == nullptr || !IsWindow(parentWindow) || registeredProcedure == nullptr) {
    return nullptr;
  }
  HWND window = CreateWindowExA(
      0, className, "Window", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
      width, height, parentWindow, nullptr, win32::moduleInstance(), nullptr);
  return win32::fromWindow(window);
}

void destroyWindow(void* window) {
  HWND handle = win32::toWindow(window);
  if (handle == nullptr || !IsWindow(handle)) return;
  // An entry box still open in the window closes with it without reporting to anyone.
  Win32TextEntry::forgetListenersIn(handle);
  DestroyWindow(handle);
}

void setWindowUserData(void* window, void* data) {
  HWND handle = win32::toWindow(window);
  if (handle != nullptr && IsWindow(handle)) {
    SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  }
}

void* getWindowUserData(void* window) {
  HWND handle = win32::toWindow(window);
  if (handle == nullptr || !IsWindow(handle)) return nullptr;
  return reinterpret_cast<void*>(GetWindowLongPtrA(handle, GWLP_USERDATA));
}

CViewPoint getWindowOrigin(void* window) {
  RECT rect{};
  HWND handle = win32::toWindow(window);
  if (handle == nullptr || !GetWindowRect(handle, &rect)) return CViewPoint();
  return CViewPoint(rect.left, rect.top);
}

bool getUpdateRect(void* window, CViewRect& rect) {
  RECT area{};
  if (!GetUpdateRect(win32::toWindow(window), &area, FALSE)) return false;
  rect = win32::fromRect(area);
  return true;
}

PlatformDevice* beginPaint(void* window, CViewRect& rect) {
  HWND handle = win32::toWindow(window);
  PAINTSTRUCT paint{};
  HDC context = BeginPaint(handle, &paint);
  if (context == nullptr) {
    rect = CViewRect();
    return nullptr;
  }
  auto* device = new Win32Device(context, Win32Device::Origin::paint, handle);
  device->paintStruct() = paint;
  rect = win32::fromRect(paint.rcPaint);
  return device;
}

void endPaint(void* window, PlatformDevice* device) {
  if (device == nullptr) return;
  auto* paint = static_cast<Win32Device*>(device);
  EndPaint(win32::toWindow(window), &paint->paintStruct());
  delete paint;
}

void invalidateRect(void* window, const CViewRect& rect) {
  const RECT area = win32::toRect(rect);
  InvalidateRect(win32::toWindow(window), &area, TRUE);
}

bool dispatchPendingPaint() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) return false;
  DispatchMessageA(&message);
  return true;
}

// The host's message loop delivers the window's messages; only its own thread may draw into it.
bool serveWindow(void* window) {
  HWND handle = win32::toWindow(window);
  if (handle == nullptr || !IsWindow(handle)) return true;
  return GetWindowThreadProcessId(handle, nullptr) == GetCurrentThreadId();
}

}  // namespace platform
}  // namespace gui
