#include "gui/ViewMessages.h"

namespace gui {

const char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";

}  // namespace gui
