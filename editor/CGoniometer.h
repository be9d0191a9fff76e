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
  // product wraps to a large number); not limited here. Inline, like plotRow: both run once for
  // every audio sample.
  void setColumn(float value) {
    column.store(scaledIndex(width, value), std::memory_order_relaxed);
  }
  // Row of the point: height x value, converted the same way. Column and row at or beyond the
  // grid are limited to the last one, then that cell is marked.
  inline void plotRow(float value);
  // A run of points, each the same as setColumn(columns[i]) followed by plotRow(rows[i]), with
  // the position kept in registers between them: the display feed hands over one run per chunk
  // of audio.
  void plotPoints(const float* columns, const float* rows, int count);

  std::uint32_t getGridWidth() const { return width; }
  std::uint32_t getGridHeight() const { return height; }
  std::uint32_t getColumn() const { return column.load(std::memory_order_relaxed); }
  std::uint32_t getRow() const { return row.load(std::memory_order_relaxed); }
  bool isMarked(std::uint32_t x, std::uint32_t y) const;
  std::uint32_t countMarked() const;

 private:
  using Word = std::uint64_t;
  static constexpr std::uint32_t kCellsPerWord = 64;

  // extent x value truncated toward zero, low 32 bits kept. A product that cannot be converted
  // (not a number, or beyond the 64-bit range) has no position at all; rather than converting it,
  // which would be undefined, it counts as beyond the grid too.
  static std::uint32_t scaledIndex(std::uint32_t extent, float value) {
    const float product = static_cast<float>(extent) * value;
    constexpr float kLimit = 9.2e18f;  // below 2^63
    if (!(product > -kLimit && product < kLimit)) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(static_cast<std::int64_t>(product)));
  }
  inline bool plotCell(std::uint32_t& x, std::uint32_t& y);
  inline void markCell(std::uint32_t cell);

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

void CGoniometer::plotRow(float value) {
  std::uint32_t x = column.load(std::memory_order_relaxed);
  std::uint32_t y = scaledIndex(height, value);
  if (plotCell(x, y)) column.store(x, std::memory_order_relaxed);
  row.store(y, std::memory_order_relaxed);
}

// Limits the position to the grid and marks its cell. True when the column had to be limited.
bool CGoniometer::plotCell(std::uint32_t& x, std::uint32_t& y) {
  if (cellCount == 0) return false;
  const bool limited = x >= width;
  if (limited) x = width - 1;
  if (y >= height) y = height - 1;
  markCell(y * width + x);
  return limited;
}

// One writer marks cells (the audio thread), so a load and a store suffice; a locked
// read-modify-write per sample would cost more than the rest of the sample's work. The store is
// made whether or not the cell was marked already: a test would be a branch the processor cannot
// predict.
void CGoniometer::markCell(std::uint32_t cell) {
  std::atomic<Word>& word = grid[cell / kCellsPerWord];
  word.store(word.load(std::memory_order_relaxed) | (Word{1} << (cell % kCellsPerWord)),
             std::memory_order_relaxed);
}
