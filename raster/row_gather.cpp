// Kamishibai: the gathered row of a stretch, portable and with AVX2.
#include "raster/row_gather.h"

#include <algorithm>
#include <bit>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KAMISHIBAI_GATHER_AVX2 1
#include <immintrin.h>
#endif

namespace kamishibai {
namespace row_gather {
namespace {

// The words k .. to - 1 one by one, added to `changed`.
void gatherRest(PixelWord* out, const PixelWord* sourceRow, const std::int32_t* columns,
                std::int32_t from, std::int32_t k, std::int32_t to, PixelRun& changed) {
  for (; k < to; ++k) {
    const PixelWord word = sourceRow[columns[k - from]];
    if (out[k] != word) {
      out[k] = word;
      changed = joined(changed, {k, k + 1});
    }
  }
}

}  // namespace

PixelRun portable(PixelWord* out, const PixelWord* sourceRow, const std::int32_t* columns,
                  std::int32_t from, std::int32_t to) {
  PixelRun changed{from, from};
  gatherRest(out, sourceRow, columns, from, from, to, changed);
  return changed;
}

#ifdef KAMISHIBAI_GATHER_AVX2

// Few enough values to stay in registers: GCC for 64-bit Windows cannot align a 32-byte stack
// slot, and a spilled vector there would fault (the Windows unit tests run this way under wine).
__attribute__((target("avx2"))) PixelRun vectorised(PixelWord* out, const PixelWord* sourceRow,
                                                    std::int32_t sourceWidth,
                                                    const std::int32_t* columns, std::int32_t from,
                                                    std::int32_t to) {
  constexpr std::int32_t kGroup = 8;
  const __m256i seven = _mm256_set1_epi32(kGroup - 1);
  const __m256i fifteen = _mm256_set1_epi32(2 * kGroup - 1);
  const __m256i zero = _mm256_setzero_si256();
  PixelRun changed{from, from};
  std::int32_t k = from;
  for (; to - k >= kGroup; k += kGroup) {
    const std::int32_t* groupColumns = columns + (k - from);
    const __m256i wanted = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(groupColumns));
    const std::int32_t base = std::min(groupColumns[0], groupColumns[kGroup - 1]);
    const __m256i offset = _mm256_sub_epi32(wanted, _mm256_set1_epi32(base));
    const __m256i outside =
        _mm256_or_si256(_mm256_cmpgt_epi32(offset, fifteen), _mm256_cmpgt_epi32(zero, offset));
    __m256i words;
    if (sourceWidth - base >= 2 * kGroup && _mm256_testz_si256(outside, outside)) {
      // A scale of at most two: the group lies in 16 words that two loads hold.
      const PixelWord* near = sourceRow + base;
      const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(near));
      const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(near + kGroup));
      words = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(low, offset),
                                 _mm256_permutevar8x32_epi32(high, offset),
                                 _mm256_cmpgt_epi32(offset, seven));
    } else {
      // Word by word: on many processors faster than the gather instruction.
      const auto at = [&](std::int32_t i) { return static_cast<int>(sourceRow[groupColumns[i]]); };
      words = _mm256_setr_epi32(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    }
    __m256i* place = reinterpret_cast<__m256i*>(out + k);
    const auto same = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi32(words, _mm256_loadu_si256(place))));
    if (same != 0xFFFFFFFFu) {
      _mm256_storeu_si256(place, words);
      // Four mask bits per word.
      changed =
          joined(changed, {k + std::countr_one(same) / 4, k + kGroup - std::countl_one(same) / 4});
    }
  }
  gatherRest(out, sourceRow, columns, from, k, to, changed);
  return changed;
}

bool vectorisedAvailable() {
  return __builtin_cpu_supports("avx2");
}

#else

PixelRun vectorised(PixelWord* out, const PixelWord* sourceRow, std::int32_t,
                    const std::int32_t* columns, std::int32_t from, std::int32_t to) {
  return portable(out, sourceRow, columns, from, to);
}

bool vectorisedAvailable() {
  return false;
}

#endif

}  // namespace row_gather

PixelRun gatherRow(PixelWord* out, const PixelWord* sourceRow, std::int32_t sourceWidth,
                   const std::int32_t* columns, std::int32_t from, std::int32_t to) {
  static const bool vectorised = row_gather::vectorisedAvailable();
  return vectorised ? row_gather::vectorised(out, sourceRow, sourceWidth, columns, from, to)
                    : row_gather::portable(out, sourceRow, columns, from, to);
}

}  // namespace kamishibai
