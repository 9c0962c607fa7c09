// Kamishibai: checking, converting and streaming the files of a show.
#include "tools/show_files.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <map>
#include <thread>

#include "base/file_names.h"
#include "formats/picture_header.h"
#include "formats/stored_name.h"
#include "platform/audio_probe.h"
#include "platform/picture.h"
#include "tools/progress.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCopyChunk = 1 << 20;

std::string describe(const PlannedFile& file) {
  const char* kind = file.kind == FileKind::Picture ? "picture"
                     : file.kind == FileKind::Music ? "music"
                                                    : "sound";
  return std::string(kind) + " " + inQuotes(file.shownPath);
}

// What the player would refuse of a picture stored as it is: data cut short (which the decoders
// show half grey, or not at all), then what its decoder refuses. A JPEG's header alone goes
// through the decoder, as the first check covers its image data; any other picture is decoded
// whole, as the player decodes it.
std::string asItIsProblem(const PlannedFile& file, const PictureHeader& header) {
  if (std::string cut = pictureFileDataProblem(file.path, header.format); !cut.empty()) return cut;
  if (header.format != PictureFormat::Jpeg || header.headerBytes == 0)
    return pictureLoadProblem(utf8Of(file.path));
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(header.headerBytes));
  std::ifstream in(file.path, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) return "the file cannot be read";
  return checkJpegHeader(bytes).problem;
}

// The size for the progress bar: 0 for a file that cannot be read.
std::uint64_t sizeOrNothing(const fs::path& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

// The file as it stands on disk: its path and size, or the problem that it cannot be read.
PreparedFile asOnDisk(const PlannedFile& file) {
  PreparedFile out;
  out.source = file.path;
  std::error_code error;
  out.size = fs::file_size(file.path, error);
  if (error) out.problem = describe(file) + " cannot be read";
  return out;
}

// Why the picture cannot be fitted as asked: an area the manifest checks refuse (it would make
// no picture, or one too large to hold), or a fitted size over the player's limit, which is
// found from the header before anything is decoded.
std::string fitProblem(const FitRequest& request, const std::optional<PictureHeader>& header) {
  if (request.fit == PictureFit::None) return {};
  const auto usableSide = [](int side) { return side > 0 && side <= kMaxPictureSide; };
  if (!usableSide(request.areaWidth) || !usableSide(request.areaHeight)) {
    return "cannot be fitted into an area of " + std::to_string(request.areaWidth) + " x " +
           std::to_string(request.areaHeight);
  }
  if (!header) return {};
  const bool quarter = header->turnsQuarter();
  const FitGeometry fitted =
      fitGeometry(request.fit, static_cast<int>(quarter ? header->height : header->width),
                  static_cast<int>(quarter ? header->width : header->height), request.areaWidth,
                  request.areaHeight);
  const std::string trouble = pictureSizeProblem({fitted.width, fitted.height});
  return trouble.empty() ? trouble : "is too large once fitted: " + trouble;
}

// A picture fitted, or converted at its own size, into the spool.
PreparedFile prepareConverted(const PlannedFile& file, const std::optional<PictureHeader>& header,
                              Spool& spool, PreparedFile out) {
  FitRequest request = file.fit;
  request.orientation = out.orientation;
  if (const std::string trouble = fitProblem(request, header); !trouble.empty()) {
    out.problem = describe(file) + " " + trouble;
    return out;
  }
  std::vector<std::uint8_t> bytes;
  if (!readWhole(file.path, bytes)) {
    out.problem = describe(file) + " cannot be read";
    return out;
  }
  const FittedPicture fitted = fitPicture(bytes, request);
  if (!fitted.problem.empty()) {
    out.problem = describe(file) + " cannot be loaded: " + fitted.problem;
    return out;
  }
  // The player's size limit holds for what is stored, also where only the decoder knew the size.
  if (const std::string trouble = pictureSizeProblem({fitted.width, fitted.height});
      !trouble.empty()) {
    out.problem = describe(file) + " is too large once converted: " + trouble;
    return out;
  }
  try {
    out.offset = spool.append(fitted.bytes);
  } catch (const std::exception& e) {
    out.problem = describe(file) + ": the converted picture cannot be kept: " + e.what();
    return out;
  }
  out.source = spool.path();
  out.size = fitted.bytes.size();
  out.converted = true;
  out.png = fitted.png;
  out.width = fitted.width;
  out.height = fitted.height;
  return out;
}

// True when fitting would give back the picture as it is: upright already, and of a size the fit
// keeps. Storing it unchanged spares a re-encoding (a GIF would become a PNG twice its size, a
// JPEG would lose detail); a colour-keyed slide still needs a JPEG's colours made exact.
bool fitKeepsAsItIs(const PlannedFile& file, const PictureHeader& header) {
  const FitRequest& request = file.fit;
  if (!header.everyPlayerReads() || header.orientation != 1) return false;
  if (!fitProblem(request, header).empty()) return false;
  if (request.png && header.format == PictureFormat::Jpeg) return false;
  const int width = static_cast<int>(header.width), height = static_cast<int>(header.height);
  const FitGeometry fitted =
      fitGeometry(request.fit, width, height, request.areaWidth, request.areaHeight);
  return fitted.scaledWidth == width && fitted.scaledHeight == height && fitted.width == width &&
         fitted.height == height;
}

PreparedFile preparePicture(const PlannedFile& file, Spool& spool) {
  PreparedFile out = asOnDisk(file);
  if (!out.problem.empty() || file.rawContent) return out;
  const auto header = readPictureFileHeader(file.path);
  if (header) {
    if (const std::string trouble = pictureSizeProblem(*header); !trouble.empty()) {
      out.problem = describe(file) + " is too large: " + trouble;
      return out;
    }
    out.width = static_cast<int>(header->width);
    out.height = static_cast<int>(header->height);
    out.orientation = header->orientation;
  }
  if (header && (file.fit.fit == PictureFit::None ? header->everyPlayerReads()
                                                  : fitKeepsAsItIs(file, *header))) {
    if (const std::string trouble = asItIsProblem(file, *header); !trouble.empty())
      out.problem = describe(file) + " cannot be loaded: " + trouble;
    return out;
  }
  return prepareConverted(file, header, spool, std::move(out));
}

PreparedFile prepareAudio(const PlannedFile& file) {
  PreparedFile out = asOnDisk(file);
  if (!out.problem.empty() || file.rawContent) {
    return out;
  } else if (out.size == 0) {
    out.problem = describe(file) + " cannot be loaded: the file is empty";
  } else if (const std::string trouble = audioProblem(
                 file.path, file.kind == FileKind::Music ? AudioUse::Music : AudioUse::Sound);
             !trouble.empty()) {
    out.problem = describe(file) + " cannot be loaded: " + trouble;
  }
  return out;
}

bool sameContent(const PreparedFile& a, const PreparedFile& b) {
  if (a.size != b.size) return false;
  if (a.source == b.source && a.offset == b.offset) return true;
  std::ifstream first(a.source, std::ios::binary), second(b.source, std::ios::binary);
  first.seekg(static_cast<std::streamoff>(a.offset));
  second.seekg(static_cast<std::streamoff>(b.offset));
  std::vector<char> left(kCopyChunk), right(kCopyChunk);
  for (std::uint64_t done = 0; done < a.size;) {
    const auto count =
        static_cast<std::streamsize>(std::min<std::uint64_t>(kCopyChunk, a.size - done));
    first.read(left.data(), count);
    second.read(right.data(), count);
    if (!first || !second ||
        std::memcmp(left.data(), right.data(), static_cast<std::size_t>(count)) != 0)
      return false;
    done += static_cast<std::uint64_t>(count);
  }
  return true;
}

// The byte array k of the record, in package order.
ByteArray& arrayAt(PackageRecord& record, std::size_t k) {
  if (k == 0) return record.BgmData;
  PictureEntry& entry = record.Pictures.entries[(k - 1) / 2];
  return k % 2 == 1 ? entry.FileData : entry.SoundData;
}

std::string& nameAt(PackageRecord& record, std::size_t k) {
  if (k == 0) return record.BgmName;
  PictureEntry& entry = record.Pictures.entries[(k - 1) / 2];
  return k % 2 == 1 ? entry.FileName : entry.SoundName;
}

class NameClaims {
 public:
  NameClaims(ShowPlan& plan, const std::vector<PreparedFile>& prepared)
      : plan_(plan), prepared_(prepared) {}

  // Names the manifest gives stay as they are; a file's own name that another file already has
  // gets a number, so that every name in the work folder holds one file. Names that differ only
  // in letter case count as one, as Windows keeps one file for them.
  void claimAll() {
    for (const bool explicitNames : {true, false}) {
      for (std::size_t k = 0; k < plan_.arrays.size(); ++k) {
        const int index = plan_.arrays[k].file;
        if (index < 0 || plan_.files[index].explicitName != explicitNames) continue;
        claim(k, static_cast<std::size_t>(index));
      }
    }
  }

 private:
  void claim(std::size_t k, std::size_t index) {
    PlannedFile& file = plan_.files[index];
    const std::string wanted = file.storedName;
    std::string taken;  // the name of the file that has the wanted one, when another has it
    for (int number = 1;; ++number) {
      const std::string name = number == 1 ? wanted : numbered(wanted, number);
      const std::optional<std::size_t> holder = holderOf(name, file.rawName);
      const bool shared = holder && plan_.files[*holder].storedName == name &&
                          sameContent(prepared_[*holder], prepared_[index]);
      if (!holder || shared) {
        take(k, index, name, taken);
        return;
      }
      if (taken.empty()) taken = plan_.files[*holder].storedName;
      if (file.explicitName) {
        const PlannedFile& other = plan_.files[*holder];
        const std::string line = std::to_string(other.nameLine);
        plan_.problems.push_back(
            {file.nameLine,
             "stored name " + inQuotes(name) +
                 (other.storedName == name
                      ? " is already used for a different file on line " + line
                      : " differs only in letter case from " + inQuotes(other.storedName) +
                            " on line " + line + ", and Windows keeps one file for both")});
        return;
      }
    }
  }

  // The file that has the name, or (unless either name is raw) a name that differs from it only
  // in letter case.
  std::optional<std::size_t> holderOf(const std::string& name, bool raw) const {
    if (const auto exact = claimed_.find(name); exact != claimed_.end()) return exact->second;
    const auto variant = raw ? folded_.end() : folded_.find(foldedCase(name));
    if (variant == folded_.end() || plan_.files[variant->second].rawName) return std::nullopt;
    return variant->second;
  }

  void take(std::size_t k, std::size_t index, const std::string& name, const std::string& taken) {
    PlannedFile& file = plan_.files[index];
    if (!taken.empty()) {
      plan_.notes.push_back({file.line, describe(file) + " is stored as " + inQuotes(name) +
                                            ": another file is stored as " + inQuotes(taken)});
    }
    // A number or a new ending makes a name the manifest's checks have not seen.
    if (!taken.empty() || (prepared_[index].converted && !file.explicitName)) {
      if (const std::string trouble = storedNameRefusal(name, file.rawName); !trouble.empty())
        plan_.problems.push_back(
            {file.line, describe(file) + " would be stored as " + inQuotes(name) + ": " + trouble});
    }
    file.storedName = name;
    nameAt(plan_.record, k) = name;
    claimed_.try_emplace(name, index);
    folded_.try_emplace(foldedCase(name), index);
  }

  static std::string numbered(const std::string& name, int number) {
    const fs::path path = pathFromUtf8(name);
    return utf8Of(path.stem()) + "-" + std::to_string(number) + utf8Of(path.extension());
  }

  ShowPlan& plan_;
  const std::vector<PreparedFile>& prepared_;
  std::map<std::string, std::size_t> claimed_;
  std::map<std::string, std::size_t> folded_;
};

void notePlacement(ShowPlan& plan, const PlannedFile& file, const PreparedFile& prepared,
                   const PictureEntry& entry) {
  const PackageRecord& r = plan.record;
  if (file.rawContent || prepared.width <= 0 || r.AreaWidth <= 0 || r.AreaHeight <= 0) return;
  const std::string size = std::to_string(prepared.width) + " x " + std::to_string(prepared.height);
  const std::string area = std::to_string(r.AreaWidth) + " x " + std::to_string(r.AreaHeight);
  if (prepared.width > r.AreaWidth || prepared.height > r.AreaHeight) {
    plan.notes.push_back({file.line, "warning: " + describe(file) + " (" + size +
                                         ") is larger than the area (" + area +
                                         "); fit = \"contain\" would scale it to fit"});
  } else if (entry.PosX < 0 || entry.PosY < 0 ||
             static_cast<std::int64_t>(entry.PosX) + prepared.width > r.AreaWidth ||
             static_cast<std::int64_t>(entry.PosY) + prepared.height > r.AreaHeight) {
    plan.notes.push_back({file.line, "warning: " + describe(file) + " (" + size +
                                         ") lies partly outside the area (" + area + ")"});
  }
  if (!prepared.converted && prepared.orientation != 1) {
    plan.notes.push_back(
        {file.line, "warning: " + describe(file) + " is stored turned (EXIF orientation " +
                        std::to_string(prepared.orientation) + "); a fit turns it upright"});
  }
}

}  // namespace

Spool::Spool(fs::path beside) : beside_(std::move(beside)) {}

fs::path Spool::path() const {
  const std::lock_guard lock(mutex_);
  return file_ ? file_->temporaryPath() : fs::path();
}

std::uint64_t Spool::append(std::span<const std::uint8_t> bytes) {
  const std::lock_guard lock(mutex_);
  if (!file_) file_ = std::make_unique<OutputFile>(beside_, ExistingTarget::Replace);
  file_->write(bytes);
  const std::uint64_t offset = size_;
  size_ += bytes.size();
  return offset;
}

std::vector<PreparedFile> prepareFiles(const ShowPlan& plan, Spool& spool, std::ostream* terminal,
                                       const ProgressListener& listener) {
  std::vector<PreparedFile> prepared(plan.files.size());
  std::vector<std::size_t> pictures;
  std::uint64_t pictureBytes = 0;
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    const PlannedFile& file = plan.files[i];
    if (file.kind != FileKind::Picture) {
      // The audio library is asked from one thread only.
      prepared[i] = prepareAudio(file);
      continue;
    }
    pictures.push_back(i);
    pictureBytes += sizeOrNothing(file.path);
  }
  pictureFileEndings();  // loads the codecs once, before the threads use them
  Progress progress(terminal, "checking", pictures.size(), pictureBytes, listener);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t n = next++; n < pictures.size(); n = next++) {
      const std::size_t i = pictures[n];
      prepared[i] = preparePicture(plan.files[i], spool);
      progress.fileDone(sizeOrNothing(plan.files[i].path));
    }
  };
  // One picture in memory per core: memory stays bounded by the largest pictures.
  const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                      std::max<std::size_t>(pictures.size(), 1));
  std::vector<std::jthread> threads;
  for (std::size_t t = 1; t < workers; ++t) threads.emplace_back(work);
  work();
  threads.clear();
  return prepared;
}

void completePlan(ShowPlan& plan, const std::vector<PreparedFile>& prepared) {
  for (std::size_t i = 0; i < prepared.size(); ++i) {
    if (!prepared[i].problem.empty())
      plan.problems.push_back({plan.files[i].line, prepared[i].problem});
  }
  PackageRecord& r = plan.record;
  for (std::size_t k = 0; k < plan.arrays.size(); ++k) {
    const ShowPlan::Array& array = plan.arrays[k];
    const std::uint64_t size = array.file >= 0 ? prepared[array.file].size : 0;
    ByteArray& target = arrayAt(r, k);
    // The bytes are streamed from the prepared file when the package is written.
    target.data = ByteBuffer(nullptr, nullptr, static_cast<std::size_t>(size));
    target.shape = array.shape.value_or(ArrayShape{static_cast<std::int16_t>(size > 0 ? 1 : 0), 0});
    if (target.shape.dimensions == 0 && (size > 0 || target.shape.lowerBound != 0)) {
      plan.problems.push_back(
          {array.line, "only an empty array without a lower bound can have no dimensions"});
    }
    if (array.file < 0 || k == 0 || k % 2 == 0) continue;
    PlannedFile& file = plan.files[array.file];
    const PreparedFile& ready = prepared[array.file];
    PictureEntry& entry = r.Pictures.entries[(k - 1) / 2];
    if (!ready.problem.empty()) continue;
    if (file.fit.fit != PictureFit::None) {
      entry.PosX = centredOn(r.AreaWidth, ready.width);
      entry.PosY = centredOn(r.AreaHeight, ready.height);
    }
    if (ready.converted && !file.explicitName) {
      file.storedName =
          utf8Of(pathFromUtf8(file.storedName).replace_extension(ready.png ? ".png" : ".jpg"));
      entry.FileName = file.storedName;
    }
    notePlacement(plan, file, ready, entry);
  }
  NameClaims(plan, prepared).claimAll();
  sortByLine(plan.problems);
  sortByLine(plan.notes);
}

bool readWhole(const fs::path& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  bytes.resize(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), size);
  return in.gcount() == size;
}

bool copyPrepared(const PreparedFile& file, std::ostream& out) {
  std::ifstream in(file.source, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(file.offset));
  std::vector<char> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, file.size)));
  for (std::uint64_t done = 0; done < file.size;) {
    const auto count =
        static_cast<std::streamsize>(std::min<std::uint64_t>(chunk.size(), file.size - done));
    in.read(chunk.data(), count);
    if (in.gcount() != count) return false;
    out.write(chunk.data(), count);
    done += static_cast<std::uint64_t>(count);
  }
  return true;
}

}  // namespace kamishibai
