// The texts the playlist window shows: the two status displays and the parts of one line.
// Pixel work (ellipsis shortening, colours, offsets) stays with the window.
#pragma once

#include <string>

#include "playlist/TPlaylist.h"

struct TPlaylistStatusTexts {
  std::string Window1;  // entry count, or "Getting " while tags are read
  std::string Window2;  // total playing time, or "Tag IDs..."
};
// countCells: the cells of text window 1; the number is padded with "0" so that prefix and
// number fill them (never cut).
TPlaylistStatusTexts PlaylistStatusTexts(const TPlaylist& playlist, const std::string& countPrefix,
                                         const std::string& timePrefix, int countCells);
// "%.2d:%.2d:%.2d", hours not limited to 24; negative gives 00:00:00.
std::string FormatPlaylistTotalTime(int64_t seconds);

// " [mm:ss] " of the entry's length (minutes not limited; a negative length shows 00:00).
std::string PlaylistLineTimeTag(const TPlayListBoxItem& item);
// "12. " for line index 11 when the counter is shown, else empty.
std::string PlaylistLineCounterPrefix(int index, bool showCounter);
// The text after the counter by display method: 0 the whole locator (the window shortens
// it), 1 the file name (a URL whole), 2 artist + " - " + title.
std::string PlaylistLineText(const TPlayListBoxItem& item, int drawMethod);

// The line at the top of the list for the skin's scroll slider (0..100; 100 is the top).
int PlaylistTopLineForScrollValue(int sliderValue, int count);
