// The state a host keeps in a project: the current program, its name, the parameter values and
// the names of all programs (or the plug-in's chunk, when it keeps its state in one), saved from
// one effect and loaded into a fresh one.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/validate/CheckContext.h"
#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"
#include "tools/validate/TextAnswer.h"

namespace {

// The record's flag for a plug-in that keeps its state in a chunk (effGetChunk, effSetChunk).
constexpr VstInt32 kFlagProgramChunks = 1 << 5;
// A chunk larger than this is taken for garbage rather than copied.
constexpr VstIntPtr kMaxChunkBytes = 64 << 20;
// Parameter values survive the trip as 32-bit floats; the plug-in may round them once.
constexpr float kValueTolerance = 1e-5f;

struct ProjectState {
  VstIntPtr program = 0;
  std::string programName;
  std::vector<float> values;
  std::vector<std::string> programNames;
  std::vector<char> chunk;
};

std::string text(const EffectInstance& effect, VstInt32 opcode, VstInt32 index = 0) {
  TextAnswer answer = TextAnswer::ask(effect, opcode, index);
  if (!answer.problem.empty())
    throw CheckFailure("opcode " + std::to_string(opcode) + " " + answer.problem);
  return answer.text;
}

std::vector<char> chunkOf(const EffectInstance& effect) {
  void* data = nullptr;
  VstIntPtr size = effect.dispatch(effGetChunk, 0, 0, &data);
  if (size < 0 || size > kMaxChunkBytes || (size > 0 && !data))
    throw CheckFailure("effGetChunk answers " + std::to_string(size) + " bytes at " +
                       (data ? "an address" : "null"));
  const char* bytes = static_cast<const char*>(data);
  return std::vector<char>(bytes, bytes + size);
}

ProjectState save(const EffectInstance& effect) {
  ProjectState state;
  state.program = effect.dispatch(effGetProgram);
  state.programName = text(effect, effGetProgramName);
  for (VstInt32 i = 0; i < effect.parameterCount(); ++i)
    state.values.push_back(effect.getParameter(i));
  for (VstInt32 i = 0; i < effect.programCount(); ++i)
    state.programNames.push_back(text(effect, effGetProgramNameIndexed, i));
  if (effect.record()->flags & kFlagProgramChunks) state.chunk = chunkOf(effect);
  return state;
}

void load(const EffectInstance& effect, ProjectState state) {
  if (!state.chunk.empty()) {
    effect.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(state.chunk.size()), state.chunk.data());
    return;
  }
  effect.dispatch(effSetProgram, 0, state.program);
  std::vector<char> name(state.programName.begin(), state.programName.end());
  name.resize(kVstMaxProgNameLen, '\0');
  effect.dispatch(effSetProgramName, 0, 0, name.data());
  for (std::size_t i = 0; i < state.values.size(); ++i)
    effect.setParameter(static_cast<VstInt32>(i), state.values[i]);
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

void compare(const ProjectState& saved, const ProjectState& loaded) {
  if (loaded.program != saved.program)
    throw CheckFailure("the program is " + std::to_string(loaded.program) + " after loading, was " +
                       std::to_string(saved.program));
  if (loaded.programName != saved.programName)
    throw CheckFailure("the program's name is " + quoted(loaded.programName) +
                       " after loading, was " + quoted(saved.programName));
  for (std::size_t i = 0; i < saved.values.size(); ++i)
    if (!(std::fabs(loaded.values[i] - saved.values[i]) <= kValueTolerance))
      throw CheckFailure("parameter " + std::to_string(i) + " is " +
                         std::to_string(loaded.values[i]) + " after loading, was " +
                         std::to_string(saved.values[i]));
  for (std::size_t i = 0; i < saved.programNames.size(); ++i)
    if (loaded.programNames[i] != saved.programNames[i])
      throw CheckFailure("program " + std::to_string(i) + " is named " +
                         quoted(loaded.programNames[i]) + " after loading, was " +
                         quoted(saved.programNames[i]));
}

// Puts the first effect into a state of its own: a random program, renamed, random values.
void change(CheckContext& context, const EffectInstance& effect) {
  if (effect.programCount() > 0) {
    effect.dispatch(effSetProgram, 0, context.between(0, effect.programCount() - 1));
    char name[kVstMaxProgNameLen] = {};
    std::snprintf(name, sizeof name, "Validated %d", static_cast<int>(context.between(0, 99999)));
    effect.dispatch(effSetProgramName, 0, 0, name);
    if (text(effect, effGetProgramName) != name)
      context.note("effSetProgramName(" + quoted(name) + ") leaves the program named " +
                   quoted(text(effect, effGetProgramName)));
  }
  for (VstInt32 i = 0; i < effect.parameterCount(); ++i)
    effect.setParameter(i, std::uniform_real_distribution<float>(0.0f, 1.0f)(context.random()));
}

}  // namespace

std::string checkStateRoundTrip(CheckContext& context) {
  ProjectState saved;
  {
    context.step("changing and saving the first effect's state");
    EffectInstance first(context.module());
    first.start(44100.0f, 512);
    change(context, first);
    saved = save(first);
  }
  context.step("loading the state into a fresh effect");
  EffectInstance second(context.module());
  second.start(44100.0f, 512);
  load(second, saved);
  compare(saved, save(second));
  return "program " + std::to_string(saved.program) + " " + quoted(saved.programName) + ", " +
         std::to_string(saved.values.size()) + " parameter values and " +
         std::to_string(saved.programNames.size()) + " program names saved and loaded" +
         (saved.chunk.empty() ? "" : " through the plug-in's chunk");
}
