// Kamishibai: where the running program's executable lives.
#pragma once

#include <string>

namespace kamishibai {

// The full path of the running executable; empty when the system cannot tell.
std::string runningExecutablePath();

}  // namespace kamishibai
