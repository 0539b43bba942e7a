// An INI file with the rules of the classic profile API, used for the settings file and the
// history lists that share it.
//
// Reading: section and key names compare case-insensitively (ASCII), the first matching
// section and within it the first matching "key=value" line wins, whitespace around names
// and values is dropped, a string value is cut to 2047 characters. Reading never creates the
// file; a missing file reads as empty.
//
// Writing: a write changes or adds exactly one line (adding the section at the end when it is
// missing); every other byte of the file stays as it was, including its line-ending style.
// Changes are kept in memory and reach the disk once, in Close(): the whole text goes to a
// temporary file in the same folder, which is then renamed over the old file, so a crash never
// leaves a half-written file. Every write first makes sure that temporary file can be created,
// so a write to an unwritable place fails on its own, key by key.
//
// Not thread-safe; one object per open file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Longest string value a read returns, in characters (UTF-8 code points).
inline constexpr std::size_t kProfileStringMaxLength = 2047;

// Integer rule of the profile reader: decimal with optional sign; "0x"/"0X" (text of at
// least 3 characters) or "$" introduce hexadecimal, which may be up to FFFFFFFF and wraps to
// 32 bits. A sign may stand before the hexadecimal prefix. Returns nothing when the text is
// not a number or does not fit.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

// Cuts UTF-8 text to at most maxChars characters, never inside a character.
std::string CutToCharacters(std::string_view text, std::size_t maxChars);

class TProfileIniFile {
 public:
  explicit TProfileIniFile(std::string path);
  ~TProfileIniFile();
  TProfileIniFile(const TProfileIniFile&) = delete;
  TProfileIniFile& operator=(const TProfileIniFile&) = delete;

  // Reads the file into memory. A missing file (or missing folder) is an empty file. Fails
  // when something exists at the path that cannot be read as a file (a folder, no access).
  bool Load();

  const std::string& Path() const { return path_; }

  // Trimmed value of the first matching key, uncut; nothing when the key is missing.
  std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& defaultValue) const;
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  // Integer read with default 1/0; any non-zero value is true.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Each returns false (and changes nothing) when the file cannot be written.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  // Removes every line of the key in the section's first occurrence.
  bool DeleteKey(std::string_view section, std::string_view key);

  // Puts pending changes on disk (temporary file + rename) and releases the temporary file.
  // Without changes the file is left untouched. Safe to call more than once.
  bool Close();

  // The text as it would be written now.
  std::string Text() const;

 private:
  enum class LineKind { Other, Section, Key };
  struct Line {
    std::string text;  // without its line ending
    std::string eol;   // "\r\n", "\n" or "" (last line without ending)
    LineKind kind = LineKind::Other;
    std::string name;  // lower-cased section or key name
    std::size_t valueStart = 0;  // Key: offset just past '='
  };

  void Classify(Line& line, bool firstLine) const;
  // Index of the first line of the first matching section's body and one past its end.
  bool FindSection(std::string_view lowerSection, std::size_t& begin, std::size_t& end) const;
  std::optional<std::size_t> FindKey(std::string_view section, std::string_view key) const;
  bool EnsureTemporaryFile();
  void DiscardTemporaryFile();
  void InsertLine(std::size_t at, std::string text);

  std::string path_;
  std::vector<Line> lines_;
  std::string newLineStyle_ = "\n";
  bool dirty_ = false;
  int tempFd_ = -1;
  std::string tempPath_;
};
