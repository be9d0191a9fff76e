#ifndef LUMIVANE_HEADLESS_EDITOR_API_H
#define LUMIVANE_HEADLESS_EDITOR_API_H
/* The plug-in library's private way in for the command-line host and the tests: the editor opened
 * in a headless window of the raster backend, driven by presses, drags, wheel turns, keys and
 * typing, and saved as a PNG picture. Hosts never see it; their effEditOpen on Linux answers 0.
 *
 * The library exports one C function under the name LUMIVANE_HEADLESS_EDITOR_SYMBOL, which
 * answers a table of functions. Plain C types only, so any host can look it up with dlsym.
 * Coordinates are pixels in the editor window, (0, 0) at its top-left corner. Functions that
 * answer int32_t answer 1 when done and 0 when not (no session, editor closed, bad argument). */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct AEffect;

/* One editor opened headless for one effect. */
typedef struct LumivaneEditorSession LumivaneEditorSession;

/* Mouse buttons and modifiers held during a press or a drag (they may be combined). */
enum {
  LUMIVANE_BUTTON_LEFT = 1,
  LUMIVANE_BUTTON_MIDDLE = 2,
  LUMIVANE_BUTTON_RIGHT = 4,
  LUMIVANE_MODIFIER_SHIFT = 8,
  LUMIVANE_MODIFIER_CONTROL = 16,
  LUMIVANE_MODIFIER_ALT = 32
};

#define LUMIVANE_HEADLESS_EDITOR_SYMBOL "LumivaneHeadlessEditor"
#define LUMIVANE_HEADLESS_EDITOR_VERSION 1

typedef struct LumivaneHeadlessEditorApi {
  int32_t version; /* LUMIVANE_HEADLESS_EDITOR_VERSION */
  /* Opens the editor of an effect of this library in a headless window; null when the record is
   * not one of this library's effects or the editor cannot open. */
  LumivaneEditorSession* (*open)(struct AEffect* effect);
  /* `count` editor idles, each after the window's pending paint (as a system delivers it). */
  int32_t (*idle)(LumivaneEditorSession* session, int32_t count);
  /* A press and release of `buttons` at (x, y). */
  int32_t (*press)(LumivaneEditorSession* session, int32_t x, int32_t y, int32_t buttons);
  /* A press at (x1, y1), a move to (x2, y2) in small steps with the buttons held, a release. */
  int32_t (*drag)(LumivaneEditorSession* session, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  int32_t buttons);
  /* Wheel turns of `notches` (negative: towards the user) at (x, y). */
  int32_t (*wheel)(LumivaneEditorSession* session, int32_t x, int32_t y, float notches);
  /* A key pressed and released: the VST key record's character, virtual key and modifiers. */
  int32_t (*key)(LumivaneEditorSession* session, int32_t character, int32_t virtualKey,
                 int32_t modifiers);
  /* Each character of a zero-terminated text typed as a key. */
  int32_t (*type)(LumivaneEditorSession* session, const char* text);
  /* What the editor window shows now, as an RGB PNG file. */
  int32_t (*snapshot)(LumivaneEditorSession* session, const char* path);
  /* Closes the editor and ends the session; null is ignored. */
  void (*close)(LumivaneEditorSession* session);
} LumivaneHeadlessEditorApi;

typedef const LumivaneHeadlessEditorApi* (*LumivaneHeadlessEditorProc)(void);

#ifdef __cplusplus
}
#endif

#endif /* LUMIVANE_HEADLESS_EDITOR_API_H */
