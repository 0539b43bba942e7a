// The internet radio favourites and their file "keldar3urlfavourites.ini" in the program
// folder: one favourite a line, "URLLink=<address>;URLDescription=<text>;". A value cannot
// hold ";" (a ";" ends it). At most 99 favourites are kept. UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct URLFavouriteStructure {
  std::string URLLink;
  std::string URLDescription;
};

struct URLFavouritesStructure {
  static constexpr int kMaxFavourites = 99;
  std::int32_t TotalURLFavourites = 0;
  std::vector<URLFavouriteStructure> CurrentURLFavourites;
};

// Program folder + "keldar3urlfavourites.ini" (the name follows the program's own name).
std::string URLFavouritesFilePath();

// One favourite from a file line; a line without the keys gives empty fields.
URLFavouriteStructure ParseURLFavouriteLine(std::string line);
// The file line of a favourite; a ";" inside a value, which would end it early, is dropped.
std::string URLFavouriteFileLine(const URLFavouriteStructure& favourite);
// The favourites of the file's lines, at most 99, in order.
URLFavouritesStructure URLFavouritesFromLines(const std::vector<std::string>& lines);

// Reads the file; "File with URL Favourites (keldar3urlfavourites.ini) is damaged" when it
// exists but cannot be read. A missing file is an empty list.
URLFavouritesStructure LoadURLFavouritesFile(const std::string& path);
// Writes every favourite; "Error While Saving keldar3urlfavourites.ini" on failure.
bool SaveURLFavouritesFile(const URLFavouritesStructure& favourites, const std::string& path);
