// "Add URL to Playlist": the favourites file read on show and written on hide, the grid's
// empty row, the address test and the 99-favourite limit.
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>

#include "DialogsTestSupport.h"
#include "dialogs/OpenURLDialog.h"
#include "util/KeyValueListFunctions.h"

using dialogs_test::TDialogTest;

namespace {

class OpenURLDialogTest : public TDialogTest {
 protected:
  std::vector<std::string> FileLines() {
    std::vector<std::string> lines;
    ReadListFileLines(URLFavouritesFilePath(), lines);
    return lines;
  }
  std::vector<std::string> added_;
  void Wire(TOpenURLDialogForm& dialog) {
    dialog.AddURLToPlayList = [this](const std::string& url) { added_.push_back(url); };
  }
};

TEST_F(OpenURLDialogTest, AFileOf120LinesShows99AndSaves99) {
  std::string text;
  for (int i = 1; i <= 120; ++i)
    text += "URLLink=http://radio" + std::to_string(i) + ".example/;URLDescription=Station " + std::to_string(i) + ";\n";
  WriteTextFile(URLFavouritesFilePath(), text);
  TOpenURLDialogForm dialog;
  dialog.show();
  EXPECT_EQ(dialog.Favourites().TotalURLFavourites, 99);
  // 99 favourites and the empty row for typing a new one.
  EXPECT_EQ(dialog.Grid()->rowCount(), 100);
  EXPECT_EQ(dialog.Grid()->item(98, 0)->text(), "99");
  EXPECT_EQ(dialog.Grid()->item(98, 1)->text(), "http://radio99.example/");
  EXPECT_EQ(dialog.Grid()->item(98, 2)->text(), "Station 99");
  EXPECT_TRUE(dialog.Grid()->item(99, 1)->text().isEmpty());
  dialog.hide();
  const auto lines = FileLines();
  ASSERT_EQ(lines.size(), 99u);
  EXPECT_EQ(lines.front(), "URLLink=http://radio1.example/;URLDescription=Station 1;");
  EXPECT_EQ(lines.back(), "URLLink=http://radio99.example/;URLDescription=Station 99;");
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(OpenURLDialogTest, TypingIntoTheEmptyRowAddsAFavouriteWrittenOnClose) {
  WriteTextFile(URLFavouritesFilePath(), "URLLink=http://one.example/;URLDescription=One;\n");
  TOpenURLDialogForm dialog;
  dialog.show();
  ASSERT_EQ(dialog.Grid()->rowCount(), 2);
  // The user types into the link and description cells of the empty row.
  dialog.Grid()->item(1, 1)->setText("http://two.example:8000/live");
  EXPECT_EQ(dialog.Favourites().TotalURLFavourites, 2);
  EXPECT_EQ(dialog.Grid()->rowCount(), 3);
  EXPECT_EQ(dialog.Grid()->item(1, 0)->text(), "2");
  dialog.Grid()->item(1, 2)->setText("Two; with a semicolon");
  dialog.hide();
  const auto lines = FileLines();
  ASSERT_EQ(lines.size(), 2u);
  // A ";" would end the value in the file: it is not kept.
  EXPECT_EQ(lines[1], "URLLink=http://two.example:8000/live;URLDescription=Two with a semicolon;");
}

TEST_F(OpenURLDialogTest, OnlyAddressesGoToThePlaylistOthersAreReported) {
  WriteTextFile(URLFavouritesFilePath(),
                "URLLink=radio.example/stream;URLDescription=No scheme;\nURLLink=mms://tv.example/x;URLDescription=MMS;\n");
  TOpenURLDialogForm dialog;
  Wire(dialog);
  dialog.show();
  dialog.Grid()->setCurrentCell(0, 1);
  dialog.AddSelectedtoPlaylist1Click();
  dialog.Grid()->setCurrentCell(1, 1);
  dialog.AddSelectedtoPlaylist1Click();
  // The empty row adds nothing and says nothing.
  dialog.Grid()->setCurrentCell(2, 1);
  dialog.AddSelectedtoPlaylist1Click();
  EXPECT_EQ(added_, std::vector<std::string>{"mms://tv.example/x"});
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"radio.example/stream is not a valid URL"});

  // The typed address: field cleared, dialog hidden, in both cases.
  dialog.NewURLField()->setText("ftp://files.example/song.mp3");
  dialog.ADDNEWURLTOPlaylistButtonClick();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(dialog.NewURLField()->text().isEmpty());
  dialog.show();
  dialog.NewURLField()->setText("just words");
  emit dialog.NewURLField()->returnPressed();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(added_.back(), "ftp://files.example/song.mp3");
  EXPECT_EQ(MessageTexts().back(), "just words is not a valid URL");
}

TEST_F(OpenURLDialogTest, RemovingRenumbersAndTheEmptyRowStays) {
  WriteTextFile(URLFavouritesFilePath(), "URLLink=http://a.example/;URLDescription=A;\n"
                                         "URLLink=http://b.example/;URLDescription=B;\n"
                                         "URLLink=http://c.example/;URLDescription=C;\n");
  TOpenURLDialogForm dialog;
  dialog.show();
  dialog.Grid()->setCurrentCell(0, 1);
  dialog.DeleteSelected1Click();
  EXPECT_EQ(dialog.Favourites().TotalURLFavourites, 2);
  EXPECT_EQ(dialog.Grid()->rowCount(), 3);
  EXPECT_EQ(dialog.Grid()->item(0, 0)->text(), "1");
  EXPECT_EQ(dialog.Grid()->item(0, 1)->text(), "http://b.example/");
  dialog.Grid()->setCurrentCell(2, 1);  // the empty row
  dialog.DeleteSelected1Click();
  EXPECT_EQ(dialog.Grid()->rowCount(), 3);
  // "Add New URL to favourites" puts the cursor into the empty row's link cell.
  dialog.Grid()->setCurrentCell(0, 0);
  dialog.AddnewURL1Click();
  EXPECT_EQ(dialog.Grid()->currentRow(), 2);
  EXPECT_EQ(dialog.Grid()->currentColumn(), 1);
  // The context menu holds the three entries with separators between them.
  QStringList entries;
  for (QAction* a : dialog.FavouritesMenu()->actions()) entries << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(entries, (QStringList{"Add Selected to Playlist", "-", "Remove Selected from favourites", "-",
                                  "Add New URL to favourites"}));
  dialog.hide();
  EXPECT_EQ(FileLines().size(), 2u);
}

TEST_F(OpenURLDialogTest, AppendingStopsAt99) {
  TOpenURLDialogForm dialog;
  dialog.show();
  for (int i = 0; i < 105; ++i) dialog.AppendFavourite("http://s" + std::to_string(i) + ".example/", "S");
  EXPECT_EQ(dialog.Favourites().TotalURLFavourites, 99);
  EXPECT_EQ(dialog.Grid()->item(98, 1)->text(), "http://s98.example/");
  dialog.hide();
  EXPECT_EQ(FileLines().size(), 99u);
}

TEST_F(OpenURLDialogTest, HostileFilesGiveLimitedFavouritesWithoutACrash) {
  // 10 000 lines, the first a megabyte long, binary bytes and no keys at all.
  std::string text = "URLLink=http://" + std::string(1 << 20, 'x') + ";URLDescription=" + std::string(1 << 20, 'y') + ";\n";
  for (int i = 0; i < 10000; ++i) text += std::string("\x01\xff\xfe;=URLLink=\0\n", 15);
  WriteTextFile(URLFavouritesFilePath(), text);
  TOpenURLDialogForm dialog;
  dialog.show();
  ASSERT_EQ(dialog.Favourites().TotalURLFavourites, 99);
  EXPECT_LE(dialog.Favourites().CurrentURLFavourites[0].URLLink.size(), 4096u);
  EXPECT_EQ(dialog.Favourites().CurrentURLFavourites[0].URLLink.rfind("http://xxx", 0), 0u);
  dialog.hide();
  EXPECT_EQ(FileLines().size(), 99u);
}

TEST_F(OpenURLDialogTest, AnUnwritableFileIsReported) {
  TOpenURLDialogForm dialog;
  dialog.show();
  dialog.AppendFavourite("http://a.example/", "A");
  // A folder where the file should be: it cannot be replaced.
  std::filesystem::create_directories(URLFavouritesFilePath() + "/blocker");
  dialog.hide();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Error While Saving keldar3urlfavourites.ini"});
}

}  // namespace
