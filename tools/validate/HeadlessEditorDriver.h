#pragma once
#include "editor/HeadlessEditorApi.h"
#include "tools/validate/EditorDriver.h"
#include "tools/validate/EffectInstance.h"

// The editor opened through the headless table that Lumivane libraries export
// (HeadlessEditorApi.h): no window system, an idle turn as the table's idle after the window's
// pending paint.
class HeadlessEditorDriver : public EditorDriver {
 public:
  HeadlessEditorDriver(const EffectInstance& effect, const LumivaneHeadlessEditorApi& api);
  // Closes an editor that a failed check left open.
  ~HeadlessEditorDriver() override;

  std::string open() override;
  void idle() override;
  std::string close() override;
  std::string manner() const override { return "headless"; }

 private:
  const EffectInstance& effect;
  const LumivaneHeadlessEditorApi& api;
  LumivaneEditorSession* session = nullptr;
};
