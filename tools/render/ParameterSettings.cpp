#include "tools/render/ParameterSettings.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "tools/render/PluginLibrary.h"
#include "tools/render/RenderError.h"

namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool isIndex(const std::string& text) {
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return !text.empty();
}

std::string parameterRange(VstInt32 count) {
  if (count <= 0) return "the plug-in has no parameters";
  return "the plug-in has parameters 0 to " + std::to_string(count - 1);
}

VstInt32 indexNumbered(const PluginLibrary& plugin, const std::string& digits) {
  VstInt32 count = plugin.effect()->numParams;
  // More digits than any count of parameters has are out of range without being converted.
  if (digits.size() > 9 || std::stol(digits) >= count)
    throw RenderError("--param " + digits + ": " + parameterRange(count), 2);
  return static_cast<VstInt32>(std::stol(digits));
}

VstInt32 indexNamed(const PluginLibrary& plugin, const std::string& name) {
  std::vector<std::string> names = plugin.parameterNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (sameNameIgnoringCase(names[i], name)) return static_cast<VstInt32>(i);
  std::string valid;
  for (const std::string& known : names) valid += (valid.empty() ? "" : ", ") + known;
  throw RenderError("unknown parameter '" + name + "'; this plug-in's parameters are: " +
                        (valid.empty() ? "(none)"
                                       : valid + " (or their indexes 0 to " +
                                             std::to_string(names.size() - 1) + ")"),
                    2);
}

}  // namespace

std::vector<ResolvedParameter> resolveParameters(const PluginLibrary& plugin,
                                                 const std::vector<ParameterSetting>& settings) {
  std::vector<ResolvedParameter> resolved;
  for (const ParameterSetting& setting : settings) {
    VstInt32 index = isIndex(setting.parameter) ? indexNumbered(plugin, setting.parameter)
                                                : indexNamed(plugin, setting.parameter);
    resolved.push_back({index, static_cast<float>(setting.value)});
  }
  return resolved;
}

void applyParameters(const PluginLibrary& plugin, const std::vector<ResolvedParameter>& parameters,
                     bool report) {
  AEffect* effect = plugin.effect();
  for (const ResolvedParameter& parameter : parameters) {
    effect->setParameter(effect, parameter.index, parameter.value);
    if (report) std::printf("%s\n", plugin.describeParameter(parameter.index).c_str());
  }
}
