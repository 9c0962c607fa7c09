// Kamishibai: whether the tools talk to a person (a terminal) or to a file or pipe.
#pragma once

namespace kamishibai {

bool standardErrorIsTerminal();

}  // namespace kamishibai
