#pragma once

// The platform seam of the GUI toolkit.
//
// The toolkit core (views, containers, the frame, drawing contexts, bitmaps, controls, editor)
// never sees HDC, HWND or any other system type: everything it needs from the system goes
// through the operations declared here, in PlatformDevice.h, PlatformTextEntry.h and
// PlatformDropTarget.h. Each operation maps onto one Win32 call (or a fixed short sequence of
// them), named beside it, so gui/platform/win32/ implements it directly; gui/platform/raster/
// reproduces the same operations on in-memory 32-bit images (blue, green, red, alpha bytes,
// premultiplied) with a headless window standing in for the native one.
//
// Handles: native windows are `void*` (HWND); the host's parent window arrives the same way.
// Graphic objects are the opaque PlatformPen / PlatformBrush / PlatformFont / PlatformImage.
//
// Hooks for the editor base (AEffGUIEditor) and the controls:
// - Ticks and sleep: getTickCount (GetTickCount), sleepMilliseconds (Sleep).
// - Pending paint requests: dispatchPendingPaint (PeekMessageA for WM_PAINT + DispatchMessageA)
//   hands at most one waiting paint of this thread's windows to its window procedure. On the
//   raster backend a headless window holds a paint request until then (or until a test asks).
// - Mouse position in frame coordinates: a CDrawContext made for the frame with no device and a
//   window (the frame's native window or the host's parent) answers getMouseLocation as
//   getCursorPosition (GetCursorPos) minus getWindowOrigin (GetWindowRect). The frame's
//   getCurrentLocation does the same for its own window.
// - Buttons and modifiers: readAsyncInput (GetAsyncKeyState), read by gui::pollMouseButtons.
//   The raster backend's input state is set by tests and by the headless window
//   (raster/RasterInput.h); a queued sequence of states is consumed one step per poll, so a
//   control's drag loop (poll, read the cursor, serviceIdle) can be driven by a script.
// - The frame's editor link is gui/CFrameEditor.h (beginEdit, endEdit, serviceIdle, knob mode);
//   it is not part of the seam.
// - The one-line text entry: CFrame::openTextEntry -> createTextEntry (CreateWindowExA of an
//   "EDIT" child with its font, brush and subclassed procedure). The box carries its own colours,
//   so the Win32 layer answers WM_CTLCOLOREDIT from them. While a box is open the raster
//   headless window routes keys to it, and a press outside it takes its focus away first
//   (TextEntryListener::textEntryFinished), then goes to the frame as usual.
// - Library resources: findLibraryResource (FindResourceA "PNG" + SizeofResource + LoadResource
//   + LockResource); tests register their own bytes with overrideLibraryResource.

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
// 0, 0, width, height, parent, ...). Null without a parent window or a registered class; the
// raster backend accepts only its own headless windows as parents.
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

// --- Devices --------------------------------------------------------------------------------
// GetDC / ReleaseDC: a device drawing onto the window (null window: the screen).
PlatformDevice* getWindowDevice(void* window);
void releaseWindowDevice(void* window, PlatformDevice* device);
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
