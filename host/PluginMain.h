#pragma once
#include "host/VstInterface.h"

class AudioEffect;

// Builds the one effect this library provides, bound to the host's callback. Defined by the
// effect; may throw std::bad_alloc, which pluginMain turns into a null record.
AudioEffect* createEffectInstance(audioMasterCallback hostCallback);

// What the exported entry point does: checks that a host is there (it must answer the version
// query with non-zero), builds the effect and hands out its record. Null when any of that fails;
// whatever was partly built is released.
AEffect* pluginMain(audioMasterCallback hostCallback);
