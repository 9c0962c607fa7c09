// Kamishibai: the bytes an encoder wrote into a stream in memory.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <cstdint>
#include <vector>

namespace kamishibai {

// Reads the whole stream back into out, once the encoder has committed; false when it cannot.
inline bool streamBytes(IStream* stream, std::vector<std::uint8_t>& out) {
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
  out.resize(static_cast<std::size_t>(stat.cbSize.QuadPart));
  const LARGE_INTEGER start{};
  ULONG read = 0;
  return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
         SUCCEEDED(stream->Read(out.data(), static_cast<ULONG>(out.size()), &read)) &&
         read == out.size();
}

}  // namespace kamishibai
