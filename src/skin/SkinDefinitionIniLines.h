// The few INI rules the skin definition file needs, kept local to it: sections matched
// without regard to case, keys as written, first match wins, values trimmed, and on
// writing every other line of the file kept as it was.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Splits a file's text into lines (LF or CRLF; a leading UTF-8 byte-order mark dropped).
std::vector<std::string> SplitSkinIniLines(std::string_view text);
std::string JoinSkinIniLines(const std::vector<std::string>& lines);

// Key -> trimmed value of every key of the first section named `section`; a key that
// occurs twice keeps its first value.
std::unordered_map<std::string, std::string> ReadSkinIniSection(const std::vector<std::string>& lines,
                                                               std::string_view section);

// Writes key=value pairs into `section`: an existing key is replaced where it stands,
// a new key is added after the section's last entry, a missing section is added at the end.
void WriteSkinIniSection(std::vector<std::string>& lines, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& values);
