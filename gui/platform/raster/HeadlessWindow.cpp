#include "gui/platform/raster/HeadlessWindow.h"

#include "gui/platform/Platform.h"
#include "gui/platform/raster/NativeWindow.h"
#include "gui/platform/raster/PngWriter.h"
#include "gui/platform/raster/RasterInput.h"
#include "gui/platform/raster/RasterTextEntry.h"
#include "gui/platform/raster/WindowRecord.h"

namespace gui {
namespace raster {

using platform::WindowMessage;
using platform::WindowMessageKind;
using platform::WindowRecord;

HeadlessWindow::HeadlessWindow(int32_t width, int32_t height, const CViewPoint& screenOrigin)
    : record(WindowRecord::create(nullptr, width, height, screenOrigin)), ownsRecord(true) {
  record->facade = this;
}

HeadlessWindow::HeadlessWindow(WindowRecord* record) : record(record), ownsRecord(false) {}

std::unique_ptr<HeadlessWindow> HeadlessWindow::makeFacade(WindowRecord* record) {
  return std::unique_ptr<HeadlessWindow>(new HeadlessWindow(record));
}

HeadlessWindow::~HeadlessWindow() {
  if (!ownsRecord) return;
  record->destroy();
  record->facade = nullptr;
}

void* HeadlessWindow::handle() const { return record->handle(); }

HeadlessWindow* HeadlessWindow::fromHandle(void* handle) {
  WindowRecord* window = WindowRecord::find(handle);
  return window != nullptr ? window->facade : nullptr;
}

HeadlessWindow* HeadlessWindow::getChild() const {
  for (auto it = record->children.rbegin(); it != record->children.rend(); ++it) {
    if ((*it)->alive) return (*it)->facade;
  }
  return nullptr;
}

bool HeadlessWindow::isAlive() const { return record->alive; }

int32_t HeadlessWindow::getWidth() const { return record->width; }

int32_t HeadlessWindow::getHeight() const { return record->height; }

CViewPoint HeadlessWindow::getScreenOrigin() const { return record->origin; }

CViewPoint HeadlessWindow::clientToScreen(const CViewPoint& where) const {
  return where.offsetBy(record->origin.x, record->origin.y);
}

void HeadlessWindow::invalidate(const CViewRect& rect) { record->invalidate(rect); }

bool HeadlessWindow::hasPendingPaint() const { return record->alive && record->pendingPaint; }

CViewRect HeadlessWindow::getUpdateRect() const {
  return hasPendingPaint() ? record->updateRect : CViewRect();
}

bool HeadlessWindow::dispatchPaint() { return record->dispatchPaint(); }

void HeadlessWindow::paint(const CViewRect& rect) {
  invalidate(rect);
  dispatchPaint();
}

int32_t HeadlessWindow::getPaintCount() const { return record->paintCount; }

void HeadlessWindow::press(const CViewPoint& where, MouseButtonState buttons) {
  if (!record->alive) return;
  platform::setInputWindow(record);
  RasterInput::setState({clientToScreen(where), buttons});
  record->press(where);
}

void HeadlessWindow::drag(const std::vector<InputStep>& path) {
  if (path.empty()) return;
  std::vector<InputState> script;
  script.reserve(path.size());
  for (const InputStep& step : path) script.push_back({clientToScreen(step.where), step.buttons});
  RasterInput::queue(script);
  press(path.front().where, path.front().buttons);
}

bool HeadlessWindow::wheel(const CViewPoint& where, int32_t delta) {
  if (!record->alive) return false;
  const CViewPoint screen = clientToScreen(where);
  platform::setInputWindow(record);
  RasterInput::setCursor(screen);
  WindowMessage message;
  message.kind = WindowMessageKind::mouseWheel;
  message.where = screen;
  message.wheelDelta = delta;
  if (record->send(message)) return false;
  // The default processing hands the wheel to the parent window.
  if (record->parent != nullptr) ++record->parent->forwardedWheel;
  return true;
}

int32_t HeadlessWindow::keyDown(const KeyEvent& key) { return record->key(key) ? 1 : -1; }

int32_t HeadlessWindow::keyUp(const KeyEvent&) {
  return record->alive && record->entry != nullptr ? 1 : -1;
}

void HeadlessWindow::typeText(const char* text) {
  if (text == nullptr) return;
  for (const char* c = text; *c != '\0'; ++c) {
    KeyEvent key{};
    key.character = static_cast<unsigned char>(*c);
    keyDown(key);
  }
}

uint32_t HeadlessWindow::dragEnter(platform::DragData* data) {
  return record->dropHandler != nullptr ? record->dropHandler->dragEnter(data)
                                        : platform::kDropEffectNone;
}

uint32_t HeadlessWindow::dragOver() {
  return record->dropHandler != nullptr ? record->dropHandler->dragOver(platform::kDropEffectNone)
                                        : platform::kDropEffectNone;
}

void HeadlessWindow::dragLeave() {
  if (record->dropHandler != nullptr) record->dropHandler->dragLeave();
}

uint32_t HeadlessWindow::drop(platform::DragData* data) {
  return record->dropHandler != nullptr ? record->dropHandler->drop(data, platform::kDropEffectMove)
                                        : platform::kDropEffectNone;
}

bool HeadlessWindow::isDropTargetRegistered() const { return record->dropHandler != nullptr; }

RasterImageCopy HeadlessWindow::screenshot() const {
  if (record->surface == nullptr) return RasterImageCopy();
  RasterImageCopy copy(*record->surface);
  if (record->entry != nullptr) {
    record->entry->render(copy.image());
  }
  return copy;
}

bool HeadlessWindow::savePng(const char* path) const {
  return writePng(path, screenshot().image());
}

platform::PlatformColor HeadlessWindow::screenColorAt(int32_t x, int32_t y) const {
  if (record->entry != nullptr && record->entry->contains(CViewPoint(x, y))) {
    return screenshot().colorAt(x, y);
  }
  return record->surface != nullptr ? record->surface->colorAt(x, y) : platform::kInvalidColor;
}

platform::PlatformTextEntry* HeadlessWindow::getTextEntry() const { return record->entry; }

void HeadlessWindow::destroy() { record->destroy(); }

int32_t HeadlessWindow::getForwardedWheelCount() const { return record->forwardedWheel; }

}  // namespace raster
}  // namespace gui
