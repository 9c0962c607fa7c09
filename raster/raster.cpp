// Kamishibai: the raster layer on plain pixel arrays: unscaled copies, nearest-neighbour
// stretches and filled boxes, clipped to the surfaces and to a clipping region.
#include "raster/raster.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "raster/region_runs.h"
#include "raster/row_gather.h"
#include "raster/stretch_sampling.h"

namespace kamishibai {
namespace {

// The source position for each of `count` destination positions; -1 outside 0..limit-1.
std::vector<std::int32_t> sampleMap(const AxisSampling& sampling, std::int32_t count,
                                    std::int32_t limit) {
  std::vector<std::int32_t> map(static_cast<std::size_t>(count));
  for (std::int32_t d = 0; d < count; ++d) {
    const std::int64_t s = sampling.sourceAt(d);
    map[static_cast<std::size_t>(d)] = s >= 0 && s < limit ? static_cast<std::int32_t>(s) : -1;
  }
  return map;
}

// Where a stretch draws: the sample of each column and row of its area, and the box of the
// pixels whose samples lie inside the source. The sampling is monotonic along each axis, so those
// pixels form one box.
struct StretchPlan {
  PixelRect area;
  std::vector<std::int32_t> columns;
  std::vector<std::int32_t> rows;
  PixelRect drawn;
};

// The positions from..to-1 of `samples` (first position `from`) whose sample lies in the source.
AxisSpan sampledSpan(const std::vector<std::int32_t>& samples, std::int32_t from) {
  const auto reaches = [](std::int32_t s) { return s >= 0; };
  const auto first = std::find_if(samples.begin(), samples.end(), reaches);
  if (first == samples.end()) return {0, 0};
  const auto last = std::find_if(samples.rbegin(), samples.rend(), reaches);
  return {from + (first - samples.begin()), from + (samples.rend() - last)};
}

StretchPlan planStretch(const StretchGeometry& g, const PixelRect& limit, std::int32_t sourceWidth,
                        std::int32_t sourceHeight) {
  const StretchSampling sampling = stretchSampling(g, limit, sourceWidth, sourceHeight);
  StretchPlan plan{sampling.area,
                   sampleMap(sampling.cols, sampling.area.width(), sourceWidth),
                   sampleMap(sampling.rows, sampling.area.height(), sourceHeight),
                   {}};
  const AxisSpan cols = sampledSpan(plan.columns, plan.area.left);
  const AxisSpan rows = sampledSpan(plan.rows, plan.area.top);
  if (cols.from < cols.to && rows.from < rows.to) {
    plan.drawn = {static_cast<std::int32_t>(cols.from), static_cast<std::int32_t>(rows.from),
                  static_cast<std::int32_t>(cols.to), static_cast<std::int32_t>(rows.to)};
  }
  return plan;
}

// Draws a run except its columns inside `spared`.
template <class DrawRun>
auto sparing(const PixelRect& spared, DrawRun& draw) {
  return [&spared, &draw](std::int32_t row, std::int32_t from, std::int32_t to) {
    if (row < spared.top || row >= spared.bottom || spared.right <= from || spared.left >= to) {
      return draw(row, from, to);
    }
    PixelRun changed{from, from};
    if (from < spared.left) changed = draw(row, from, spared.left);
    if (spared.right < to) changed = joined(changed, draw(row, spared.right, to));
    return changed;
  };
}

// The columns from..to-1 of a row about to be overwritten with `in`: the smallest run holding
// every word that differs (empty when none does). Blocks are compared first, which is about as
// fast as copying.
PixelRun differingRun(const PixelWord* out, const PixelWord* in, std::int32_t from,
                      std::int32_t to) {
  constexpr std::int32_t kBlock = 32;
  const auto differs = [&](std::int32_t a, std::int32_t b) {
    return std::memcmp(out + a, in + (a - from),
                       static_cast<std::size_t>(b - a) * sizeof(PixelWord)) != 0;
  };
  if (from >= to) return {from, from};
  // Most rows that change at all change at both ends: those need no compare call.
  std::int32_t first = from;
  if (out[first] == in[0]) {
    while (first < to && !differs(first, std::min(first + kBlock, to))) first += kBlock;
    if (first >= to) return {from, from};
    while (out[first] == in[first - from]) ++first;
  }
  std::int32_t last = to;
  if (out[last - 1] == in[last - 1 - from]) {
    while (!differs(std::max(last - kBlock, first), last)) last -= kBlock;
    while (out[last - 1] == in[last - 1 - from]) --last;
  }
  return {first, last};
}

// Overwrites columns from..to-1 of a row with `in` and returns the run whose words changed.
PixelRun copyRun(PixelWord* out, const PixelWord* in, std::int32_t from, std::int32_t to) {
  const PixelRun changed = differingRun(out, in, from, to);
  std::memcpy(out + changed.from, in + (changed.from - from),
              static_cast<std::size_t>(changed.to - changed.from) * sizeof(PixelWord));
  return changed;
}

// copyRun that leaves alone the tiles' columns (runs between multiples of the tile size) whose
// words keep their values: through a clipping region a step often changes only the two ends of a
// row, the ring between two shapes. Calls changed(run) for each run it wrote and returns the
// smallest run holding them.
template <class Changed>
PixelRun copyChangedTiles(PixelWord* out, const PixelWord* in, std::int32_t from, std::int32_t to,
                          Changed&& changed) {
  constexpr std::int32_t kTile = ChangedTiles::kTileSize;
  // The unchanged middle of a ring is compared in long blocks, a call each.
  constexpr std::int32_t kLongBlock = 8 * kTile;
  const PixelRun differing = differingRun(out, in, from, to);
  const auto same = [&](std::int32_t a, std::int32_t b) {
    return std::memcmp(out + a, in + (a - from),
                       static_cast<std::size_t>(b - a) * sizeof(PixelWord)) == 0;
  };
  const auto copy = [&](std::int32_t a, std::int32_t b) {
    std::memcpy(out + a, in + (a - from), static_cast<std::size_t>(b - a) * sizeof(PixelWord));
    changed(PixelRun{a, b});
  };
  // Copies start..at-1 once a tile that keeps its words ends the run, then goes on from the next
  // word that differs; the run's last word differs, so every scan stops inside it.
  std::int32_t start = differing.from;
  std::int32_t at = differing.from;
  while (at < differing.to) {
    const std::int32_t tileEnd = std::min((at / kTile + 1) * kTile, differing.to);
    if (!same(at, tileEnd)) {
      at = tileEnd;
      continue;
    }
    if (start < at) copy(start, at);
    at = tileEnd;
    while (differing.to - at > kLongBlock && same(at, at + kLongBlock)) at += kLongBlock;
    while (differing.to - at > kTile && same(at, at + kTile)) at += kTile;
    while (out[at] == in[at - from]) ++at;
    start = at;
  }
  if (start < differing.to) copy(start, differing.to);
  return differing;
}

// The number of words of a surface of that size (a negative extent counts as 0); throws when
// the count does not fit in memory's address range.
std::size_t wordCount(std::int32_t width, std::int32_t height) {
  const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
  const std::size_t h = static_cast<std::size_t>(std::max(height, 0));
  if (h != 0 && w > PTRDIFF_MAX / sizeof(PixelWord) / h) {
    throw std::runtime_error("cannot create a surface of " + std::to_string(width) + " by " +
                             std::to_string(height) + " pixels");
  }
  return w * h;
}

// Whether any of the kScanBlock words from `words` differs from `word`. Written as one loop
// without an early exit, which the compiler turns into vector code.
constexpr std::ptrdiff_t kScanBlock = 16;
bool blockDiffers(const PixelWord* words, PixelWord word) {
  PixelWord differences = 0;
  for (std::ptrdiff_t k = 0; k < kScanBlock; ++k) differences |= words[k] ^ word;
  return differences != 0;
}

// The first word of first..last-1 that differs from `word`, or last.
PixelWord* firstDiffering(PixelWord* first, PixelWord* last, PixelWord word) {
  while (last - first >= kScanBlock && !blockDiffers(first, word)) first += kScanBlock;
  return std::find_if(first, last, [word](PixelWord w) { return w != word; });
}

// Just past the last word of first..last-1 that differs from `word`, or first.
PixelWord* endOfDiffering(PixelWord* first, PixelWord* last, PixelWord word) {
  while (last - first >= kScanBlock && !blockDiffers(last - kScanBlock, word)) last -= kScanBlock;
  return std::find_if(std::make_reverse_iterator(last), std::make_reverse_iterator(first),
                      [word](PixelWord w) { return w != word; })
      .base();
}

std::uint64_t newGeneration() {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

// The columns from..to-1 of row y that a known copy does not vouch for, as up to three runs in
// order; empty runs are left out.
std::array<PixelRun, 3> unknownRuns(const PixelRect& known, const PixelRect& dirty, std::int32_t y,
                                    std::int32_t from, std::int32_t to, std::size_t& count) {
  std::array<PixelRun, 2> vouched{};
  std::size_t vouchedCount = 0;
  if (y >= known.top && y < known.bottom) {
    if (y >= dirty.top && y < dirty.bottom && dirty.left < dirty.right) {
      vouched[vouchedCount++] = {known.left, std::min(known.right, dirty.left)};
      vouched[vouchedCount++] = {std::max(known.left, dirty.right), known.right};
    } else {
      vouched[vouchedCount++] = {known.left, known.right};
    }
  }
  std::array<PixelRun, 3> runs{};
  count = 0;
  std::int32_t next = from;
  for (std::size_t k = 0; k < vouchedCount; ++k) {
    const PixelRun v{std::max(vouched[k].from, from), std::min(vouched[k].to, to)};
    if (v.from >= v.to) continue;
    if (next < v.from) runs[count++] = {next, v.from};
    next = std::max(next, v.to);
  }
  if (next < to) runs[count++] = {next, to};
  return runs;
}

}  // namespace

PixelRect PixelRect::united(const PixelRect& other) const {
  if (other.empty()) return *this;
  if (empty()) return other;
  return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
          std::max(bottom, other.bottom)};
}

bool PixelRect::contains(const PixelRect& other) const {
  return intersected(other) == other;
}

PixelRect PixelRect::intersected(const PixelRect& other) const {
  const PixelRect r{std::max(left, other.left), std::max(top, other.top),
                    std::min(right, other.right), std::min(bottom, other.bottom)};
  return r.empty() ? PixelRect{} : r;
}

Region Region::ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                       std::int32_t bottom) {
  return Region(Kind::Ellipse, {{left, top}, {right, bottom}});
}

Region Region::polygon(std::vector<Point> points) {
  return Region(Kind::Polygon, std::move(points));
}

Surface::Surface(std::int32_t width, std::int32_t height, Colour backColour)
    : backColour_(backColour) {
  resize(width, height);
}

void Surface::resize(std::int32_t width, std::int32_t height) {
  // Filled with the back colour at once: a fill after a zeroing would write the image twice.
  pixels_.assign(wordCount(width, height), toPixelWord(backColour_));
  takeSize(width, height);
  fillWord_ = toPixelWord(backColour_);
  overFill_ = {};
}

void Surface::resizeForOverwrite(std::int32_t width, std::int32_t height) {
  pixels_.resize(wordCount(width, height));
  takeSize(width, height);
}

void Surface::takeSize(std::int32_t width, std::int32_t height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  known_ = {};
  shown_ = {};
  changedTiles_.resize(width_, height_);
  markChanged(bounds());
}

void Surface::placeWords(std::pmr::memory_resource* memory) {
  pixels_ = decltype(pixels_)(pixels_.begin(), pixels_.end(), PixelAllocator<PixelWord>(memory));
}

void Surface::clear() {
  clearAround({});
}

void Surface::clearAround(const PixelRect& spared) {
  const PixelWord back = toPixelWord(backColour_);
  // Outside what was drawn since the last fill of the same colour, every word holds it already.
  const PixelRect stale = fillWord_ == back ? overFill_ : bounds();
  const PixelRect kept = spared.intersected(stale);
  for (std::int32_t r = stale.top; r < stale.bottom; ++r) {
    PixelWord* out = row(r);
    if (r < kept.top || r >= kept.bottom) {
      std::fill(out + stale.left, out + stale.right, back);
    } else {
      std::fill(out + stale.left, out + kept.left, back);
      std::fill(out + kept.right, out + stale.right, back);
    }
  }
  changedTiles_.mark(stale);
  // The whole surface counts as changed, as after a fill of every word.
  noteChanged(bounds());
  fillWord_ = back;
  overFill_ = spared.intersected(bounds());
}

PixelRect Surface::drawable(AxisSpan cols, AxisSpan rows) const {
  cols = intersect(cols, {0, width_});
  rows = intersect(rows, {0, height_});
  if (cols.from >= cols.to || rows.from >= rows.to) return {};
  const PixelRect inside{static_cast<std::int32_t>(cols.from), static_cast<std::int32_t>(rows.from),
                         static_cast<std::int32_t>(cols.to), static_cast<std::int32_t>(rows.to)};
  return inside.intersected(drawingLimit());
}

PixelRect Surface::drawingLimit() const {
  return clip_ ? bounds().intersected(regionBounds(*clip_)) : bounds();
}

template <class DrawRun>
void Surface::forClippedRuns(const PixelRect& area, DrawRun&& draw) {
  if (area.empty()) return;
  PixelRect changed;
  const auto drawRun = [&](std::int32_t y, std::int32_t from, std::int32_t to) {
    const PixelRun run = draw(y, from, to);
    if (run.from < run.to) changed = changed.united({run.from, y, run.to, y + 1});
  };
  if (!clip_) {
    for (std::int32_t y = area.top; y < area.bottom; ++y) drawRun(y, area.left, area.right);
  } else {
    const RegionRows region(*clip_);
    std::vector<PixelRun> runs;
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
      region.runs(y, area.left, area.right, runs);
      for (const PixelRun& run : runs) drawRun(y, run.from, run.to);
    }
  }
  noteChanged(changed);
}

PixelRun Surface::markedTiles(std::int32_t row, const PixelRun& changed) {
  changedTiles_.mark(row, changed.from, changed.to);
  return changed;
}

void Surface::markChanged(const PixelRect& changed) {
  changedTiles_.mark(changed);
  noteChanged(changed);
}

void Surface::noteChanged(const PixelRect& changed) {
  if (changed.empty()) return;
  changed_ = changed_.united(changed);
  overFill_ = overFill_.united(changed);
  known_.dirty = known_.dirty.united(changed);
  generation_ = newGeneration();
}

Surface::KnownDrawing Surface::knownDrawingOf(const Drawn& drawn) const {
  if (drawn.source == 0 || known_.drawn != drawn) return {};
  return known_;
}

template <class DrawRun>
void Surface::drawUnknownRuns(const PixelRect& area, const Drawn& drawn, DrawRun&& draw) {
  const KnownDrawing before = knownDrawingOf(drawn);
  forClippedRuns(area, [&](std::int32_t row, std::int32_t from, std::int32_t to) {
    std::size_t count = 0;
    const auto runs = unknownRuns(before.rect, before.dirty, row, from, to, count);
    PixelRun changed{from, from};
    for (std::size_t k = 0; k < count; ++k)
      changed = joined(changed, draw(row, runs[k].from, runs[k].to));
    return changed;
  });
  // `area` now holds what was drawn; a larger rectangle known before still does outside it, as
  // far as nothing else changed there.
  if (before.rect.contains(area)) {
    const PixelRect dirty = area.contains(known_.dirty) ? PixelRect{} : known_.dirty;
    known_ = {drawn, before.rect, dirty};
  } else {
    known_ = {drawn, area, {}};
  }
}

void Surface::leftUndrawn(const PixelRect& spared) {
  known_.dirty = known_.dirty.united(spared);
}

PixelRect Surface::mayDifferFrom(const Surface& source, std::int64_t dx, std::int64_t dy) const {
  if (fillWord_ != source.fillWord_) return bounds();
  const PixelRect& drawn = source.overFill_;
  if (drawn.empty()) return overFill_;
  const auto inside = [](std::int64_t v, std::int32_t limit) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, limit));
  };
  const PixelRect moved{inside(drawn.left + dx, width_), inside(drawn.top + dy, height_),
                        inside(drawn.right + dx, width_), inside(drawn.bottom + dy, height_)};
  return overFill_.united(moved);
}

PixelRect Surface::copyArea(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                            std::int32_t y, std::int32_t w, std::int32_t h) const {
  if (w <= 0 || h <= 0) return {};
  const std::int64_t dx = std::int64_t{x} - xs, dy = std::int64_t{y} - ys;
  return drawable(intersect(extentSpan(x, w), {dx, dx + source.width()}),
                  intersect(extentSpan(y, h), {dy, dy + source.height()}));
}

void Surface::copyFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                       std::int32_t y, std::int32_t w, std::int32_t h, const PixelRect& spared) {
  const PixelRect area = copyArea(source, xs, ys, x, y, w, h);
  if (area.empty()) return;
  const std::int64_t dx = std::int64_t{x} - xs, dy = std::int64_t{y} - ys;
  if (&source == this) {
    // Copy through a copy of the source rectangle so overlapping rectangles read the old image.
    Surface snapshot(area.width(), area.height());
    snapshot.copyFrom(*this, static_cast<std::int32_t>(area.left - dx),
                      static_cast<std::int32_t>(area.top - dy), 0, 0, area.width(), area.height());
    copyFrom(snapshot, 0, 0, area.left, area.top, area.width(), area.height(), spared);
    return;
  }
  // Where both surfaces hold their common fill word, the words are equal already.
  const PixelRect mayDiffer = mayDifferFrom(source, dx, dy);
  auto copyRunAt = [&](std::int32_t row, std::int32_t from, std::int32_t to) {
    if (row < mayDiffer.top || row >= mayDiffer.bottom) return PixelRun{from, from};
    from = std::max(from, mayDiffer.left);
    to = std::min(to, mayDiffer.right);
    if (from >= to) return PixelRun{from, from};
    const PixelWord* in = source.row(static_cast<std::int32_t>(row - dy)) + (from - dx);
    if (clip_) {
      return copyChangedTiles(this->row(row), in, from, to,
                              [&](const PixelRun& changed) { markedTiles(row, changed); });
    }
    return markedTiles(row, copyRun(this->row(row), in, from, to));
  };
  const auto copyOutsideSpared = sparing(spared, copyRunAt);
  if (clip_) {
    forClippedRuns(area, copyOutsideSpared);
  } else {
    // The words a known copy of the same source still holds are left alone: copying the same
    // picture again costs only what changed since.
    drawUnknownRuns(area, {source.generation_, dx, dy}, copyOutsideSpared);
  }
  leftUndrawn(spared.intersected(area));
}

void Surface::stretchFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t ws,
                          std::int32_t hs, std::int32_t x, std::int32_t y, std::int32_t w,
                          std::int32_t h) {
  if (w == 0 || h == 0 || ws == 0 || hs == 0) return;
  if (drawable(extentSpan(x, w), extentSpan(y, h)).empty()) return;
  if (w > 0 && h > 0 && ws == w && hs == h) {
    // Unscaled and unmirrored, every pixel samples its own source pixel: a copy, which also
    // knows what it copied before.
    copyFrom(source, xs, ys, x, y, w, h);
    return;
  }
  if (&source == this) {
    const Surface snapshot = [&] {
      Surface copy(width(), height());
      copy.copyFrom(*this, 0, 0, 0, 0, width(), height());
      return copy;
    }();
    stretchFrom(snapshot, xs, ys, ws, hs, x, y, w, h);
    return;
  }
  const StretchPlan plan =
      planStretch({xs, ys, ws, hs, x, y, w, h}, drawingLimit(), source.width(), source.height());
  if (plan.drawn.empty()) return;
  const PixelRect& area = plan.area;
  const std::int32_t inFrom = plan.drawn.left, inTo = plan.drawn.right;
  const auto firstIn = plan.columns.begin() + (inFrom - area.left);
  const auto endIn = plan.columns.begin() + (inTo - area.left);
  // Columns that sample consecutive source columns in order (an unscaled axis) read a source row
  // as it is; other rows are gathered.
  const bool consecutive = std::adjacent_find(firstIn, endIn, [](std::int32_t a, std::int32_t b) {
                             return b != a + 1;
                           }) == endIn;
  // Without a clipping region every row draws the same columns, so a row that samples the same
  // source row as the one above is a copy of it.
  std::int32_t previousSourceRow = -1;
  const PixelWord* previousOut = nullptr;
  forClippedRuns(area, [&](std::int32_t row, std::int32_t from, std::int32_t to) {
    const std::int32_t sourceRow = plan.rows[static_cast<std::size_t>(row - area.top)];
    from = std::max(from, inFrom);
    to = std::min(to, inTo);
    if (sourceRow < 0 || from >= to) return PixelRun{from, from};
    PixelWord* out = this->row(row);
    const bool repeatsRowAbove = !clip_ && sourceRow == previousSourceRow;
    const PixelWord* rowAbove = previousOut;
    previousSourceRow = sourceRow;
    previousOut = out;
    if (repeatsRowAbove) return markedTiles(row, copyRun(out, rowAbove + from, from, to));
    const PixelWord* sourceWords = source.row(sourceRow);
    const std::int32_t* sourceCols = plan.columns.data() + (from - area.left);
    if (consecutive) return markedTiles(row, copyRun(out, sourceWords + *sourceCols, from, to));
    return markedTiles(row, gatherRow(out, sourceWords, source.width(), sourceCols, from, to));
  });
}

PixelRect Surface::stretchCover(const Surface& source, std::int32_t xs, std::int32_t ys,
                                std::int32_t ws, std::int32_t hs, std::int32_t x, std::int32_t y,
                                std::int32_t w, std::int32_t h) const {
  if (clip_ || w == 0 || h == 0 || ws == 0 || hs == 0) return {};
  if (w > 0 && h > 0 && ws == w && hs == h) return copyArea(source, xs, ys, x, y, w, h);
  return planStretch({xs, ys, ws, hs, x, y, w, h}, drawingLimit(), source.width(), source.height())
      .drawn;
}

void Surface::fillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      Colour colour, const PixelRect& spared) {
  const PixelRect area = drawable({std::min(x1, x2), std::int64_t{std::max(x1, x2)} + 1},
                                  {std::min(y1, y2), std::int64_t{std::max(y1, y2)} + 1});
  const PixelWord word = toPixelWord(colour);
  auto fillRun = [&](std::int32_t row, std::int32_t from, std::int32_t to) {
    PixelWord* out = this->row(row);
    PixelWord* first = firstDiffering(out + from, out + to, word);
    PixelWord* last = endOfDiffering(first, out + to, word);
    std::fill(first, last, word);
    return markedTiles(
        row, {static_cast<std::int32_t>(first - out), static_cast<std::int32_t>(last - out)});
  };
  const auto fillOutsideSpared = sparing(spared, fillRun);
  if (clip_) {
    forClippedRuns(area, fillOutsideSpared);
  } else {
    // A box filled again with the same colour only needs what was drawn over it since.
    drawUnknownRuns(area, {Drawn::kFilled, word, 0}, fillOutsideSpared);
  }
  leftUndrawn(spared.intersected(area));
}

void Surface::drawImage(const Surface& source, std::int32_t x, std::int32_t y) {
  copyFrom(source, 0, 0, x, y, source.width(), source.height());
}

void Surface::clearAndDraw(const Surface& source, std::int32_t x, std::int32_t y) {
  clearAndCopy(source, 0, 0, x, y, source.width(), source.height());
}

void Surface::clearAndCopy(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                           std::int32_t y, std::int32_t w, std::int32_t h) {
  // What the copy overwrites anyway; with a clipping region or from itself it covers nothing for
  // certain.
  clearAround(clip_ || &source == this ? PixelRect{} : copyArea(source, xs, ys, x, y, w, h));
  copyFrom(source, xs, ys, x, y, w, h);
}

void Surface::selectClip(const Region* region) {
  if (region) {
    clip_ = *region;
  } else {
    clip_.reset();
  }
}

void Surface::refresh() {
  PixelRect changed = changed_;
  // Words that hold the same drawing as at the last Refresh are on screen already: a background
  // laid and then covered again by the same picture (the first step of a zoom or a squeeze)
  // presents only what differs from that drawing now or did then.
  if (known_.drawn.source != 0 && known_.drawn == shown_.drawn &&
      known_.rect.intersected(shown_.rect).contains(changed)) {
    changed = changed.intersected(known_.dirty.united(shown_.dirty));
  }
  const std::vector<PixelRect> parts = changedTiles_.take(changed);
  changed_ = {};
  shown_ = known_;
  if (refreshHook_) refreshHook_({changed, parts});
}

Colour Surface::pixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) {
    throw std::out_of_range("pixel outside the surface");
  }
  return fromPixelWord(row(y)[x]);
}

void Surface::setPixel(std::int32_t x, std::int32_t y, Colour colour) {
  if (x < 0 || y < 0 || x >= width() || y >= height()) {
    throw std::out_of_range("pixel outside the surface");
  }
  row(y)[x] = toPixelWord(colour);
  markChanged({x, y, x + 1, y + 1});
}

PixelWord* Surface::rowForWriting(std::int32_t y) {
  return wordsForWriting(0, y, width_);
}

PixelWord* Surface::wordsForWriting(std::int32_t x, std::int32_t y, std::int32_t count) {
  if (y < 0 || y >= height() || x < 0 || count < 0 || x > width() - count) {
    throw std::out_of_range("words outside the surface");
  }
  markChanged({x, y, x + count, y + 1});
  return row(y) + x;
}

}  // namespace kamishibai
