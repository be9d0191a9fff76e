#pragma once
#include <vector>

#include "host/VstInterface.h"
#include "tools/render/CommandLine.h"

class PluginLibrary;

// A --param setting with the parameter found in the plug-in.
struct ResolvedParameter {
  VstInt32 index;
  float value;
};

// Finds the parameter of every setting, by its index when the setting gives decimal digits, else
// by the plug-in's name for it (case does not matter), before anything is set. Throws RenderError
// (exit code 2) naming the parameters there are.
std::vector<ResolvedParameter> resolveParameters(const PluginLibrary& plugin,
                                                 const std::vector<ParameterSetting>& settings);

// Sets the parameters in order and, when `report` is set, prints how the plug-in shows each one.
void applyParameters(const PluginLibrary& plugin, const std::vector<ResolvedParameter>& parameters,
                     bool report);
