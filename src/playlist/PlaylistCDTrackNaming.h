// Names the CD-track entries of the playlist (artist, titles, album, genre, year, length)
// from what the CD part of the program knows about the disc, through PlaylistHooks().
#pragma once

#include <string>

#include "playlist/TPlaylist.h"

// True for a locator the engine plays as a CD track ("/dev/sr0/Track03.cda").
bool IsCDTrackLocator(const std::string& locator);
// Zero-based track index from the file name: the number after "Track", minus 1
// ("Track03.cda" -> 2); -1 without a number.
int CDTrackIndexFromLocator(const std::string& locator);
// True for a location that stands as a CD drive: a device ("/dev/sr0") or a disc image
// (".cue").
bool IsCDDriveLocation(const std::string& location);

// Takes the drive of the last unnamed CD-track entry, asks the hook about its disc (online
// only when useAllDialogs and Options_UsefreedbSupportState) and fills every unnamed entry
// of that drive; forceRefill names already named entries of the drive again.
void NameCDTrackEntries(TPlaylist& playlist, bool useAllDialogs, bool forceRefill = false);
