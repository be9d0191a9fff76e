#pragma once
#include "tools/render/CommandLine.h"

// One render from start to end: load the plug-in, set it up as the options say, render the
// input or the demo signal into the output file, and report. Throws RenderError on failure.
void runRender(const RenderOptions& options);

// --info: load the plug-in, set it up as the options say and print what it says about itself.
// Throws RenderError on failure.
void runInfo(const RenderOptions& options);
