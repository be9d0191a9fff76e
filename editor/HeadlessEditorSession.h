#pragma once
#include <cstdint>
#include <memory>

#include "gui/MouseButtonState.h"

struct AEffect;
struct VstKeyCode;

namespace gui {
namespace raster {
class HeadlessWindow;
}  // namespace raster
}  // namespace gui

// The editor of one effect, opened the way a host opens it (effEditGetRect, effEditOpen with a
// parent window, effEditIdle, effEditClose through the effect's dispatcher), but inside a headless
// window of the raster backend that stands in for the host's, so that input can be played into it
// and what it shows can be saved. Built on the raster backend only; the command-line host reaches
// it through the library's exported table (HeadlessEditorApi.h).
class HeadlessEditorSession {
 public:
  // Largest window the session makes for an editor, in each direction.
  static constexpr std::int32_t kMaxSide = 4096;

  // Opens the editor and delivers its window's first paint. Null when the record is not a live
  // effect of this library with an editor, or the editor does not open.
  static std::unique_ptr<HeadlessEditorSession> open(AEffect* effect);
  ~HeadlessEditorSession();
  HeadlessEditorSession(const HeadlessEditorSession&) = delete;
  HeadlessEditorSession& operator=(const HeadlessEditorSession&) = delete;

  bool isOpen() const;
  // Each idle first delivers a pending paint of the window, as the system would, then the host's
  // effEditIdle.
  bool idle(std::int32_t count);
  bool press(std::int32_t x, std::int32_t y, gui::MouseButtonState buttons);
  bool drag(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
            gui::MouseButtonState buttons);
  bool wheel(std::int32_t x, std::int32_t y, float notches);
  bool key(const VstKeyCode& key);
  bool type(const char* text);
  bool snapshot(const char* path) const;
  // Closes the editor; every input afterwards does nothing.
  void close();

  // The frame's own window inside the stand-in host window, null once closed.
  gui::raster::HeadlessWindow* editorWindow() const;
  AEffect* getEffect() const { return effect; }

 private:
  HeadlessEditorSession(AEffect* effect, std::unique_ptr<gui::raster::HeadlessWindow> hostWindow);

  AEffect* effect;
  std::unique_ptr<gui::raster::HeadlessWindow> hostWindow;
  bool opened;
};
