#include "editor/CGoniometer.h"

#include <cstring>

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

const gui::CRgbColor kPointColour(0, 255, 0, 0);

// extent x value truncated toward zero, low 32 bits kept: a negative product wraps to a large
// number, which the plot then limits to the last cell. A product that cannot be converted (not a
// number, or beyond the 64-bit range) has no position at all; it is treated as out of range too
// rather than converted, which would be undefined.
std::uint32_t scaledIndex(std::uint32_t extent, float value) {
  const float product = static_cast<float>(extent) * value;
  constexpr float kLimit = 9.2e18f;  // below 2^63
  if (!(product > -kLimit && product < kLimit)) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(product)));
}

std::uint32_t sideOf(gui::CBitmap* bitmap, bool wantWidth) {
  if (!bitmap) return 0;
  const std::int32_t side = wantWidth ? bitmap->getWidth() : bitmap->getHeight();
  return side > 0 ? static_cast<std::uint32_t>(side) : 0;
}

}  // namespace

CGoniometer::CGoniometer(const gui::CViewRect& size, gui::CBitmap* background)
    : gui::CControl(size, nullptr, 0, nullptr),
      cellCount(0),
      backgroundBitmap(background),
      width(sideOf(background, true)),
      height(sideOf(background, false)),
      column(0),
      row(0),
      wordCount(0),
      redrawRequested(false) {
  // Either side 0 leaves the grid empty.
  cellCount = width * height;
  if (height != 0 && cellCount / height != width) cellCount = 0;  // an image too large to grid
  wordCount = (cellCount + kCellsPerWord - 1) / kCellsPerWord;
  if (wordCount > 0) {
    grid.reset(new std::atomic<Word>[wordCount]);
    for (std::uint32_t i = 0; i < wordCount; ++i) grid[i].store(0, relaxed);
  }
  if (cellCount == 0) width = height = 0;
  // Taken last, so that a grid that cannot be had leaves no reference behind.
  if (backgroundBitmap) backgroundBitmap->addReference();
}

CGoniometer::~CGoniometer() {
  if (backgroundBitmap) backgroundBitmap->dropReference();
}

bool CGoniometer::isTypeOf(const char* name) const {
  if (name && std::strcmp(name, "CGoniometer") == 0) return true;
  return gui::CControl::isTypeOf(name);
}

void CGoniometer::setDirty(bool state) { redrawRequested.store(state, relaxed); }

bool CGoniometer::isDirty() const { return gui::CControl::isDirty() || redrawRequested.load(relaxed); }

void CGoniometer::clearPoints() {
  for (std::uint32_t i = 0; i < wordCount; ++i) grid[i].store(0, relaxed);
}

void CGoniometer::setColumn(float value) { column.store(scaledIndex(width, value), relaxed); }

void CGoniometer::plotRow(float value) {
  std::uint32_t y = scaledIndex(height, value);
  if (cellCount == 0) {
    row.store(y, relaxed);
    return;
  }
  std::uint32_t x = column.load(relaxed);
  if (x >= width) {
    x = width - 1;
    column.store(x, relaxed);
  }
  if (y >= height) y = height - 1;
  row.store(y, relaxed);
  markCell(y * width + x);
}

// One writer marks cells (the audio thread), so a load and a store suffice; a locked
// read-modify-write per sample would cost more than the rest of the sample's work.
void CGoniometer::markCell(std::uint32_t cell) {
  std::atomic<Word>& word = grid[cell / kCellsPerWord];
  const Word bit = Word{1} << (cell % kCellsPerWord);
  const Word bits = word.load(relaxed);
  if ((bits & bit) == 0) word.store(bits | bit, relaxed);
}

bool CGoniometer::isMarked(std::uint32_t x, std::uint32_t y) const {
  if (x >= width || y >= height) return false;
  const std::uint32_t cell = y * width + x;
  return (grid[cell / kCellsPerWord].load(relaxed) >> (cell % kCellsPerWord)) & 1u;
}

std::uint32_t CGoniometer::countMarked() const {
  std::uint32_t count = 0;
  for (std::uint32_t i = 0; i < wordCount; ++i) {
    for (Word bits = grid[i].load(relaxed); bits != 0; bits &= bits - 1) ++count;
  }
  return count;
}

void CGoniometer::draw(gui::CDrawContext* context) {
  // The buffer starts as a copy of the background, which itself is never drawn into.
  gui::COffscreenContext buffer(context, backgroundBitmap, false);
  if (backgroundBitmap) backgroundBitmap->setAlphaBlended(false);
  for (std::uint32_t i = 0; i < wordCount; ++i) {
    for (Word bits = grid[i].load(relaxed); bits != 0; bits &= bits - 1) {
      const std::uint32_t cell = i * kCellsPerWord + static_cast<std::uint32_t>(__builtin_ctzll(bits));
      buffer.drawPoint(gui::CViewPoint(static_cast<std::int32_t>(cell % width), static_cast<std::int32_t>(cell / width)),
                       kPointColour);
    }
  }
  buffer.copyTo(context, size, gui::CViewPoint(0, 0));
  setDirty(false);
}
