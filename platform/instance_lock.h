// Kamishibai: the test for a running copy of the same saver.
#pragma once

#include <memory>
#include <string>

namespace kamishibai {

// An exclusive lock on a file named after the canonical path of the saver's own file, in the
// first of the folders that may hold the work folders (the runtime one, else the cache one)
// where the lock file can be opened: every copy falls back the same way, so a lock file that
// cannot be made in one folder (read-only, a folder or a dangling link in its place) does not
// let two copies run. The lock is held until the object is destroyed or the process ends, so a
// copy that crashed never keeps the next one from starting. On Windows the lock is a named mutex
// of the session instead.
class InstanceLock {
 public:
  // Unavailable: no folder had a lock file that could be opened.
  enum class State { Held, HeldByAnotherCopy, Unavailable };

  explicit InstanceLock(const std::string& ownFile);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }

 private:
  // What the system holds for the lock while it lasts (the lock file, the mutex).
  struct Held;
  std::unique_ptr<Held> held_;
  State state_ = State::Unavailable;
};

}  // namespace kamishibai
