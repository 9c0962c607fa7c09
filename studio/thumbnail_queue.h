// Kamishibai Studio: small pictures of the slides, made on worker threads so that the window
// stays responsive while a thousand photos stream in.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace kamishibai {

struct Thumbnail {
  std::uint64_t ticket = 0;  // as request returned it
  std::filesystem::path path;
  std::int32_t width = 0;  // upright, at most the queue's size a side
  std::int32_t height = 0;
  std::vector<std::uint8_t> rgba;  // width * height * 4 bytes: R, G, B, A (255)
  std::string problem;             // empty when the picture could be read
};

class ThumbnailQueue {
 public:
  // Called on a worker thread with each thumbnail; the window hands it to its main loop.
  using Delivery = std::function<void(Thumbnail)>;

  // Thumbnails fit in size x size pixels (never enlarged); workers threads (0: one per core).
  ThumbnailQueue(std::int32_t size, Delivery deliver, unsigned workers = 0);
  // Cancels what waits and joins the workers: no delivery follows.
  ~ThumbnailQueue();
  ThumbnailQueue(const ThumbnailQueue&) = delete;
  ThumbnailQueue& operator=(const ThumbnailQueue&) = delete;

  // Queues the picture and returns at once with its ticket.
  std::uint64_t request(const std::filesystem::path& picture);
  // Drops every request not yet started; those being made are still delivered.
  void cancelPending();

 private:
  void work(std::stop_token stop);

  std::int32_t size_;
  Delivery deliver_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<std::pair<std::uint64_t, std::filesystem::path>> pending_;
  std::uint64_t nextTicket_ = 1;
  std::vector<std::jthread> workers_;
};

// The thumbnail of one picture, from its EXIF thumbnail where it has one, else from the picture
// scaled down; upright by the picture's EXIF orientation.
Thumbnail makeThumbnail(const std::filesystem::path& picture, std::int32_t size);

}  // namespace kamishibai
