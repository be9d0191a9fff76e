#pragma once
#include <string>

#include "host/VstInterface.h"

// The host side of the plug-in interface, as the validator offers it: it answers the version
// query with 2.4 and the sample-rate and block-size queries with what it last set, takes
// automation and edit gestures, and answers every other request with 0, as a plain host may.
// Plug-ins call it from any thread. Requests that a host would trip over (automation of a
// parameter the plug-in does not have, a value that is not a number) are kept as the first
// problem, which every check looks at when it ends.
class ValidatorHost {
 public:
  static audioMasterCallback callback();
  // What the host tells a plug-in that asks; updated as the validator sets them.
  static void setCurrentRate(float rate);
  static void setCurrentBlockSize(VstInt32 frames);
  // The parameter count of the effects that call, to judge their automation.
  static void setParameterCount(VstInt32 count);
  // The first problem with a request since the start, or empty.
  static std::string problem();
};
