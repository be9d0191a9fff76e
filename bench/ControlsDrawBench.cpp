// What one redraw of each control the editor places costs on the raster backend: a falling peak
// meter (two copies into its buffer and one out), a film-strip knob (one frame copied) and a
// value field (background-free text). The editor's idle redraws up to three meters per pass.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/COffscreenContext.h"
#include "gui/controls/CAnimKnob.h"
#include "gui/controls/CTextEdit.h"
#include "gui/controls/CVuMeter.h"
#include "gui/platform/raster/HeadlessWindow.h"

namespace {

using gui::CViewRect;

// A frame in a headless window, drawn into through its back buffer as the frame's idle does.
struct Editorless {
  gui::raster::HeadlessWindow host{752, 160};
  gui::CFrame* frame = new gui::CFrame(CViewRect(0, 0, 752, 160), host.handle(), nullptr);
  ~Editorless() { frame->dropReference(); }
  gui::CDrawContext* target() { return frame->getBackBuffer(); }
};

void meterFallingRedraw(benchmark::State& state) {
  Editorless editor;
  gui::CBitmap* off = new gui::CBitmap(130);
  gui::CBitmap* on = new gui::CBitmap(131);
  auto* meter = new gui::CVuMeter(CViewRect(460, 12, 480, 148), on, off, 34, 2);
  editor.frame->addView(meter);
  on->dropReference();
  off->dropReference();
  meter->setValue(0.0f);
  for (auto _ : state) {
    meter->setOldValue(0.95f);  // a fall step every time, never resting
    meter->draw(editor.target());
  }
}
BENCHMARK(meterFallingRedraw);

void filmStripKnobRedraw(benchmark::State& state) {
  Editorless editor;
  gui::CBitmap* strip = new gui::CBitmap(129);
  auto* knob = new gui::CAnimKnob(CViewRect(42, 48, 106, 112), nullptr, 1, 61, 64, strip);
  editor.frame->addView(knob);
  strip->dropReference();
  float value = 0.0f;
  for (auto _ : state) {
    value = value >= 1.0f ? 0.0f : value + 0.01f;
    knob->setValue(value);
    knob->draw(editor.target());
  }
}
BENCHMARK(filmStripKnobRedraw);

void valueFieldRedraw(benchmark::State& state) {
  Editorless editor;
  auto* field = new gui::CTextEdit(CViewRect(114, 64, 162, 88), nullptr, 7, nullptr, nullptr, 1);
  editor.frame->addView(field);
  field->setFont(4);
  field->setFontColor(gui::CRgbColor(0, 255, 0, 255));
  field->setTransparency(true);
  field->setValueFormatter(
      [](float value, char* text) { std::snprintf(text, 256, "%.0f", value * 100); });
  float value = 0.0f;
  for (auto _ : state) {
    value = value >= 1.0f ? 0.0f : value + 0.01f;
    field->setValue(value);
    field->draw(editor.target());
  }
}
BENCHMARK(valueFieldRedraw);

}  // namespace
