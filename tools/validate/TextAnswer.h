#pragma once
#include <cstddef>
#include <string>

#include "host/VstInterface.h"

class EffectInstance;

// A text the plug-in writes into a buffer the host gives (a name, a label, a display), read as a
// careful host reads it. Hosts give at least kRoom bytes; a plug-in must end its text with a zero
// within them and write nothing past them. The interface names a shorter nominal length for each
// kind of text, which many plug-ins exceed and hosts cut; that is worth a note, not a failure.
struct TextAnswer {
  static constexpr std::size_t kRoom = 64;

  bool answered = false;  // false: the plug-in wrote nothing
  std::string text;
  std::string problem;  // empty when the answer is sound

  // Asks `opcode` with `index` through a large buffer filled with a marker, so that writes past
  // the room are seen.
  static TextAnswer ask(const EffectInstance& effect, VstInt32 opcode, VstInt32 index = 0,
                        VstIntPtr value = 0);
};
