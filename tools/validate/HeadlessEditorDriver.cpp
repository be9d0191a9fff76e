#include "tools/validate/HeadlessEditorDriver.h"

HeadlessEditorDriver::HeadlessEditorDriver(const EffectInstance& effect,
                                           const LumivaneHeadlessEditorApi& api)
    : effect(effect), api(api) {}

HeadlessEditorDriver::~HeadlessEditorDriver() { close(); }

std::string HeadlessEditorDriver::open() {
  session = api.open(effect.record());
  return session ? "" : "the editor did not open";
}

void HeadlessEditorDriver::idle() { api.idle(session, 1); }

std::string HeadlessEditorDriver::close() {
  api.close(session);
  session = nullptr;
  return "";
}
