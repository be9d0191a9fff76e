#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "gui/controls/CControl.h"

namespace gui {
class CBitmap;
class COffscreenContext;
}  // namespace gui

// The stereo image of the output: a grid of cells of the size of the background bitmap, one cell
// per pixel. The display feed clears it at the start of each block and marks one cell per sample
// (setColumn, then plotRow, or a run of points at once); drawing shows the background with every
// marked cell pure green.
//
// The cells are kept 64 to a word, each word a tile of 8 x 8 cells: consecutive points of a trace
// mostly fall into the same tile, so their marks gather in a register and reach the grid a word
// at a time.
//
// Threads: clearPoints, setColumn, plotRow, plotPoints and setDirty come from the audio thread
// while draw runs on the editor thread, without a lock. The words are atomic, so marking is one
// relaxed load and store and a draw may show a block partly cleared or partly filled but never a
// torn value. One thread at a time marks and clears (the processing thread): it also keeps a bit
// for each word marked since the last clear, and clearing empties just those words.
//
// Drawing keeps its picture (background and green cells) from one draw to the next and repaints
// only the cells that were marked or cleared since, then copies the picture to the screen.
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
  void plotRow(float value);
  // A run of points, each the same as setColumn(columns[i]) followed by plotRow(rows[i]): the
  // display feed hands over one run per chunk of audio. The cells are worked out a batch at a
  // time, several points at once, and marked a word at a time.
  void plotPoints(const float* columns, const float* rows, int count);

  // plotPoints works out the cells of 8 points at once on processors with AVX2, else 4. Tests may
  // ask for fewer, down to 1 (one point at a time); every width marks the same cells.
  void limitPointsPerVector(int points);
  int getPointsPerVector() const { return pointsPerVector; }

  std::uint32_t getGridWidth() const { return width; }
  std::uint32_t getGridHeight() const { return height; }
  std::uint32_t getColumn() const { return column.load(std::memory_order_relaxed); }
  std::uint32_t getRow() const { return row.load(std::memory_order_relaxed); }
  bool isMarked(std::uint32_t x, std::uint32_t y) const;
  std::uint32_t countMarked() const;

 private:
  using Word = std::uint64_t;
  static constexpr std::uint32_t kCellsPerWord = 64;
  static constexpr std::uint32_t kTileSide = 8;  // a word's tile is kTileSide x kTileSide cells

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
  // The cell of a position: its tile's word times 64 plus its bit within the tile.
  std::uint32_t tiledCell(std::uint32_t x, std::uint32_t y) const {
    const std::uint32_t word = (y / kTileSide) * tilesAcross + x / kTileSide;
    return word * kCellsPerWord + (y % kTileSide) * kTileSide + x % kTileSide;
  }
  // The cell of a position, both coordinates limited to the grid (which must not be empty).
  std::uint32_t cellOf(std::uint32_t x, std::uint32_t y) const {
    if (x >= width) x = width - 1;
    if (y >= height) y = height - 1;
    return tiledCell(x, y);
  }
  std::uint32_t columnOfCell(std::uint32_t cell) const {
    return (cell / kCellsPerWord) % tilesAcross * kTileSide + cell % kTileSide;
  }
  std::uint32_t rowOfCell(std::uint32_t cell) const {
    return (cell / kCellsPerWord) / tilesAcross * kTileSide + cell % kCellsPerWord / kTileSide;
  }
  // Marks the cells of the points and answers the cell of the last one.
  std::uint32_t markPoints(const float* columns, const float* rows, int count);

  bool pictureFits(gui::CDrawContext* context) const;
  void buildPicture(gui::CDrawContext* context);
  void updatePicture();
  void paintCell(std::uint32_t cell, bool marked);

  std::unique_ptr<std::atomic<Word>[]> grid;
  std::uint32_t cellCount;
  gui::CBitmap* backgroundBitmap;
  std::uint32_t width;
  std::uint32_t height;
  std::atomic<std::uint32_t> column;
  std::atomic<std::uint32_t> row;
  std::uint32_t tilesAcross;
  std::uint32_t wordCount;
  std::atomic<bool> redrawRequested;
  // A bit for each grid word marked since the last clear, 64 to a word.
  std::unique_ptr<std::atomic<Word>[]> markedWords;
  std::uint32_t markedWordCount;
  int pointsPerVector;  // 1, 4 or 8

  // The editor thread's picture: the background with the cells of `shown` painted green, made for
  // drawing into the context and device it was built for.
  gui::COffscreenContext* picture;
  std::unique_ptr<Word[]> shown;
  const gui::CDrawContext* pictureContext;
  const void* pictureDevice;
};
