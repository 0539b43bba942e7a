// Splitting an encoder command line into program and arguments the way a shell splits
// words, without ever running a shell: blanks separate words, "..." and '...' group, a
// backslash outside single quotes takes the next character literally (inside double quotes
// only before " and \, so Windows-style paths keep their backslashes).
#pragma once

#include <string>
#include <vector>

namespace kaudio {

std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace kaudio
