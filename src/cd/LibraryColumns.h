// The library grid's 16 columns: ids, header texts, width settings, the column order setting,
// and the text each column shows for a song. Grid column 0 is always id 0 ("Index").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cd/LibraryForSongs.h"

struct SettingsVariableIntegerRecord;

constexpr int kLibraryColumnCount = 16;
constexpr int kLibraryArtWorkColumnId = 14;
constexpr int kLibraryDefaultColumnWidth = 64;
inline constexpr const char* kLibraryDefaultColumnsOrder = "14,1,2,3,9,4,5,6,7,8,10,11,12,13,15,";

// Header text of a column id ("" outside 0..15).
std::string LibraryColumnHeader(int id);
// The id whose header equals the text ignoring case, or -1.
int LibraryColumnIdOfHeader(const std::string& header);
// The width setting of a column id (null outside 0..15).
SettingsVariableIntegerRecord* LibraryColumnWidthSetting(int id);

// The ids of grid columns 1, 2, ... from an order string: tokens up to each ",", trimmed;
// numbers 1..15 place a column; stop at the first empty token or after 16 tokens. Nothing when
// the result does not place all 15 columns (the caller takes the default order).
std::optional<std::vector<int>> ParseLibraryColumnsOrder(const std::string& order);
// The order string's ids of grid columns 1, 2, ... (or the default when the string fails).
std::vector<int> LibraryColumnsOrderOrDefault(const std::string& order);
// Each id followed by ",".
std::string FormatLibraryColumnsOrder(const std::vector<int>& ids);

// "%.2d:%.2d" of minutes and seconds.
std::string FormatLibraryLength(int32_t seconds);
// The packed date as "YYYY-MM-DD hh:mm:ss", or "Unknown" for 0 or less.
std::string FormatLibraryFileDate(int32_t packed);
// What column `id` shows for the song at list position `position`.
std::string LibraryCellText(const TLibraryForSongsItem& item, int position, int id);
