// One line of the playlist window's list: background (colour, or the skin's list picture),
// optional counter, the entry text by display mode and the right-aligned length tag.
// UI thread only.
#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <string>

#include "playlist/TPlayListBoxItem.h"
#include "skin/KELDARSkinLoader.h"

struct TKELDARSkinPlaylistRow {
  const TPlayListBoxItem* Entry = nullptr;
  std::int32_t Index = 0;       // 0-based line
  QRect Rect;                   // in list coordinates (the list picture is laid under the same rectangle)
  bool BitmapEnabled = false;   // "Playlist_Text.ini" BitmapEnabled
  std::int32_t DisplayMode = 2; // 0 full path, 1 file name (URLs whole), 2 artist - title
  QColor TextColour;
  QColor BackgroundColour;
  QFont Font;                   // the list's font
  bool ShowCounter = false;     // Options_PlayListBoxShowCounter
};

// " [mm:ss] " of a length in seconds (negative lengths show 00:00).
std::string KELDARSkinPlaylistLengthText(std::int32_t seconds);
// The text left of the length tag, before any shortening: counter prefix and entry text.
std::string KELDARSkinPlaylistRowText(const TKELDARSkinPlaylistRow& row);

void PaintKELDARSkinPlaylistRow(QPainter& painter, const TKELDARSkinPlaylistRow& row,
                                const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
