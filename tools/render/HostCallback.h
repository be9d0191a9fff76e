#pragma once
#include "host/VstInterface.h"

// What the plug-in told the host while it ran.
struct HostLog {
  long automations = 0;
  long beginEdits = 0;
  long endEdits = 0;
};

// The host side of the plug-in interface: answers the version query with 2.4 and records
// automation and edit gestures; every other request gets 0.
VstIntPtr VSTCALLBACK renderHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                         VstIntPtr value, void* ptr, float opt);

// The log of everything the callback has recorded so far.
const HostLog& hostLog();
