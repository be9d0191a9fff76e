#include "tools/render/HostCallback.h"

namespace {
HostLog log;
}

VstIntPtr VSTCALLBACK renderHostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                                         float) {
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterAutomate:
      ++log.automations;
      return 0;
    case audioMasterBeginEdit:
      ++log.beginEdits;
      return 1;
    case audioMasterEndEdit:
      ++log.endEdits;
      return 1;
    default:
      return 0;
  }
}

const HostLog& hostLog() { return log; }
