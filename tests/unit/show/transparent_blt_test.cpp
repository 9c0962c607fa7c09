// Kamishibai: TransparentBltFunc, pixel for pixel: the colour key is exact, the target shows
// through the key, and the rectangle is clipped at both surfaces' edges.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "base/arith.h"
#include "show/transparent_blt.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

constexpr Colour kKey = makeColour(0, 0, 255);

// Surfaces drawn as rows of letters: k the key colour, a to z others (one per letter).
Colour letterColour(char c) {
  return c == 'k' ? kKey : makeColour(static_cast<std::uint8_t>(c), 10, 20);
}

Surface surfaceOf(const std::vector<std::string>& rows) {
  return codedSurface(static_cast<std::int32_t>(rows[0].size()),
                      static_cast<std::int32_t>(rows.size()),
                      [&rows](std::size_t x, std::size_t y) { return letterColour(rows[y][x]); });
}

void expectSurface(const Surface& s, const std::vector<std::string>& rows) {
  EXPECT_TRUE(samePixels(s, surfaceOf(rows)));
}

// clang-format off
const std::vector<std::string> kTarget = {
    "....",
    "....",
    "....",
    "...."};
// clang-format on

TEST(TransparentBlt, SourceWithoutTheKeyIsAPlainCopy) {
  Surface target = surfaceOf(kTarget);
  const Surface source = surfaceOf({"ab", "cd"});
  TransparentBltFunc(target, 1, 1, 2, 2, source, 0, 0, kKey);
  expectSurface(target, {"....", ".ab.", ".cd.", "...."});
}

TEST(TransparentBlt, SourceOfOnlyTheKeyLeavesTheTarget) {
  Surface target = surfaceOf(kTarget);
  const Surface source = surfaceOf({"kk", "kk"});
  TransparentBltFunc(target, 1, 1, 2, 2, source, 0, 0, kKey);
  expectSurface(target, kTarget);
}

TEST(TransparentBlt, KeyedPixelsKeepTheTargetAndTheSourceCornerIsHonoured) {
  Surface target = surfaceOf(kTarget);
  const Surface source = surfaceOf({"zzz", "zak", "zkb"});
  TransparentBltFunc(target, 0, 0, 2, 2, source, 1, 1, kKey);
  expectSurface(target, {"a...", ".b..", "....", "...."});
}

TEST(TransparentBlt, AColourOneStepFromTheKeyIsCopied) {
  for (const Colour near : {makeColour(1, 0, 255), makeColour(0, 1, 255), makeColour(0, 0, 254)}) {
    Surface target(1, 1, makeColour(9, 9, 9));
    Surface source(1, 1, near);
    TransparentBltFunc(target, 0, 0, 1, 1, source, 0, 0, kKey);
    EXPECT_EQ(target.pixel(0, 0), near);
  }
}

TEST(TransparentBlt, RectangleIsClippedAtTheTargetEdges) {
  Surface target = surfaceOf(kTarget);
  const Surface source = surfaceOf({"abc", "dkf", "ghi"});
  TransparentBltFunc(target, -1, 2, 3, 3, source, 0, 0, kKey);
  expectSurface(target, {"....", "....", "bc..", ".f.."});
  Surface right = surfaceOf(kTarget);
  TransparentBltFunc(right, 3, -2, 3, 3, source, 0, 0, kKey);
  expectSurface(right, {"...g", "....", "....", "...."});
}

TEST(TransparentBlt, RectangleBeyondTheSourceKeepsTheTarget) {
  Surface target = surfaceOf(kTarget);
  const Surface source = surfaceOf({"ab", "cd"});
  TransparentBltFunc(target, 0, 0, 4, 4, source, 1, 0, kKey);
  expectSurface(target, {"b...", "d...", "....", "...."});
}

TEST(TransparentBlt, EmptyOrNegativeSizesDrawNothing) {
  Surface target = surfaceOf(kTarget);
  const Surface source = surfaceOf({"ab", "cd"});
  TransparentBltFunc(target, 0, 0, 0, 2, source, 0, 0, kKey);
  TransparentBltFunc(target, 0, 0, -2, -2, source, 0, 0, kKey);
  expectSurface(target, kTarget);
}

TEST(TransparentBlt, WorkingSizeOutsideTheSignedRangeIsAnError) {
  Surface target = surfaceOf(kTarget);
  const Surface source = surfaceOf({"ab", "cd"});
  // 26755 * 26755 * 3 is just above the 32-bit range, 26754 * 26754 * 3 just inside.
  EXPECT_THROW(TransparentBltFunc(target, 0, 0, 26755, 26755, source, 0, 0, kKey), OverflowError);
  expectSurface(target, kTarget);
  TransparentBltFunc(target, 0, 0, 26754, 26754, source, 0, 0, kKey);
  expectSurface(target, {"ab..", "cd..", "....", "...."});
}

}  // namespace
}  // namespace kamishibai
