#include "gui/controls/CControlListener.h"

namespace gui {

int32_t CControlListener::modifierClick(CDrawContext*, CControl*, MouseButtonState) { return 0; }

}  // namespace gui
