// Reading and writing the program's list files (encoders, freedb servers, URL favourites):
// plain text, one entry per line.
//
// Two line shapes are read here:
// - fields in a row, "EncName=LAME;EncCmdLine=lame %s;": TakeKeyValueField reads the field
//   at the start of the line when its key matches (ASCII case ignored); the value runs up to
//   the next ";" and the line is consumed through that ";". A missing field gives an empty
//   value and leaves the line as it was, so the next field can still be read.
// - single pairs, "key=value": ParseKeyValueLine splits at the first "=".
// Stateless; may be called from any thread.
#pragma once

#include <cstdint>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Reads a text file as lines (LF or CRLF, a leading UTF-8 byte-order mark dropped).
// False when the file is missing or unreadable; lines is then empty. Reading stops after
// maxLines, so a huge file costs nothing when only its first lines can be used.
bool ReadListFileLines(const std::string& path, std::vector<std::string>& lines,
                       std::size_t maxLines = SIZE_MAX);
// Writes the lines (LF endings) to a temporary file and renames it over path, so a failed
// write never destroys the old list.
bool WriteListFileLines(const std::string& path, const std::vector<std::string>& lines);

// Reads the field key (for example "EncName=") at the start of line, see above.
std::string TakeKeyValueField(std::string& line, const std::string& key);

// "key=value" split at the first "=", both sides trimmed. Empty lines, comments (";" or "#"
// first), group headers ("[...]") and lines without "=" give nothing.
std::optional<std::pair<std::string, std::string>> ParseKeyValueLine(const std::string& line);
