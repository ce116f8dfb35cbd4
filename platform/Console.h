#pragma once
// The console of the command that started the program: a GUI program has none of its own, and a line it writes for a
// command line goes to the standard error it was given, or else to its parent's console.
#include <string>

namespace platform {

// Writes one line to the standard error or the parent's console; nothing when there is neither.
void WriteErrorLine(const std::wstring& line);
// Likewise to the standard output: what a verb was asked for.
void WriteOutputLine(const std::wstring& line);

}  // namespace platform
