#pragma once

// The window half of the platform seam: time, input, the frame's native window with its paint
// requests and devices, the one-line text entry and the drop target. See Platform.h for the seam
// as a whole.

#include "gui/platform/PlatformDevice.h"
#include "gui/platform/PlatformDropTarget.h"
#include "gui/platform/PlatformTextEntry.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {

// --- Time -----------------------------------------------------------------------------------
// GetTickCount: milliseconds since system start, wrapping at 2^32.
uint32_t getTickCount();
// Sleep.
void sleepMilliseconds(uint32_t milliseconds);

// --- Input ----------------------------------------------------------------------------------
// GetAsyncKeyState for VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU.
AsyncInputState readAsyncInput();
// GetCursorPos: the cursor in screen coordinates.
CViewPoint getCursorPosition();
// GetSystemMetrics(SM_SWAPBUTTON) > 0.
bool areMouseButtonsSwapped();
// GetDoubleClickTime: the longest gap in milliseconds between the two clicks of a double click.
uint32_t getDoubleClickTime();

// --- Windows --------------------------------------------------------------------------------
// RegisterClassA of the frame's class ("Plugin%p" with the module handle, CS_GLOBALCLASS, arrow
// cursor, COLOR_BTNFACE background) with the given window procedure.
bool registerWindowClass(WindowProcedure procedure);
// UnregisterClassA of that class.
void unregisterWindowClass();
// CreateWindowExA(0, class, "Window", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
// 0, 0, width, height, parent, ...). Null without a parent window or a registered class. On the
// raster backend the parent is one of its headless windows or, where the X11 window half is
// built in, a host's X11 window id (null without a display or for an id that is no window).
void* createChildWindow(void* parent, int32_t width, int32_t height);
// DestroyWindow (sends the destroy message first). A window that is already gone is ignored.
void destroyWindow(void* window);
// SetWindowLongPtrA / GetWindowLongPtrA with GWLP_USERDATA.
void setWindowUserData(void* window, void* data);
void* getWindowUserData(void* window);
// GetWindowRect: the window's outer top-left corner in screen coordinates; (0, 0) without one.
CViewPoint getWindowOrigin(void* window);
// GetUpdateRect: true when part of the window waits to be painted; the part in `rect`.
bool getUpdateRect(void* window, CViewRect& rect);
// BeginPaint (with the default background erase) / EndPaint: the paint device and the rectangle
// to paint, then validate it.
PlatformDevice* beginPaint(void* window, CViewRect& rect);
void endPaint(void* window, PlatformDevice* device);
// InvalidateRect: ask for the rectangle to be painted later.
void invalidateRect(void* window, const CViewRect& rect);
// PeekMessageA(any window of the thread, WM_PAINT, WM_PAINT, PM_REMOVE) + DispatchMessageA:
// dispatches at most one pending paint; true when one was dispatched.
bool dispatchPendingPaint();
// The calling thread's turn to serve the window, made by the editor on each of the host's idle
// calls: false when the thread is not the window's own (GetWindowThreadProcessId against
// GetCurrentThreadId), and then the caller leaves the window and what draws into it alone.
// Otherwise the events waiting for the window are delivered to its procedure first: on Win32
// the host's message loop has done that already; an X11 window reads them from its connection
// here (exposures, presses, wheel turns, keys for an open text entry, its destruction).
bool serveWindow(void* window);

// --- Window devices -------------------------------------------------------------------------
// GetDC / ReleaseDC: a device drawing onto the window (null window: the screen). What a window
// device drew is on screen once it is released.
PlatformDevice* getWindowDevice(void* window);
void releaseWindowDevice(void* window, PlatformDevice* device);

// --- Text entry -----------------------------------------------------------------------------
// An "EDIT" child of `window` (WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL plus ES_CENTER / ES_RIGHT)
// with a font of the request, margins 0, the whole text selected, EM_LIMITTEXT, the keyboard
// focus, and a procedure that calls the listener on Enter and on losing the focus. Null without
// a window.
PlatformTextEntry* createTextEntry(void* window, const TextEntryRequest& request,
                                   TextEntryListener* listener);

// --- Drag and drop --------------------------------------------------------------------------
// OleInitialize on the calling thread: true when it succeeded (S_OK, or S_FALSE when the thread
// was initialised already), and only then must the same thread pair it with uninitializeOle
// (OleUninitialize). False when the thread runs another COM model (RPC_E_CHANGED_MODE).
bool initializeOle();
void uninitializeOle();
// RegisterDragDrop / RevokeDragDrop. The handler is not owned and must stay alive until revoked.
bool registerDropTarget(void* window, DropTargetHandler* handler);
void revokeDropTarget(void* window);

}  // namespace platform
}  // namespace gui
