// Kamishibai: the test for a running copy of the same saver.
#pragma once

#include <string>

namespace kamishibai {

// An exclusive lock named after the canonical path of the saver's own file: on Linux a lock on a
// file in the per-user runtime folder, on Windows a named mutex of the session. The lock is held
// until the object is destroyed or the process ends, so a copy that crashed never keeps the next
// one from starting.
class InstanceLock {
 public:
  enum class State { Held, HeldByAnotherCopy, Unavailable };

  explicit InstanceLock(const std::string& ownFile);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }

 private:
#ifdef _WIN32
  void* mutex_ = nullptr;
#else
  int fd_ = -1;
#endif
  State state_ = State::Unavailable;
};

}  // namespace kamishibai
