#include "tools/render/PluginInfo.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/render/PluginLibrary.h"

namespace {

std::string categoryName(VstIntPtr category) {
  switch (category) {
    case kPlugCategEffect:
      return "effect";
    case kPlugCategSynth:
      return "synth";
    case kPlugCategAnalysis:
      return "analysis";
    case kPlugCategMastering:
      return "mastering";
    case kPlugCategSpacializer:
      return "spatialiser";
    case kPlugCategUnknown:
      return "unknown";
    default:
      return "other";
  }
}

// The four characters of a unique ID when they are all printable, as IDs are usually chosen, and
// its number in hexadecimal.
std::string uniqueIdText(VstInt32 id) {
  auto bits = static_cast<std::uint32_t>(id);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", bits);
  std::string characters;
  for (int shift = 24; shift >= 0; shift -= 8) {
    auto character = static_cast<unsigned char>(bits >> shift);
    if (!std::isprint(character)) return hex;
    characters += static_cast<char>(character);
  }
  return "'" + characters + "' (" + hex + ")";
}

std::string flagsText(VstInt32 flags) {
  const std::pair<VstInt32, const char*> known[] = {
      {effFlagsHasEditor, "editor"},
      {effFlagsCanReplacing, "32-bit processing"},
      {effFlagsCanDoubleReplacing, "64-bit processing"},
      {effFlagsIsSynth, "synth"},
  };
  std::string names;
  VstInt32 rest = flags;
  for (auto [flag, name] : known) {
    if (!(flags & flag)) continue;
    names += (names.empty() ? "" : ", ") + std::string(name);
    rest &= ~flag;
  }
  if (rest) names += (names.empty() ? "" : ", ") + std::string("others");
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(flags));
  return (names.empty() ? "none" : names) + " (" + hex + ")";
}

// effGetTailSize: 0 when the plug-in does not say, 1 for no tail, else the samples.
std::string tailText(VstIntPtr samples, double sampleRate) {
  if (samples == 0) return "not reported";
  if (samples == 1) return "none";
  char text[96];
  std::snprintf(text, sizeof text, "%lld samples (%.3f s at %g Hz)",
                static_cast<long long>(samples), static_cast<double>(samples) / sampleRate,
                sampleRate);
  return text;
}

void printIdentity(const PluginLibrary& plugin) {
  const AEffect& record = *plugin.effect();
  std::printf("Name: %s\n", plugin.text(effGetEffectName).c_str());
  std::printf("Vendor: %s\n", plugin.text(effGetVendorString).c_str());
  std::printf("Product: %s\n", plugin.text(effGetProductString).c_str());
  std::printf("Vendor version: %lld\n",
              static_cast<long long>(plugin.dispatch(effGetVendorVersion)));
  std::printf("Unique ID: %s\n", uniqueIdText(record.uniqueID).c_str());
  std::printf("Version: %d\n", record.version);
  std::printf("VST version: %lld\n", static_cast<long long>(plugin.dispatch(effGetVstVersion)));
  VstIntPtr category = plugin.dispatch(effGetPlugCategory);
  std::printf("Category: %s (%lld)\n", categoryName(category).c_str(),
              static_cast<long long>(category));
}

void printChannelsAndTiming(const PluginLibrary& plugin, double sampleRate) {
  const AEffect& record = *plugin.effect();
  std::printf("Inputs: %d\n", record.numInputs);
  std::printf("Outputs: %d\n", record.numOutputs);
  std::printf("Flags: %s\n", flagsText(record.flags).c_str());
  std::printf("Initial delay: %d samples\n", record.initialDelay);
  std::printf("Tail: %s\n", tailText(plugin.dispatch(effGetTailSize), sampleRate).c_str());
}

void printParameters(const PluginLibrary& plugin) {
  VstInt32 count = plugin.effect()->numParams;
  std::printf("Parameters: %d\n", count);
  for (VstInt32 i = 0; i < count; ++i)
    std::printf("  %d %s\n", i, plugin.describeParameter(i).c_str());
}

// Names by index, so that reading them does not switch the plug-in's program.
void printPrograms(const PluginLibrary& plugin) {
  VstInt32 count = plugin.effect()->numPrograms;
  VstIntPtr current = plugin.dispatch(effGetProgram);
  std::printf("Programs: %d\n", count);
  for (VstInt32 i = 0; i < count; ++i) {
    std::string name = plugin.text(effGetProgramNameIndexed, i);
    if (name.empty() && i == current) name = plugin.text(effGetProgramName);
    std::printf("  %d %s%s\n", i, name.empty() ? "(no name given)" : name.c_str(),
                i == current ? " (current)" : "");
  }
}

}  // namespace

void printPluginInfo(const PluginLibrary& plugin, double sampleRate) {
  printIdentity(plugin);
  printChannelsAndTiming(plugin, sampleRate);
  printParameters(plugin);
  printPrograms(plugin);
}
