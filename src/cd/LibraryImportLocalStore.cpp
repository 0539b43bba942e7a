#include "cd/LibraryImportLocalStore.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cd/CDDBConnect.h"
#include "cd/CDDBEntry.h"

int ImportLocalCDDBIntoLibrary(TLibraryForSongs& library, TLibraryGridRows& grid, const std::string& storeFolder,
                               const std::function<bool(int category)>& progress) {
  namespace fs = std::filesystem;
  int added = 0;
  const std::vector<std::string>& categories = CDDBCategories();
  for (int c = 0; c < static_cast<int>(categories.size()); ++c) {
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(storeFolder) / categories[static_cast<std::size_t>(c)], ec), end;
         !ec && it != end; it.increment(ec)) {
      if (!it->is_regular_file(ec)) continue;
      TCDDBConnect connect;
      connect.LocalCDDBPath = storeFolder;
      TCDDBEntry entry;
      entry.CDID = it->path().filename().string();
      if (!connect.GetInfoForCurrentCDLocal(entry, true)) continue;
      for (std::size_t i = 0; i < entry.Tracks.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Track%.2d.cda", static_cast<int>(i + 1));
        TLibraryForSongsItem item;
        item.Lib_ArtistName = entry.ArtistTitle;
        item.Lib_AlbumName = entry.CDTitle;
        item.Lib_TitleName = entry.Tracks[i];
        item.Lib_TitleAlbumGenre = entry.Genre;
        item.Lib_TitleAlbumYear = entry.Year;
        item.Lib_TitleCDIndex = static_cast<int32_t>(i + 1);
        item.Lib_CDDB_ID = entry.CDID;
        item.Lib_FullPathAndFilename = name;
        if (AddToLibraryGrid(library, grid, std::move(item))) ++added;
      }
    }
    if (progress && !progress(c)) break;
  }
  return added;
}
