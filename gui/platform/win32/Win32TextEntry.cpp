// The one-line text entry on Win32:
// - createTextEntry: CreateWindowExA of an "EDIT" child (WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
//   ES_CENTER or ES_RIGHT), WM_SETFONT, EM_SETMARGINS, EM_SETSEL, EM_LIMITTEXT, SetFocus, and the
//   box's procedure replaced with SetWindowLongPtrA(GWLP_WNDPROC);
// - PlatformTextEntry: getText (GetWindowTextA), destroy (DestroyWindow);
// - the parent's WM_CTLCOLOREDIT: SetTextColor and SetBkColor of the box's colours, its brush.

#include "gui/platform/win32/Win32TextEntry.h"

#include <algorithm>
#include <cstring>

#include "gui/platform/Platform.h"

namespace gui {
namespace platform {

namespace win32 {

namespace {

// The open box: at most one in the process, as the keyboard focus is.
Win32TextEntry* openEntry = nullptr;

DWORD styleFor(int32_t alignment) {
  DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  if (alignment == 2) return style | ES_RIGHT;
  if (alignment != 0) return style | ES_CENTER;
  return style;
}

}  // namespace

Win32TextEntry::Win32TextEntry(const TextEntryRequest& request, TextEntryListener* listener)
    : listener(listener),
      fontColor(request.fontColor & 0xFFFFFF),
      backColor(request.backColor & 0xFFFFFF),
      brush(toHandle(request.brush)),
      initialText(request.text != nullptr ? request.text : "") {}

Win32TextEntry::~Win32TextEntry() = default;

Win32TextEntry* Win32TextEntry::open(HWND parent, const TextEntryRequest& request,
                                     TextEntryListener* listener) {
  if (parent == nullptr || !IsWindow(parent)) return nullptr;
  auto* entry = new Win32TextEntry(request, listener);
  const CViewRect& rect = request.rect;
  entry->box = CreateWindowExA(0, "EDIT", entry->initialText.c_str(), styleFor(request.alignment),
                               rect.left, rect.top, rect.getWidth(), rect.getHeight(), parent,
                               nullptr, moduleInstance(), nullptr);
  if (entry->box == nullptr) {
    delete entry;
    return nullptr;
  }
  entry->parent = parent;
  HWND box = entry->box;
  SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(entry));
  if (request.font != nullptr) {
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(toHandle(request.font)), TRUE);
  }
  SendMessageA(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
  SendMessageA(box, EM_SETSEL, 0, -1);
  SendMessageA(box, EM_LIMITTEXT, WPARAM(std::clamp(request.maxLength, 0, 255)), 0);
  openEntry = entry;
  SetFocus(box);
  entry->previousProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&editProcedure)));
  return entry;
}

int32_t Win32TextEntry::getText(char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return 0;
  if (box != nullptr) return GetWindowTextA(box, buffer, size);
  const size_t length = std::min(lastText.size(), size_t(size - 1));
  std::memcpy(buffer, lastText.data(), length);
  buffer[length] = '\0';
  return int32_t(length);
}

void Win32TextEntry::destroy() {
  if (openEntry == this) openEntry = nullptr;
  listener = nullptr;
  if (box != nullptr) {
    HWND window = box;
    box = nullptr;
    // The box gets its own procedure back first: destroying it while it has the keyboard focus
    // sends it WM_KILLFOCUS, which must not finish an entry that is being closed.
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
  delete this;
}

bool Win32TextEntry::answerColors(HWND box, HDC device, LRESULT& brush) {
  Win32TextEntry* entry = openEntry;
  if (entry == nullptr || box == nullptr || entry->box != box || entry->brush == nullptr) {
    return false;
  }
  SetTextColor(device, entry->fontColor);
  SetBkColor(device, entry->backColor);
  brush = reinterpret_cast<LRESULT>(entry->brush);
  return true;
}

void Win32TextEntry::forgetListenersIn(HWND window) {
  if (openEntry != nullptr && openEntry->parent == window) openEntry->listener = nullptr;
}

LRESULT CALLBACK Win32TextEntry::editProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  auto* entry = reinterpret_cast<Win32TextEntry*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (entry == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  const WNDPROC previous = entry->previousProcedure;
  LRESULT result = 0;
  const bool handled = guarded(false, [&] {
    result = entry->handle(window, message, wParam, lParam);
    return true;
  });
  // After a C++ exception the message still gets the box's own handling.
  return handled ? result : CallWindowProcA(previous, window, message, wParam, lParam);
}

// Finishing may destroy this object (the listener closes the box): nothing of it is touched
// afterwards.
LRESULT Win32TextEntry::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = previousProcedure;
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        finish();
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        cancel();
        return 0;
      }
      break;
    case WM_CHAR:
      // Enter and Escape act on their key-down; their characters would only make the box beep.
      if (wParam == '\r' || wParam == '\n' || wParam == 27) return 0;
      break;
    case WM_KILLFOCUS: {
      const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
      finish();
      return result;
    }
    case WM_DESTROY:
      keepText();
      break;
    case WM_NCDESTROY:
      windowGone();
      break;
    default:
      break;
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

void Win32TextEntry::finish() {
  if (listener != nullptr) listener->textEntryFinished(this);
}

void Win32TextEntry::cancel() {
  if (box != nullptr) SetWindowTextA(box, initialText.c_str());
  finish();
}

void Win32TextEntry::keepText() {
  if (box == nullptr) return;
  char buffer[256];
  const int length = GetWindowTextA(box, buffer, sizeof(buffer));
  lastText.assign(buffer, size_t(std::max(0, length)));
}

// The window went without destroy() (its parent was destroyed): the object stays until its owner
// destroys it, and reports nothing more.
void Win32TextEntry::windowGone() {
  if (box == nullptr) return;
  SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
  SetWindowLongPtrA(box, GWLP_USERDATA, 0);
  box = nullptr;
  listener = nullptr;
}

}  // namespace win32

PlatformTextEntry* createTextEntry(void* window, const TextEntryRequest& request,
                                   TextEntryListener* listener) {
  return win32::Win32TextEntry::open(win32::toWindow(window), request, listener);
}

}  // namespace platform
}  // namespace gui
