// The song library window: the skinned frame with the library grid in its content area.
// Showing the window loads the ".SDB" file into the grid; hiding it saves the file and
// empties the grid. UI thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QImage>

#include "app/WindowTimer.h"
#include "cd/LibraryGridRows.h"
#include "cd/LibrarySongsFile.h"
#include "skin/KELDARSkinTextSettings.h"
#include "skin/SkinUnitTemplate.h"

class QLabel;
class QTableView;
class TLibraryGridView;
class TLibraryTableModel;

class TKELDAR_DatabaseForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TKELDAR_DatabaseForm(QWidget* parent = nullptr);
  QWidget* DBScrollBox() const { return ContentArea(); }
  // Colours, font and row height of "DB_Text.ini".
  void ApplyText(const TKELDARSkinTextSettings& text);
  const TKELDARSkinTextSettings& Text() const { return m_text; }

  // The 400 ms timer of the status text.
  TWindowTimer& Timer1() { return m_timer1; }
  ~TKELDAR_DatabaseForm() override;

  QTableView* Grid() const;
  TLibraryGridView* GridView() const { return m_grid; }
  const TLibraryForSongs& Library() const { return m_library; }
  const TLibraryGridRows& Rows() const { return m_rows; }
  // Column ids of grid columns 0, 1, ...
  const std::vector<int>& Columns() const;
  int SortedColumn() const { return m_sortedColumn; }  // grid column, -1 for none
  bool Ascending() const { return m_ascending; }

  // Adds a song and its row unless it is there already.
  bool AddToLibrary(TLibraryForSongsItem item);
  // Flips the sort direction and sorts by the grid column (a header click, the sort dialog).
  void SortByGridColumn(int gridColumn);
  // Hands the album of the row's song to the playlist; a CD track gives a message instead.
  void AddAlbumOfRow(int row);
  // The songs of the selected rows to the playlist (CD tracks give the message once each).
  void AddSelectedToPlaylist();
  void RemoveSelected();
  void RemoveAllItems();
  // Searches the grid column from the row after the current one; selects and reports.
  bool FindText(const std::string& text, int gridColumn);
  // Every entry of the local CD store, with a progress dialog.
  void ImportLocalCDDB();
  // The current row's song: its file information; its folder in the desktop's file browser.
  void ViewFileInfo();
  void OpenContainingFolder();
  // The grid follows the scroll track (0..100, 100 = top), and the track follows the grid.
  void ScrollToTrackValue(int value);
  // Applies the 16 width settings to the grid (-1 hides a column).
  void ApplyColumnWidths();
  // The shown columns' widths into their settings.
  void StoreColumnWidths();
  // The status text ("Total Songs: " and the count), as the timer sets it.
  void Timer1Timer();

  // The album picture of a song for the artwork panel; a null image (or no function) gives the
  // fallback picture. Installed by the artwork code.
  std::function<QImage(const TLibraryForSongsItem& song)> LoadArtwork;
  QLabel* ArtworkPanel() const { return m_artwork; }
  // Where songs for the playlist go; by default the playlist's added-files path with all dialogs.
  std::function<void(const std::vector<std::string>& paths)> AddFilesToPlaylist;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void ContentAreaChanged() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowLibrary();
  void HideLibrary();
  void BuildColumns();
  std::vector<int> SelectedRows() const;
  void Refresh();
  int CurrentPosition() const;  // list position of the current row, -1 for none
  void PlaceArtworkPanel();

  TKELDARSkinTextSettings m_text;
  TWindowTimer m_timer1{400};
  TLibraryForSongs m_library;
  TLibraryGridRows m_rows;
  TLibraryFileState m_fileState;
  bool m_loaded = false;
  int m_sortedColumn = -1;
  bool m_ascending = false;
  TLibraryTableModel* m_model = nullptr;
  TLibraryGridView* m_grid = nullptr;
  QLabel* m_artwork = nullptr;
  std::string m_artworkAlbum;  // the album drawn last (case ignored)
  bool m_artworkDrawn = false;
  bool m_applyingScrollTrack = false;
};

// The library window while it exists, else null.
TKELDAR_DatabaseForm* KELDAR_DatabaseForm();
