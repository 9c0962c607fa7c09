// Kamishibai: fuzzing the manifest reader with its checks: any text must read without a fault,
// and every slide it accepts must carry values the package and the player can hold.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kamishibai;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // A folder that does not exist: patterns and files are looked for and not found.
  const ShowPlan plan = planShow(text, "/nonexistent/kamishibai-fuzz", "fuzz.toml");
  if (!plan.problems.empty()) return 0;
  const PackageRecord& r = plan.record;
  if (r.Pictures.entries.size() * 2 + 1 != plan.arrays.size()) std::abort();
  for (const ShowPlan::Array& array : plan.arrays) {
    if (array.file >= static_cast<int>(plan.files.size())) std::abort();
  }
  for (const PlannedFile& file : plan.files) {
    if (file.storedName.empty() || storedNameTrouble(file.storedName).size() > 0) {
      if (!file.rawName) std::abort();
    }
  }
  return 0;
}
