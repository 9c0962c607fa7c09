// Kamishibai: the file operations of the work folder. Names are looked up, created and deleted
// relative to the folder itself and symbolic links are never followed, so nothing that another
// user places in the folder is written through.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/source_file.h"

namespace kamishibai {

enum class FolderCreation { Created, NameTaken, Failed };

// Creates the folder with access for the user only; NameTaken when any entry of that name
// exists already (the creation is atomic, so two programs never get the same folder).
FolderCreation createPrivateFolder(const std::string& path);

// True when the folder holds a normal file (not a link, folder or device) of that name.
bool isNormalFileIn(const std::string& folder, const std::string& name);

// Deletes the entry of that name from the folder; false when it cannot.
bool deleteFileIn(const std::string& folder, const std::string& name);

// Creates a new file of that name in the folder and writes the bytes; fails (false) when any
// entry of that name exists, a symbolic link included. Every write and the close are checked: a
// file that cannot be written whole (a full disk) is removed again, never left cut short.
bool createFileIn(const std::string& folder, const std::string& name,
                  std::span<const std::uint8_t> bytes);

// The same with length bytes copied from offset on of an open file, inside the system where it
// can, so that they never pass through the program's memory.
bool createFileIn(const std::string& folder, const std::string& name, const SourceFile& from,
                  std::uint64_t offset, std::uint64_t length);

// Removes the folder; fails (false) when it still holds anything.
bool removeEmptyFolder(const std::string& path);

}  // namespace kamishibai
