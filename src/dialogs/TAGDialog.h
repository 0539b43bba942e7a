// "Tag Editor": what the player knows about one playlist item (file tags, a tracker module's
// texts, or the data of the internet station playing) and its album artwork. It never writes
// tags into files: "Update Playlist" refreshes the item from the file. UI thread only.
#pragma once

#include <QDialog>

#include <string>

#include "playlist/TPlaylist.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;

class TTAGDialogForm : public QDialog {
  Q_OBJECT
 public:
  explicit TTAGDialogForm(QWidget* parent = nullptr);

  // Inputs set by the caller before showing the dialog or refreshing.
  std::string TagDialogFilenameOriginalLocation;
  std::string TagDialogFilenameActualLocation;
  TPlayListBoxItem* TAGDialog_PointerToPlayListBoxItemToShowTags = nullptr;
  // The playlist that owns the item, so its total time follows a new length (may be null).
  TPlaylist* TAGDialog_Playlist = nullptr;
  std::string TagDialogFilename_Artist;
  std::string TagDialogFilename_Album;

  // Shows the dialog modally on the inputs; on "Update Playlist" refreshes the item.
  // Returns the dialog's result.
  int ShowForItem(TPlayListBoxItem* item, const std::string& actualLocation, const std::string& originalLocation,
                  TPlaylist* playlist);
  void GetSongTitleAndAuthorFromTagID();

  // The fillers.
  void ID3TagClearAllFields();
  void TAGS_ClearAllEditFields();
  void ID3TagFillInFieldsFromTags();
  void MUSICTagFillInFieldsFromTags();
  void URLTagFillInFieldsFromTags();
  // Fills everything as on showing (also used by tests without showing).
  void FillFromInputs();
  void ShowArtwork();
  bool InstallArtworkFile(bool choose, const std::string& file);

  // The field with this label ("Title:", "Server Name:", ...), or null.
  QLineEdit* Field(const std::string& label) const;
  QPlainTextEdit* MusicMessage() const { return m_musicMessage; }
  QListWidget* Instruments() const { return m_instruments; }
  QListWidget* Samples() const { return m_samples; }
  QTabWidget* Tabs() const { return m_tabs; }
  QLabel* Artwork() const { return m_artwork; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* m_fileName = nullptr;
  QTabWidget* m_tabs = nullptr;
  QPlainTextEdit* m_musicMessage = nullptr;
  QListWidget* m_instruments = nullptr;
  QListWidget* m_samples = nullptr;
  QLabel* m_artwork = nullptr;
};
