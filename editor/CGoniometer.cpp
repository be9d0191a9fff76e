#include "editor/CGoniometer.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

const gui::CRgbColor kPointColour(0, 255, 0, 0);

std::uint32_t sideOf(gui::CBitmap* bitmap, bool wantWidth) {
  if (!bitmap) return 0;
  const std::int32_t side = wantWidth ? bitmap->getWidth() : bitmap->getHeight();
  return side > 0 ? static_cast<std::uint32_t>(side) : 0;
}

std::uint32_t lowestBit(std::uint64_t bits) {
  return static_cast<std::uint32_t>(__builtin_ctzll(bits));
}

// Marks cells a word at a time. Consecutive points mostly fall into the same word (a tile of
// the trace): their marks gather in a register, and the word reaches the grid once the points
// move on, instead of a load and a store per point that would each wait for the one before.
// Staying in the word is the straight path.
//
// One writer marks (the audio thread), so a load and a store suffice; a locked read-modify-write
// per point would cost more than the rest of the point's work. A word is marked before its bit in
// the marked words, so that a clear that misses the word's new marks leaves the bit for the next
// clear.
class WordMarker {
 public:
  using Word = std::uint64_t;

  // Starts gathering in the word of `firstCell`, with nothing marked yet.
  WordMarker(std::atomic<Word>* grid, std::atomic<Word>* markedWords, std::uint32_t firstCell)
      : grid(grid), markedWords(markedWords), word(firstCell / 64), bits(0), lastCell(firstCell) {}

  void mark(std::uint32_t cell) {
    const std::uint32_t cellWord = cell / 64;
    if (__builtin_expect(cellWord != word, 0)) {
      write();
      word = cellWord;
      bits = 0;
    }
    bits |= Word{1} << (cell % 64);
    lastCell = cell;
  }
  std::uint32_t getLastCell() const { return lastCell; }
  // Writes the word being gathered.
  void finish() { write(); }

 private:
  void write() {
    std::atomic<Word>& cells = grid[word];
    cells.store(cells.load(relaxed) | bits, relaxed);
    std::atomic<Word>& marked = markedWords[word / 64];
    marked.store(marked.load(relaxed) | (Word{1} << (word % 64)), relaxed);
  }

  std::atomic<Word>* grid;
  std::atomic<Word>* markedWords;
  std::uint32_t word;
  Word bits;
  std::uint32_t lastCell;
};

// What the vector paths need of the grid's shape.
struct GridShape {
  float width, height;
  float lastColumn, lastRow;
  int tileRowLength;  // cells in a row of tiles
};

#if defined(__SSE2__)

// Marks the cells of groups of points, from `from` on while every value of a group lies in 0..1,
// as the display feed's values do: there a product of 0..side truncates to 0..side, and side
// itself limits to side - 1. Answers where it stopped: the end of the last whole group, or a group
// with a value outside (above 1's bits, which takes in infinity and NaN, or with the sign bit
// set). The cell is (y / 8) x (cells in a row of tiles) + (x / 8) x 64 + (y % 8) x 8 + x % 8.
int markInFours(const float* columns, const float* rows, int from, int count,
                const GridShape& shape, WordMarker& marker) {
  const __m128 width = _mm_set1_ps(shape.width);
  const __m128 height = _mm_set1_ps(shape.height);
  const __m128 lastColumn = _mm_set1_ps(shape.lastColumn);
  const __m128 lastRow = _mm_set1_ps(shape.lastRow);
  const __m128i one = _mm_set1_epi32(0x3F800000);  // 1.0f
  const __m128i tileRowLength = _mm_set1_epi32(shape.tileRowLength);
  const __m128i inTile = _mm_set1_epi32(7);
  // A local copy stays in registers; the caller's would be stored and loaded around every mark.
  WordMarker local = marker;
  int i = from;
  for (; i + 4 <= count; i += 4) {
    const __m128i columnBits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns + i));
    const __m128i rowBits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows + i));
    const __m128i outside =
        _mm_or_si128(_mm_or_si128(_mm_cmpgt_epi32(columnBits, one), _mm_cmpgt_epi32(rowBits, one)),
                     _mm_or_si128(columnBits, rowBits));
    if (_mm_movemask_ps(_mm_castsi128_ps(outside)) != 0) break;
    const __m128i x =
        _mm_cvttps_epi32(_mm_min_ps(_mm_mul_ps(width, _mm_castsi128_ps(columnBits)), lastColumn));
    const __m128i y =
        _mm_cvttps_epi32(_mm_min_ps(_mm_mul_ps(height, _mm_castsi128_ps(rowBits)), lastRow));
    // The multiply-add multiplies 16-bit halves; both factors fit into the lower ones.
    const __m128i tileRow = _mm_madd_epi16(_mm_srli_epi32(y, 3), tileRowLength);
    const __m128i tileColumn = _mm_slli_epi32(_mm_srli_epi32(x, 3), 6);
    const __m128i within =
        _mm_or_si128(_mm_slli_epi32(_mm_and_si128(y, inTile), 3), _mm_and_si128(x, inTile));
    std::uint32_t cells[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cells),
                     _mm_add_epi32(_mm_add_epi32(tileRow, tileColumn), within));
#pragma GCC unroll 8
    for (std::uint32_t cell : cells) local.mark(cell);
  }
  marker = local;
  return i;
}

// The same eight points at a time, for processors with AVX2 (and BMI2, whose shifts mark a cell
// in one instruction).
__attribute__((target("avx2,bmi2"))) int markInEights(const float* columns, const float* rows,
                                                      int from, int count, const GridShape& shape,
                                                      WordMarker& marker) {
  const __m256 width = _mm256_set1_ps(shape.width);
  const __m256 height = _mm256_set1_ps(shape.height);
  const __m256 lastColumn = _mm256_set1_ps(shape.lastColumn);
  const __m256 lastRow = _mm256_set1_ps(shape.lastRow);
  const __m256i one = _mm256_set1_epi32(0x3F800000);
  const __m256i tileRowLength = _mm256_set1_epi32(shape.tileRowLength);
  const __m256i inTile = _mm256_set1_epi32(7);
  WordMarker local = marker;
  int i = from;
  for (; i + 8 <= count; i += 8) {
    const __m256i columnBits = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + i));
    const __m256i rowBits = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows + i));
    const __m256i outside = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpgt_epi32(columnBits, one), _mm256_cmpgt_epi32(rowBits, one)),
        _mm256_or_si256(columnBits, rowBits));
    if (_mm256_movemask_ps(_mm256_castsi256_ps(outside)) != 0) break;
    const __m256i x = _mm256_cvttps_epi32(
        _mm256_min_ps(_mm256_mul_ps(width, _mm256_castsi256_ps(columnBits)), lastColumn));
    const __m256i y = _mm256_cvttps_epi32(
        _mm256_min_ps(_mm256_mul_ps(height, _mm256_castsi256_ps(rowBits)), lastRow));
    const __m256i tileRow = _mm256_madd_epi16(_mm256_srli_epi32(y, 3), tileRowLength);
    const __m256i tileColumn = _mm256_slli_epi32(_mm256_srli_epi32(x, 3), 6);
    const __m256i within = _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(y, inTile), 3),
                                           _mm256_and_si256(x, inTile));
    std::uint32_t cells[8];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells),
                        _mm256_add_epi32(_mm256_add_epi32(tileRow, tileColumn), within));
#pragma GCC unroll 8
    for (std::uint32_t cell : cells) local.mark(cell);
  }
  marker = local;
  return i;
}

bool hasEightWideCells() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2");
}

int widestVector() { return hasEightWideCells() ? 8 : 4; }

int markInVectors(int points, const float* columns, const float* rows, int from, int count,
                  const GridShape& shape, WordMarker& marker) {
  return points == 8 ? markInEights(columns, rows, from, count, shape, marker)
                     : markInFours(columns, rows, from, count, shape, marker);
}

#else

int widestVector() { return 1; }

int markInVectors(int, const float*, const float*, int from, int, const GridShape&, WordMarker&) {
  return from;
}

#endif

}  // namespace

CGoniometer::CGoniometer(const gui::CViewRect& size, gui::CBitmap* background)
    : gui::CControl(size, nullptr, 0, nullptr),
      cellCount(0),
      backgroundBitmap(background),
      width(sideOf(background, true)),
      height(sideOf(background, false)),
      column(0),
      row(0),
      tilesAcross(0),
      wordCount(0),
      redrawRequested(false),
      markedWordCount(0),
      pointsPerVector(widestVector()),
      picture(nullptr),
      pictureContext(nullptr),
      pictureDevice(nullptr) {
  // Either side 0 leaves the grid empty, and so does an image too large for 32-bit cell numbers.
  tilesAcross = (width + kTileSide - 1) / kTileSide;
  const std::uint64_t tilesDown = (std::uint64_t{height} + kTileSide - 1) / kTileSide;
  const std::uint64_t words = tilesAcross * tilesDown;
  if (words * kCellsPerWord < (std::uint64_t{1} << 32)) {
    cellCount = width * height;
    wordCount = static_cast<std::uint32_t>(words);
  }
  if (wordCount > 0) {
    grid.reset(new std::atomic<Word>[wordCount]);
    for (std::uint32_t i = 0; i < wordCount; ++i) grid[i].store(0, relaxed);
    markedWordCount = (wordCount + kCellsPerWord - 1) / kCellsPerWord;
    markedWords.reset(new std::atomic<Word>[markedWordCount]);
    for (std::uint32_t i = 0; i < markedWordCount; ++i) markedWords[i].store(0, relaxed);
    shown.reset(new Word[wordCount]());
  }
  if (cellCount == 0) width = height = 0;
  // Taken last, so that a grid that cannot be had leaves no reference behind.
  if (backgroundBitmap) backgroundBitmap->addReference();
}

CGoniometer::~CGoniometer() {
  if (picture) picture->dropReference();
  if (backgroundBitmap) backgroundBitmap->dropReference();
}

bool CGoniometer::isTypeOf(const char* name) const {
  if (name && std::strcmp(name, "CGoniometer") == 0) return true;
  return gui::CControl::isTypeOf(name);
}

void CGoniometer::setDirty(bool state) { redrawRequested.store(state, relaxed); }

bool CGoniometer::isDirty() const {
  return gui::CControl::isDirty() || redrawRequested.load(relaxed);
}

void CGoniometer::plotRow(float value) {
  std::uint32_t x = column.load(relaxed);
  std::uint32_t y = scaledIndex(height, value);
  if (cellCount != 0) {
    if (x >= width) column.store(width - 1, relaxed);
    const std::uint32_t cell = cellOf(x, y);
    WordMarker marker(grid.get(), markedWords.get(), cell);
    marker.mark(cell);
    marker.finish();
    if (y >= height) y = height - 1;
  }
  row.store(y, relaxed);
}

void CGoniometer::plotPoints(const float* columns, const float* rows, int count) {
  if (count <= 0) return;
  if (cellCount == 0) {
    column.store(scaledIndex(width, columns[count - 1]), relaxed);
    row.store(scaledIndex(height, rows[count - 1]), relaxed);
    return;
  }
  const std::uint32_t last = markPoints(columns, rows, count);
  column.store(columnOfCell(last), relaxed);
  row.store(rowOfCell(last), relaxed);
}

// Whole groups of points in vectors, each point that stops them (a value outside 0..1, or too few
// points left for a group) on its own.
std::uint32_t CGoniometer::markPoints(const float* columns, const float* rows, int count) {
  // The multiply-add of a row of tiles takes 16-bit factors.
  const bool vectors =
      pointsPerVector > 1 && tilesAcross * kCellsPerWord <= 0x7FFF && height <= 0x7FFF;
  const GridShape shape{static_cast<float>(width), static_cast<float>(height),
                        static_cast<float>(width - 1), static_cast<float>(height - 1),
                        static_cast<int>(tilesAcross * kCellsPerWord)};
  const auto cellAt = [&](int i) {
    return cellOf(scaledIndex(width, columns[i]), scaledIndex(height, rows[i]));
  };
  WordMarker marker(grid.get(), markedWords.get(), cellAt(0));
  for (int i = 0; i < count; ++i) {
    if (vectors) i = markInVectors(pointsPerVector, columns, rows, i, count, shape, marker);
    if (i == count) break;
    marker.mark(cellAt(i));
  }
  marker.finish();
  return marker.getLastCell();
}

void CGoniometer::clearPoints() {
  for (std::uint32_t i = 0; i < markedWordCount; ++i) {
    const Word marked = markedWords[i].load(relaxed);
    if (marked == 0) continue;
    markedWords[i].store(0, relaxed);
    for (Word bits = marked; bits != 0; bits &= bits - 1)
      grid[i * kCellsPerWord + lowestBit(bits)].store(0, relaxed);
  }
}

void CGoniometer::limitPointsPerVector(int points) {
  const int widest = widestVector();
  pointsPerVector = points >= widest ? widest : points >= 4 ? 4 : 1;
}

bool CGoniometer::isMarked(std::uint32_t x, std::uint32_t y) const {
  if (x >= width || y >= height) return false;
  const std::uint32_t cell = tiledCell(x, y);
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
  // Without its image the goniometer has no grid and nothing to show: drawing must not put an
  // off-screen context's default black block where the image would have been.
  if (!backgroundBitmap) {
    setDirty(false);
    return;
  }
  if (!pictureFits(context)) buildPicture(context);
  updatePicture();
  picture->copyTo(context, size, gui::CViewPoint(0, 0));
  setDirty(false);
}

// The picture is made compatible with the context it is drawn into, and its background is a
// plain copy of the image only once the image is no longer blended (the first picture may be
// made while it still is; the next draw makes a new one).
bool CGoniometer::pictureFits(gui::CDrawContext* context) const {
  return picture && !backgroundBitmap->isAlphaBlended() && pictureContext == context &&
         pictureDevice == static_cast<const void*>(context ? context->getDevice() : nullptr);
}

// A new picture: a copy of the background, which itself is never drawn into, with no cell shown.
void CGoniometer::buildPicture(gui::CDrawContext* context) {
  if (picture) picture->dropReference();
  picture = nullptr;
  picture = new gui::COffscreenContext(context, backgroundBitmap, false);
  pictureContext = context;
  pictureDevice = context ? context->getDevice() : nullptr;
  backgroundBitmap->setAlphaBlended(false);
  std::fill(shown.get(), shown.get() + wordCount, Word{0});
}

// Paints green the cells marked since the last draw and gives the cells cleared since then their
// background back.
void CGoniometer::updatePicture() {
  for (std::uint32_t i = 0; i < wordCount; ++i) {
    const Word marked = grid[i].load(relaxed);
    const Word changed = marked ^ shown[i];
    for (Word bits = changed; bits != 0; bits &= bits - 1) {
      const std::uint32_t bit = lowestBit(bits);
      paintCell(i * kCellsPerWord + bit, (marked >> bit) & 1u);
    }
    shown[i] = marked;
  }
}

void CGoniometer::paintCell(std::uint32_t cell, bool marked) {
  const auto x = static_cast<std::int32_t>(columnOfCell(cell));
  const auto y = static_cast<std::int32_t>(rowOfCell(cell));
  if (marked) {
    picture->drawPoint(gui::CViewPoint(x, y), kPointColour);
  } else {
    backgroundBitmap->draw(picture, gui::CViewRect(x, y, x + 1, y + 1), gui::CViewPoint(x, y));
  }
}
