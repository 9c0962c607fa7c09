// Kamishibai: one row of a nearest-neighbour stretch: the words a column map picks from a source
// row, written over a row where they differ.
#pragma once

#include <cstdint>

#include "raster/raster.h"
#include "raster/region_runs.h"

namespace kamishibai {

// Sets out[from + k] to sourceRow[columns[k]] for k = 0 .. to - from - 1 and returns the smallest
// run holding every word that changed ({from, from} when none did). Every column lies in
// 0 .. sourceWidth - 1; the map may run in any order.
PixelRun gatherRow(PixelWord* out, const PixelWord* sourceRow, std::int32_t sourceWidth,
                   const std::int32_t* columns, std::int32_t from, std::int32_t to);

// The two ways gatherRow takes, chosen once by what the processor offers.
namespace row_gather {
PixelRun portable(PixelWord* out, const PixelWord* sourceRow, const std::int32_t* columns,
                  std::int32_t from, std::int32_t to);
// Eight words at a time, each group picked out of the sixteen source words it falls in where it
// can; needs AVX2.
PixelRun vectorised(PixelWord* out, const PixelWord* sourceRow, std::int32_t sourceWidth,
                    const std::int32_t* columns, std::int32_t from, std::int32_t to);
bool vectorisedAvailable();
}  // namespace row_gather

}  // namespace kamishibai
