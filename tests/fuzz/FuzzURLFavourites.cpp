// The favourites file: whatever it holds, at most 99 favourites are read, no value holds a ";"
// once written, and a written line reads back as it was.
#include <cstdlib>

#include "FuzzInput.h"
#include "dialogs/URLFavourites.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::TScratchFile file(".ini");
  ::setenv("KELDAR_MESSAGE_LOG", "/dev/null", 1);
  const URLFavouritesStructure list = LoadURLFavouritesFile(file.Write(data, size));
  if (list.TotalURLFavourites < 0 || list.TotalURLFavourites > URLFavouritesStructure::kMaxFavourites) std::abort();
  if (size_t(list.TotalURLFavourites) != list.CurrentURLFavourites.size()) std::abort();
  for (const auto& favourite : list.CurrentURLFavourites) {
    const URLFavouriteStructure again = ParseURLFavouriteLine(URLFavouriteFileLine(favourite));
    if (again.URLLink.find(';') != std::string::npos || again.URLDescription.find(';') != std::string::npos) std::abort();
    if (ParseURLFavouriteLine(URLFavouriteFileLine(again)).URLLink != again.URLLink) std::abort();
    if (favourite.URLLink.size() > 4096 || favourite.URLDescription.size() > 4096) std::abort();
  }
  return 0;
}
