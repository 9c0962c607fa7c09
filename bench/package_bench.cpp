// Kamishibai: reading and extracting a 1 GiB package: throughput and peak resident memory. The
// read must stay under 64 MiB resident; extraction must reach at least half the speed of a plain
// copy of the same file, measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "platform/process_memory.h"
#include "startup/package.h"
#include "tools/commands.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kPictureBytes = 16u << 20;
constexpr int kPictureCount = 64;  // 64 pictures of 16 MiB: 1 GiB

double mebibytes(std::int64_t bytes) {
  return static_cast<double>(bytes) / (1 << 20);
}

// The package file, written once when first needed and deleted when the benchmarks end. All
// entries share one buffer of random bytes, so writing it takes only 16 MiB of memory.
class GeneratedPackage {
 public:
  static const GeneratedPackage& get() {
    static const GeneratedPackage package;
    return package;
  }
  ~GeneratedPackage() {
    std::error_code error;
    fs::remove_all(folder_, error);
  }

  const fs::path& file() const { return file_; }
  fs::path scratch(const char* name) const { return folder_ / name; }
  std::int64_t size() const { return size_; }

 private:
  GeneratedPackage()
      : folder_(fs::temp_directory_path() /
                ("kamishibai-bench-" + std::to_string(std::random_device()()))),
        file_(folder_ / "big.scr") {
    fs::create_directories(folder_);
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(kPictureBytes);
    std::mt19937 random(42);
    for (auto& b : *bytes) b = static_cast<std::uint8_t>(random());
    PackageRecord record;
    record.AreaWidth = record.AreaHeight = 250;
    record.PictureCount = kPictureCount;
    record.Pictures.shape = {1, 0};
    for (int i = 0; i < kPictureCount; ++i) {
      PictureEntry& e = record.Pictures.entries.emplace_back();
      e.FileName = std::to_string(i);
      e.ShowTime = 1000;
      e.FileData = {{1, 0}, ByteBuffer(bytes, bytes->data(), bytes->size())};
    }
    std::ofstream out(file_, std::ios::binary);
    out << "player";
    writePackage(record, out);
    out.close();
    size_ = static_cast<std::int64_t>(fs::file_size(file_));
  }

  fs::path folder_;
  fs::path file_;
  std::int64_t size_ = 0;
};

void reportPeak(benchmark::State& state) {
  state.counters["peak_rss_MiB"] = mebibytes(peakResidentBytes());
}

void BM_ReadPackage(benchmark::State& state) {
  const GeneratedPackage& package = GeneratedPackage::get();
  for (auto _ : state) {
    const PackageRecord record = readPackage(package.file());
    if (record.Pictures.entries.size() != kPictureCount) state.SkipWithError("package not read");
    benchmark::DoNotOptimize(record.Pictures.entries.back().FileData.data.data());
  }
  state.SetBytesProcessed(state.iterations() * package.size());
  reportPeak(state);
}

// Extraction, with a plain copy of the same file measured alongside it in each iteration, so
// both meet the same disk in the same state. The benchmark's own time includes both.
void BM_ExtractPackage(benchmark::State& state) {
  const GeneratedPackage& package = GeneratedPackage::get();
  const fs::path folder = package.scratch("extracted");
  const fs::path copy = package.scratch("copy.scr");
  std::ostringstream out, err;
  double extractSeconds = 0, copySeconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    runExtract(package.file(), folder, out, err);
    extractSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    start = std::chrono::steady_clock::now();
    fs::copy_file(package.file(), copy, fs::copy_options::overwrite_existing);
    copySeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fs::remove_all(folder);
    fs::remove(copy);
  }
  state.counters["extract_MiB_per_s"] =
      mebibytes(package.size()) * state.iterations() / extractSeconds;
  state.counters["copy_MiB_per_s"] = mebibytes(package.size()) * state.iterations() / copySeconds;
  state.counters["extract_to_copy"] = copySeconds / extractSeconds;
  state.SetBytesProcessed(state.iterations() * package.size());
  reportPeak(state);
}

BENCHMARK(BM_ReadPackage)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_ExtractPackage)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace kamishibai
