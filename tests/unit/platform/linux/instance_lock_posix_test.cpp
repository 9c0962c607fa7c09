// Kamishibai: the running-copy lock: while one copy holds a saver's lock, a second one, by any
// path of the same file, is told that another copy holds it; another saver has a lock of its own,
// and a copy that ended frees it.
#include <gtest/gtest.h>

#include "platform/instance_lock.h"
#include "tests/unit/scoped_variable.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

TEST(RunningCopy, ASecondLockOnTheSameSaverIsHeldByAnotherCopy) {
  ScratchFolder scratch;
  const ScopedVariable runtime("XDG_RUNTIME_DIR", scratch.str());
  const ScopedVariable cache("XDG_CACHE_HOME", scratch.str());
  const std::string saver = scratch.str() + "/saver.scr";
  writeBytes(saver, {1});
  writeBytes(scratch.path() / "other.scr", {2});
  std::filesystem::create_symlink(saver, scratch.path() / "link.scr");
  {
    const InstanceLock first(saver);
    ASSERT_EQ(first.state(), InstanceLock::State::Held);
    for (const std::string& path :
         {saver, scratch.str() + "/./saver.scr", scratch.str() + "/link.scr"}) {
      EXPECT_EQ(InstanceLock(path).state(), InstanceLock::State::HeldByAnotherCopy) << path;
    }
    EXPECT_EQ(InstanceLock(scratch.str() + "/other.scr").state(), InstanceLock::State::Held);
  }
  EXPECT_EQ(InstanceLock(saver).state(), InstanceLock::State::Held);
}

}  // namespace
}  // namespace kamishibai
