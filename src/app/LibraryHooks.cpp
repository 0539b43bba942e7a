#include "app/LibraryHooks.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "app/KELDAR_DatabaseForm.h"
#include "app/LaterDialogHooks.h"
#include "app/PlaylistWindowHooks.h"
#include "app/skinunitmouseclickprocedures.h"
#include "cd/ArtworkLoader.h"
#include "cd/LibraryColumns.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "playlist/TPlaylist.h"
#include "settings/ComboboxWithMemoryHistory.h"
#include "skin/KELDARSkinControlAccessors.h"

namespace {

const char* const kSearchHistorySection = "CDDBSearchHistory";
constexpr int kSearchHistoryCapacity = 10;

// The disc of a CD track's drive; files have none.
std::string DiscIdOf(const std::string& path) {
  if (!IsLibraryCDTrack(path)) return {};
  const auto& discId = KELDAR_AUDIOVIDEO_API_Slots().GetCDDiscID;
  return discId ? discId(path) : std::string();
}

// A radio group of the headers of grid columns 1 to the last; the chosen grid column or -1.
// With a search history, the dialog also asks for a text; it is read into searchText before the
// dialog (and its combo box) goes.
int ChooseColumn(TKELDAR_DatabaseForm& library, const char* title, const char* groupTitle,
                 const std::vector<std::string>* history = nullptr, std::string* searchText = nullptr) {
  QDialog dialog(&library);
  dialog.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dialog);
  QComboBox* text = nullptr;
  if (history) {
    layout->addWidget(new QLabel("Search for:", &dialog));
    text = new QComboBox(&dialog);
    for (const std::string& entry : *history) text->addItem(QString::fromStdString(entry));
    text->setEditable(true);
    layout->addWidget(text);
  }
  layout->addWidget(new QLabel(groupTitle, &dialog));
  QButtonGroup group(&dialog);
  const std::vector<int>& ids = library.Columns();
  for (int c = 1; c < static_cast<int>(ids.size()); ++c) {
    auto* radio = new QRadioButton(QString::fromStdString(LibraryColumnHeader(ids[static_cast<std::size_t>(c)])), &dialog);
    group.addButton(radio, c);
    layout->addWidget(radio);
    if (c == 1) radio->setChecked(true);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return -1;
  if (text && searchText) *searchText = text->currentText().toStdString();
  return group.checkedId();
}

}  // namespace

void InstallLibraryHooks(TKELDAR_DatabaseForm& library) {
  TKELDAR_DatabaseForm* form = &library;
  // The album's artwork file beside the song (or, for CD tracks, in the CD artwork folder);
  // none gives a null image and the window's fallback picture.
  form->LoadArtwork = [](const TLibraryForSongsItem& song) {
    TInputPluginPicture picture;
    LoadArtwork(song.Lib_FullPathAndFilename, song.Lib_ArtistName, song.Lib_AlbumName, "", picture);
    return ArtworkImage(picture);
  };
  PlaylistWindowHooks().AddSelectedFilesToLibrary = [form](TPlaylist& playlist) {
    if (!form->isVisible()) {
      // Showing loads the file first; the deck's library button is on with the window, so its next
      // click hides it.
      SetSkinToggleState(DeckForm_DBButton, true);
      form->show();
    }
    for (int i = 0; i < playlist.Count(); ++i) {
      if (!playlist.Selected(i)) continue;
      const TPlayListBoxItem& p = playlist.Item(i);
      TLibraryForSongsItem item;
      item.Lib_ArtistName = p.ArtistName;
      item.Lib_AlbumName = p.AlbumName;
      item.Lib_TitleName = p.TitleName;
      item.Lib_TitleAlbumGenre = p.TitleAlbumGenre;
      item.Lib_TitleAlbumYear = p.TitleAlbumYear;
      item.Lib_TitleCDIndex = p.TitleCDIndex;
      item.Lib_PlaybackStartPos = p.PlaybackStartPos;
      item.Lib_PlaybackEndPos = p.PlaybackEndpos;
      item.Lib_FilePlaybackLength = p.FilePlaybackLength;
      item.Lib_FileSize = static_cast<int32_t>(p.FileSize);  // the 32-bit value, sign-extended
      item.Lib_FileDate = p.FileDate;
      item.Lib_CDDB_ID = DiscIdOf(p.FullPathAndFilename);
      // A CD track is stored by its track name alone: the drive differs from machine to machine.
      const std::size_t slash = p.FullPathAndFilename.find_last_of('/');
      item.Lib_FullPathAndFilename = IsLibraryCDTrack(p.FullPathAndFilename) && slash != std::string::npos
                                         ? p.FullPathAndFilename.substr(slash + 1)
                                         : p.FullPathAndFilename;
      form->AddToLibrary(std::move(item));
    }
  };
  auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), form);
  print->setObjectName("LibraryPrintShortcut");
  QObject::connect(print, &QShortcut::activated,
                   [form] { OpenLibraryPrintPreview(form->DBScrollBox(), DefaultPrinterAvailable()); });
  LaterDialogHooks().ScrollLibraryGrid = [form](int value) { form->ScrollToTrackValue(value); };
  LaterDialogHooks().ShowLibraryFindDialog = [form] {
    std::vector<std::string> history = LoadHistoryList(kSearchHistorySection, kSearchHistoryCapacity);
    std::string wanted;
    const int column = ChooseColumn(*form, "Find", "Search for ", &history, &wanted);
    if (column <= 0 || wanted.empty()) return;
    InsertIntoHistoryList(history, wanted, kSearchHistoryCapacity);
    SaveHistoryList(kSearchHistorySection, kSearchHistoryCapacity, history);
    form->FindText(wanted, column);
  };
  LaterDialogHooks().ViewSelectedLibraryEntry = [form] { form->ViewFileInfo(); };
  LaterDialogHooks().ShowLibrarySortDialog = [form] {
    const int column = ChooseColumn(*form, "Sort", "Sort by");
    if (column > 0) form->SortByGridColumn(column);
  };
  LaterDialogHooks().ShowLibraryListMenuAt = [form](KELDARSkinControls_IDs) {
    QMenu menu(form);
    menu.addAction("Import Local CDDB", form, [form] { form->ImportLocalCDDB(); });
    menu.addAction("Remove All Items !!!!!!", form, [form] { form->RemoveAllItems(); });
    menu.addAction("Print", form, [form] { OpenLibraryPrintPreview(form->DBScrollBox(), DefaultPrinterAvailable()); });
    menu.exec(QCursor::pos());
  };
}

void ClearLibraryHooks() {
  PlaylistWindowHooks().AddSelectedFilesToLibrary = nullptr;
  LaterDialogHooks().ScrollLibraryGrid = nullptr;
  LaterDialogHooks().ShowLibraryFindDialog = nullptr;
  LaterDialogHooks().ShowLibrarySortDialog = nullptr;
  LaterDialogHooks().ViewSelectedLibraryEntry = nullptr;
  LaterDialogHooks().ShowLibraryListMenuAt = nullptr;
}
