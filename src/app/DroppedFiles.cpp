#include "app/DroppedFiles.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QUrl>

#include <filesystem>

#include "playlist/PlaylistEditor.h"

TDroppedFilesFilter::TDroppedFilesFilter(QWidget& target, QWidget* whileShownOf)
    : QObject(&target), m_target(target), m_shownWindow(whileShownOf) {
  if (m_shownWindow) {
    m_shownWindow->installEventFilter(this);
    m_target.setAcceptDrops(m_shownWindow->isVisible());
  }
  m_target.installEventFilter(this);
}

bool TDroppedFilesFilter::HandleDragEvent(QEvent& event) {
  switch (event.type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto& drag = static_cast<QDropEvent&>(event);
      if (!drag.mimeData()->hasUrls()) return false;
      drag.acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto& drop = static_cast<QDropEvent&>(event);
      if (!AddDroppedFilesToPlaylist(*drop.mimeData())) return false;
      drop.acceptProposedAction();
      return true;
    }
    default:
      return false;
  }
}

bool TDroppedFilesFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_shownWindow) {
    if (event->type() == QEvent::Show) m_target.setAcceptDrops(true);
    if (event->type() == QEvent::Hide) m_target.setAcceptDrops(false);
    return false;
  }
  return watched == &m_target && HandleDragEvent(*event);
}

std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& droppedPaths) {
  std::vector<std::string> files;
  for (const std::string& path : droppedPaths) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
      GetAllKnownSupportedFilesFromDirectories(path, files, true);
    else
      files.push_back(path);
  }
  return files;
}

std::vector<std::string> DroppedPaths(const QMimeData& data) {
  std::vector<std::string> paths;
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile())
      paths.push_back(url.toLocalFile().toStdString());
    else if (url.isValid())
      paths.push_back(url.toString().toStdString());
  }
  return paths;
}

bool AddDroppedFilesToPlaylist(const QMimeData& data) {
  const std::vector<std::string> paths = DroppedPaths(data);
  if (paths.empty()) return false;
  ProccessAddedFiles(CollectDroppedFiles(paths), true);
  return true;
}

TDroppedFilesFilter& AcceptDroppedFilesOn(QWidget& target, QWidget* whileShownOf) {
  // Owned by the target (its Qt parent).
  return *new TDroppedFilesFilter(target, whileShownOf);
}
