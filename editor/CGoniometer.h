#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "gui/controls/CControl.h"

namespace gui {
class CBitmap;
}  // namespace gui

// The stereo image of the output: a grid of cells of the size of the background bitmap, one cell
// per pixel. The display feed clears it at the start of each block and marks one cell per sample
// (setColumn, then plotRow); drawing copies the background into a private buffer, paints every
// marked cell pure green and copies the result to the screen.
//
// Threads: clearPoints, setColumn, plotRow and setDirty come from the audio thread while draw runs
// on the editor thread, without a lock. The cells are kept 64 to an atomic word, so clearing a
// block costs a few hundred stores instead of one per cell, marking is one relaxed load and store,
// and a draw may show a block partly cleared or partly filled but never a torn value.
class CGoniometer : public gui::CControl {
public:
  // The goniometer holds a reference on the background; a missing or empty image gives an empty
  // grid on which nothing is ever marked.
  CGoniometer(const gui::CViewRect& size, gui::CBitmap* background);
  ~CGoniometer() override;

  void draw(gui::CDrawContext* context) override;
  // Stores the redraw request only; the control value and oldValue are not part of it.
  void setDirty(bool state = true) override;
  // The control base's answer (always true: the value never moves off 0 while oldValue stays 1),
  // or a pending redraw request.
  bool isDirty() const override;
  // "CGoniometer", "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  // Empties every cell.
  virtual void clearPoints();

  // Column of the next point: width x value, truncated toward zero, low 32 bits kept (a negative
  // product wraps to a large number); not limited here.
  void setColumn(float value);
  // Row of the point: height x value, converted the same way. Column and row at or beyond the
  // grid are limited to the last one, then that cell is marked.
  void plotRow(float value);

  std::uint32_t getGridWidth() const { return width; }
  std::uint32_t getGridHeight() const { return height; }
  std::uint32_t getColumn() const { return column.load(std::memory_order_relaxed); }
  std::uint32_t getRow() const { return row.load(std::memory_order_relaxed); }
  bool isMarked(std::uint32_t x, std::uint32_t y) const;
  std::uint32_t countMarked() const;

private:
  using Word = std::uint64_t;
  static constexpr std::uint32_t kCellsPerWord = 64;

  void markCell(std::uint32_t cell);

  std::unique_ptr<std::atomic<Word>[]> grid;
  std::uint32_t cellCount;
  gui::CBitmap* backgroundBitmap;
  std::uint32_t width;
  std::uint32_t height;
  std::atomic<std::uint32_t> column;
  std::atomic<std::uint32_t> row;
  std::uint32_t wordCount;
  std::atomic<bool> redrawRequested;
};
