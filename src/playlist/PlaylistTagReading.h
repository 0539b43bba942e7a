// Reading an entry's tags: title and artist from the file's tags or its name, album,
// genre, year, track, the playing time from the engine, and the file's size and date.
// The tag editor's "Update Playlist" uses the same refresh. Main thread only.
#pragma once

#include <string>

#include "playlist/TPlaylist.h"

// Refreshes the entry from the file actually read (for an entry inside an archive, an
// extracted copy). URLs and tracker modules keep their texts and only get length, size and
// date; a missing file likewise. When the entry belongs to a playlist, pass it, so the
// list's total playing time follows the new length.
void GetSongTitleAndAuthorFromTagID(const std::string& actualLocation, TPlayListBoxItem* item,
                                    TPlaylist* owner = nullptr);

// Called for each line being painted: reads the entry's tags once (not for CD tracks,
// not while lines are being removed). An entry inside an archive is extracted to
// tempunzipped/info for the read and the copy deleted. True when the entry was read, so
// the caller repaints.
bool ReadTagsOfPaintedLine(TPlaylist& playlist, int index);
// The test of the above without the reading: the entry exists, is unread, is no CD track and
// no removal is in progress.
bool LineNeedsTagReading(TPlaylist& playlist, int index);

// True for the extensions of tracker modules (".XM", ".MOD", ".S3M", ".IT", ".MO3", ".MTM",
// ".UMX"), any case.
bool IsTrackerModuleFileName(const std::string& name);
