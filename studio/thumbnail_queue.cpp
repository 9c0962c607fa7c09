// Kamishibai Studio: thumbnails made by worker threads from a queue of requests.
#include "studio/thumbnail_queue.h"

#include <algorithm>
#include <fstream>

#include "formats/exif_thumbnail.h"
#include "formats/picture_header.h"
#include "platform/picture_convert.h"
#include "raster/raster.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readRange(const fs::path& file, std::uint64_t offset,
                                    std::uint64_t size) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::uint8_t> bytes(size);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (in.gcount() != static_cast<std::streamsize>(size)) bytes.clear();
  return bytes;
}

// The picture bytes scaled into size x size (never enlarged) and turned upright; why not, or
// empty.
std::string scaleInto(Thumbnail& thumbnail, std::span<const std::uint8_t> bytes, int orientation,
                      std::int32_t size) {
  Surface surface;
  const FitRequest request{
      .fit = PictureFit::Shrink, .areaWidth = size, .areaHeight = size, .orientation = orientation};
  if (std::string problem = fitPictureInto(bytes, request, surface); !problem.empty())
    return problem;
  thumbnail.width = surface.width();
  thumbnail.height = surface.height();
  thumbnail.rgba.clear();
  thumbnail.rgba.reserve(static_cast<std::size_t>(surface.width()) * surface.height() * 4);
  for (std::int32_t y = 0; y < surface.height(); ++y) {
    const PixelWord* row = surface.pixelWords() + static_cast<std::size_t>(y) * surface.width();
    for (std::int32_t x = 0; x < surface.width(); ++x) {
      thumbnail.rgba.insert(thumbnail.rgba.end(), {static_cast<std::uint8_t>(row[x] >> 16),
                                                   static_cast<std::uint8_t>(row[x] >> 8),
                                                   static_cast<std::uint8_t>(row[x]), 0xFF});
    }
  }
  return {};
}

}  // namespace

Thumbnail makeThumbnail(const fs::path& picture, std::int32_t size) {
  Thumbnail thumbnail;
  thumbnail.path = picture;
  const auto header = readPictureFileHeader(picture);
  if (header && !pictureSizeProblem(*header).empty()) {
    thumbnail.problem = pictureSizeProblem(*header);
    return thumbnail;
  }
  const int orientation = header ? header->orientation : 1;
  if (header) {
    const ByteReader read = [&picture](std::uint64_t offset, std::span<std::uint8_t> out) {
      const std::vector<std::uint8_t> bytes = readRange(picture, offset, out.size());
      std::copy(bytes.begin(), bytes.end(), out.begin());
      return bytes.size();
    };
    // The camera's thumbnail is stored as the picture is, so it turns as the picture does.
    if (const auto range = findExifThumbnail(*header, read)) {
      const std::vector<std::uint8_t> bytes = readRange(picture, range->offset, range->size);
      if (!bytes.empty() && scaleInto(thumbnail, bytes, orientation, size).empty())
        return thumbnail;
    }
  }
  std::error_code error;
  const std::uint64_t length = fs::file_size(picture, error);
  const std::vector<std::uint8_t> bytes =
      error ? std::vector<std::uint8_t>() : readRange(picture, 0, length);
  if (bytes.empty()) {
    thumbnail.problem = "cannot be read";
    return thumbnail;
  }
  thumbnail.problem = scaleInto(thumbnail, bytes, orientation, size);
  return thumbnail;
}

ThumbnailQueue::ThumbnailQueue(std::int32_t size, Delivery deliver, unsigned workers)
    : size_(size), deliver_(std::move(deliver)) {
  pictureFileEndings();  // loads the codecs once, before the workers use them
  const unsigned count = workers > 0 ? workers : std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 0; i < count; ++i) {
    workers_.emplace_back([this](std::stop_token stop) { work(stop); });
  }
}

ThumbnailQueue::~ThumbnailQueue() {
  cancelPending();
  for (std::jthread& worker : workers_) worker.request_stop();
  workers_.clear();
}

std::uint64_t ThumbnailQueue::request(const fs::path& picture) {
  std::uint64_t ticket = 0;
  {
    const std::lock_guard lock(mutex_);
    ticket = nextTicket_++;
    pending_.emplace_back(ticket, picture);
  }
  wake_.notify_one();
  return ticket;
}

void ThumbnailQueue::cancelPending() {
  const std::lock_guard lock(mutex_);
  pending_.clear();
}

void ThumbnailQueue::work(std::stop_token stop) {
  for (;;) {
    std::pair<std::uint64_t, fs::path> next;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return !pending_.empty(); })) return;
      next = std::move(pending_.front());
      pending_.pop_front();
    }
    Thumbnail thumbnail = makeThumbnail(next.second, size_);
    thumbnail.ticket = next.first;
    if (stop.stop_requested()) return;
    deliver_(std::move(thumbnail));
  }
}

}  // namespace kamishibai
