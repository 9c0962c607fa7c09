// Kamishibai: what every backend's output file shares: the checks before the temporary file is
// made, the buffered stream and the order of the commit.
#include "platform/output_file.h"

#include <stdexcept>
#include <vector>

#include "base/file_names.h"

namespace kamishibai {

// Collects small writes (the package writer writes field by field) into large ones. The first
// failing write is kept for commit() and every later one fails at once.
class OutputBuffer final : public std::streambuf {
 public:
  explicit OutputBuffer(OutputFile& file) : file_(file), bytes_(kBufferBytes) { reset(); }

 protected:
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return drain() ? 0 : -1; }

 private:
  static constexpr std::size_t kBufferBytes = 1 << 16;

  void reset() { setp(bytes_.data(), bytes_.data() + bytes_.size()); }

  bool drain() {
    if (file_.streamError_) return false;
    try {
      file_.writeBytes({reinterpret_cast<const std::uint8_t*>(pbase()),
                        static_cast<std::size_t>(pptr() - pbase())});
    } catch (...) {
      file_.streamError_ = std::current_exception();
      return false;
    }
    reset();
    return true;
  }

  OutputFile& file_;
  std::vector<char> bytes_;
};

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error, otherError;
  if (std::filesystem::equivalent(a, b, error)) return true;
  const std::filesystem::path first = std::filesystem::weakly_canonical(a, error);
  const std::filesystem::path second = std::filesystem::weakly_canonical(b, otherError);
  return !error && !otherError && first == second;
}

OutputFile::OutputFile(std::filesystem::path target, ExistingTarget existing)
    : target_(std::move(target)), existing_(existing) {
  if (const std::string problem = outputTargetProblem(target_); !problem.empty()) {
    throw std::runtime_error(utf8Of(target_) + " " + problem);
  }
  std::error_code error;
  if (existing_ == ExistingTarget::Refuse && std::filesystem::exists(target_, error)) {
    throw std::runtime_error(utf8Of(target_) + " exists already; nothing was written");
  }
  open();
}

OutputFile::~OutputFile() {
  stream_.reset();
  buffer_.reset();
  discard();
}

void OutputFile::write(std::span<const std::uint8_t> bytes) {
  if (stream_) stream_->flush();
  writeBytes(bytes);
}

std::ostream& OutputFile::stream() {
  if (!stream_) {
    buffer_ = std::make_unique<OutputBuffer>(*this);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
  }
  return *stream_;
}

void OutputFile::commit(std::filesystem::perms add) {
  if (stream_) stream_->flush();
  if (streamError_) std::rethrow_exception(streamError_);
  // The target may have become something else while the bytes were made.
  if (const std::string problem = outputTargetProblem(target_); !problem.empty()) {
    throw std::runtime_error(utf8Of(target_) + " " + problem);
  }
  finish(add);
  committed_ = true;
}

}  // namespace kamishibai
