// The library window with the Default skin, off screen: songs arriving from the playlist's
// menu, the file written on hide and read on show, double clicks handing an album to the
// playlist (and refusing CD tracks), header clicks sorting, the column setting and the status
// text of the window's timer.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QRadioButton>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "app/LibraryHooks.h"
#include "app/LibraryMenus.h"
#include <QLabel>
#include <QScrollBar>
#include "app/LaterDialogHooks.h"
#include "app/LibraryPrinting.h"
#include "app/skinunitmouseclickprocedures.h"
#include "app/PlaylistMenus.h"
#include "app/PlaylistWindowHooks.h"
#include "cd/CDDBEntry.h"
#include "cd/CDDialogHooks.h"
#include "cd/LibraryColumns.h"
#include "cd/LibrarySongsFile.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "playlist/PlaylistEditor.h"
#include "skinwindows/SkinnedWindowFixture.h"
#include "util/ShowMessage.h"

namespace {

class LibraryWindow : public SkinnedWindows {
 protected:
  void SetUp() override {
    SkinnedWindows::SetUp();
    BuildSupportedFileTypes();
    std::filesystem::create_directories(program / "music");
    ThePlaylist().Clear();
    PlaylistWindowHooks() = {};
    InstallLibraryHooks(*library);
    ShowOnly({playlist.get()});
    library->resize(500, 300);
  }
  void TearDown() override {
    library->hide();
    ClearLibraryHooks();
    ThePlaylist().Clear();
    ClearSupportedFileTypes();
    SkinnedWindows::TearDown();
  }

  void AddPlaylistEntry(const std::string& name, const std::string& artist, const std::string& album) {
    WriteTextFile(program / ("music/" + name), "");
    TPlayListBoxItem item;
    item.FullPathAndFilename = program / ("music/" + name);
    item.ArtistName = artist;
    item.AlbumName = album;
    item.TitleName = name;
    item.FilePlaybackLength = 125;
    item.TagIDDataRetrieved = true;
    ThePlaylist().Add(item);
  }
  void RunPlaylistMenu(const QString& text) {
    for (QAction* action : playlist->Menus().ClickFilePopupMenu().actions())
      if (action->text() == text) return action->trigger();
    FAIL() << "no menu entry " << text.toStdString();
  }
  std::string CellText(int row, int gridColumn) {
    return library->Grid()->model()->index(row, gridColumn).data().toString().toStdString();
  }
  int GridColumnOf(int id) {
    const auto& ids = library->Columns();
    return static_cast<int>(std::find(ids.begin(), ids.end(), id) - ids.begin());
  }
  QPoint CellCentre(int row, int gridColumn) {
    return library->Grid()->visualRect(library->Grid()->model()->index(row, gridColumn)).center();
  }
  // Press, release, press, double click, release: what a real double click delivers.
  void DoubleClickCell(int row, int gridColumn) {
    QWidget* viewport = library->Grid()->viewport();
    const QPointF at(CellCentre(row, gridColumn));
    const QPointF global(viewport->mapToGlobal(at.toPoint()));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
      QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
      QApplication::sendEvent(viewport, &event);
    }
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const TMessage& m : ReadMessageLog(log.Path())) texts.push_back(m.Text);
    return texts;
  }

  TMessageLogCapture log{program / "messages.log"};
};

TEST_F(LibraryWindow, SelectedPlaylistEntriesReachTheFileAndADoubleClickAddsTheirAlbum) {
  AddPlaylistEntry("a.wav", "Band", "Record");
  AddPlaylistEntry("b.wav", "Other", "Else");
  AddPlaylistEntry("c.wav", "band", "RECORD");
  playlist->LinesChanged();
  ThePlaylist().SetSelected(0, true);
  ThePlaylist().SetSelected(2, true);
  ASSERT_FALSE(library->isVisible());
  RunPlaylistMenu("Add Selected Files To Library");
  // The window was shown (loading the empty file) and holds the two songs.
  EXPECT_TRUE(library->isVisible());
  ASSERT_EQ(library->Grid()->model()->rowCount(), 2);
  EXPECT_EQ(CellText(0, GridColumnOf(3)), "a.wav");
  EXPECT_EQ(CellText(1, GridColumnOf(3)), "c.wav");
  EXPECT_EQ(CellText(1, GridColumnOf(9)), "02:05");
  // Running it again adds nothing: the same files are there.
  RunPlaylistMenu("Add Selected Files To Library");
  EXPECT_EQ(library->Grid()->model()->rowCount(), 2);

  library->hide();
  EXPECT_EQ(library->Grid()->model()->rowCount(), 0);  // hidden: nothing in memory
  TLibraryForSongs onDisk;
  ASSERT_FALSE(LoadLibrary(onDisk, program / "keldar3.SDB").LoadFailed);
  ASSERT_EQ(onDisk.Count(), 2);
  EXPECT_EQ(onDisk.Item(0).Lib_FullPathAndFilename, program / "music/a.wav");
  EXPECT_EQ(onDisk.Item(1).Lib_ArtistName, "band");

  library->show();
  ASSERT_EQ(library->Grid()->model()->rowCount(), 2);
  QCoreApplication::processEvents();
  // A double click on a song adds its album (artist and album ignoring case) to the playlist.
  ThePlaylist().Clear();
  DoubleClickCell(0, GridColumnOf(3));
  ASSERT_EQ(ThePlaylist().Count(), 2);
  EXPECT_EQ(ThePlaylist().Item(0).FullPathAndFilename, program / "music/a.wav");
  EXPECT_EQ(ThePlaylist().Item(1).FullPathAndFilename, program / "music/c.wav");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(LibraryWindow, ACDTrackRowGivesTheMessageAndAddsNothing) {
  library->show();
  TLibraryForSongsItem track;
  track.Lib_ArtistName = "Band";
  track.Lib_AlbumName = "Record";
  track.Lib_FullPathAndFilename = "Track01.cda";
  track.Lib_CDDB_ID = "0a000c03";
  ASSERT_TRUE(library->AddToLibrary(track));
  QCoreApplication::processEvents();
  DoubleClickCell(0, GridColumnOf(3));
  EXPECT_EQ(ThePlaylist().Count(), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"This is a CD track.\rInsert CD and add files with ADD Dir instead"});
  // The same selection through "Add Selected To Playlist": the message once, nothing added.
  library->Grid()->selectRow(0);
  library->AddSelectedToPlaylist();
  EXPECT_EQ(ThePlaylist().Count(), 0);
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(LibraryWindow, HeaderClicksSortAndFlipTheOrder) {
  library->show();
  for (const char* title : {"m", "Z", "a"}) {
    TLibraryForSongsItem s;
    s.Lib_TitleName = title;
    s.Lib_FullPathAndFilename = std::string("/x/") + title;
    library->AddToLibrary(s);
  }
  QCoreApplication::processEvents();
  const int title = GridColumnOf(3);
  QHeaderView* header = library->Grid()->horizontalHeader();
  const QPoint at(header->sectionViewportPosition(title) + header->sectionSize(title) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(library->SortedColumn(), title);
  EXPECT_TRUE(library->Ascending());
  EXPECT_EQ(CellText(0, title) + CellText(1, title) + CellText(2, title), "amZ");
  EXPECT_EQ(CellText(0, 0), "2");  // the index column shows the list position
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_FALSE(library->Ascending());
  EXPECT_EQ(CellText(0, title) + CellText(1, title) + CellText(2, title), "Zma");
  // Removing the selected top row renumbers the index column behind it.
  library->Grid()->selectRow(0);
  library->RemoveSelected();
  EXPECT_EQ(CellText(0, title) + CellText(1, title), "ma");
  EXPECT_EQ(CellText(0, 0) + CellText(1, 0), "01");
  // The status text of the window's timer.
  library->Timer1().Tick();
  EXPECT_EQ(GetSkinControlText(CDDatabaseForm_DBTextWindow), "Total Songs: 2");
  library->RemoveAllItems();
  library->Timer1().Tick();
  EXPECT_EQ(GetSkinControlText(CDDatabaseForm_DBTextWindow), "Total Songs: 0");
}

TEST_F(LibraryWindow, FindSearchesOnFromTheRowAfterTheCurrentOne) {
  library->show();
  for (const char* artist : {"Abba", "Blur", "abbado"}) {
    TLibraryForSongsItem s;
    s.Lib_ArtistName = artist;
    s.Lib_FullPathAndFilename = std::string("/x/") + artist;
    library->AddToLibrary(s);
  }
  const int artist = GridColumnOf(1);
  EXPECT_TRUE(library->FindText("ABB", artist));
  EXPECT_EQ(library->Grid()->currentIndex().row(), 0);
  EXPECT_TRUE(library->FindText("ABB", artist));
  EXPECT_EQ(library->Grid()->currentIndex().row(), 2);
  EXPECT_EQ(library->Grid()->currentIndex().column(), artist);
  EXPECT_FALSE(library->FindText("ABB", artist));  // nothing after the last match
  const std::vector<TMessage> messages = ReadMessageLog(log.Path());
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].Text, "Search String 'ABB' Found");
  EXPECT_EQ(messages[0].Title, "Information");
  EXPECT_EQ(messages[2].Text, "Search String 'ABB' NOT Found");
}

// What the user types in the Find dialog and the column chosen there reach the search, and the
// text joins the dialog's history for the next time.
TEST_F(LibraryWindow, TheFindDialogSearchesTheTypedTextAndRemembersIt) {
  library->show();
  for (const char* artist : {"Abba", "Blur", "abbado"}) {
    TLibraryForSongsItem s;
    s.Lib_ArtistName = artist;
    s.Lib_FullPathAndFilename = std::string("/x/") + artist;
    library->AddToLibrary(s);
  }
  std::vector<QString> offered;
  auto answer = [&](const QString& typed) {
    QTimer::singleShot(0, [&, typed] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      auto* combo = dialog->findChild<QComboBox*>();
      ASSERT_NE(combo, nullptr);
      offered.clear();
      for (int i = 0; i < combo->count(); ++i) offered.push_back(combo->itemText(i));
      combo->setEditText(typed);
      for (QRadioButton* radio : dialog->findChildren<QRadioButton*>())
        if (radio->text().toStdString() == LibraryColumnHeader(1)) radio->setChecked(true);
      dialog->accept();
    });
  };
  answer("blur");
  LaterDialogHooks().ShowLibraryFindDialog();
  EXPECT_EQ(library->Grid()->currentIndex().row(), 1);
  EXPECT_EQ(library->Grid()->currentIndex().column(), GridColumnOf(1));
  answer("abbado");
  LaterDialogHooks().ShowLibraryFindDialog();
  ASSERT_FALSE(offered.empty());
  EXPECT_EQ(offered.front(), "blur");
  EXPECT_EQ(library->Grid()->currentIndex().row(), 2);
  const std::vector<std::string> texts = Messages();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Search String 'blur' Found");
}

TEST_F(LibraryWindow, GridAndScrollTrackFollowEachOther) {
  library->show();
  for (int i = 0; i < 200; ++i) {
    TLibraryForSongsItem s;
    s.Lib_FullPathAndFilename = "/x/" + std::to_string(i);
    library->AddToLibrary(s);
  }
  QCoreApplication::processEvents();
  QScrollBar* bar = library->Grid()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  LaterDialogHooks().ScrollLibraryGrid(0);  // the bottom
  EXPECT_EQ(bar->value(), bar->maximum());
  LaterDialogHooks().ScrollLibraryGrid(50);
  EXPECT_NEAR(bar->value(), bar->maximum() / 2, 1);
  bar->setValue(0);  // the user scrolls the grid to the top
  EXPECT_EQ(GetSkinControlValue(CDDatabaseForm_DBScrollImage), 100);
  bar->setValue(bar->maximum());
  EXPECT_EQ(GetSkinControlValue(CDDatabaseForm_DBScrollImage), 0);
}

TEST_F(LibraryWindow, ColumnSettingAndHiddenColumns) {
  Options_Lib_ColumnsOrderString.StringValue = "3,1,";
  Options_Lib_AlbumNameColRecWidth.IntegerValue = -1;
  Options_Lib_TitleNameColRecWidth.IntegerValue = 150;
  library->show();
  std::vector<int> expected{0};
  for (int id : LibraryColumnsOrderOrDefault(kLibraryDefaultColumnsOrder)) expected.push_back(id);
  EXPECT_EQ(library->Columns(), expected);
  QHeaderView* header = library->Grid()->horizontalHeader();
  EXPECT_TRUE(header->isSectionHidden(GridColumnOf(2)));
  EXPECT_FALSE(header->isSectionHidden(GridColumnOf(1)));
  EXPECT_EQ(header->sectionSize(GridColumnOf(3)), 150);
  EXPECT_EQ(library->Grid()->model()->headerData(GridColumnOf(10), Qt::Horizontal).toString(), "File Size (Kb)");
  // Moving a column stores the new order.
  header->moveSection(header->visualIndex(GridColumnOf(15)), 1);
  EXPECT_EQ(Options_Lib_ColumnsOrderString.StringValue, "15,14,1,2,3,9,4,5,6,7,8,10,11,12,13,");
}

TEST(LibraryColumnsDialog, HiddenColumnsRememberTheirWidthForShowingAgain) {
  std::array<int, 16> widths{}, remembered{};
  widths.fill(50);
  widths[4] = -1;  // hidden before, nothing remembered: comes back at 64
  std::array<bool, 16> ticked{};
  ticked.fill(true);
  ticked[2] = false;
  ApplyLibraryColumnChoice(ticked, widths, remembered);
  EXPECT_EQ(widths[2], -1);
  EXPECT_EQ(remembered[2], 50);
  EXPECT_EQ(widths[4], 64);
  ticked[2] = true;
  ApplyLibraryColumnChoice(ticked, widths, remembered);
  EXPECT_EQ(widths[2], 50);
  EXPECT_EQ(widths[0], 50);  // a shown column stays as it was
}

TEST_F(LibraryWindow, ArtworkPanelCoversTheArtworkCellWithTheHookOrTheFallback) {
  library->show();
  QCoreApplication::processEvents();
  EXPECT_FALSE(library->ArtworkPanel()->isVisibleTo(library.get()));  // empty library
  int calls = 0;
  library->LoadArtwork = [&calls](const TLibraryForSongsItem& song) {
    ++calls;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(song.Lib_AlbumName == "Red" ? Qt::red : Qt::transparent);
    return song.Lib_AlbumName == "Red" ? image : QImage();
  };
  int n = 0;
  for (const char* album : {"Red", "red", "None"}) {
    TLibraryForSongsItem s;
    s.Lib_AlbumName = album;
    s.Lib_FullPathAndFilename = "/x/" + std::to_string(n++);
    ASSERT_TRUE(library->AddToLibrary(s));
  }
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(0, 1));
  QCoreApplication::processEvents();
  QLabel* panel = library->ArtworkPanel();
  ASSERT_TRUE(panel->isVisibleTo(library.get()));
  const int art = GridColumnOf(kLibraryArtWorkColumnId);
  EXPECT_EQ(panel->width(), library->Grid()->columnWidth(art));
  EXPECT_EQ(panel->height(), panel->width());
  EXPECT_EQ(panel->x(), library->Grid()->columnViewportPosition(art));
  EXPECT_EQ(QColor(panel->pixmap().toImage().pixel(2, 2)), QColor(Qt::red));
  const int after = calls;
  // The same album (case ignored) is not loaded again; another album without a picture gets
  // the fallback, not the previous picture.
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(1, 1));
  EXPECT_EQ(calls, after);
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(2, 1));
  EXPECT_EQ(calls, after + 1);
  EXPECT_NE(QColor(panel->pixmap().toImage().pixel(2, 2)), QColor(Qt::red));
  // Hiding the artwork column hides the panel.
  Options_Lib_DisplayArtWorkColRecWidth.IntegerValue = -1;
  library->ApplyColumnWidths();
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(0, 1));
  EXPECT_FALSE(panel->isVisibleTo(library.get()));
}

TEST_F(LibraryWindow, TheArtworkPanelShowsTheAlbumsPictureFileBesideTheSong) {
  ASSERT_TRUE(LoadInputPlugin(0, std::string(KELDAR_PROGRAM_DIR) + "/inputplugins/zpinput_pictures.so", nullptr));
  KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable = 1;
  QImage green(16, 16, QImage::Format_RGB32);
  green.fill(Qt::green);
  ASSERT_TRUE(green.save(QString::fromStdString(program / "music/Band - Record.PNG")));
  TLibraryForSongsItem s;
  s.Lib_ArtistName = "Band";
  s.Lib_AlbumName = "Record";
  s.Lib_FullPathAndFilename = program / "music/song.mp3";
  library->show();
  ASSERT_TRUE(library->AddToLibrary(s));
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(0, 1));
  QCoreApplication::processEvents();
  QLabel* panel = library->ArtworkPanel();
  ASSERT_TRUE(panel->isVisibleTo(library.get()));
  const QImage shown = panel->pixmap().toImage();
  EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), QColor(Qt::green));
  UnloadInputPlugin(0);
}

TEST_F(LibraryWindow, PrintsTheShownGridToPdfInItsOrder) {
  library->show();
  for (const char* title : {"Moonlight Sonata", "Blue Train", "Zebra Crossing"}) {
    TLibraryForSongsItem s;
    s.Lib_ArtistName = "Someone";
    s.Lib_TitleName = title;
    s.Lib_FullPathAndFilename = std::string("/x/") + title + ".mp3";
    library->AddToLibrary(s);
  }
  library->SortByGridColumn(GridColumnOf(3));  // ascending by title
  const std::string pdf = program / "library.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  EXPECT_EQ(PrintLibraryGrid(printer, *library->Grid()), 1);
  const std::string txt = program / "library.txt";
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0);
  const std::string text = ReadTextFile(txt);
  const size_t blue = text.find("Blue Train"), moon = text.find("Moonlight Sonata"), zebra = text.find("Zebra Crossing");
  ASSERT_NE(blue, std::string::npos) << text;
  ASSERT_NE(moon, std::string::npos) << text;
  ASSERT_NE(zebra, std::string::npos) << text;
  EXPECT_LT(blue, moon);
  EXPECT_LT(moon, zebra);
  EXPECT_NE(text.find("Song Library - "), std::string::npos);
  EXPECT_NE(text.find("Title"), std::string::npos);  // the header row
  EXPECT_NE(text.find("Page 1 of 1"), std::string::npos);
  // Only shown columns reach the page ("Full Filename" is hidden by default).
  EXPECT_EQ(text.find("/x/Blue"), std::string::npos);
  QHeaderView* header = library->Grid()->horizontalHeader();
  header->setSectionHidden(GridColumnOf(15), false);
  header->resizeSection(GridColumnOf(15), 200);
  ASSERT_EQ(std::remove(pdf.c_str()), 0);
  PrintLibraryGrid(printer, *library->Grid());
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0);
  EXPECT_NE(ReadTextFile(txt).find("/x/Blue Train.mp3"), std::string::npos);
  header->setSectionHidden(GridColumnOf(15), true);

  // The preview window of the menu button draws the same pages.
  QWidget* preview = OpenLibraryPrintPreview(library->DBScrollBox(), true);
  ASSERT_NE(preview, nullptr);
  auto* pages = preview->findChild<QPrintPreviewWidget*>();
  ASSERT_NE(pages, nullptr);
  pages->updatePreview();
  QCoreApplication::processEvents();
  EXPECT_EQ(pages->pageCount(), 1);
  if (const char* dir = std::getenv("KELDAR_SCREENSHOT_DIR"))
    preview->grab().save(QString::fromStdString(std::string(dir) + "/library-print-preview.png"));
  preview->close();
}

}  // namespace

// The grid paints with the skin's library colours, not the widget palette: header cells in the
// header colour with the sorted column's arrow, rows in the normal or selected colours, texts cut
// at their cell's border.
TEST_F(LibraryWindow, CellsAndHeadersUseTheSkinsLibraryColours) {
  TKELDARSkinTextSettings text;
  text.Normal = 0x00000080;      // #800000
  text.Current = 0x0000FF00;     // #00FF00
  text.NormalBG = 0x00FFFFFF;    // #FFFFFF
  text.SelectedBG = 0x00FF0000;  // #0000FF
  text.Headers = 0x0000FFFF;     // #FFFF00
  library->ApplyText(text);
  library->show();
  for (const char* title : {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "b"}) {
    TLibraryForSongsItem s;
    s.Lib_TitleName = title;
    s.Lib_FullPathAndFilename = std::string("/x/") + title;
    library->AddToLibrary(s);
  }
  const int titleColumn = GridColumnOf(3);
  QTableView* grid = library->Grid();
  // The title first, then the empty CDDB ID column, where spilled text would land.
  grid->horizontalHeader()->moveSection(grid->horizontalHeader()->visualIndex(titleColumn), 1);
  grid->horizontalHeader()->moveSection(grid->horizontalHeader()->visualIndex(GridColumnOf(13)), 2);
  grid->setColumnHidden(GridColumnOf(13), false);
  grid->setColumnWidth(GridColumnOf(13), 64);
  grid->selectRow(1);
  QCoreApplication::processEvents();
  const QImage cells = grid->viewport()->grab().toImage();
  auto countIn = [](const QImage& image, const QRect& rect, QColor colour) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x)
        if (image.pixelColor(x, y) == colour) ++n;
    return n;
  };
  // Text pixels are smoothed: those nearer the ink than the background count as ink.
  auto inkIn = [](const QImage& image, const QRect& rect, QColor ink, QColor background) {
    auto distance = [](QColor a, QColor b) {
      return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
    };
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x)
        if (distance(image.pixelColor(x, y), ink) < distance(image.pixelColor(x, y), background)) ++n;
    return n;
  };
  const QRect title0 = grid->visualRect(grid->model()->index(0, titleColumn));
  const QRect cddb0 = grid->visualRect(grid->model()->index(0, GridColumnOf(13)));
  const QRect title1 = grid->visualRect(grid->model()->index(1, titleColumn));
  ASSERT_EQ(title0.right() + 1, cddb0.left());
  EXPECT_EQ(cells.pixelColor(title0.center().x(), title0.top() + 1), QColor("#FFFFFF"));  // between glyph rows
  EXPECT_GT(inkIn(cells, title0, QColor("#800000"), QColor("#FFFFFF")), 40);  // the text in the normal colour
  EXPECT_EQ(inkIn(cells, cddb0.adjusted(1, 0, 0, -1), QColor("#800000"), QColor("#FFFFFF")), 0);  // cut at the border
  EXPECT_GT(countIn(cells, title1, QColor("#0000FF")), title1.width() * title1.height() / 2);  // selected row
  EXPECT_GT(inkIn(cells, title1, QColor("#00FF00"), QColor("#0000FF")), 3);  // its text in the "Current" colour
  EXPECT_EQ(countIn(cells, title1, QColor("#800000")), 0);

  // Headers: the header colour; after a sort the column's last 15 pixels hold the arrow, pointing
  // up (its widest row below its tip) when ascending and down when descending.
  QHeaderView* header = grid->horizontalHeader();
  auto arrowRows = [&](QImage image) {
    const int x0 = header->sectionViewportPosition(titleColumn) + header->sectionSize(titleColumn) - 15;
    std::vector<int> widths;
    for (int y = 0; y < image.height(); ++y) {
      int n = 0;
      for (int x = x0; x < x0 + 14; ++x) n += image.pixelColor(x, y) == QColor("#800000");
      if (n > 0) widths.push_back(n);
    }
    return widths;
  };
  QImage heads = header->viewport()->grab().toImage();
  EXPECT_EQ(heads.pixelColor(header->sectionViewportPosition(GridColumnOf(13)) + 40, 1), QColor("#FFFF00"));
  EXPECT_TRUE(arrowRows(heads).empty());
  library->SortByGridColumn(titleColumn);  // ascending
  QCoreApplication::processEvents();
  const std::vector<int> up = arrowRows(header->viewport()->grab().toImage());
  ASSERT_GE(up.size(), 3u);
  EXPECT_LT(up.front(), up.back());
  library->SortByGridColumn(titleColumn);  // descending
  QCoreApplication::processEvents();
  const std::vector<int> down = arrowRows(header->viewport()->grab().toImage());
  ASSERT_GE(down.size(), 3u);
  EXPECT_GT(down.front(), down.back());
}

// Column borders in the header: pressing near one and dragging resizes that column and stores
// the width without sorting; a double click on a border keeps the dragged width (no fitting to
// the texts) and neither sorts nor hands anything to the playlist; the pointer over a border is
// the resize shape.
TEST_F(LibraryWindow, ColumnBordersResizeAndStoreWithoutSorting) {
  library->show();
  TLibraryForSongsItem s;
  s.Lib_TitleName = "A title much wider than the column is wide";
  s.Lib_FullPathAndFilename = "/x/a.wav";
  library->AddToLibrary(s);
  QCoreApplication::processEvents();
  QHeaderView* header = library->Grid()->horizontalHeader();
  const int title = GridColumnOf(3);
  const int before = header->sectionSize(title);
  const int border = header->sectionViewportPosition(title) + before - 1;
  const int y = header->height() / 2;
  QWidget* surface = header->viewport();
  auto hover = [&](int x) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), surface->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    return header->cursor().shape();
  };
  EXPECT_EQ(hover(border), Qt::SplitHCursor);
  EXPECT_NE(hover(header->sectionViewportPosition(title) + 20), Qt::SplitHCursor);

  QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(border, y));
  QMouseEvent drag(QEvent::MouseMove, QPointF(border + 40, y), surface->mapToGlobal(QPointF(border + 40, y)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(surface, &drag);
  QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(border + 40, y));
  EXPECT_EQ(header->sectionSize(title), before + 40);
  EXPECT_EQ(Options_Lib_TitleNameColRecWidth.IntegerValue, before + 40);
  EXPECT_EQ(library->SortedColumn(), -1);

  const int moved = header->sectionViewportPosition(title) + header->sectionSize(title) - 1;
  QTest::mouseDClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(moved, y));
  EXPECT_EQ(header->sectionSize(title), before + 40);
  EXPECT_EQ(Options_Lib_TitleNameColRecWidth.IntegerValue, before + 40);
  EXPECT_EQ(library->SortedColumn(), -1);
  EXPECT_EQ(ThePlaylist().Count(), 0);
  // A click inside the header cell still sorts.
  QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(header->sectionViewportPosition(title) + 20, y));
  EXPECT_EQ(library->SortedColumn(), title);
}

// "View File Info" (and a double click on the artwork) on a CD track opens the disc's entry of
// the local store in the CD editor by the disc ID stored with the song, with no disc in a drive;
// a disc the store does not have opens nothing and asks no server.
TEST_F(LibraryWindow, ViewFileInfoOfACDTrackEditsTheStoredDiscsEntry) {
  std::filesystem::create_directories(program / "localcddatabase/rock");
  WriteTextFile(program / "localcddatabase/rock/0a000c03",
                "# xmcd\r\n#\r\nDISCID=0a000c03\r\nDTITLE=Disc Band / Disc Album\r\nDYEAR=2001\r\n"
                "DGENRE=Rock\r\nTTITLE0=One\r\nTTITLE1=Two\r\n");
  std::vector<std::string> edited;
  CDDialogHooks().EditEntry = [&edited](TCDDBEntry& entry) {
    edited.push_back(entry.CDID + " " + entry.ArtistTitle + " / " + entry.CDTitle + " / " + entry.Tracks.at(1));
    return false;  // cancelled: nothing is submitted
  };
  CDDialogHooks().RetrieveCDInformation = [&edited] {
    edited.push_back("freedb");
    return false;
  };
  Options_Lib_DisplayArtWorkColRecWidth.IntegerValue = 64;
  library->show();
  for (const char* disc : {"0a000c03", "7f000e09"}) {
    TLibraryForSongsItem track;
    track.Lib_ArtistName = "Disc Band";
    track.Lib_AlbumName = disc;
    track.Lib_FullPathAndFilename = "Track02.cda";
    track.Lib_CDDB_ID = disc;
    ASSERT_TRUE(library->AddToLibrary(track));
  }
  QCoreApplication::processEvents();
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(0, GridColumnOf(3)));
  library->ViewFileInfo();
  EXPECT_EQ(edited, std::vector<std::string>{"0a000c03 Disc Band / Disc Album / Two"});
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(1, GridColumnOf(3)));
  library->ViewFileInfo();
  EXPECT_EQ(edited.size(), 1u);
  EXPECT_TRUE(Messages().empty());
  // The artwork panel over the current row answers a double click the same way.
  library->Grid()->setCurrentIndex(library->Grid()->model()->index(0, GridColumnOf(3)));
  ASSERT_TRUE(library->ArtworkPanel()->isVisible());
  QTest::mouseDClick(library->ArtworkPanel(), Qt::LeftButton);
  EXPECT_EQ(edited.size(), 2u);
  CDDialogHooks() = {};
}

// The right button: its press keeps a selection of several rows (the row menu then acts on
// them), a right click with one row selected selects the clicked row, and the release opens
// the row menu.
TEST_F(LibraryWindow, RightClickKeepsASelectionOfSeveralRowsAndOpensTheRowMenu) {
  library->show();
  for (const char* title : {"a", "b", "c", "d"}) {
    TLibraryForSongsItem s;
    s.Lib_TitleName = title;
    s.Lib_FullPathAndFilename = std::string("/x/") + title;
    library->AddToLibrary(s);
  }
  QCoreApplication::processEvents();
  QTableView* grid = library->Grid();
  std::vector<QStringList> menus;
  auto rightClick = [&](int row) {
    // The menu runs its own loop: read its entries and close it from there.
    QTimer::singleShot(0, [&menus] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        QStringList texts;
        for (QAction* a : menu->actions())
          if (!a->isSeparator()) texts << a->text();
        menus.push_back(texts);
        menu->close();
      }
    });
    const QPoint at = CellCentre(row, GridColumnOf(3));
    QTest::mousePress(grid->viewport(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, Qt::NoModifier, at);
  };
  auto selected = [&] {
    std::vector<int> rows;
    for (const QModelIndex& i : grid->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  grid->selectRow(0);
  grid->selectionModel()->select(grid->model()->index(2, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  rightClick(3);
  EXPECT_EQ(selected(), (std::vector<int>{0, 2}));
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].first(), "View File Info");
  EXPECT_TRUE(menus[0].contains("Remove Selected"));
  // "Remove Selected" from that menu removes the two rows selected before the click.
  library->RemoveSelected();
  EXPECT_EQ(CellText(0, GridColumnOf(3)) + CellText(1, GridColumnOf(3)), "bd");
  grid->selectRow(0);
  rightClick(1);
  EXPECT_EQ(selected(), std::vector<int>{1});
  EXPECT_EQ(menus.size(), 2u);
}
