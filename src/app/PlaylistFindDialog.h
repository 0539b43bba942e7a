// TPlaylistFindDialogForm: the playlist's search dialog. An editable box with the recent
// search texts (settings section "PLSearchHistory", 10 entries: read when the dialog is
// shown, written when it is hidden), the field to search and where to start. "Find" keeps
// the text in the history and searches; the dialog stays open, so pressing "Find" again
// with "From Current" goes on to the next hit. UI thread only.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "playlist/PlaylistOperations.h"

class QComboBox;
class QPushButton;
class QRadioButton;

class TPlaylistFindDialogForm : public QDialog {
  Q_OBJECT
 public:
  TPlaylistFindDialogForm(TPlaylist& playlist, QWidget* parent = nullptr);

  static constexpr const char* kHistorySection = "PLSearchHistory";
  static constexpr int kHistoryCapacity = 10;

  // After a hit: the window shows the found line.
  std::function<void(int found)> OnFound;

  // The controls, for the window and for tests.
  QComboBox& SearchText() const { return *m_text; }
  QPushButton& FindButton() const { return *m_find; }
  void SetField(TPlaylistFindField field);
  void SetFromCurrent(bool fromCurrent);
  std::vector<std::string> History() const;

  // "Find" (also Enter in the box): history first, then the search; the index found or -1.
  int ExecuteButtonClick();
  void LoadComboBoxRecent();
  void SaveComboBoxRecent() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  TPlaylist& m_playlist;
  QComboBox* m_text;
  QPushButton* m_find;
  QRadioButton* m_fields[4];
  QRadioButton* m_fromStart;
  QRadioButton* m_fromCurrent;
};
