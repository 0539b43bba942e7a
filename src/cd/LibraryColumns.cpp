#include "cd/LibraryColumns.h"

#include <cstdio>

#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

struct TColumnDef {
  const char* Header;
  SettingsVariableIntegerRecord* Width;
};

const TColumnDef kColumns[kLibraryColumnCount] = {
    {"Index", &Options_Lib_IndexColRecWidth},
    {"Artist", &Options_Lib_ArtistNameColRecWidth},
    {"Album", &Options_Lib_AlbumNameColRecWidth},
    {"Title", &Options_Lib_TitleNameColRecWidth},
    {"Genre", &Options_Lib_TitleAlbumGenreColRecWidth},
    {"Year", &Options_Lib_TitleAlbumYearColRecWidth},
    {"Track", &Options_Lib_TitleCDIndexColRecWidth},
    {"Filename", &Options_Lib_FilenameColRecWidth},
    {"File Ext", &Options_Lib_FileExtensionColRecWidth},
    {"Length", &Options_Lib_FilePlaybackLengthColRecWidth},
    {"File Size (Kb)", &Options_Lib_FileSizeColRecWidth},
    {"File Date and Time", &Options_Lib_FileDateColRecWidth},
    {"Rating", &Options_Lib_TitleRatingColRecWidth},
    {"CDDB ID", &Options_Lib_CDDB_IDColRecWidth},
    {"ArtWork", &Options_Lib_DisplayArtWorkColRecWidth},
    {"Full Filename", &Options_Lib_FullPathAndFilenameColRecWidth},
};

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// A decimal number of at most 9 digits, or -1.
int ParseSmallNumber(const std::string& s) {
  if (s.empty() || s.size() > 9) return -1;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& path) {
  const std::string name = FileNameOf(path);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

std::string LibraryColumnHeader(int id) {
  return id >= 0 && id < kLibraryColumnCount ? kColumns[id].Header : "";
}

int LibraryColumnIdOfHeader(const std::string& header) {
  for (int id = 0; id < kLibraryColumnCount; ++id)
    if (EqualIgnoringAsciiCase(header, kColumns[id].Header)) return id;
  return -1;
}

SettingsVariableIntegerRecord* LibraryColumnWidthSetting(int id) {
  return id >= 0 && id < kLibraryColumnCount ? kColumns[id].Width : nullptr;
}

std::optional<std::vector<int>> ParseLibraryColumnsOrder(const std::string& order) {
  std::vector<int> ids;
  bool placed[kLibraryColumnCount] = {};
  std::size_t at = 0;
  for (int token = 0; token < 16; ++token) {
    const std::size_t comma = order.find(',', at);
    const std::string text = Trim(order.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    if (text.empty()) break;
    const int id = ParseSmallNumber(text);
    if (id >= 1 && id <= 15) {
      ids.push_back(id);
      placed[id] = true;
    }
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  for (int id = 1; id < kLibraryColumnCount; ++id)
    if (!placed[id]) return std::nullopt;
  // Every id placed once: a repeated id would leave one unplaced, so 15 entries exactly.
  if (ids.size() != 15) return std::nullopt;
  return ids;
}

std::vector<int> LibraryColumnsOrderOrDefault(const std::string& order) {
  if (auto ids = ParseLibraryColumnsOrder(order)) return *ids;
  return *ParseLibraryColumnsOrder(kLibraryDefaultColumnsOrder);
}

std::string FormatLibraryColumnsOrder(const std::vector<int>& ids) {
  std::string s;
  for (int id : ids) s += std::to_string(id) + ",";
  return s;
}

std::string FormatLibraryLength(int32_t seconds) {
  const int64_t s = seconds < 0 ? 0 : seconds;
  char text[32];
  std::snprintf(text, sizeof text, "%.2lld:%.2lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
  return text;
}

std::string FormatLibraryFileDate(int32_t packed) {
  if (packed <= 0) return "Unknown";
  const uint32_t u = static_cast<uint32_t>(packed);
  const unsigned date = u >> 16, time = u & 0xFFFF;
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (date >> 9), (date >> 5) & 15, date & 31,
                time >> 11, (time >> 5) & 63, (time & 31) * 2);
  return text;
}

std::string LibraryCellText(const TLibraryForSongsItem& item, int position, int id) {
  switch (id) {
    case 0: return std::to_string(position);
    case 1: return item.Lib_ArtistName;
    case 2: return item.Lib_AlbumName;
    case 3: return item.Lib_TitleName;
    case 4: return item.Lib_TitleAlbumGenre;
    case 5: return item.Lib_TitleAlbumYear;
    case 6: return std::to_string(item.Lib_TitleCDIndex);
    case 7: return FileNameOf(item.Lib_FullPathAndFilename);
    case 8: return ExtensionOf(item.Lib_FullPathAndFilename);
    case 9: return FormatLibraryLength(item.Lib_FilePlaybackLength);
    case 10: return std::to_string(item.Lib_FileSize / 1024);
    case 11: return FormatLibraryFileDate(item.Lib_FileDate);
    case 12: return std::to_string(item.Lib_TitleRating);
    case 13: return item.Lib_CDDB_ID;
    case 15: return item.Lib_FullPathAndFilename;
    default: return {};
  }
}
