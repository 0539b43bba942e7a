// TCDEntryEditForm: the "Edit CD" editor of a CD entry. "Submit" validates and confirms,
// "OK" closes and leaves the entry as it was. UI thread only.
#pragma once

#include <QDialog>

#include "cd/CDDBEntry.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TCDEntryEditForm : public QDialog {
  Q_OBJECT
 public:
  explicit TCDEntryEditForm(TCDDBEntry& entry, QWidget* parent = nullptr);

  // "Submit": the complaints, each followed by "\r"; empty when the fields are valid.
  QString Complaints() const;
  // "Submit": a valid form is taken back into the entry and accepted; otherwise the
  // complaints are shown and the editor closes unconfirmed.
  void SubmitButtonClick();

  // The controls, for tests.
  QLineEdit& CDTitleEdit() const { return *m_title; }
  QLineEdit& ArtistTitleEdit() const { return *m_artist; }
  QLineEdit& RevisionEdit() const { return *m_revision; }
  QLineEdit& CDYearEdit() const { return *m_year; }
  QLineEdit& CDGenreEdit() const { return *m_genre; }
  QLineEdit& SubmittedViaEdit() const { return *m_via; }
  QLineEdit& DISCIDEdit() const { return *m_discId; }
  QComboBox& ComboBox1() const { return *m_category; }
  QPlainTextEdit& CDExtInfoMemo() const { return *m_extd; }
  QPlainTextEdit& ExtInfoMemo() const { return *m_extt; }
  QTableWidget& TracksGrid() const { return *m_tracks; }
  QPushButton& SubmitButton() const { return *m_submit; }
  QPushButton& LoadArtworkButton() const { return *m_loadArtwork; }
  QLabel& ArtworkPanel() const { return *m_artwork; }

  // "Load Artwork" (choose) and a picture dropped on the panel (file): installs it as the
  // album's artwork in the CD artwork folder; nothing happens without a disc ID.
  bool InstallAlbumArtwork(bool choose, const std::string& file);

  QPushButton& OKButton() const { return *m_ok; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowTrackExtInfo(int row);
  void ShowAlbumArtwork();
  // Where the album's artwork lives: a name inside the CD artwork folder.
  std::string ArtworkPlace() const;
  TCDDBEntry& m_entry;
  std::vector<std::string> m_shownTrackData;
  QLineEdit* m_title;
  QLineEdit* m_artist;
  QLineEdit* m_revision;
  QLineEdit* m_year;
  QLineEdit* m_genre;
  QLineEdit* m_via;
  QLineEdit* m_discId;
  QComboBox* m_category;
  QPlainTextEdit* m_extd;
  QPlainTextEdit* m_extt;
  QTableWidget* m_tracks;
  QLabel* m_artwork;
  QPushButton* m_loadArtwork;
  QPushButton* m_submit;
  QPushButton* m_ok;
};
