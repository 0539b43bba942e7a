// What the player does with input plug-ins: foreign playlists, archives and pictures.
// Each service is one Initialize -> LoadData/SaveData -> Close cycle on a loaded plug-in
// found by the file's upper-cased extension. All calls come from the UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "playlist/TPlaylist.h"
#include "plugins/InputPluginPictures.h"

// Offered each locator after a foreign playlist was read; returns non-zero when that
// locator was itself a playlist (it then replaced the list and the scan stops). A reader that
// returns 0 has left the list as it was.
using TNestedPlaylistReader = std::function<int(const std::string& locator)>;

// Reads a foreign playlist (a URL is first downloaded to tempunzipped/tempurls.EXT) into
// the playlist. 0: no playlist plug-in for it; 1: read (or nothing to read); 2: a nested
// playlist replaced it.
int ReadForeignPlaylist(TPlaylist& playlist, const std::string& path, bool clearFirst,
                        const TNestedPlaylistReader& nestedReader = {});
// Writes the playlist through the plug-in of the path's extension. False when no playlist
// plug-in takes it; " Saving is not supported for .EXT files" when the plug-in refuses.
bool WriteForeignPlaylist(const TPlaylist& playlist, const std::string& path);

// Paths of the entries inside the archive, in the plug-in's order.
bool ListArchive(const std::string& archivePath, std::vector<std::string>& list);
// Extracts one entry ("*.*": all of them) into the folder; true when the plug-in says so.
bool ExtractFromArchive(const std::string& archivePath, const std::string& entry,
                        const std::string& destinationFolder);


// Limits on what we accept from a plug-in's data object.
inline constexpr uint64_t KELDAR_INPUT_PLUGIN_MAX_STREAM_BYTES = 256ull << 20;
