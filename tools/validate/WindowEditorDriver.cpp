#include "tools/validate/WindowEditorDriver.h"

#include "tools/validate/Platform.h"

namespace {

constexpr int kUsualWidth = 640;
constexpr int kUsualHeight = 480;
// Larger sides than this are no editor's: the host window keeps the usual size then.
constexpr int kMostPixels = 8192;

}  // namespace

WindowEditorDriver::WindowEditorDriver(const EffectInstance& effect) : effect(effect) {}

WindowEditorDriver::~WindowEditorDriver() {
  if (editorOpen) effect.dispatch(effEditClose);
  closeWindow();
}

void WindowEditorDriver::askSize(int& width, int& height) const {
  width = kUsualWidth;
  height = kUsualHeight;
  ERect* rectangle = nullptr;
  if (!effect.dispatch(effEditGetRect, 0, 0, &rectangle) || !rectangle) return;
  int askedWidth = rectangle->right - rectangle->left;
  int askedHeight = rectangle->bottom - rectangle->top;
  if (askedWidth <= 0 || askedHeight <= 0 || askedWidth > kMostPixels || askedHeight > kMostPixels)
    return;
  width = askedWidth;
  height = askedHeight;
}

std::string WindowEditorDriver::open() {
  int width = 0, height = 0;
  askSize(width, height);
  std::string error;
  window = platform::openHostWindow(width, height, error);
  if (!window) return error;
  // Plug-ins differ in what effEditOpen answers; the window the editor makes is what counts.
  VstIntPtr answered = effect.dispatch(effEditOpen, 0, 0, window);
  editorOpen = answered != 0 || platform::hasChildWindow(window);
  if (!editorOpen) return "effEditOpen answered 0 and made no window in the host's window";
  if (!platform::hasChildWindow(window))
    return "effEditOpen answered " + std::to_string(answered) +
           " but made no window in the host's window";
  return "";
}

void WindowEditorDriver::idle() {
  platform::pumpMessages(kIdleMilliseconds, kIdleMilliseconds,
                         [this] { effect.dispatch(effEditIdle); });
}

std::string WindowEditorDriver::close() {
  effect.dispatch(effEditClose);
  editorOpen = false;
  // The messages that the closing sent are handled before the host window is looked at.
  platform::pumpMessages(kIdleMilliseconds, kIdleMilliseconds, [] {});
  bool left = platform::hasChildWindow(window);
  closeWindow();
  return left ? "the editor's window is still in the host's window after effEditClose" : "";
}

std::string WindowEditorDriver::manner() const {
  return "in a host window, its messages pumped and effEditIdle every " +
         std::to_string(kIdleMilliseconds) + " ms";
}

void WindowEditorDriver::closeWindow() {
  if (window) platform::closeHostWindow(window);
  window = nullptr;
}
