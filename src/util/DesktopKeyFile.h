// A line-keeping editor for the desktop's key files ("[Group]" headers and "key=value"
// lines: mimeapps.list, .desktop entries). Every line we do not change is written back as it
// was, comments and unknown groups included. Group and key names are case-sensitive, as the
// desktop formats require. Not thread-safe; one object per edit.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TDesktopKeyFile {
 public:
  // Reads the file; a missing file gives an empty one. False only when it exists but
  // cannot be read.
  bool Load(const std::string& path);
  // Writes to a temporary file beside the target and renames it over the target (through a
  // symbolic link, the file it points to is replaced). Creates missing folders.
  bool Save(const std::string& path) const;

  std::optional<std::string> Get(const std::string& group, const std::string& key) const;
  // Replaces the first line of key in group, or adds it at the end of the group (the group
  // is appended when missing).
  void Set(const std::string& group, const std::string& key, const std::string& value);
  // Removes every line of key in group.
  void Remove(const std::string& group, const std::string& key);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  // [begin, end) line range of the group's body; begin == npos when the group is missing.
  std::pair<std::size_t, std::size_t> GroupRange(const std::string& group) const;
  static bool KeyOfLine(const std::string& line, std::string& key, std::string& value);

  std::vector<std::string> lines_;
};

// Key-file value escapes: "\s" space, "\n", "\t", "\r", "\\".
std::string UnescapeKeyFileValue(const std::string& value);
std::string EscapeKeyFileValue(const std::string& value);
