#include "tests/windows/HostWindow.h"

#include "tests/windows/PluginInstance.h"

namespace {

const char kClassName[] = "LumivaneTestHost";

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void registerHostClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = hostProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = kClassName;
  registered = RegisterClassA(&windowClass) != 0;
}

// Hosts hand the wheel to the window under the pointer (the editor's), not to the window that
// happens to have the keyboard focus; what the editor's window passes back up to its parent
// then ends in the host's default processing.
void sendWheelToThePointedWindow(MSG& message) {
  if (message.message != WM_MOUSEWHEEL) return;
  POINT cursor{static_cast<short>(LOWORD(message.lParam)),
               static_cast<short>(HIWORD(message.lParam))};
  HWND under = WindowFromPoint(cursor);
  if (under != nullptr && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
    message.hwnd = under;
  }
}

void dispatchWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    sendWheelToThePointedWindow(message);
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

HostWindow::HostWindow(int x, int y, int width, int height) {
  registerHostClass();
  window = CreateWindowExA(0, kClassName, "Lumivane test host", WS_POPUP | WS_VISIBLE, x, y, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(window);
  pumpMessages(50);
}

HostWindow::~HostWindow() {
  if (window != nullptr && IsWindow(window)) DestroyWindow(window);
  pumpMessages(20);
}

HWND HostWindow::editorWindow() const { return GetWindow(window, GW_CHILD); }

POINT HostWindow::toScreen(int x, int y) const {
  POINT point{x, y};
  ClientToScreen(window, &point);
  return point;
}

bool HostWindow::openEditor(PluginInstance& plugin) {
  const bool opened = plugin.dispatch(effEditOpen, 0, 0, window) == 1;
  pumpMessages(150, &plugin);
  return opened;
}

void pumpMessages(int milliseconds, PluginInstance* plugin, PluginInstance* secondPlugin) {
  const DWORD start = GetTickCount();
  DWORD lastIdle = start;
  do {
    dispatchWaitingMessages();
    if (GetTickCount() - lastIdle >= 20) {
      lastIdle = GetTickCount();
      if (plugin != nullptr) plugin->dispatch(effEditIdle);
      if (secondPlugin != nullptr) secondPlugin->dispatch(effEditIdle);
    }
    Sleep(1);
  } while (GetTickCount() - start < DWORD(milliseconds));
  dispatchWaitingMessages();
}

bool pumpUntil(const std::function<bool()>& done, int milliseconds, PluginInstance* plugin) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= DWORD(milliseconds)) return done();
    pumpMessages(10, plugin);
  }
  return true;
}
