#pragma once

// Views for the tests that write what happens to them into a shared log, and optionally paint
// their rectangle so that what they drew shows in the pixels.

#include <string>
#include <vector>

#include "gui/CDrawContext.h"
#include "gui/CViewContainer.h"
#include "gui/KeyEvent.h"

using EventLog = std::vector<std::string>;

inline std::string pointText(const gui::CViewPoint& p) {
  return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

inline std::string rectText(const gui::CViewRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

class RecordingView : public gui::CView {
 public:
  RecordingView(const std::string& name, const gui::CViewRect& size, EventLog* log,
                int* destroyed = nullptr)
      : gui::CView(size), name(name), log(log), destroyed(destroyed) {}
  ~RecordingView() override {
    if (destroyed != nullptr) ++*destroyed;
  }

  void draw(gui::CDrawContext* context) override {
    ++drawCount;
    record("draw");
    if (paints && context != nullptr) {
      context->setFillColor(color);
      context->drawRect(size, gui::kDrawFilled);
    }
    setDirty(false);
  }
  void onMouseDown(gui::CDrawContext*, const gui::CViewPoint& where,
                   gui::MouseButtonState buttons) override {
    record("mouseDown " + pointText(where) + " " + std::to_string(buttons));
  }
  int32_t onKeyDown(gui::KeyEvent& key) override {
    record("keyDown " + std::to_string(key.character));
    return keyAnswer;
  }
  int32_t onKeyUp(gui::KeyEvent& key) override {
    record("keyUp " + std::to_string(key.character));
    return keyAnswer;
  }
  bool onWheel(gui::CDrawContext* context, const gui::CViewPoint& where, float distance) override {
    char text[64];
    std::snprintf(text, sizeof(text), "wheel %s %.2f offset %s", pointText(where).c_str(),
                  double(distance), context ? pointText(context->offset).c_str() : "none");
    record(text);
    return true;
  }
  bool onWheel(gui::CDrawContext* context, const gui::CViewPoint& where, int32_t axis,
               float distance) override {
    record("axis " + std::to_string(axis));
    return onWheel(context, where, distance);
  }
  void onDragEnter(gui::CDrawContext*, gui::CDragContainer*,
                   const gui::CViewPoint& where) override {
    record("dragEnter " + pointText(where));
  }
  void onDragLeave(gui::CDrawContext*, gui::CDragContainer*,
                   const gui::CViewPoint& where) override {
    record("dragLeave " + pointText(where));
  }
  void onDragMove(gui::CDrawContext*, gui::CDragContainer*, const gui::CViewPoint& where) override {
    record("dragMove " + pointText(where));
  }
  bool onDrop(gui::CDrawContext*, gui::CDragContainer*, const gui::CViewPoint& where) override {
    record("drop " + pointText(where));
    return true;
  }
  void loseFocus(gui::CDrawContext*) override { record("loseFocus"); }
  void takeFocus(gui::CDrawContext*) override { record("takeFocus"); }
  bool removed(gui::CView*) override {
    record("removed");
    return true;
  }
  bool attached(gui::CView*) override {
    record("attached");
    return true;
  }

  void record(const std::string& event) {
    if (log != nullptr) log->push_back(name + " " + event);
  }

  std::string name;
  EventLog* log;
  int* destroyed;
  int drawCount = 0;
  int32_t keyAnswer = -1;
  bool paints = true;
  gui::CRgbColor color{200, 10, 20};
};

// A container that notes its destruction.
class CountedContainer : public gui::CViewContainer {
 public:
  CountedContainer(const gui::CViewRect& size, gui::CFrame* frame, int* destroyed)
      : gui::CViewContainer(size, frame), destroyed(destroyed) {}
  ~CountedContainer() override {
    if (destroyed != nullptr) ++*destroyed;
  }
  int* destroyed;
};
