#include "skin/KELDARSkinGridCellPainter.h"

#include <QPolygon>

#include <algorithm>

#include "skin/KELDARSkinBitmapFonts.h"

TKELDARSkinGridColours KELDARSkinGridColours(const TKELDARSkinTextSettings& text) {
  TKELDARSkinGridColours c;
  c.Text = KELDARSkinColour(text.Normal);
  c.Background = KELDARSkinColour(text.NormalBG);
  c.SelectedText = KELDARSkinColour(text.Current);
  c.SelectedBackground = KELDARSkinColour(text.SelectedBG);
  c.HeaderText = KELDARSkinColour(text.Normal);
  c.HeaderBackground = KELDARSkinColour(text.Headers);
  c.Lines = c.HeaderBackground;
  return c;
}

void PaintKELDARSkinGridSortArrow(QPainter& painter, const QRect& area, TKELDARSkinGridSort sort,
                                  const QColor& colour) {
  if (sort == TKELDARSkinGridSort::None || area.width() < 3 || area.height() < 3) return;
  // A filled triangle 8 pixels wide and 4 high, centred.
  const int cx = area.left() + area.width() / 2;
  const int cy = area.top() + area.height() / 2;
  QPolygon triangle;
  if (sort == TKELDARSkinGridSort::Ascending)
    triangle << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 2);
  else
    triangle << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 2);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(colour);
  painter.setBrush(colour);
  painter.drawPolygon(triangle);
  painter.restore();
}

void PaintKELDARSkinGridHeaderCell(QPainter& painter, const QRect& cell, const QString& text,
                                   TKELDARSkinGridSort sort, const TKELDARSkinGridColours& colours,
                                   const QFont& font) {
  if (!cell.isValid()) return;
  painter.save();
  painter.fillRect(cell, colours.HeaderBackground);
  const int arrow = sort == TKELDARSkinGridSort::None ? 0 : std::min(kKELDARSkinGridArrowWidth, cell.width());
  const QRect textArea(cell.left() + kKELDARSkinGridTextInset, cell.top(),
                       std::max(0, cell.width() - kKELDARSkinGridTextInset - arrow), cell.height());
  if (textArea.width() > 0) {
    painter.setClipRect(textArea);
    painter.setFont(font);
    painter.setPen(colours.HeaderText);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.setClipping(false);
  }
  if (arrow > 0)
    PaintKELDARSkinGridSortArrow(painter, QRect(cell.right() + 1 - arrow, cell.top(), arrow, cell.height()), sort,
                                 colours.HeaderText);
  // A darker edge right and below, so neighbouring headers stay apart on a flat colour.
  painter.setPen(colours.HeaderBackground.darker(140));
  painter.drawLine(cell.topRight(), cell.bottomRight());
  painter.drawLine(cell.bottomLeft(), cell.bottomRight());
  painter.restore();
}
