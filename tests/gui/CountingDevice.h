#pragma once

// A drawing device that counts every call by operation name and passes it on to a real one, so
// that tests can see which attribute changes reach the platform.

#include <map>
#include <string>

#include "gui/platform/PlatformDevice.h"

class CountingDevice : public gui::platform::PlatformDevice {
 public:
  explicit CountingDevice(gui::platform::PlatformDevice* inner) : inner(inner) {}

  int count(const std::string& operation) const {
    auto it = calls.find(operation);
    return it == calls.end() ? 0 : it->second;
  }
  int total() const {
    int sum = 0;
    for (const auto& entry : calls) sum += entry.second;
    return sum;
  }
  void reset() { calls.clear(); }

  gui::platform::PlatformPen* getCurrentPen() override {
    return note("getCurrentPen"), inner->getCurrentPen();
  }
  gui::platform::PlatformBrush* getCurrentBrush() override {
    return note("getCurrentBrush"), inner->getCurrentBrush();
  }
  gui::platform::PlatformFont* getCurrentFont() override {
    return note("getCurrentFont"), inner->getCurrentFont();
  }
  gui::platform::PlatformPen* selectPen(gui::platform::PlatformPen* pen) override {
    return note("selectPen"), inner->selectPen(pen);
  }
  gui::platform::PlatformBrush* selectBrush(gui::platform::PlatformBrush* brush) override {
    return note("selectBrush"), inner->selectBrush(brush);
  }
  gui::platform::PlatformFont* selectFont(gui::platform::PlatformFont* font) override {
    return note("selectFont"), inner->selectFont(font);
  }
  gui::platform::PlatformImage* selectImage(gui::platform::PlatformImage* image) override {
    return note("selectImage"), inner->selectImage(image);
  }
  void setBackgroundMode(int32_t mode) override {
    note("setBackgroundMode");
    lastBackgroundMode = mode;
    inner->setBackgroundMode(mode);
  }
  gui::platform::PlatformColor setBackgroundColor(gui::platform::PlatformColor color) override {
    return note("setBackgroundColor"), inner->setBackgroundColor(color);
  }
  gui::platform::PlatformColor setTextColor(gui::platform::PlatformColor color) override {
    return note("setTextColor"), inner->setTextColor(color);
  }
  void setRasterMode(int32_t mode) override {
    note("setRasterMode");
    inner->setRasterMode(mode);
  }
  void selectClipRect(const gui::CViewRect& rect) override {
    note("selectClipRect");
    lastClip = rect;
    inner->selectClipRect(rect);
  }
  void moveTo(int32_t x, int32_t y) override {
    note("moveTo");
    inner->moveTo(x, y);
  }
  void lineTo(int32_t x, int32_t y) override {
    note("lineTo");
    inner->lineTo(x, y);
  }
  void fillRect(const gui::CViewRect& rect, gui::platform::PlatformBrush* brush) override {
    note("fillRect");
    inner->fillRect(rect, brush);
  }
  void setPixel(int32_t x, int32_t y, gui::platform::PlatformColor color) override {
    note("setPixel");
    inner->setPixel(x, y, color);
  }
  gui::platform::PlatformColor getPixel(int32_t x, int32_t y) override {
    return note("getPixel"), inner->getPixel(x, y);
  }
  void drawText(const char* text, const gui::CViewRect& rect, uint32_t flags) override {
    note("drawText");
    lastTextRect = rect;
    lastTextFlags = flags;
    inner->drawText(text, rect, flags);
  }
  void bitBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
              gui::platform::PlatformDevice* source, int32_t sx, int32_t sy,
              uint32_t rop) override {
    note("bitBlt");
    inner->bitBlt(dx, dy, width, height, source, sx, sy, rop);
  }

  gui::CViewRect lastClip;
  gui::CViewRect lastTextRect;
  uint32_t lastTextFlags = 0;
  int32_t lastBackgroundMode = 0;

 private:
  void note(const char* operation) { ++calls[operation]; }
  gui::platform::PlatformDevice* inner;
  std::map<std::string, int> calls;
};
