// Kamishibai: copying a byte range of one file to another inside the kernel, through a pipe,
// with a plain read and write loop where the file systems refuse.
#pragma once

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>

namespace kamishibai {

// The system calls the copy makes; tests replace them to make them refuse or fall short.
struct CopyCalls {
  ssize_t (*splice)(int in, off64_t* inOffset, int out, off64_t* outOffset, std::size_t length,
                    unsigned flags) = ::splice;
  ssize_t (*readAt)(int fd, void* buffer, std::size_t count, off_t offset) = ::pread;
  ssize_t (*write)(int fd, const void* buffer, std::size_t count) = ::write;
};

// Copies length bytes from offset on of the file `from` to the file `to` at its current
// position, leaving `from`'s own position alone. Splices the bytes through a pipe of its own,
// then, for what that could not copy, uses pread and write. False on an error or when `from`
// ends before the range does.
bool copyRange(int from, std::uint64_t offset, std::uint64_t length, int to,
               const CopyCalls& calls = {});

}  // namespace kamishibai
