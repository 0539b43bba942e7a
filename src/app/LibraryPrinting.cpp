#include "app/LibraryPrinting.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QHeaderView>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTableView>

#include <vector>

int PrintLibraryGrid(QPrinter& printer, const QTableView& grid) {
  const QHeaderView* header = grid.horizontalHeader();
  const QAbstractItemModel* model = grid.model();
  if (!model) return 0;
  std::vector<int> columns;  // logical indexes in the order shown
  int screenWidth = 0;
  for (int visual = 0; visual < header->count(); ++visual) {
    const int logical = header->logicalIndex(visual);
    if (header->isSectionHidden(logical) || header->sectionSize(logical) <= 0) continue;
    columns.push_back(logical);
    screenWidth += header->sectionSize(logical);
  }
  // Portrait unless the grid, at the printer's text size, is wider than the page.
  printer.setPageOrientation(QPageLayout::Portrait);
  QFont font = grid.font();
  font.setPointSizeF(8);
  const double scale = printer.resolution() / 96.0;
  if (screenWidth * scale > printer.pageLayout().paintRectPixels(printer.resolution()).width())
    printer.setPageOrientation(QPageLayout::Landscape);

  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  painter.setFont(font);
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution()).translated(
      -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
  const QFontMetrics metrics(font, &printer);
  const int lineHeight = metrics.height() + metrics.height() / 3;
  // Columns keep their shown proportions, squeezed to the page when they are wider.
  const double columnScale = std::min(scale, screenWidth > 0 ? double(page.width()) / screenWidth : scale);
  const QString title = "Song Library - " + QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
  const int rows = model->rowCount();
  const int bodyLines = std::max(1, (page.height() - 3 * lineHeight) / lineHeight - 1);
  const int pages = std::max(1, (rows + bodyLines - 1) / bodyLines);

  const auto drawRow = [&](int y, auto textOf, bool bold) {
    QFont f = font;
    f.setBold(bold);
    painter.setFont(f);
    double x = 0;
    for (int logical : columns) {
      const double w = header->sectionSize(logical) * columnScale;
      const QRectF cell(x + 2, y, std::max(0.0, w - 4), lineHeight);
      painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                       metrics.elidedText(textOf(logical), Qt::ElideRight, int(cell.width())));
      x += w;
    }
    painter.setFont(font);
  };
  for (int p = 0; p < pages; ++p) {
    if (p > 0) printer.newPage();
    int y = 0;
    painter.drawText(QRect(0, y, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, title);
    y += 2 * lineHeight;
    drawRow(y, [&](int logical) { return model->headerData(logical, Qt::Horizontal).toString(); }, true);
    y += lineHeight;
    painter.drawLine(0, y, page.width(), y);
    for (int r = p * bodyLines; r < std::min(rows, (p + 1) * bodyLines); ++r) {
      drawRow(y, [&](int logical) { return model->index(r, logical).data().toString(); }, false);
      y += lineHeight;
    }
    painter.drawText(QRect(0, page.height() - lineHeight, page.width(), lineHeight), Qt::AlignCenter,
                     QString("Page %1 of %2").arg(p + 1).arg(pages));
  }
  painter.end();
  return pages;
}
