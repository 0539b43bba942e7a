#include "skin/KELDARSkinPlaylistRowPainter.h"

#include <QFontMetrics>
#include <cstdio>

#include "util/GeneralPurposeFunctions.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"

namespace {

inline constexpr std::int32_t kMargin = 2;
inline constexpr std::int32_t kGap = 4;  // between a shortened title and the length tag

std::string CounterPrefix(const TKELDARSkinPlaylistRow& row) {
  return row.ShowCounter ? std::to_string(row.Index + 1) + ". " : std::string();
}

std::string EntryText(const TKELDARSkinPlaylistRow& row) {
  if (!row.Entry) return {};
  const TPlayListBoxItem& e = *row.Entry;
  switch (row.DisplayMode) {
    case 0: return e.FullPathAndFilename;
    case 1: return IsURL(e.FullPathAndFilename) ? e.FullPathAndFilename : ExtractFileName(e.FullPathAndFilename);
    default: return e.ArtistName + " - " + e.TitleName;
  }
}

}  // namespace

std::string KELDARSkinPlaylistLengthText(std::int32_t seconds) {
  const TMinutesAndSeconds ms = SplitSecondsToMinutesAndSeconds(seconds);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, " [%.2lld:%.2lld] ", static_cast<long long>(ms.Minutes),
                static_cast<long long>(ms.Seconds));
  return buffer;
}

std::string KELDARSkinPlaylistRowText(const TKELDARSkinPlaylistRow& row) { return CounterPrefix(row) + EntryText(row); }

void PaintKELDARSkinPlaylistRow(QPainter& painter, const TKELDARSkinPlaylistRow& row, const TKELDARLoadedSkin& loaded) {
  painter.save();
  painter.fillRect(row.Rect, row.BackgroundColour);
  const QImage& picture = loaded.Bitmap(TKELDARSkinBitmap::PlaylistListBoxImage);
  if (row.BitmapEnabled && !picture.isNull() && picture.height() > row.Rect.top())
    painter.drawImage(row.Rect.topLeft(), picture, row.Rect);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setFont(row.Font);
  painter.setPen(row.TextColour);
  const QFontMetrics metrics(row.Font);
  const QString length = QString::fromStdString(KELDARSkinPlaylistLengthText(row.Entry ? row.Entry->FilePlaybackLength : 0));
  const std::int32_t lengthWidth = metrics.horizontalAdvance(length);
  const QString prefix = QString::fromStdString(CounterPrefix(row));
  QString title = QString::fromStdString(EntryText(row));
  // A path loses its middle; names and tags lose their end, so no title runs under the length.
  const std::int32_t room = row.Rect.width() - 2 * kMargin - lengthWidth - kGap - metrics.horizontalAdvance(prefix);
  title = metrics.elidedText(title, row.DisplayMode == 0 ? Qt::ElideMiddle : Qt::ElideRight, std::max(0, room));
  const QRect textRect = row.Rect.translated(0, loaded.Family.PlaylistTextOffsetY);
  painter.drawText(textRect.adjusted(kMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, prefix + title);
  painter.drawText(textRect.adjusted(0, 0, -kMargin, 0), Qt::AlignRight | Qt::AlignVCenter, length);
  painter.restore();
}
