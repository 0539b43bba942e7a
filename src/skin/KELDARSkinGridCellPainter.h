// The skinned grid's look (the song library): colours and font of the skin's library text
// settings, header cells with the sort arrow, and the cell text inset. A grid paints its data
// cells row by row and column by column with these colours; header cells are painted one by
// one here. UI thread only.
#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

#include "skin/KELDARSkinTextSettings.h"

struct TKELDARSkinGridColours {
  QColor Text, Background;                  // "Normal" on "NormalBG"
  QColor SelectedText, SelectedBackground;  // "Current" on "SelectedBG"
  QColor HeaderText, HeaderBackground;      // "Normal" on "Headers"
  QColor Lines;                             // cell borders: the header colour
};
TKELDARSkinGridColours KELDARSkinGridColours(const TKELDARSkinTextSettings& text);

// Pixels between a cell's left border and its text.
inline constexpr int kKELDARSkinGridTextInset = 2;
// Width of the sort arrow at the right end of the sorted column's header.
inline constexpr int kKELDARSkinGridArrowWidth = 15;

enum class TKELDARSkinGridSort { None, Ascending, Descending };

// One header cell: the header background, the text left-aligned and cut at the cell (or, for
// the sorted column, 15 pixels before its right end), a border line right and below, and the
// sorted column's arrow: pointing up when ascending, down when descending.
void PaintKELDARSkinGridHeaderCell(QPainter& painter, const QRect& cell, const QString& text,
                                   TKELDARSkinGridSort sort, const TKELDARSkinGridColours& colours,
                                   const QFont& font);
// The arrow alone, centred in `area` (the last 15 pixels of a sorted header cell).
void PaintKELDARSkinGridSortArrow(QPainter& painter, const QRect& area, TKELDARSkinGridSort sort,
                                  const QColor& colour);
