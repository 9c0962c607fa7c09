// Kamishibai: fuzzing the package reader: any file must read without a fault, every entry read
// must be reachable through its index and nothing past them, and an intact read must write
// back to the same package bytes.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <stdexcept>

#include "formats/package.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kamishibai;
  const std::span<const std::uint8_t> file(data, size);
  const PackageReading reading = inspectPackage(file);
  const PictureArray& pictures = reading.record.Pictures;
  const std::int64_t first = pictures.shape.lowerBound;
  const auto count = static_cast<std::int64_t>(pictures.entries.size());
  for (std::int64_t i = first - 1; i <= first + count; ++i) {
    if (i < INT32_MIN || i > INT32_MAX) continue;
    const bool inside = i >= first && i < first + count;
    if (pictures.contains(static_cast<std::int32_t>(i)) != inside) std::abort();
    try {
      pictures.at(static_cast<std::int32_t>(i));
      if (!inside) std::abort();
    } catch (const std::out_of_range&) {
      if (inside) std::abort();
    }
  }
  if (reading.intact()) {
    const std::vector<std::uint8_t> written = writePackage(reading.record);
    const auto original = file.subspan(reading.start);
    if (!std::equal(written.begin(), written.end(), original.begin(), original.end())) std::abort();
  }
  return 0;
}
