#include "skin/KELDARSkinDefinitionFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "skin/KELDARSkinCatalogue.h"
#include "skin/SkinDefinitionIniLines.h"
#include "util/AtomicFile.h"

namespace {

// A definition file is a few kilobytes; anything this large is not one.
constexpr std::uintmax_t kMaxDefinitionFileSize = 4 * 1024 * 1024;

std::string_view TrimBlanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

[[noreturn]] void Fail(const std::string& what) { throw ESkinDefinitionError(what); }

// A whole decimal integer, optional sign, nothing around it.
long long ParseInteger(std::string_view text, int field) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  long long value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
      (!text.empty() && text.front() == '+' && !digits.empty() && digits.front() == '-'))
    Fail("'" + std::string(text) + "' is not a valid integer value (field " + std::to_string(field) + ")");
  return value;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool ParseBoolean(std::string_view text, int field) {
  if (EqualsNoCase(text, "True")) return true;
  if (EqualsNoCase(text, "False")) return false;
  // A number: 0 is false, anything else true.
  const bool numeric = !text.empty() && (std::isdigit(static_cast<unsigned char>(text.front())) ||
                                         text.front() == '-' || text.front() == '+' || text.front() == '.');
  std::string_view number = text;
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (!numeric || number.empty() || ec != std::errc() || end != number.data() + number.size())
    Fail("'" + std::string(text) + "' is not a valid boolean value (field " + std::to_string(field) + ")");
  return value != 0.0;
}

std::int32_t Bounded(long long value, long long low) {
  return static_cast<std::int32_t>(std::clamp<long long>(value, low, KELDARSkinDefinitionMaxMagnitude));
}

std::string ReadDefinitionFileText(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) Fail("Cannot read the skin definition " + path);
  if (size > kMaxDefinitionFileSize) Fail("The skin definition " + path + " is too large");
  std::string text;
  if (!ReadWholeFile(path, text)) Fail("Cannot read the skin definition " + path);
  return text;
}

std::vector<std::pair<std::string, std::string>> DefinitionEntries(const MultimediaSkinStructure& skin) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (std::size_t i = 0; i < KELDARSkinControlsCount; ++i) {
    const auto id = static_cast<KELDARSkinControls_IDs>(i);
    if (id == ZorvaneAudioPlayerControls_START || id == ZorvaneAudioPlayerControls_END) continue;
    entries.emplace_back(std::string(KELDARSkinControlIdentStrings[i]), FormatKELDARSkinDefinitionValue(skin[id]));
  }
  return entries;
}

}  // namespace

TKELDARSkinDefinitionFields ParseKELDARSkinDefinitionValue(std::string_view value) {
  std::array<std::string_view, 8> fields;
  std::size_t count = 0, start = 0;
  while (count < fields.size()) {
    const auto comma = value.find(',', start);
    fields[count++] = value.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (count < fields.size())
    Fail("'" + std::string(value) + "' has fewer than eight fields");

  TKELDARSkinDefinitionFields result;
  const long long parent = ParseInteger(fields[0], 1);
  // The table is indexed by the parent, so a value outside it breaks the skin.
  if (!IsKELDARSkinControlOrdinal(parent)) Fail("Parent control " + std::to_string(parent) + " does not exist");
  result.Control_ParentControl = static_cast<KELDARSkinControls_IDs>(parent);
  result.Control_Enabled = ParseBoolean(fields[1], 2);
  result.Control_Direction = ParseBoolean(fields[2], 3);
  result.Control_NumberOfImages = Bounded(ParseInteger(TrimBlanks(fields[3]), 4), 0);
  result.Control_Left = Bounded(ParseInteger(TrimBlanks(fields[4]), 5), -KELDARSkinDefinitionMaxMagnitude);
  result.Control_Top = Bounded(ParseInteger(TrimBlanks(fields[5]), 6), -KELDARSkinDefinitionMaxMagnitude);
  result.Control_Width = Bounded(ParseInteger(TrimBlanks(fields[6]), 7), 0);
  result.Control_Height = Bounded(ParseInteger(TrimBlanks(fields[7]), 8), 0);
  return result;
}

std::string FormatKELDARSkinDefinitionValue(const StringIdentStructure& control) {
  const auto boolean = [](bool b) { return b ? "True" : "False"; };
  std::string value;
  value += std::to_string(static_cast<int>(control.Control_ParentControl)) + ",";
  value += std::string(boolean(control.Control_Enabled)) + ",";
  value += std::string(boolean(control.Control_Direction)) + ",";
  value += std::to_string(control.Control_NumberOfImages) + ",";
  value += std::to_string(control.Control_Left) + ",";
  value += std::to_string(control.Control_Top) + ",";
  value += std::to_string(control.Control_Width) + ",";
  value += std::to_string(control.Control_Height);
  return value;
}

void ReadKELDARSkinDefinition(std::string_view iniText, MultimediaSkinStructure& skin) {
  const auto section = ReadSkinIniSection(SplitSkinIniLines(iniText), KELDARSkinDefinitionSection);
  // Parse every line first so that a broken skin leaves the table as it was.
  std::array<TKELDARSkinDefinitionFields, KELDARSkinControlsCount> parsed;
  std::array<bool, KELDARSkinControlsCount> apply{};
  for (std::size_t i = 0; i < KELDARSkinControlsCount; ++i) {
    const StringIdentStructure& control = skin.Ident_Variables[i];
    if (control.Control_Type == KELDARSkinMarkStartAndEndControl) continue;
    const auto it = section.find(control.IdentString);
    const std::string_view value = it == section.end() ? KELDARSkinDefinitionMissingValue : std::string_view(it->second);
    try {
      parsed[i] = ParseKELDARSkinDefinitionValue(value);
    } catch (const ESkinDefinitionError& error) {
      throw ESkinDefinitionError(control.IdentString + ": " + error.what());
    }
    apply[i] = true;
  }
  for (std::size_t i = 0; i < KELDARSkinControlsCount; ++i) {
    if (!apply[i]) continue;
    StringIdentStructure& control = skin.Ident_Variables[i];
    const TKELDARSkinDefinitionFields& f = parsed[i];
    control.Control_ParentControl = f.Control_ParentControl;
    control.Control_Enabled = f.Control_Enabled;
    control.Control_Direction = f.Control_Direction;
    control.Control_NumberOfImages = f.Control_NumberOfImages;
    control.Control_Left = f.Control_Left;
    control.Control_Top = f.Control_Top;
    control.Control_Width = f.Control_Width;
    control.Control_Height = f.Control_Height;
  }
}

void ReadKELDARSkinDefinitionFile(const std::string& path, MultimediaSkinStructure& skin) {
  ReadKELDARSkinDefinition(ReadDefinitionFileText(path), skin);
}

std::string KELDARSkinDefinitionText(const MultimediaSkinStructure& skin) {
  std::vector<std::string> lines;
  WriteSkinIniSection(lines, KELDARSkinDefinitionSection, DefinitionEntries(skin));
  return JoinSkinIniLines(lines);
}

std::string BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily family) {
  auto table = std::make_unique<MultimediaSkinStructure>();
  TSkinControlsLists lists;
  BuildKELDARSkinCatalogue(family, *table, lists);
  return KELDARSkinDefinitionText(*table);
}

void WriteKELDARSkinDefinitionFile(const std::string& path, const MultimediaSkinStructure& skin) {
  std::vector<std::string> lines;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) lines = SplitSkinIniLines(ReadDefinitionFileText(path));
  WriteSkinIniSection(lines, KELDARSkinDefinitionSection, DefinitionEntries(skin));

  if (!WriteFileAtomically(path, JoinSkinIniLines(lines))) Fail("Cannot write the skin definition " + path);
}
