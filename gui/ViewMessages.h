#pragma once

namespace gui {

// The message a container answers true to in notify(). Senders pass this very object: receivers
// compare the pointer, not the characters.
extern const char kMsgCheckIfViewContainer[];

}  // namespace gui
