// The editor opened, idled and closed again and again, with and without audio running. Without
// a window system the editor is reached through the headless table that Lumivane libraries
// export (HeadlessEditorApi.h); for other plug-ins these checks are skipped.
#include <memory>
#include <string>

#include "tools/validate/AudioThread.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 256;

// effEditGetRect must give a rectangle a host can make a window of.
void expectRectangle(const EffectInstance& effect) {
  ERect* rectangle = nullptr;
  VstIntPtr answered = effect.dispatch(effEditGetRect, 0, 0, &rectangle);
  if (!answered || !rectangle)
    throw CheckFailure("effEditGetRect gives no rectangle while the editor is open");
  int width = rectangle->right - rectangle->left, height = rectangle->bottom - rectangle->top;
  if (width <= 0 || height <= 0)
    throw CheckFailure("effEditGetRect gives a rectangle of " + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels");
}

const LumivaneHeadlessEditorApi& headlessEditor(CheckContext& context,
                                                const EffectInstance& effect) {
  if (!effect.hasEditor()) throw CheckSkipped("the plug-in has no editor");
  const LumivaneHeadlessEditorApi* api = context.module().headlessEditor();
  if (!api)
    throw CheckSkipped("no headless editor (" LUMIVANE_HEADLESS_EDITOR_SYMBOL
                       "); a window-system editor "
                       "needs a display and a host window");
  return *api;
}

std::string editorCycles(CheckContext& context, bool withAudio) {
  EffectInstance effect(context.module());
  const LumivaneHeadlessEditorApi& api = headlessEditor(context, effect);
  effect.start(kRate, kBlock);
  std::unique_ptr<AudioThread> audio;
  if (withAudio)
    audio = std::make_unique<AudioThread>(effect, effect.precisions().front(), kBlock, kRate);
  int cycles = context.scaled(20);
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    std::string where = "cycle " + std::to_string(cycle) + " of " + std::to_string(cycles);
    context.step(where + ": opening the editor");
    LumivaneEditorSession* session = api.open(effect.record());
    if (!session) throw CheckFailure("the editor did not open in " + where);
    expectRectangle(effect);
    context.step(where + ": idling the editor while parameters change");
    for (VstInt32 index = 0; index < effect.parameterCount(); ++index) {
      effect.setParameter(index,
                          std::uniform_real_distribution<float>(0.0f, 1.0f)(context.random()));
      api.idle(session, 1);
    }
    if (audio) audio->waitForBlocks(cycle);
    api.idle(session, 2);
    context.step(where + ": closing the editor");
    api.close(session);
  }
  if (audio) audio->stop();
  return std::to_string(cycles) +
         " cycles of open, idle with parameter changes, and close (headless)" +
         (withAudio ? ", with audio running on another thread" : "");
}

}  // namespace

std::string checkEditorCycles(CheckContext& context) { return editorCycles(context, false); }

std::string checkEditorCyclesDuringAudio(CheckContext& context) {
  return editorCycles(context, true);
}
