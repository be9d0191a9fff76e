#include "gui/platform/ModuleHandle.h"

void* moduleHandle = nullptr;
