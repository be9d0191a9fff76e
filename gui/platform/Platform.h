#pragma once

// The platform seam of the GUI toolkit.
//
// The toolkit core (views, containers, the frame, drawing contexts, bitmaps, controls, editor)
// never sees HDC, HWND or any other system type: everything it needs from the system goes
// through the operations of the seam's two halves, which this header gathers:
// - the drawing half (PlatformDrawing.h, PlatformDevice.h): devices, pens, brushes, fonts,
//   images, the library's resources, the image-blending library;
// - the window half (PlatformWindowing.h, PlatformTextEntry.h, PlatformDropTarget.h): time,
//   input, the native window with its paint requests and window devices, the text entry, the
//   drop target.
// Each operation maps onto one Win32 call (or a fixed short sequence of them), named beside it,
// so gui/platform/win32/ implements both halves directly. gui/platform/raster/ reproduces the
// drawing half on in-memory 32-bit images (blue, green, red, alpha bytes, premultiplied) and has
// a window half of its own, a headless window standing in for the native one. On Linux the same
// raster drawing half also serves gui/platform/x11/, a window half that shows its windows inside
// a host's X11 window: each window operation goes to the half that owns the window's handle.
//
// Handles: native windows are `void*` (HWND); the host's parent window arrives the same way.
// Graphic objects are the opaque PlatformPen / PlatformBrush / PlatformFont / PlatformImage.
//
// Hooks for the editor base (AEffGUIEditor) and the controls:
// - Ticks and sleep: getTickCount (GetTickCount), sleepMilliseconds (Sleep).
// - Pending paint requests: dispatchPendingPaint (PeekMessageA for WM_PAINT + DispatchMessageA)
//   hands at most one waiting paint of this thread's windows to its window procedure. On the
//   raster backend a headless window holds a paint request until then (or until a test asks).
// - The host's idle calls: serveWindow tells whether the calling thread owns the frame's window,
//   and where the plug-in reads its window's events itself (X11) delivers them first.
// - Mouse position in frame coordinates: a CDrawContext made for the frame with no device and a
//   window (the frame's native window or the host's parent) answers getMouseLocation as
//   getCursorPosition (GetCursorPos) minus getWindowOrigin (GetWindowRect). The frame's
//   getCurrentLocation does the same for its own window.
// - Buttons and modifiers: readAsyncInput (GetAsyncKeyState), read by gui::pollMouseButtons.
//   The raster backend's input state is set by tests and by the headless window
//   (raster/RasterInput.h); a queued sequence of states is consumed one step per poll, so a
//   control's drag loop (poll, read the cursor, serviceIdle) can be driven by a script. An X11
//   window that took the last press answers with XQueryPointer, except that the first poll under
//   a press reports the press's own buttons (the button may be up again by then).
// - The frame's editor link is gui/CFrameEditor.h (beginEdit, endEdit, serviceIdle, knob mode);
//   it is not part of the seam.
// - The one-line text entry: CFrame::openTextEntry -> createTextEntry (CreateWindowExA of an
//   "EDIT" child with its font, brush and subclassed procedure). The box carries its own colours,
//   so the Win32 layer answers WM_CTLCOLOREDIT from them. On the raster backend the box is
//   RasterTextEntry, drawn over the window: while it is open the headless window routes keys to
//   it (an X11 window takes the keyboard focus for it), and a press outside it takes its focus
//   away first (TextEntryListener::textEntryFinished), then goes to the frame as usual.
// - Library resources: findLibraryResource (FindResourceA "PNG" + SizeofResource + LoadResource
//   + LockResource); tests register their own bytes with overrideLibraryResource.

#include "gui/platform/PlatformDrawing.h"
#include "gui/platform/PlatformWindowing.h"
