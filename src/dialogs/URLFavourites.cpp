#include "dialogs/URLFavourites.h"

#include <filesystem>

#include "util/KeyValueListFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace {
// A station address or description longer than this is cut: no real one comes near it, and a
// hostile file must not blow up the grid.
constexpr std::size_t kMaxValueBytes = 4096;

std::string CutAtCharacter(std::string text) {
  if (text.size() <= kMaxValueBytes) return text;
  std::size_t end = kMaxValueBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

std::string WithoutSemicolons(std::string text) {
  std::erase(text, ';');
  return text;
}
}  // namespace

std::string URLFavouritesFilePath() {
  return ProgramFilePath() + "urlfavourites.ini";
}

URLFavouriteStructure ParseURLFavouriteLine(std::string line) {
  URLFavouriteStructure favourite;
  favourite.URLLink = CutAtCharacter(TakeKeyValueField(line, "URLLink="));
  favourite.URLDescription = CutAtCharacter(TakeKeyValueField(line, "URLDescription="));
  return favourite;
}

std::string URLFavouriteFileLine(const URLFavouriteStructure& favourite) {
  return "URLLink=" + WithoutSemicolons(favourite.URLLink) + ";URLDescription=" +
         WithoutSemicolons(favourite.URLDescription) + ";";
}

URLFavouritesStructure URLFavouritesFromLines(const std::vector<std::string>& lines) {
  URLFavouritesStructure favourites;
  for (const std::string& line : lines) {
    if (favourites.TotalURLFavourites >= URLFavouritesStructure::kMaxFavourites) break;
    favourites.CurrentURLFavourites.push_back(ParseURLFavouriteLine(line));
    ++favourites.TotalURLFavourites;
  }
  return favourites;
}

URLFavouritesStructure LoadURLFavouritesFile(const std::string& path) {
  std::vector<std::string> lines;
  std::error_code ec;
  // Only the lines that can become favourites are read, so a huge file costs nothing.
  if (!ReadListFileLines(path, lines, URLFavouritesStructure::kMaxFavourites) && std::filesystem::exists(path, ec))
    ShowMessage("File with URL Favourites (keldar3urlfavourites.ini) is damaged", {}, TMessageIcon::Error);
  return URLFavouritesFromLines(lines);
}

bool SaveURLFavouritesFile(const URLFavouritesStructure& favourites, const std::string& path) {
  std::vector<std::string> lines;
  for (const auto& favourite : favourites.CurrentURLFavourites) lines.push_back(URLFavouriteFileLine(favourite));
  if (WriteListFileLines(path, lines)) return true;
  ShowMessage("Error While Saving keldar3urlfavourites.ini", {}, TMessageIcon::Error);
  return false;
}
