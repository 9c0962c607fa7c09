// Kamishibai: whether the tools talk to a person (a terminal) or to a file or pipe.
#pragma once

namespace kamishibai {

bool standardErrorIsTerminal();

// Makes a console show the program's UTF-8 output as UTF-8 (Windows consoles take their code page
// otherwise); nothing where terminals read UTF-8 already.
void useUtf8Terminal();

}  // namespace kamishibai
