// Kamishibai: unpacking a 1 GiB package into a work folder, and extracting it, each timed against
// `cp` of the same file into the same folder in the same iteration. Goal: at most 1.2 times the
// time of cp (the median of the iterations' ratios). The package is written to the build folder
// and removed when the benchmarks end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "formats/package.h"
#include "platform/running_program.h"
#include "platform/source_file.h"
#include "startup/work_folder.h"
#include "tools/commands.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kPictureBytes = 16u << 20;
constexpr int kPictureCount = 64;  // 64 pictures of 16 MiB: 1 GiB
constexpr double kGoalRatio = 1.2;

// The package file, written once when first needed into a folder beside the benchmark's own
// folder, and deleted when the benchmarks end. All entries share one buffer of random bytes, so
// writing it takes only 16 MiB of memory.
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

 private:
  GeneratedPackage()
      : folder_(fs::path(runningExecutablePath()).parent_path().parent_path() /
                ("package-bench-" + std::to_string(std::random_device()()))),
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
  }

  fs::path folder_;
  fs::path file_;
};

// Reads the file once, so that every timed run starts with it in the page cache (unpacking asks
// the system to drop it afterwards).
void warm(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
  }
}

template <class Run>
double secondsOf(Run&& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double copySeconds(const fs::path& file, const fs::path& folder) {
  fs::create_directories(folder);
  warm(file);
  const std::string command = "cp '" + file.string() + "' '" + folder.string() + "/'";
  const double seconds = secondsOf([&] {
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cp failed");
  });
  fs::remove_all(folder);
  return seconds;
}

// Times the operation and cp in each iteration and reports the median of their ratios beside
// the goal.
template <class Operation>
void againstCopy(benchmark::State& state, Operation&& operation) {
  const GeneratedPackage& package = GeneratedPackage::get();
  const fs::path folder = package.scratch("out");
  std::vector<double> ratios;
  for (auto _ : state) {
    const double copy = copySeconds(package.file(), folder);
    warm(package.file());
    const double own = secondsOf([&] { operation(package.file(), folder); });
    fs::remove_all(folder);
    ratios.push_back(own / copy);
    state.SetIterationTime(own);
  }
  std::sort(ratios.begin(), ratios.end());
  const double median = ratios[ratios.size() / 2];
  state.counters["times_cp"] = median;
  std::ostringstream label;
  label.precision(2);
  label << std::fixed << "median " << median << "x cp (goal <= " << kGoalRatio
        << "x: " << (median <= kGoalRatio ? "met" : "NOT MET") << ")";
  state.SetLabel(label.str());
}

void BM_UnpackAgainstCp(benchmark::State& state) {
  againstCopy(state, [](const fs::path& file, const fs::path& folder) {
    fs::create_directories(folder);
    writeWorkFiles(readPackage(openSourceFile(file)), folder.string() + "/");
  });
}

void BM_ExtractAgainstCp(benchmark::State& state) {
  againstCopy(state, [](const fs::path& file, const fs::path& folder) {
    std::ostringstream out, err;
    if (runExtract(file, folder, out, err) != 0) throw std::runtime_error(err.str());
  });
}

BENCHMARK(BM_UnpackAgainstCp)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_ExtractAgainstCp)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

}  // namespace
}  // namespace kamishibai
