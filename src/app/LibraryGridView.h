// The library grid: a table view over the library model that paints its cells itself with the
// skin's library colours and font. Rows have one height, cell texts are laid out once and kept
// until the songs or their order change, and a paint fills row backgrounds and draws the texts
// column by column, so a screen of rows costs the same whatever the library's size.
// The header draws the skin's header cells and the sorted column's arrow. UI thread only.
#pragma once

#include <QHash>
#include <QHeaderView>
#include <QGlyphRun>
#include <QList>
#include <QRawFont>
#include <QTableView>

#include "skin/KELDARSkinGridCellPainter.h"
#include "skin/KELDARSkinTextSettings.h"

class TLibraryTableModel;

class TLibraryGridHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit TLibraryGridHeader(QWidget* parent = nullptr);
  void SetLook(const TKELDARSkinGridColours& colours, const QFont& font);
  // The section that shows the arrow (-1 for none) and its direction.
  void SetSortedSection(int logical, bool ascending);
  int SortedSection() const { return m_sorted; }
  bool SortedAscending() const { return m_ascending; }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logical) const override;

 private:
  TKELDARSkinGridColours m_colours;
  QFont m_font;
  int m_sorted = -1;
  bool m_ascending = false;
};

class TLibraryGridView : public QTableView {
  Q_OBJECT
 public:
  explicit TLibraryGridView(QWidget* parent = nullptr);
  void setModel(QAbstractItemModel* model) override;
  // Colours, font and row height of the skin's library text settings.
  void SetSkinText(const TKELDARSkinTextSettings& text);
  const TKELDARSkinGridColours& Colours() const { return m_colours; }
  TLibraryGridHeader* Header() const { return m_header; }
  // Laid-out cell texts kept now (for checking that the cache stays bounded).
  int CachedTexts() const { return static_cast<int>(m_texts.size()); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // A cell's text placed from its top-left corner: glyphs of the grid's font, or (for texts that
  // need shaping or other fonts) the glyph runs of a layout.
  struct TCellGlyphs {
    QList<quint32> Glyphs;
    QList<QPointF> Positions;
    QList<QGlyphRun> Runs;
  };
  const TCellGlyphs& CellGlyphs(int row, int logicalColumn, int position, int id);
  void ForgetTexts();

  TLibraryTableModel* m_model = nullptr;
  TLibraryGridHeader* m_header = nullptr;
  TKELDARSkinGridColours m_colours;
  QHash<quint64, TCellGlyphs> m_texts;  // key: list position and column id
  // Printable ASCII is placed from these tables without shaping; other texts go through a layout.
  QRawFont m_rawFont;
  quint32 m_asciiGlyphs[95] = {};
  qreal m_asciiAdvances[95] = {};
  int m_lineHeight = 0;
  int m_narrowestAdvance = 1;  // pixels of the font's narrowest ASCII character
};
