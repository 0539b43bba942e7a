// The playlist window with the Default skin, off screen: rows painted by the list (colours,
// counter, time tag, display methods, shortened paths), lazy tag reading, the left and right
// mouse buttons, Enter and Delete, the three menus, the find dialog with its history, the
// scroll track and the list following each other, the status texts and the list buttons.
#include <cstdlib>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QThread>
#include <QWheelEvent>

#include <fstream>

#include "EventLoopSupport.h"
#include "app/PlaylistEditorForm.h"
#include "app/PlaylistWindowActions.h"
#include "app/PlaylistWindowHooks.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skinwindows/SkinnedWindowFixture.h"

namespace {

TPlayListBoxItem Entry(const std::string& path, const std::string& artist, const std::string& title, int seconds = 0) {
  TPlayListBoxItem item;
  item.FullPathAndFilename = path;
  item.ArtistName = artist;
  item.TitleName = title;
  item.FilePlaybackLength = seconds;
  item.TagIDDataRetrieved = true;  // no file behind it: nothing to read when painted
  return item;
}

QColor Rgb(std::uint32_t bbggrr) {
  return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                static_cast<int>((bbggrr >> 16) & 0xFF));
}

int CountPixels(const QImage& image, const QRect& area, const QColor& colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (QColor(image.pixel(x, y)) == colour) ++n;
  return n;
}

// Text ink: anti-aliased glyphs have few pixels of the exact pen colour (thin fonts fewer
// still), so ink counts take every pixel close to it.
int CountInkPixels(const QImage& image, const QRect& area, const QColor& colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c(image.pixel(x, y));
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <= 96)
        ++n;
    }
  return n;
}

class PlaylistWindow : public SkinnedWindows {
 protected:
  void SetUp() override {
    SkinnedWindows::SetUp();
    ThePlaylist().Clear();
    ThePlaylist().SetCurrentIndex(-1);
    PlaylistWindowHooks() = {};
    Options_PlayListBoxDrawMethod.IntegerValue = 2;
    Options_PlayListBoxShowCounter.BooleanValue = false;
    ShowOnly({playlist.get()});
    playlist->resize(325, 156);
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    for (QMenu* m : {&playlist->Menus().ClickFilePopupMenu(), &playlist->Menus().SortPlaylistBoxPopupMenu(),
                     &playlist->Menus().DisplayMethodPopupMenu()})
      m->hide();
    playlist->FindDialog().hide();
    ThePlaylist().Clear();
    PlaylistWindowHooks() = {};
    SkinnedWindows::TearDown();
  }

  TPlaylist& List() { return ThePlaylist(); }
  TPlaylistListBox& Box() { return *playlist->PlayListBox(); }
  void AddLines(int n, int seconds = 0) {
    for (int i = 0; i < n; ++i)
      List().Add(Entry("/music/song" + std::to_string(i) + ".mp3", "Artist" + std::to_string(i),
                       "Title" + std::to_string(i), seconds));
    playlist->LinesChanged();
  }
  std::string Path(int i) { return List().Item(i).FullPathAndFilename; }
  QImage GrabList() { return Box().grab().toImage().convertToFormat(QImage::Format_RGB32); }
  QPoint RowCentre(int row) { return Box().RowRect(row).center(); }

  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(Box().mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&Box(), &event);
  }
  void Key(int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&Box(), &event);
  }
  void Wheel(int notches) {
    const QPoint at = RowCentre(0);
    QWheelEvent event(QPointF(at), QPointF(Box().mapToGlobal(at)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Box(), &event);
  }

  // One row drawn the way a reader expects it: left text at 2 px, the tag right-aligned 2 px in.
  QImage ExpectedRow(const QString& left, const QString& tag, const QColor& text, const QColor& background) {
    const QRect rect = Box().RowRect(0);
    QImage image(rect.size(), QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setFont(Box().font());
    p.setPen(text);
    const QRect r = QRect(QPoint(0, 0), rect.size()).translated(0, LoadedKELDARSkin().Family.PlaylistTextOffsetY);
    if (!left.isEmpty()) p.drawText(r.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, left);
    if (!tag.isEmpty()) p.drawText(r.adjusted(0, 0, -2, 0), Qt::AlignRight | Qt::AlignVCenter, tag);
    return image;
  }
  QImage Row(const QImage& list, int row) { return list.copy(Box().RowRect(row)); }
  const TKELDARSkinTextSettings& Text() { return LoadedKELDARSkin().PlaylistText; }
};

// ---- painting ----

TEST_F(PlaylistWindow, ListFillsTheFrameAndRowsShowNormalSelectedAndCurrentColours) {
  EXPECT_EQ(Box().parentWidget(), playlist->PlayListScrollBox());
  EXPECT_EQ(Box().geometry(), QRect(0, 0, 275, 104));
  EXPECT_EQ(Box().RowHeight(), Text().ItemHeight);
  AddLines(4, 61);
  List().SetCurrentIndex(1);
  List().SetSelected(2, true);
  const QImage shown = GrabList();
  const QColor normalBG = Rgb(Text().NormalBG), selectedBG = Rgb(Text().SelectedBG);
  const QColor normal = Rgb(Text().Normal), current = Rgb(Text().Current);
  ASSERT_NE(normalBG, selectedBG);
  for (int row = 0; row < 4; ++row) {
    const QRect r = Box().RowRect(row);
    const QColor background = row == 2 ? selectedBG : normalBG;
    EXPECT_EQ(QColor(shown.pixel(r.right() - 1, r.top())), background) << row;
    const QColor text = row == 1 ? current : normal;
    EXPECT_GT(CountInkPixels(shown, r, text), 15) << "text colour of row " << row;
    EXPECT_EQ(CountPixels(shown, r, row == 1 ? normal : current), 0) << row;
  }
  // Below the last entry the list shows its background.
  EXPECT_EQ(QColor(shown.pixel(100, Box().RowRect(5).center().y())), normalBG);
  // The whole window shows the same rows where the content area sits.
  const QImage window = Grab(playlist.get());
  EXPECT_EQ(QColor(window.pixel(25 + 274, 20 + Box().RowRect(2).top())), selectedBG);
}

TEST_F(PlaylistWindow, RowTextByDisplayMethodWithCounterAndRightAlignedTimeTag) {
  List().Add(Entry("/music/dir/Queen - Bohemian.mp3", "Queen", "Bohemian", 205));
  List().Add(Entry("http://radio.example/stream.mp3", "", "", -5));
  playlist->LinesChanged();
  const QColor normal = Rgb(Text().Normal), bg = Rgb(Text().NormalBG);

  Options_PlayListBoxDrawMethod.IntegerValue = 2;
  Options_PlayListBoxShowCounter.BooleanValue = true;
  QImage shown = GrabList();
  EXPECT_EQ(Row(shown, 0), ExpectedRow("1. Queen - Bohemian", " [03:25] ", normal, bg));
  EXPECT_EQ(Row(shown, 1), ExpectedRow("2.  - ", " [00:00] ", normal, bg));  // a negative length shows 00:00

  playlist->SetCounterShown(false);
  playlist->SetDisplayMethod(1);
  shown = GrabList();
  EXPECT_EQ(Row(shown, 0), ExpectedRow("Queen - Bohemian.mp3", " [03:25] ", normal, bg));
  EXPECT_EQ(Row(shown, 1), ExpectedRow("http://radio.example/stream.mp3", " [00:00] ", normal, bg));  // URLs whole

  playlist->SetDisplayMethod(0);
  shown = GrabList();
  EXPECT_EQ(Row(shown, 0), ExpectedRow("/music/dir/Queen - Bohemian.mp3", " [03:25] ", normal, bg));
  // The tag alone is what sits at the right edge: nothing of it is cut or moved.
  const QImage tagOnly = ExpectedRow("", " [03:25] ", normal, bg);
  const int tagWidth = QFontMetrics(Box().font()).horizontalAdvance(" [03:25] ");
  const QRect tagArea(Box().width() - 2 - tagWidth, 0, tagWidth + 2, Box().RowHeight());
  EXPECT_EQ(Row(shown, 0).copy(tagArea), tagOnly.copy(tagArea));
}

TEST_F(PlaylistWindow, FullPathTooLongIsShortenedWithAnEllipsisBeforeTheTimeTag) {
  const std::string longPath = "/music/" + std::string(40, 'x') + "/a very long folder name indeed/" +
                               std::string(30, 'y') + "/the end of the name.mp3";
  List().Add(Entry(longPath, "A", "T", 59));
  playlist->LinesChanged();
  playlist->SetDisplayMethod(0);
  const QColor normal = Rgb(Text().Normal), bg = Rgb(Text().NormalBG);
  const QImage row = Row(GrabList(), 0);
  const QFontMetrics metrics(Box().font());
  const int tagLeft = Box().width() - 2 - metrics.horizontalAdvance(" [00:59] ");
  // Shortened: not the whole path, but it starts like it, and the tag is intact.
  const QImage full = ExpectedRow(QString::fromStdString(longPath), " [00:59] ", normal, bg);
  EXPECT_NE(row, full);
  const QRect start(0, 0, 30, Box().RowHeight());
  EXPECT_EQ(row.copy(start), full.copy(start));
  const QImage tagOnly = ExpectedRow("", " [00:59] ", normal, bg);
  const QRect tag(tagLeft, 0, Box().width() - tagLeft, Box().RowHeight());
  EXPECT_EQ(row.copy(tag), tagOnly.copy(tag));
  // At least the 4-pixel gap stays free in front of the tag.
  EXPECT_EQ(CountPixels(row, QRect(tagLeft - 4, 0, 4, Box().RowHeight()), bg), 4 * Box().RowHeight());
  EXPECT_GT(CountInkPixels(row, QRect(2, 0, tagLeft - 6, Box().RowHeight()), normal), 5);
}

TEST_F(PlaylistWindow, TagsAreReadOnlyForTheRowsThatArePaintedAfterThePaint) {
  for (int i = 0; i < 40; ++i) {
    TPlayListBoxItem item;
    item.FullPathAndFilename = program / ("missing" + std::to_string(i) + ".mp3");
    List().Add(item);
  }
  playlist->LinesChanged();
  // The paint itself reads nothing: the lines are read by the event loop right after it.
  GrabList();
  for (int i = 0; i < 40; ++i) ASSERT_FALSE(List().Item(i).TagIDDataRetrieved) << i;
  const int rows = (104 + Box().RowHeight() - 1) / Box().RowHeight();
  ASSERT_LT(rows, 30);
  ASSERT_TRUE(PumpUntil([&] { return List().Item(rows - 1).TagIDDataRetrieved; }));
  // Every line that is painted, the partly visible last one too, and no other.
  for (int i = 0; i < 40; ++i) EXPECT_EQ(List().Item(i).TagIDDataRetrieved, i < rows) << i;
  Box().SetTopIndex(30);
  GrabList();
  ASSERT_TRUE(PumpUntil([&] { return List().Item(30 + rows - 1).TagIDDataRetrieved; }));
  for (int i = 0; i < 40; ++i) EXPECT_EQ(List().Item(i).TagIDDataRetrieved, i < rows || (i >= 30 && i < 30 + rows)) << i;
  EXPECT_FALSE(List().TagReadingInProgress());
}

TEST_F(PlaylistWindow, ListReplacedOrClearedBeforeItsPaintedLinesAreReadReadsOnlyTheNewLines) {
  auto fill = [&](const std::string& stem, int n) {
    for (int i = 0; i < n; ++i) {
      TPlayListBoxItem item;
      item.FullPathAndFilename = program / (stem + std::to_string(i) + ".mp3");
      List().Add(item);
    }
    playlist->LinesChanged();
  };
  fill("first", 40);
  GrabList();
  // Cleared and filled with fewer lines before the event loop runs: the pending reading
  // finds the new lines (the list is now shorter than the painted screen).
  List().Clear();
  fill("second", 3);
  ASSERT_TRUE(PumpUntil([&] { return List().Item(2).TagIDDataRetrieved; }));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Path(i), program / ("second" + std::to_string(i) + ".mp3"));
  // Scrolled far down, painted, then emptied: the pending reading has nothing to touch.
  List().Clear();
  fill("third", 200);
  Box().SetTopIndex(150);
  GrabList();
  List().Clear();
  playlist->LinesChanged();
  EXPECT_FALSE(Box().ReadTagsOfShownLines());
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(List().Count(), 0);
  EXPECT_FALSE(List().TagReadingInProgress());
}

// ---- mouse and keys ----

TEST_F(PlaylistWindow, LeftButtonSelectsLikeAListAndDoubleClickPlays) {
  AddLines(5);
  int plays = 0;
  Bind(DeckForm_PlayButton, [&] { ++plays; });
  Mouse(QEvent::MouseButtonPress, RowCentre(1), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, RowCentre(1), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(List().FirstSelected(), 1);
  EXPECT_EQ(List().SelectedCount(), 1);
  EXPECT_EQ(List().ItemIndex(), 1);
  // Shift extends from the anchor; a press on another line alone selects only that one.
  QMouseEvent shift(QEvent::MouseButtonPress, QPointF(RowCentre(3)), QPointF(Box().mapToGlobal(RowCentre(3))),
                    Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(&Box(), &shift);
  Mouse(QEvent::MouseButtonRelease, RowCentre(3), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(List().SelectedCount(), 3);
  EXPECT_EQ(plays, 0);
  Mouse(QEvent::MouseButtonPress, RowCentre(4), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, RowCentre(4), Qt::LeftButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonDblClick, RowCentre(4), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(plays, 1);
  EXPECT_EQ(List().FirstSelected(), 4);
  EXPECT_EQ(List().SelectedCount(), 1);
}

TEST_F(PlaylistWindow, RightDragMovesTheSelectionAndARightClickOpensTheLineMenu) {
  AddLines(6);
  const std::string moved = Path(1), other = Path(2);
  List().SetSelected(1, true);
  List().SetSelected(2, true);
  List().SetCurrentIndex(1);
  Mouse(QEvent::MouseButtonPress, RowCentre(1), Qt::RightButton, Qt::RightButton);
  Mouse(QEvent::MouseMove, RowCentre(2), Qt::NoButton, Qt::RightButton);
  Mouse(QEvent::MouseMove, RowCentre(3), Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(Path(3), moved);
  EXPECT_EQ(Path(4), other);
  EXPECT_TRUE(List().Selected(3));
  EXPECT_TRUE(List().Selected(4));
  EXPECT_EQ(List().CurrentIndex(), 3);  // the current entry travels with its line
  // Released away from where it started: moved once more (to 4), and no menu.
  Mouse(QEvent::MouseButtonRelease, RowCentre(4), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(Path(4), moved);
  EXPECT_EQ(Path(5), other);
  EXPECT_FALSE(playlist->Menus().ClickFilePopupMenu().isVisible());
  // The selection cannot be pushed past the last line.
  Mouse(QEvent::MouseButtonPress, RowCentre(4), Qt::RightButton, Qt::RightButton);
  Mouse(QEvent::MouseMove, RowCentre(5), Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(Path(4), moved);
  EXPECT_EQ(Path(5), other);
  Mouse(QEvent::MouseButtonRelease, RowCentre(5), Qt::RightButton, Qt::NoButton);

  // A right click without movement: the line becomes the item index and the menu opens.
  Mouse(QEvent::MouseButtonPress, RowCentre(0), Qt::RightButton, Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, RowCentre(0), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(List().ItemIndex(), 0);
  EXPECT_TRUE(playlist->Menus().ClickFilePopupMenu().isVisible());
  EXPECT_EQ(Path(4), moved);
  // A left press in between forgets the right press: its release does not open the menu.
  playlist->Menus().ClickFilePopupMenu().hide();
  Mouse(QEvent::MouseButtonPress, RowCentre(2), Qt::RightButton, Qt::RightButton);
  Mouse(QEvent::MouseButtonPress, RowCentre(2), Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, RowCentre(2), Qt::RightButton, Qt::LeftButton);
  EXPECT_FALSE(playlist->Menus().ClickFilePopupMenu().isVisible());
}

TEST_F(PlaylistWindow, EnterPlaysAndDeleteRemovesTheSelectedLines) {
  AddLines(5, 10);
  int plays = 0;
  Bind(DeckForm_PlayButton, [&] { ++plays; });
  Key(Qt::Key_Return);
  Key(Qt::Key_Enter);
  EXPECT_EQ(plays, 2);
  const std::string keep0 = Path(0), keep2 = Path(2), keep4 = Path(4);
  List().SetSelected(1, true);
  List().SetSelected(3, true);
  List().SetCurrentIndex(4);
  Key(Qt::Key_Delete);
  ASSERT_EQ(List().Count(), 3);
  EXPECT_EQ(Path(0), keep0);
  EXPECT_EQ(Path(1), keep2);
  EXPECT_EQ(Path(2), keep4);
  EXPECT_EQ(List().CurrentIndex(), 2);
  EXPECT_EQ(List().TotalPlaybackSeconds(), 30);
  EXPECT_EQ(plays, 2);
  // Arrow keys move the focused, selected line.
  Key(Qt::Key_Down);
  EXPECT_EQ(List().FirstSelected(), 0);
  Key(Qt::Key_Down);
  EXPECT_EQ(List().FirstSelected(), 1);
  EXPECT_EQ(List().SelectedCount(), 1);
}

// ---- menus ----

std::vector<std::string> Captions(const QMenu& menu) {
  std::vector<std::string> out;
  for (const QAction* a : menu.actions()) out.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  return out;
}

QAction* ActionOf(QMenu& menu, const std::string& caption) {
  for (QAction* a : menu.actions())
    if (a->text().toStdString() == caption) return a;
  return nullptr;
}

TEST_F(PlaylistWindow, TheThreeMenusHaveTheirEntriesInOrder) {
  EXPECT_EQ(Captions(playlist->Menus().ClickFilePopupMenu()),
            (std::vector<std::string>{"View File Info", "Open Containing Folder", "-", "Add Selected Files To Library",
                                      "Add Selected URLs to Favourites", "-", "Search Playlist", "-", "Remove Selected",
                                      "Crop Selected", "-", "Convert File(s) to..."}));
  EXPECT_EQ(Captions(playlist->Menus().SortPlaylistBoxPopupMenu()),
            (std::vector<std::string>{"Sort By Song Title", "Sort By Song Artist", "Sort By Path and Filename",
                                      "Sort By File Name", "Sort By File Extension", "Sort By File Size",
                                      "Sort By File Date", "-", "Randomize List", "Reverse List"}));
  EXPECT_EQ(Captions(playlist->Menus().DisplayMethodPopupMenu()),
            (std::vector<std::string>{"Show Artist and Title", "Show Full File Names", "Show Only File Names", "-",
                                      "Show Counter", "Hide Counter", "-", "Search Playlist"}));
}

TEST_F(PlaylistWindow, MenuEntriesRunTheirOperations) {
  for (int size : {3, 100, 20}) {
    TPlayListBoxItem item = Entry("/m/" + std::to_string(size) + ".mp3", "", "", 0);
    item.FileSize = size;
    List().Add(item);
  }
  playlist->LinesChanged();
  ActionOf(playlist->Menus().SortPlaylistBoxPopupMenu(), "Sort By File Size")->trigger();
  EXPECT_EQ(List().Item(0).FileSize, 100);  // compared as text
  EXPECT_EQ(List().Item(1).FileSize, 20);
  EXPECT_EQ(List().Item(2).FileSize, 3);
  ActionOf(playlist->Menus().SortPlaylistBoxPopupMenu(), "Reverse List")->trigger();
  EXPECT_EQ(List().Item(0).FileSize, 3);

  QMenu& display = playlist->Menus().DisplayMethodPopupMenu();
  ActionOf(display, "Show Only File Names")->trigger();
  EXPECT_EQ(Options_PlayListBoxDrawMethod.IntegerValue, 1);
  ActionOf(display, "Show Full File Names")->trigger();
  EXPECT_EQ(Options_PlayListBoxDrawMethod.IntegerValue, 0);
  ActionOf(display, "Show Artist and Title")->trigger();
  EXPECT_EQ(Options_PlayListBoxDrawMethod.IntegerValue, 2);
  ActionOf(display, "Show Counter")->trigger();
  EXPECT_TRUE(Options_PlayListBoxShowCounter.BooleanValue);
  ActionOf(display, "Hide Counter")->trigger();
  EXPECT_FALSE(Options_PlayListBoxShowCounter.BooleanValue);
  ActionOf(display, "Search Playlist")->trigger();
  EXPECT_TRUE(playlist->FindDialog().isVisible());

  QMenu& line = playlist->Menus().ClickFilePopupMenu();
  List().SetSelected(0, true);
  ActionOf(line, "Crop Selected")->trigger();
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(List().Item(0).FileSize, 3);
  ActionOf(line, "Remove Selected")->trigger();
  EXPECT_EQ(List().Count(), 0);
  // What is built elsewhere is reached through its hooks.
  int library = 0;
  PlaylistWindowHooks().AddSelectedFilesToLibrary = [&](TPlaylist& p) { library += &p == &List(); };
  ActionOf(line, "Add Selected Files To Library")->trigger();
  EXPECT_EQ(library, 1);
}

TEST_F(PlaylistWindow, DisplayAndSortMenusOpenAtTheirButtons) {
  PlaylistWindowShowDisplayMenuAt(PlayListEditorForm_PLMiscOptionsButton);
  EXPECT_TRUE(playlist->Menus().DisplayMethodPopupMenu().isVisible());
  PlaylistWindowShowSortMenuAt(PlayListEditorForm_PLSortListButton);
  EXPECT_TRUE(playlist->Menus().SortPlaylistBoxPopupMenu().isVisible());
}

// ---- file information and the containing folder ----

TEST_F(PlaylistWindow, FileInfoOpensTheTagEditorOnTheItemIndexLine) {
  AddLines(3);
  std::vector<std::string> opened;
  PlaylistWindowHooks().ShowTagEditor = [&](TPlayListBoxItem& item, const std::string& file, const std::string& source) {
    opened.push_back(item.FullPathAndFilename + "|" + file + "|" + source);
  };
  PlaylistWindowShowFileInfo();
  EXPECT_TRUE(opened.empty());  // no item index yet
  Mouse(QEvent::MouseButtonPress, RowCentre(2), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, RowCentre(2), Qt::LeftButton, Qt::NoButton);
  ActionOf(playlist->Menus().ClickFilePopupMenu(), "View File Info")->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], Path(2) + "|" + Path(2) + "|" + Path(2));

  std::string folder;
  PlaylistWindowHooks().OpenFolder = [&](const std::string& f) {
    folder = f;
    return true;
  };
  ActionOf(playlist->Menus().ClickFilePopupMenu(), "Open Containing Folder")->trigger();
  EXPECT_EQ(folder, "/music");
  // A URL has no folder to open.
  folder.clear();
  List().Add(Entry("http://radio.example/live", "", ""));
  List().SetItemIndex(3);
  playlist->OpenContainingFolder();
  EXPECT_EQ(folder, "");

  // Without a tag editor (the window alone) nothing opens.
  PlaylistWindowHooks().ShowTagEditor = nullptr;
  List().SetItemIndex(1);
  PlaylistWindowShowFileInfo();
  EXPECT_EQ(opened.size(), 1u);
}

// ---- find dialog ----

TEST_F(PlaylistWindow, FindFromCurrentWrapsFindsOnAndKeepsItsHistory) {
  List().Add(Entry("/m/a.mp3", "Alpha One", "x"));
  List().Add(Entry("/m/b.mp3", "Beta", "y"));
  List().Add(Entry("/m/c.mp3", "alphabet", "z"));
  List().Add(Entry("/m/d.mp3", "Gamma", "w"));
  playlist->LinesChanged();
  TPlaylistFindDialogForm& find = playlist->FindDialog();
  EXPECT_EQ(find.windowTitle().toStdString(), "Text to Find:");
  EXPECT_EQ(find.FindButton().text().toStdString(), "Find");
  playlist->ShowFindDialog();
  find.SetField(TPlaylistFindField::ArtistName);
  find.SetFromCurrent(true);
  List().SetSelected(3, true);  // the last line: "From Current" starts over at line 0
  find.SearchText().setEditText("ALPHA");
  find.FindButton().click();
  EXPECT_TRUE(List().Selected(0));
  EXPECT_FALSE(List().Selected(3));
  find.FindButton().click();  // goes on after the hit
  EXPECT_TRUE(List().Selected(2));
  EXPECT_FALSE(List().Selected(0));
  find.FindButton().click();  // only "Gamma" after the hit: no wrap-around to line 0
  EXPECT_TRUE(List().Selected(2));
  EXPECT_NE(ReadTextFile(log.Path()).find("Search String 'ALPHA' NOT Found"), std::string::npos);
  find.SearchText().setEditText("Beta");
  find.SetFromCurrent(false);
  EXPECT_EQ(find.ExecuteButtonClick(), 1);
  EXPECT_EQ(find.History(), (std::vector<std::string>{"Beta", "ALPHA"}));
  find.SearchText().setEditText("ALPHA");  // already there: the order stays
  find.ExecuteButtonClick();
  EXPECT_EQ(find.History(), (std::vector<std::string>{"Beta", "ALPHA"}));
  find.hide();  // hiding writes the history

  TPlaylistFindDialogForm again(List());
  again.show();
  EXPECT_EQ(again.History(), (std::vector<std::string>{"Beta", "ALPHA"}));
  for (int i = 0; i < 10; ++i) {
    again.SearchText().setEditText(QString("text %1").arg(i));
    again.ExecuteButtonClick();
  }
  const std::vector<std::string> history = again.History();
  ASSERT_EQ(history.size(), 10u);
  EXPECT_EQ(history.front(), "text 9");
  EXPECT_EQ(history.back(), "text 0");  // the two oldest went
  again.hide();
}

// ---- scroll track ----

TEST_F(PlaylistWindow, ScrollTrackAndListFollowEachOther) {
  AddLines(100);
  // Track to list: a real press on the track runs its action (bound as the action table does).
  Bind(PlayListEditorForm_PLScrollImage, PlaylistWindowScrollToSliderPosition);
  const QRect track = ControlRect(PlayListEditorForm_PLScrollImage);
  ASSERT_GT(track.height(), 20);
  const QPoint middle(track.center().x(), track.top() + track.height() / 2);
  Press(playlist.get(), middle);
  Release(playlist.get(), middle);
  const int value = GetSkinControlValue(PlayListEditorForm_PLScrollImage);
  EXPECT_NEAR(value, 50, 2);
  EXPECT_EQ(Box().TopIndex(), (100 - value) * 100 / 100);
  SetSkinSliderValue(PlayListEditorForm_PLScrollImage, 100);
  PlaylistWindowScrollToSliderPosition();
  EXPECT_EQ(Box().TopIndex(), 0);
  SetSkinSliderValue(PlayListEditorForm_PLScrollImage, 0);
  PlaylistWindowScrollToSliderPosition();
  EXPECT_EQ(Box().TopIndex(), 100 - Box().VisibleRows());  // the last page stays full

  // List to track: the wheel moves the list and the track follows.
  SetSkinSliderValue(PlayListEditorForm_PLScrollImage, 80);
  PlaylistWindowScrollToSliderPosition();
  ASSERT_EQ(Box().TopIndex(), 20);
  Wheel(-1);
  EXPECT_EQ(Box().TopIndex(), 23);
  EXPECT_EQ(GetSkinControlValue(PlayListEditorForm_PLScrollImage), 77);
  Wheel(2);
  EXPECT_EQ(Box().TopIndex(), 17);
  EXPECT_EQ(GetSkinControlValue(PlayListEditorForm_PLScrollImage), 83);
  // The value maps back onto the same line.
  PlaylistWindowScrollToSliderPosition();
  EXPECT_EQ(Box().TopIndex(), 17);
}

TEST_F(PlaylistWindow, ListButtonsStepTheSelectionAndWrap) {
  PlaylistWindowListUp();  // empty list: nothing
  EXPECT_EQ(List().SelectedCount(), 0);
  AddLines(12);
  PlaylistWindowListDown();  // no selection: line 0
  EXPECT_EQ(List().FirstSelected(), 0);
  PlaylistWindowListUp();  // before the first: the last line
  EXPECT_EQ(List().FirstSelected(), 11);
  EXPECT_EQ(List().SelectedCount(), 1);
  EXPECT_GE(11, Box().TopIndex());
  EXPECT_LT(11, Box().TopIndex() + Box().VisibleRows());  // scrolled into view
  PlaylistWindowListDown();
  EXPECT_EQ(List().FirstSelected(), 0);
  EXPECT_EQ(Box().TopIndex(), 0);
}

TEST_F(PlaylistWindow, SelectionCommandsAndClear) {
  AddLines(4, 30);
  PlaylistWindowSelectAll();
  EXPECT_EQ(List().SelectedCount(), 4);
  PlaylistWindowSelectNone();
  EXPECT_EQ(List().SelectedCount(), 0);
  List().SetSelected(1, true);
  PlaylistWindowInvertSelection();
  EXPECT_EQ(List().SelectedCount(), 3);
  EXPECT_FALSE(List().Selected(1));
  PlaylistWindowCropSelected();
  EXPECT_EQ(List().Count(), 3);
  EXPECT_EQ(List().SelectedCount(), 3);
  PlaylistWindowSelectNone();
  List().SetSelected(0, true);
  PlaylistWindowRemoveSelected();
  EXPECT_EQ(List().Count(), 2);
  PlaylistWindowClear();
  EXPECT_EQ(List().Count(), 0);
  EXPECT_EQ(List().TotalPlaybackSeconds(), 0);
}

// ---- status texts ----

TEST_F(PlaylistWindow, StatusTextsShowCountAndTotalTimeOrTagReading) {
  EXPECT_EQ(playlist->StatusTimer().interval(), 400);
  EXPECT_FALSE(playlist->StatusTimer().isActive());
  playlist->EnableTimer(true);
  EXPECT_TRUE(playlist->StatusTimer().isActive());
  playlist->EnableTimer(false);
  List().Add(Entry("/m/a.mp3", "", "", 60));
  List().Add(Entry("/m/b.mp3", "", "", 125));
  List().Add(Entry("/m/c.mp3", "", "", 3600 * 26));
  playlist->Timer1Timer();
  const int cells = KELDARSkinDisplayCellCount(PlayListEditorForm_PLTextWindow1);
  ASSERT_EQ(cells, 5);
  EXPECT_EQ(GetSkinControlProcessedText(PlayListEditorForm_PLTextWindow1),
            LoadedKELDARSkin().Family.FileCountPrefix + std::string(5 - 1 - LoadedKELDARSkin().Family.FileCountPrefix.size(), '0') + "3");
  EXPECT_EQ(GetSkinControlProcessedText(PlayListEditorForm_PLTextWindow2), "/26:03:05");
  List().SetTagReadingInProgress(true);
  playlist->Timer1Timer();
  EXPECT_EQ(GetSkinControlProcessedText(PlayListEditorForm_PLTextWindow1), "Getting ");
  EXPECT_EQ(GetSkinControlProcessedText(PlayListEditorForm_PLTextWindow2), "Tag IDs...");
  List().SetTagReadingInProgress(false);
  // The timer itself does the same while it runs.
  playlist->EnableTimer(true);
  List().Add(Entry("/m/d.mp3", "", "", 1));
  for (int i = 0; i < 100 && GetSkinControlProcessedText(PlayListEditorForm_PLTextWindow1).back() != '4'; ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
  EXPECT_EQ(GetSkinControlProcessedText(PlayListEditorForm_PLTextWindow2), "/26:03:06");
  playlist->EnableTimer(false);
}

}  // namespace
