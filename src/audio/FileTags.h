// File tags through TagLib, formatted by TAGS_Read format strings.
#pragma once

#include <map>
#include <string>

namespace kaudio {

// Tag values by our four-letter names (TITL, ARTI, ...); empty map when unreadable.
std::map<std::string, std::string> ReadFileTagValues(const std::string& path);
// Expands a format string against the values.
std::string FormatTags(const std::string& fmt, const std::map<std::string, std::string>& values);

}  // namespace kaudio
