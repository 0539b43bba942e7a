// The tag editor on real files made by ffmpeg and a tracker module, with the engine on the
// no-sound device: which tab shows what, "Update Playlist" against "Close", and hostile tags.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>

#include "DialogsTestSupport.h"
#include "dialogs/TAGDialog.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_SupportedFileTypes.h"

namespace fs = std::filesystem;
using dialogs_test::TDialogTest;

namespace {

bool RunShell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

class TagDialogTest : public TDialogTest {
 protected:
  static void SetUpTestSuite() {
    dialogs_test::App();
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
    // The player builds its table of types at start-up; tags are read for the types it knows.
    ClearSupportedFileTypes();
    KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
  }
  static void TearDownTestSuite() {
    if (KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI) KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  }
  std::string MakeMp3(const std::string& name, const std::vector<std::string>& tags) {
    const std::string path = folder_ / name;
    std::string command = "ffmpeg -v error -f lavfi -i sine=frequency=440:duration=1 -c:a libmp3lame -b:a 64k -id3v2_version 3";
    for (const auto& tag : tags) command += " -metadata '" + tag + "'";
    command += " -y '" + path + "'";
    EXPECT_TRUE(RunShell(command)) << command;
    return path;
  }
  // Presses a button of the modal dialog once it runs.
  static void PressWhenShown(TTAGDialogForm& dialog, const char* button) {
    QTimer::singleShot(0, &dialog, [&dialog, button] { dialog.findChild<QPushButton*>(button)->click(); });
  }
};

TEST_F(TagDialogTest, FileTagsFillTheirFieldsAndUpdateRefreshesTheItem) {
  const std::string mp3 = MakeMp3("Some Band - Some Song.mp3", {"title=  ", "album=An Album", "genre=Jazz",
                                                                 "date=1999", "track=3/12", "composer=Someone",
                                                                 "comment=Nice"});
  TTAGDialogForm dialog;
  TPlayListBoxItem item;
  item.FullPathAndFilename = mp3;
  item.TitleName = "old";
  PressWhenShown(dialog, "UpdatePlaylistButton");
  EXPECT_EQ(dialog.ShowForItem(&item, mp3, mp3, nullptr), QDialog::Accepted);
  EXPECT_EQ(dialog.Tabs()->tabText(dialog.Tabs()->currentIndex()), "File Tags");
  EXPECT_EQ(dialog.Field("Album:")->text(), "An Album");
  EXPECT_EQ(dialog.Field("Track:")->text(), "3/12");
  EXPECT_EQ(dialog.Field("Composer:")->text(), "Someone");
  EXPECT_EQ(dialog.Field("Comment:")->text(), "Nice");
  EXPECT_TRUE(dialog.Field("Encoder:")->text().isEmpty());
  // Blank title: title and artist come from the name; the track "3/12" is no plain number.
  EXPECT_EQ(item.TitleName, "Some Song");
  EXPECT_EQ(item.ArtistName, "Some Band");
  EXPECT_EQ(item.AlbumName, "An Album");
  EXPECT_EQ(item.TitleCDIndex, 0);
  EXPECT_GT(item.FileSize, 0);
  EXPECT_GE(item.FilePlaybackLength, 0);
}

TEST_F(TagDialogTest, ATitleTagWithoutAnArtistTagTakesOnlyTheArtistFromTheName) {
  const std::string mp3 = MakeMp3("Name Band - Name Song.mp3", {"title=  Tag Song ", "track=7"});
  TTAGDialogForm dialog;
  TPlayListBoxItem item;
  item.FullPathAndFilename = mp3;
  PressWhenShown(dialog, "UpdatePlaylistButton");
  EXPECT_EQ(dialog.ShowForItem(&item, mp3, mp3, nullptr), QDialog::Accepted);
  EXPECT_EQ(item.TitleName, "Tag Song");
  EXPECT_EQ(item.ArtistName, "Name Band");
  EXPECT_EQ(item.TitleCDIndex, 7);
}

TEST_F(TagDialogTest, CloseLeavesTheItemAsItWas) {
  const std::string mp3 = MakeMp3("tagged.mp3", {"title=Real", "artist=Someone"});
  TTAGDialogForm dialog;
  TPlayListBoxItem item;
  item.FullPathAndFilename = mp3;
  item.TitleName = "Kept";
  item.ArtistName = "Kept Too";
  PressWhenShown(dialog, "CloseButton");
  EXPECT_NE(dialog.ShowForItem(&item, mp3, mp3, nullptr), QDialog::Accepted);
  EXPECT_EQ(dialog.Field("Title:")->text(), "Real");
  EXPECT_EQ(item.TitleName, "Kept");
  EXPECT_EQ(item.ArtistName, "Kept Too");
  EXPECT_EQ(item.FileSize, 0);
}

TEST_F(TagDialogTest, AStreamThatIsNotPlayingShowsEmptyURLTags) {
  auto& engine = KELDAR_AUDIOVIDEO_API_State();
  engine.CurrentMediaType = KELDAR_AUDIOVIDEO_API_mtShoutcastStream;
  engine.CurrentFileName = "http://playing.example:8000/live";
  engine.Station.ServerName = "Playing FM";
  engine.Station.ServerGenre = "Jazz";
  TTAGDialogForm dialog;
  dialog.TagDialogFilenameActualLocation = dialog.TagDialogFilenameOriginalLocation = "http://other.example/stream";
  dialog.FillFromInputs();
  EXPECT_EQ(dialog.Tabs()->tabText(dialog.Tabs()->currentIndex()), "URL Tags");
  EXPECT_TRUE(dialog.Field("Server Name:")->text().isEmpty());
  // The playing one, named in another case, shows its station.
  dialog.TagDialogFilenameActualLocation = "HTTP://PLAYING.example:8000/live";
  dialog.FillFromInputs();
  EXPECT_EQ(dialog.Field("Server Name:")->text(), "Playing FM");
  EXPECT_EQ(dialog.Field("Server Genre:")->text(), "Jazz");
  EXPECT_TRUE(dialog.TagDialogFilename_Artist.empty());
  engine.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  engine.CurrentFileName.clear();
  engine.Station = {};
}

TEST_F(TagDialogTest, ALowerCaseModIsATrackerModule) {
  // A four-channel ProTracker module: title, 31 sample headers, order table, "M.K.", one pattern.
  std::string mod(20 + 31 * 30 + 2 + 128 + 4 + 1024, '\0');
  mod.replace(0, 9, "Test Tune");
  mod.replace(20, 11, "First Drum!");
  mod[20 + 22] = 0;
  mod[20 + 23] = 8;  // 16 bytes of sample data
  mod[20 + 25] = 64;
  mod[20 + 31 * 30] = 1;  // song length
  mod.replace(20 + 31 * 30 + 2 + 128, 4, "M.K.");
  mod += std::string(16, '\x10');
  const std::string path = folder_ / "tune.mod";
  WriteTextFile(path, mod);
  TTAGDialogForm dialog;
  dialog.TagDialogFilenameActualLocation = dialog.TagDialogFilenameOriginalLocation = path;
  dialog.FillFromInputs();
  EXPECT_EQ(dialog.Tabs()->tabText(dialog.Tabs()->currentIndex()), "Music Tags");
  EXPECT_EQ(dialog.Field("Music Name:")->text(), "Test Tune");
  bool listed = false;
  for (int i = 0; i < dialog.Samples()->count(); ++i) listed = listed || dialog.Samples()->item(i)->text().contains("First Drum!");
  EXPECT_TRUE(listed);
  EXPECT_TRUE(dialog.Field("Title:")->text().isEmpty());
}

TEST_F(TagDialogTest, HugeAndBrokenTagsAreShownWithoutACrash) {
  const std::string big(1 << 20, 'A');
  const std::string mp3 = MakeMp3("big.mp3", {"title=" + big.substr(0, 100000), "artist=\xff\xfe\xc3("});
  TTAGDialogForm dialog;
  dialog.TagDialogFilenameActualLocation = dialog.TagDialogFilenameOriginalLocation = mp3;
  dialog.FillFromInputs();
  EXPECT_GT(dialog.Field("Title:")->text().size(), 1000);
  // Bytes that are no text become replacement characters or nothing, never a crash.
  EXPECT_LE(dialog.Field("Artist:")->text().size(), 4);
  // A hand-made ID3v2.3 tag: a title frame of a full megabyte and an artist frame in UTF-16
  // that starts with a lone surrogate, before plain MP3 frames.
  const std::string plain = folder_ / "plain.mp3";
  ASSERT_TRUE(RunShell("ffmpeg -v error -f lavfi -i sine=frequency=440:duration=1 -c:a libmp3lame -b:a 64k "
                       "-id3v2_version 0 -write_id3v1 0 -y '" + plain + "'"));
  const auto frame = [](const char* id, const std::string& data) {
    const uint32_t n = uint32_t(data.size());
    return std::string(id, 4) + char(n >> 24) + char(n >> 16) + char(n >> 8) + char(n) + std::string(2, '\0') + data;
  };
  const std::string frames = frame("TIT2", '\0' + big) + frame("TPE1", std::string("\x01\xff\xfe\x00\xd8\x41\x00", 7));
  const uint32_t size = uint32_t(frames.size());
  std::string tag = std::string("ID3\x03\x00\x00", 6) + char((size >> 21) & 0x7f) + char((size >> 14) & 0x7f) +
                    char((size >> 7) & 0x7f) + char(size & 0x7f) + frames;
  const std::string huge = folder_ / "Huge Band - Huge.mp3";
  WriteTextFile(huge, tag + ReadTextFile(plain));
  TPlayListBoxItem item;
  item.FullPathAndFilename = huge;
  PressWhenShown(dialog, "UpdatePlaylistButton");
  EXPECT_EQ(dialog.ShowForItem(&item, huge, huge, nullptr), QDialog::Accepted);
  // The field shows as much as a line edit holds; the item gets the whole title.
  EXPECT_EQ(dialog.Field("Title:")->text().size(), dialog.Field("Title:")->maxLength());
  EXPECT_TRUE(dialog.Field("Title:")->text().startsWith("AAAA"));
  EXPECT_EQ(item.TitleName.size(), size_t(1) << 20);
  EXPECT_LE(dialog.Field("Artist:")->text().size(), 4);
  EXPECT_GT(item.FileSize, 1 << 20);
  // A file that is not there: empty fields, no message.
  dialog.TagDialogFilenameActualLocation = folder_ / "gone.mp3";
  dialog.FillFromInputs();
  EXPECT_TRUE(dialog.Field("Title:")->text().isEmpty());
  EXPECT_TRUE(MessageTexts().empty());
}

}  // namespace
