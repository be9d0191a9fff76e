// The plug-in library's second export: the headless editor table for the command-line host and the
// tests (HeadlessEditorApi.h). Built into the plug-in library only, on platforms with the raster
// backend.
#include <memory>

#include "editor/HeadlessEditorApi.h"
#include "editor/HeadlessEditorSession.h"
#include "host/VstInterface.h"

namespace {

HeadlessEditorSession* sessionOf(LumivaneEditorSession* session) {
  return reinterpret_cast<HeadlessEditorSession*>(session);
}

int32_t answer(bool done) { return done ? 1 : 0; }

// No exception may reach the C caller; the only one that can arise is a failed allocation, which
// is answered as "not done".
template <typename Action>
int32_t guarded(LumivaneEditorSession* session, Action action) {
  if (!session) return 0;
  try {
    return answer(action(*sessionOf(session)));
  } catch (...) {
    return 0;
  }
}

LumivaneEditorSession* openSession(AEffect* effect) {
  try {
    return reinterpret_cast<LumivaneEditorSession*>(HeadlessEditorSession::open(effect).release());
  } catch (...) {
    return nullptr;
  }
}

int32_t idleSession(LumivaneEditorSession* session, int32_t count) {
  return guarded(session, [&](HeadlessEditorSession& s) { return s.idle(count); });
}

int32_t pressSession(LumivaneEditorSession* session, int32_t x, int32_t y, int32_t buttons) {
  return guarded(session, [&](HeadlessEditorSession& s) { return s.press(x, y, buttons); });
}

int32_t dragSession(LumivaneEditorSession* session, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                    int32_t buttons) {
  return guarded(session,
                 [&](HeadlessEditorSession& s) { return s.drag(x1, y1, x2, y2, buttons); });
}

int32_t wheelSession(LumivaneEditorSession* session, int32_t x, int32_t y, float notches) {
  return guarded(session, [&](HeadlessEditorSession& s) { return s.wheel(x, y, notches); });
}

int32_t keySession(LumivaneEditorSession* session, int32_t character, int32_t virtualKey,
                   int32_t modifiers) {
  if (virtualKey < 0 || virtualKey > 255 || modifiers < 0 || modifiers > 255) return 0;
  VstKeyCode key{character, static_cast<unsigned char>(virtualKey),
                 static_cast<unsigned char>(modifiers)};
  return guarded(session, [&](HeadlessEditorSession& s) { return s.key(key); });
}

int32_t typeSession(LumivaneEditorSession* session, const char* text) {
  return guarded(session, [&](HeadlessEditorSession& s) { return s.type(text); });
}

int32_t snapshotSession(LumivaneEditorSession* session, const char* path) {
  return guarded(session, [&](HeadlessEditorSession& s) { return s.snapshot(path); });
}

void closeSession(LumivaneEditorSession* session) {
  // Closing only sends the editor-close opcode and frees: nothing that can throw.
  delete sessionOf(session);
}

const LumivaneHeadlessEditorApi kHeadlessEditorApi = {
    LUMIVANE_HEADLESS_EDITOR_VERSION,
    openSession,
    idleSession,
    pressSession,
    dragSession,
    wheelSession,
    keySession,
    typeSession,
    snapshotSession,
    closeSession,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LumivaneHeadlessEditorApi*
LumivaneHeadlessEditor(void) {
  return &kHeadlessEditorApi;
}
