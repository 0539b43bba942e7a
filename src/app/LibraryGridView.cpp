#include "app/LibraryGridView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <vector>

#include "app/LibraryTableModel.h"
#include "cd/LibraryColumns.h"
#include "skin/KELDARSkinBitmapFonts.h"

namespace {
// Enough for several screens of a wide grid; past it the cache starts again.
constexpr int kMaxCachedTexts = 16384;
}  // namespace

TLibraryGridHeader::TLibraryGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  m_colours = KELDARSkinGridColours(TKELDARSkinTextSettings());
}

void TLibraryGridHeader::SetLook(const TKELDARSkinGridColours& colours, const QFont& font) {
  m_colours = colours;
  m_font = font;
  setFont(font);
  QPalette p = palette();
  p.setColor(QPalette::Window, colours.Background);
  p.setColor(QPalette::Base, colours.Background);
  p.setColor(QPalette::Button, colours.HeaderBackground);
  setPalette(p);
  viewport()->update();
}

void TLibraryGridHeader::SetSortedSection(int logical, bool ascending) {
  m_sorted = logical;
  m_ascending = ascending;
  viewport()->update();
}

void TLibraryGridHeader::paintSection(QPainter* painter, const QRect& rect, int logical) const {
  const TKELDARSkinGridSort sort = logical != m_sorted ? TKELDARSkinGridSort::None
                                   : m_ascending       ? TKELDARSkinGridSort::Ascending
                                                       : TKELDARSkinGridSort::Descending;
  const QString text = model() ? model()->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
  PaintKELDARSkinGridHeaderCell(*painter, rect, text, sort, m_colours, m_font);
}

TLibraryGridView::TLibraryGridView(QWidget* parent) : QTableView(parent) {
  m_header = new TLibraryGridHeader(this);
  setHorizontalHeader(m_header);
  // A double click on a column border keeps the width the user dragged (no fitting to contents).
  disconnect(m_header, &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
  // Texts are laid out only as far as their column shows them.
  connect(m_header, &QHeaderView::sectionResized, this, &TLibraryGridView::ForgetTexts);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setShowGrid(false);  // the cell borders are part of the cells' own painting
  setWordWrap(false);
  SetSkinText(TKELDARSkinTextSettings());
}

void TLibraryGridView::setModel(QAbstractItemModel* model) {
  if (m_model) disconnect(m_model, nullptr, this, nullptr);
  QTableView::setModel(model);
  m_model = qobject_cast<TLibraryTableModel*>(model);
  ForgetTexts();
  if (!model) return;
  // Any change of songs, rows or columns makes the laid-out texts stale.
  connect(model, &QAbstractItemModel::modelReset, this, &TLibraryGridView::ForgetTexts);
  connect(model, &QAbstractItemModel::layoutChanged, this, &TLibraryGridView::ForgetTexts);
  connect(model, &QAbstractItemModel::dataChanged, this, &TLibraryGridView::ForgetTexts);
  connect(model, &QAbstractItemModel::rowsRemoved, this, &TLibraryGridView::ForgetTexts);
  connect(model, &QAbstractItemModel::rowsInserted, this, &TLibraryGridView::ForgetTexts);
  connect(model, &QAbstractItemModel::columnsInserted, this, &TLibraryGridView::ForgetTexts);
  connect(model, &QAbstractItemModel::columnsRemoved, this, &TLibraryGridView::ForgetTexts);
}

void TLibraryGridView::SetSkinText(const TKELDARSkinTextSettings& text) {
  m_colours = KELDARSkinGridColours(text);
  const QFont font = KELDARSkinTextFont(text);
  setFont(font);
  m_header->SetLook(m_colours, font);
  const QFontMetrics metrics(font);
  m_lineHeight = metrics.height();
  int narrowest = metrics.horizontalAdvance(QLatin1Char(' '));
  for (char c = 0x21; c < 0x7F; ++c) narrowest = std::min(narrowest, metrics.horizontalAdvance(QLatin1Char(c)));
  m_narrowestAdvance = std::max(1, narrowest);
  m_rawFont = QRawFont::fromFont(font);
  QString ascii;
  for (char c = 0x20; c < 0x7F; ++c) ascii.push_back(QLatin1Char(c));
  const QList<quint32> glyphs = m_rawFont.isValid() ? m_rawFont.glyphIndexesForString(ascii) : QList<quint32>();
  const QList<QPointF> advances = m_rawFont.isValid() ? m_rawFont.advancesForGlyphIndexes(glyphs) : QList<QPointF>();
  // A font without every ASCII glyph (a fallback would be needed) lays out every text instead.
  if (glyphs.size() != 95 || advances.size() != 95 || std::find(glyphs.begin(), glyphs.end(), 0u) != glyphs.end())
    m_rawFont = QRawFont();
  else
    for (int i = 0; i < 95; ++i) m_asciiGlyphs[i] = glyphs[i], m_asciiAdvances[i] = advances[i].x();
  verticalHeader()->setDefaultSectionSize(std::max({12, text.ItemHeight, m_lineHeight}));
  QPalette p = palette();
  p.setColor(QPalette::Base, m_colours.Background);
  p.setColor(QPalette::Window, m_colours.Background);
  p.setColor(QPalette::Text, m_colours.Text);
  p.setColor(QPalette::Highlight, m_colours.SelectedBackground);
  p.setColor(QPalette::HighlightedText, m_colours.SelectedText);
  setPalette(p);
  ForgetTexts();
}

void TLibraryGridView::ForgetTexts() {
  m_texts.clear();
  viewport()->update();
}

const TLibraryGridView::TCellGlyphs& TLibraryGridView::CellGlyphs(int row, int logicalColumn, int position, int id) {
  const quint64 key = (static_cast<quint64>(position) << 8) | static_cast<quint64>(id & 0xFF);
  auto it = m_texts.find(key);
  if (it != m_texts.end()) return *it;
  if (m_texts.size() >= kMaxCachedTexts) m_texts.clear();
  std::string cell = m_model->CellText(row, logicalColumn);
  TCellGlyphs glyphs;
  if (m_rawFont.isValid() &&
      std::all_of(cell.begin(), cell.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
    // Only what can show in the column: as many characters as the narrowest one fits, and two
    // more (the clip cuts the rest anyway).
    const std::size_t fits = static_cast<std::size_t>(columnWidth(logicalColumn) / m_narrowestAdvance + 2);
    if (cell.size() > fits) cell.resize(fits);
    glyphs.Glyphs.reserve(static_cast<qsizetype>(cell.size()));
    glyphs.Positions.reserve(static_cast<qsizetype>(cell.size()));
    const qreal baseline = m_rawFont.ascent();
    qreal x = 0;
    for (char c : cell) {
      const int at = c - 0x20;
      glyphs.Glyphs.push_back(m_asciiGlyphs[at]);
      glyphs.Positions.push_back(QPointF(x, baseline));
      x += m_asciiAdvances[at];
    }
  } else if (!cell.empty()) {
    QTextLayout layout(QString::fromStdString(cell), font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    glyphs.Runs = layout.glyphRuns();
  }
  return *m_texts.insert(key, glyphs);
}

void TLibraryGridView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect area = event->rect();
  painter.fillRect(area, m_colours.Background);
  if (!m_model) return;
  const int rowCount = m_model->rowCount();
  const int firstRow = rowAt(area.top());
  if (rowCount == 0 || firstRow < 0) return;
  int lastRow = rowAt(area.bottom());
  if (lastRow < 0) lastRow = rowCount - 1;
  const int rowHeight = verticalHeader()->defaultSectionSize();
  const int top = rowViewportPosition(firstRow);
  const int bottom = top + (lastRow - firstRow + 1) * rowHeight;

  // The shown columns under the area, left to right as the header has them.
  struct TColumn {
    int Logical, Id, X, Width;
  };
  std::vector<TColumn> columns;
  QHeaderView* header = horizontalHeader();
  int firstVisual = header->visualIndexAt(area.left());
  if (firstVisual < 0) firstVisual = 0;
  int right = 0;
  for (int visual = firstVisual; visual < header->count(); ++visual) {
    const int logical = header->logicalIndex(visual);
    if (header->isSectionHidden(logical)) continue;
    const int x = columnViewportPosition(logical);
    if (x > area.right()) break;
    const int width = columnWidth(logical);
    if (width <= 0) continue;
    columns.push_back({logical, m_model->ColumnId(logical), x, width});
    right = x + width;
  }
  if (columns.empty()) return;
  const int left = columns.front().X;

  std::vector<char> selected(static_cast<std::size_t>(lastRow - firstRow + 1));
  if (QItemSelectionModel* selection = selectionModel(); selection && selection->hasSelection())
    for (int r = firstRow; r <= lastRow; ++r)
      selected[static_cast<std::size_t>(r - firstRow)] = selection->isRowSelected(r, QModelIndex());

  // Backgrounds of selected rows, then the cell borders.
  for (int r = firstRow; r <= lastRow; ++r)
    if (selected[static_cast<std::size_t>(r - firstRow)])
      painter.fillRect(QRect(left, top + (r - firstRow) * rowHeight, right - left, rowHeight),
                       m_colours.SelectedBackground);
  painter.setPen(m_colours.Lines);
  for (int r = firstRow; r <= lastRow; ++r) {
    const int y = top + (r - firstRow + 1) * rowHeight - 1;
    painter.drawLine(left, y, right - 1, y);
  }
  for (const TColumn& c : columns) painter.drawLine(c.X + c.Width - 1, top, c.X + c.Width - 1, bottom - 1);

  // Texts column by column, each cut at its cell's border by one clip rectangle; the glyphs of
  // a column's normal rows and of its selected rows are drawn in one go each.
  const int textTop = (rowHeight - m_lineHeight) / 2;
  QList<quint32> glyphs[2];
  QList<QPointF> positions[2];
  const QColor pens[2] = {m_colours.Text, m_colours.SelectedText};
  for (const TColumn& c : columns) {
    if (c.Id == kLibraryArtWorkColumnId) continue;  // the artwork panel covers it
    const QRect clip(c.X + kKELDARSkinGridTextInset, top, c.Width - kKELDARSkinGridTextInset - 1, bottom - top);
    if (clip.width() <= 0) continue;
    painter.setClipRect(clip);
    for (int r = firstRow; r <= lastRow; ++r) {
      const int position = m_model->PositionOfRow(r);
      if (position < 0) continue;
      const int state = selected[static_cast<std::size_t>(r - firstRow)] ? 1 : 0;
      const QPointF at(c.X + kKELDARSkinGridTextInset, top + (r - firstRow) * rowHeight + textTop);
      const TCellGlyphs& cell = CellGlyphs(r, c.Logical, position, c.Id);
      glyphs[state].append(cell.Glyphs);
      for (const QPointF& p : cell.Positions) positions[state].push_back(p + at);
      if (!cell.Runs.isEmpty()) {
        painter.setPen(pens[state]);
        for (const QGlyphRun& run : cell.Runs) painter.drawGlyphRun(at, run);
      }
    }
    for (int state = 0; state < 2; ++state) {
      if (glyphs[state].isEmpty()) continue;
      QGlyphRun run;
      run.setRawFont(m_rawFont);
      run.setGlyphIndexes(glyphs[state]);
      run.setPositions(positions[state]);
      painter.setPen(pens[state]);
      painter.drawGlyphRun(QPointF(0, 0), run);
      glyphs[state].clear();
      positions[state].clear();
    }
  }
}
