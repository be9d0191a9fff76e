#include "tools/validate/EffectInstance.h"

#include <utility>

#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/PluginModule.h"
#include "tools/validate/ValidatorHost.h"

namespace {

std::string outOfRange(VstInt32 count, const char* what, VstInt32 most) {
  if (count >= 0 && count <= most) return "";
  return "declares " + std::to_string(count) + " " + what + " (a host takes 0 to " +
         std::to_string(most) + ")";
}

// What a record with the right magic still lacks before a host can use it; empty when whole.
std::string recordFault(const AEffect& record) {
  if (!record.dispatcher) return "has no dispatcher function";
  if (!(record.flags & (effFlagsCanReplacing | effFlagsCanDoubleReplacing)))
    return "offers neither 32-bit nor 64-bit replacing processing";
  if ((record.flags & effFlagsCanReplacing) && !record.processReplacing)
    return "promises 32-bit processing but has no processReplacing function";
  if ((record.flags & effFlagsCanDoubleReplacing) && !record.processDoubleReplacing)
    return "promises 64-bit processing but has no processDoubleReplacing function";
  if (!record.setParameter) return "has no setParameter function";
  if (!record.getParameter) return "has no getParameter function";
  using Limit = std::pair<VstInt32, const char*>;
  for (auto [count, what] :
       {Limit{record.numInputs, "inputs"}, Limit{record.numOutputs, "outputs"}})
    if (std::string fault = outOfRange(count, what, EffectInstance::kMaxChannels); !fault.empty())
      return fault;
  for (auto [count, what] :
       {Limit{record.numParams, "parameters"}, Limit{record.numPrograms, "programs"}})
    if (std::string fault = outOfRange(count, what, EffectInstance::kMaxParametersOrPrograms);
        !fault.empty())
      return fault;
  return "";
}

}  // namespace

EffectInstance::EffectInstance(const PluginModule& module) {
  AEffect* created = module.createEffect();
  if (!created)
    throw CheckFailure("the entry point " + module.entryPointName() + " gave no effect");
  if (created->magic != kEffectMagic)
    throw CheckFailure("the entry point gave a record without the VST magic");
  std::string fault = recordFault(*created);
  if (!fault.empty()) {
    if (created->dispatcher) created->dispatcher(created, effClose, 0, 0, nullptr, 0.0f);
    throw CheckFailure("the effect's record " + fault);
  }
  effect = created;
  ValidatorHost::setParameterCount(effect->numParams);
}

EffectInstance::~EffectInstance() { close(); }

void EffectInstance::close() {
  if (effect) dispatch(effClose);
  effect = nullptr;
}

VstIntPtr EffectInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) const {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void EffectInstance::start(float rate, VstInt32 blockSize) const {
  dispatch(effOpen);
  setSampleRate(rate);
  setBlockSize(blockSize);
  resume();
}

void EffectInstance::setSampleRate(float rate) const {
  ValidatorHost::setCurrentRate(rate);
  dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void EffectInstance::setBlockSize(VstInt32 frames) const {
  ValidatorHost::setCurrentBlockSize(frames);
  dispatch(effSetBlockSize, 0, frames);
}

void EffectInstance::resume() const { dispatch(effMainsChanged, 0, 1); }
void EffectInstance::suspend() const { dispatch(effMainsChanged, 0, 0); }

std::vector<Precision> EffectInstance::precisions() const {
  std::vector<Precision> offered;
  if (effect->flags & effFlagsCanReplacing) offered.push_back(Precision::single);
  if (effect->flags & effFlagsCanDoubleReplacing) offered.push_back(Precision::twice);
  return offered;
}

const char* precisionName(Precision precision) {
  return precision == Precision::single ? "32-bit" : "64-bit";
}
