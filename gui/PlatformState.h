#pragma once

#include "gui/platform/PlatformTypes.h"

namespace gui {

// Process-wide platform state: one value per loaded module, shared by all frames, empty or false
// when the module is loaded. Used on the editor's thread only.
struct PlatformState {
  // The system setting for exchanged mouse buttons; filled when the frame's window class is
  // registered, read by pollMouseButtons.
  bool buttonsSwapped = false;
  // Entry points of the image-blending library; filled by frame construction, read by bitmap
  // drawing (TransparentBlt only on NT-family systems).
  platform::AlphaBlendOperation alphaBlend = nullptr;
  platform::TransparentBltOperation transparentBlt = nullptr;
  // The OS version record, filled by frame construction.
  platform::OsVersion osVersion;
};

PlatformState& platformState();

// Fills the two entry points and the version record from `library`, as frame construction does:
// AlphaBlend when the library is loaded; the version record; TransparentBlt only when the
// version query succeeds with a platform id above 1.
void loadImageOperations(platform::ImageLibrary* library);

// Bitmap drawing calls this before it blends: when no frame has filled the entry points yet, it
// loads the library once for the rest of the process and fills them, so that a bitmap drawn
// before (or after) every frame still finds the operations it needs instead of calling nothing.
void ensureImageOperations();

}  // namespace gui
