// The editor opened, idled and closed again and again, with and without audio running. Where the
// platform has host windows (Windows) the editor opens in one as a host opens it; elsewhere it is
// reached through the headless table that Lumivane libraries export (HeadlessEditorApi.h), and
// other plug-ins skip these checks.
#include <memory>
#include <string>

#include "tools/validate/AudioThread.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"
#include "tools/validate/HeadlessEditorDriver.h"
#include "tools/validate/Platform.h"
#include "tools/validate/WindowEditorDriver.h"

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

std::unique_ptr<EditorDriver> editorDriver(CheckContext& context, const EffectInstance& effect) {
  if (!effect.hasEditor()) throw CheckSkipped("the plug-in has no editor");
  if (platform::hasHostWindows()) return std::make_unique<WindowEditorDriver>(effect);
  const LumivaneHeadlessEditorApi* api = context.module().headlessEditor();
  if (!api)
    throw CheckSkipped("no headless editor (" LUMIVANE_HEADLESS_EDITOR_SYMBOL
                       "); a window-system editor needs a display and a host window");
  return std::make_unique<HeadlessEditorDriver>(effect, *api);
}

void expectDone(const std::string& problem, const std::string& where) {
  if (!problem.empty()) throw CheckFailure(problem + " in " + where);
}

std::string editorCycles(CheckContext& context, bool withAudio) {
  EffectInstance effect(context.module());
  std::unique_ptr<EditorDriver> editor = editorDriver(context, effect);
  effect.start(kRate, kBlock);
  std::unique_ptr<AudioThread> audio;
  if (withAudio)
    audio = std::make_unique<AudioThread>(effect, effect.precisions().front(), kBlock, kRate);
  int cycles = context.scaled(20);
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    std::string where = "cycle " + std::to_string(cycle) + " of " + std::to_string(cycles);
    context.step(where + ": opening the editor");
    expectDone(editor->open(), where);
    expectRectangle(effect);
    context.step(where + ": idling the editor while parameters change");
    for (VstInt32 index = 0; index < effect.parameterCount(); ++index) {
      effect.setParameter(index,
                          std::uniform_real_distribution<float>(0.0f, 1.0f)(context.random()));
      editor->idle();
    }
    if (audio) audio->waitForBlocks(cycle);
    editor->idle();
    editor->idle();
    context.step(where + ": closing the editor");
    expectDone(editor->close(), where);
  }
  if (audio) audio->stop();
  return std::to_string(cycles) + " cycles of open, idle with parameter changes, and close (" +
         editor->manner() + ")" + (withAudio ? ", with audio running on another thread" : "");
}

}  // namespace

std::string checkEditorCycles(CheckContext& context) { return editorCycles(context, false); }

std::string checkEditorCyclesDuringAudio(CheckContext& context) {
  return editorCycles(context, true);
}
