// The CD dialogs offscreen: the editor's contents, its validation and what it gives back,
// and the multiple-matches list.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "CDTestSupport.h"
#include "cd/CDDBMultipleMatchesForm.h"
#include "cd/CDEntryEditFrm.h"
#include "util/ProgramFolders.h"

namespace cdtest {
namespace {

class CDDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "keldar_cd_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    setenv("KELDAR_MESSAGE_LOG", (m_folder / "messages.log").c_str(), 1);
  }
  void TearDown() override { unsetenv("KELDAR_MESSAGE_LOG"); }
  static TCDDBEntry Entry() {
    TCDDBEntry e;
    e.CDID = "0a000c03";
    e.CDID_CDDB = "0a000c03 3 150 450 840 14";
    e.CDTitle = "Album";
    e.ArtistTitle = "Artist";
    e.Revision = "7";
    e.Year = "1999";
    e.Genre = "Ambient";
    e.SubmittedVia = "Other 1.0";
    e.Category = "JAZZ";
    e.Tracks = {"One", "Two", "Three"};
    e.ExtendedCDInfo = "about/this\tdisc";
    e.ExtendedTracksData = {"first/ext", "", "third"};
    return e;
  }
  TTempFolder m_folder;
};

TEST_F(CDDialogTest, EditorShowsTheEntryAndGivesBackWhatWasTyped) {
  TCDDBEntry e = Entry();
  TCDEntryEditForm form(e);
  EXPECT_EQ(form.windowTitle(), "Edit CD");
  EXPECT_EQ(form.ComboBox1().count(), 11);
  EXPECT_EQ(form.ComboBox1().currentText(), "jazz");  // chosen ignoring case
  EXPECT_EQ(form.DISCIDEdit().text(), "0a000c03");
  EXPECT_EQ(form.SubmittedViaEdit().text(), "Other 1.0");
  EXPECT_EQ(form.CDExtInfoMemo().toPlainText(), "about/this\tdisc");
  EXPECT_EQ(form.TracksGrid().columnWidth(0), 35);
  EXPECT_EQ(form.TracksGrid().item(1, 0)->text(), "2");
  EXPECT_EQ(form.ExtInfoMemo().toPlainText(), "first/ext");
  form.TracksGrid().setCurrentCell(2, 1);
  EXPECT_EQ(form.ExtInfoMemo().toPlainText(), "third");
  form.CDTitleEdit().setText("New Album");
  form.CDGenreEdit().setText("Drone");
  form.CDExtInfoMemo().setPlainText("line one\r\nline two   ");
  form.ComboBox1().setCurrentText("rock");
  form.TracksGrid().item(1, 1)->setText("Zwei");
  form.SubmitButton().click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(e.CDTitle, "New Album");
  EXPECT_EQ(e.Genre, "Drone");
  EXPECT_EQ(e.Category, "rock");
  EXPECT_EQ(e.ExtendedCDInfo, "line one\nline two");
  EXPECT_EQ(e.Tracks, (std::vector<std::string>{"One", "Zwei", "Three"}));
  EXPECT_EQ(e.SubmittedVia, "Other 1.0");
  EXPECT_EQ(e.ExtendedTracksData, (std::vector<std::string>{"first/ext", "", "third"}));
}

TEST_F(CDDialogTest, SubmitWithPlaceholdersComplainsAndDropsTheChanges) {
  TCDDBEntry e = Entry();
  e.CDTitle = "Unknown Title";
  e.ArtistTitle = "Unknown Artist";
  e.Tracks = {"Track 1", "track 2", "Track 3"};
  TCDEntryEditForm form(e);
  form.CDGenreEdit().setText("Changed");
  form.SubmitButton().click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(e.Genre, "Ambient");
  const auto messages = ReadMessageLog(m_folder / "messages.log");
  ASSERT_EQ(messages.size(), 1u);
  // Comparisons are case-sensitive: "track 2" is a title.
  EXPECT_EQ(messages[0].Text,
            "The following fields are Invalid:\rCD Title field is Invalid\rCD Artist field is Invalid\r"
            "Track 1 field is Invalid\rTrack 3 field is Invalid\r");
  // "OK" only closes.
  TCDEntryEditForm again(e);
  again.CDGenreEdit().setText("Other");
  again.OKButton().click();
  EXPECT_EQ(again.result(), QDialog::Rejected);
  EXPECT_EQ(e.Genre, "Ambient");
}

TEST_F(CDDialogTest, ADroppedPictureBecomesTheAlbumsArtworkOnlyWithADiscId) {
  SetProgramFolderForTesting(m_folder.Path());
  const std::string picture = m_folder / "cover.png";
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::blue);
  ASSERT_TRUE(image.save(QString::fromStdString(picture)));
  {
    TCDDBEntry e = Entry();
    e.CDID.clear();
    TCDEntryEditForm form(e);
    EXPECT_FALSE(form.InstallAlbumArtwork(false, picture));
    EXPECT_FALSE(fs::exists(m_folder / "cdartwork/Artist - Album.png"));
  }
  TCDDBEntry e = Entry();
  TCDEntryEditForm form(e);
  EXPECT_EQ(form.LoadArtworkButton().text(), "Load Artwork");
  EXPECT_TRUE(form.InstallAlbumArtwork(false, picture));
  EXPECT_TRUE(fs::exists(m_folder / "cdartwork/Artist - Album.png"));
  // A file that is no picture is refused with the message.
  WriteTextFile(m_folder / "notes.txt", "x");
  EXPECT_FALSE(form.InstallAlbumArtwork(false, m_folder / "notes.txt"));
  EXPECT_NE(ReadTextFile(m_folder / "messages.log").find("Unsupported artwork file type"), std::string::npos);
}

TEST_F(CDDialogTest, MultipleMatchesListsEveryLineAndReturnsTheChoice) {
  TCDDBMultipleMatchesForm form({"rock 1 A / B", "jazz 2 C / D", "misc 3 E / F"});
  EXPECT_EQ(form.windowTitle(), "Multiple matches found");
  ASSERT_EQ(form.MatchesList().count(), 3);
  EXPECT_EQ(form.MatchesList().item(1)->text(), "jazz 2 C / D");
  form.MatchesList().setCurrentRow(1);
  form.accept();
  EXPECT_EQ(form.Chosen(), 1);
  TCDDBMultipleMatchesForm cancelled({"x"});
  cancelled.reject();
  EXPECT_FALSE(cancelled.Chosen().has_value());
}

}  // namespace
}  // namespace cdtest
