#include "cd/ArtworkPanelEvents.h"

#include <QDragEnterEvent>
#include <QLabel>
#include <QPixmap>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

#include "cd/ArtworkFunctions.h"
#include "cd/ArtworkLoader.h"
#include "util/ProgramFolders.h"

QString ArtworkFileDialogFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList names;
  for (int i = 0; i + 1 < parts.size(); i += 2) names << QString(parts[i]).replace(';', ' ');
  return names.join(";;");
}

bool HandleArtworkPanelDrop(QEvent* event, const std::function<void(const std::string&)>& install) {
  if (event->type() == QEvent::DragEnter) {
    auto* enter = static_cast<QDragEnterEvent*>(event);
    if (enter->mimeData()->hasUrls()) enter->acceptProposedAction();
    return true;
  }
  if (event->type() != QEvent::Drop) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  const QList<QUrl> urls = drop->mimeData()->urls();
  if (!urls.isEmpty() && urls.first().isLocalFile()) install(urls.first().toLocalFile().toStdString());
  drop->acceptProposedAction();
  return true;
}

void ShowArtworkOnPanel(QLabel& panel, const std::string& place, const std::string& artist, const std::string& album) {
  TInputPluginPicture picture;
  LoadArtwork(place, artist, album, NoArtworkPicturePath(ProgramFolder()), picture);
  const QImage image = ArtworkImage(picture);
  if (image.isNull()) {
    panel.clear();
    return;
  }
  panel.setPixmap(QPixmap::fromImage(image).scaled(panel.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
