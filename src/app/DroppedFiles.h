// Files dropped from the desktop on the main window or on the playlist's list go to the
// playlist: a folder stands for all its supported files (sub-folders included), anything
// else for itself. UI thread only.
#pragma once

#include <QMimeData>
#include <QWidget>

#include <string>
#include <vector>

// The paths in drop order, folders expanded.
std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& droppedPaths);
// Local paths of a drop's URLs, in order.
std::vector<std::string> DroppedPaths(const QMimeData& data);
// Hands a drop to the playlist with all its dialogs; false when it carried no paths.
bool AddDroppedFilesToPlaylist(const QMimeData& data);

// Hands drag-enter, drag-move and drop events of its target to the playlist. A child of
// the target: it goes with it.
class TDroppedFilesFilter : public QObject {
 public:
  TDroppedFilesFilter(QWidget& target, QWidget* whileShownOf);
  // One drag or drop event on the target; true when it was taken.
  bool HandleDragEvent(QEvent& event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& m_target;
  QWidget* m_shownWindow;
};

// Drops on `target` go to the playlist. The main window switches drops on and off itself
// when shown and closed; with `whileShownOf`, drops are accepted only while that window is
// shown (the playlist's list inside the playlist window).
TDroppedFilesFilter& AcceptDroppedFilesOn(QWidget& target, QWidget* whileShownOf = nullptr);
