#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/CommandLine.h"

class OutputMeter;
class PluginLibrary;
struct NamedFile;

// How much a render rendered.
struct RenderedLength {
  double sampleRate;
  std::int64_t frames;      // all of them, the tail included
  std::int64_t tailFrames;  // the silence rendered after the input
};

// "lumivane-render: warning: ..." on standard error, unless the options ask for quiet.
void printWarning(const RenderOptions& options, const std::string& message);

// Warns when an integer format had to clip the output's peaks.
void warnOfClipping(const RenderOptions& options, const OutputMeter& meter);

// What was rendered through what, where it went, the host's measurements of it, the pictures of
// the editor and the plug-in's calls to the host.
void printReport(const PluginLibrary& plugin, const RenderOptions& options,
                 const RenderedLength& length, const OutputMeter& meter,
                 const std::vector<NamedFile>& outputs);
