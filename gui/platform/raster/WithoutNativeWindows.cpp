// The raster backend without a native window half (Windows, where it is the test backend, and
// Linux builds without X11): only its headless windows can be parents.

#include "gui/platform/raster/NativeWindow.h"

namespace gui {
namespace platform {
namespace native {

WindowRecord* createChildWindow(void*, int32_t, int32_t) { return nullptr; }

}  // namespace native
}  // namespace platform
}  // namespace gui
