// The playlist window's operations on the list: removing, cropping, clearing, selecting,
// moving the selection, sorting, shuffling, reversing and searching. After each the window
// repaints. Main thread only.
#pragma once

#include <random>
#include <string>

#include "playlist/TPlaylist.h"

// ---- removing and selecting ----
void RemoveSelectedEntries(TPlaylist& playlist);
// Removes every line that is not selected.
void CropSelectedEntries(TPlaylist& playlist);
void ClearPlaylist(TPlaylist& playlist);
void SelectAllEntries(TPlaylist& playlist);
void SelectNoEntries(TPlaylist& playlist);
void InvertSelection(TPlaylist& playlist);

// ---- reordering ----
// Moves every selected line by the offset (negative: up). Lines are moved one by one, from
// the first selected when moving up and from the last when moving down, and moving stops at
// the first line whose target lies outside the list. Moved lines stay selected and the
// current index follows the current entry.
void MoveSelectedEntries(TPlaylist& playlist, int offset);

enum class TPlaylistSortKey : int {
  PathAndFilename = 0,
  Artist = 1,
  Title = 2,
  Album = 3,
  FileName = 4,
  FileExtension = 5,
  FileSize = 6,  // compared as decimal text: 100 sorts before 20
  FileDate = 7,  // the same
};
// Case-insensitive ordinal comparison of the key texts; equal keys end in any order. The
// current index stays at its position; selection marks are cleared.
void SortPlaylist(TPlaylist& playlist, TPlaylistSortKey key);
// n exchanges of two lines picked at random (a line may be exchanged with itself).
void RandomizePlaylist(TPlaylist& playlist);
void RandomizePlaylist(TPlaylist& playlist, std::mt19937& random);
// Line i exchanged with line n-1-i for i below n/2. Neither changes the current index.
void ReversePlaylist(TPlaylist& playlist);

// ---- searching ----
enum class TPlaylistFindField : int { ArtistName = 0, SongName = 1, AlbumName = 2, Filename = 3 };
// Scans from line 0, or, fromCurrent, from the line after the first selected one (after the
// last line, that is line 0, without selection), to the end of the list, for the first entry
// whose field contains the text ignoring case. A hit deselects the first selected line,
// selects the found one and returns its index; no hit shows "Search String '%s' NOT Found"
// titled "Information" and returns -1. An empty list does nothing (-1).
int FindInPlaylist(TPlaylist& playlist, TPlaylistFindField field, const std::string& text, bool fromCurrent);
