// Every text the plug-in writes for a host: its names, its parameters' names, labels and
// displays, and its program names.
#include <string>
#include <vector>

#include "tools/validate/CheckContext.h"
#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"
#include "tools/validate/OpcodeTable.h"
#include "tools/validate/TextAnswer.h"

namespace {

// The lengths the interface names for each kind of text, in characters before the zero.
constexpr std::size_t kEffectNameLength = 31;
constexpr std::size_t kVendorTextLength = 63;
constexpr std::size_t kParameterTextLength = 8;
constexpr std::size_t kProgramNameLength = kVstMaxProgNameLen - 1;

struct TextRequest {
  VstInt32 opcode;
  VstInt32 index;
  std::size_t nominal;
  std::string what;  // "the name of parameter 3"
};

// Fails on an answer no host can read; notes (or, when pedantic, fails on) one longer than the
// interface's nominal length.
void judgeText(CheckContext& context, const EffectInstance& effect, const TextRequest& request) {
  std::string where = opcodeName(request.opcode) + " for " + request.what;
  context.step("asking " + where);
  TextAnswer answer = TextAnswer::ask(effect, request.opcode, request.index);
  if (!answer.problem.empty()) throw CheckFailure(where + " " + answer.problem);
  if (answer.text.size() <= request.nominal) return;
  std::string longer = where + " '" + answer.text + "' has " + std::to_string(answer.text.size()) +
                       " characters, more than the nominal " + std::to_string(request.nominal);
  if (context.pedantic()) throw CheckFailure(longer);
  context.note(longer + "; hosts with small buffers cut it");
}

}  // namespace

std::string checkTexts(CheckContext& context) {
  EffectInstance effect(context.module());
  effect.start(44100.0f, 512);
  std::vector<TextRequest> requests = {
      {effGetEffectName, 0, kEffectNameLength, "the effect's name"},
      {effGetVendorString, 0, kVendorTextLength, "the vendor"},
      {effGetProductString, 0, kVendorTextLength, "the product"}};
  for (VstInt32 i = 0; i < effect.parameterCount(); ++i) {
    std::string parameter = "parameter " + std::to_string(i);
    for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
      requests.push_back({opcode, i, kParameterTextLength, parameter});
  }
  for (VstInt32 i = 0; i < effect.programCount(); ++i)
    requests.push_back(
        {effGetProgramNameIndexed, i, kProgramNameLength, "program " + std::to_string(i)});
  requests.push_back({effGetProgramName, 0, kProgramNameLength, "the current program"});
  for (const TextRequest& request : requests) judgeText(context, effect, request);
  return std::to_string(requests.size()) + " texts, each ending within the " +
         std::to_string(TextAnswer::kRoom) + " bytes hosts give";
}
