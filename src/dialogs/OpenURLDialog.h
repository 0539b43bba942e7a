// "Add URL to Playlist": a typed address or one of the favourite stations goes to the playlist.
// The favourites are read from their file when the dialog shows and written when it hides.
// UI thread only.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/URLFavourites.h"

class QLineEdit;
class QMenu;
class QTableWidget;
class QPushButton;

class TOpenURLDialogForm : public QDialog {
  Q_OBJECT
 public:
  explicit TOpenURLDialogForm(QWidget* parent = nullptr);

  // Where an accepted address goes (the playlist window's AddURLToPlayList).
  std::function<void(const std::string& url)> AddURLToPlayList;

  void LoadURLFavouritesFromFile();
  void SaveURLFavouritesToFile();
  // Grid from the table: header, one row per favourite, the empty row.
  void UpdateAllControlsWithNewURLFavouritesData();
  // Appends a favourite as if typed into the empty row (the playlist's "Add Selected URLs to
  // Favourites"); nothing beyond 99.
  void AppendFavourite(const std::string& link, const std::string& description);

  const URLFavouritesStructure& Favourites() const { return m_favourites; }

  // Handlers.
  void ADDNEWURLTOPlaylistButtonClick();
  void AddSelectedtoPlaylist1Click();
  void DeleteSelected1Click();
  void AddnewURL1Click();
  void FavouriteURLsStringGridSetEditText(int row, int column, const std::string& text);
  void ShowFavouritesMenuAt(const QPoint& globalPointer);

  QTableWidget* Grid() const { return m_grid; }
  QLineEdit* NewURLField() const { return m_newURL; }
  QMenu* FavouritesMenu() const { return m_menu; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RebuildTableFromGrid();
  void AddAddress(const std::string& url);
  void SetRow(int row, const URLFavouriteStructure& favourite);

  URLFavouritesStructure m_favourites;
  QLineEdit* m_newURL = nullptr;
  QTableWidget* m_grid = nullptr;
  QMenu* m_menu = nullptr;
  bool m_filling = false;
};
