// Reading entries' tags through the engine and the audio library, lazily per painted line,
// from real encoded files.
#include <gtest/gtest.h>

#include "PlaylistTestSupport.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "playlist/PlaylistEditor.h"
#include "playlist/PlaylistTagReading.h"

using namespace playlist_test;

namespace {

class PlaylistTagReadingTest : public TProgramFolderTest {
 protected:
  static void SetUpTestSuite() {
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
  }
  static void TearDownTestSuite() {
    if (KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI) KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  }
  // A two-second MP3 with the given tags (name=value pairs for ffmpeg's -metadata).
  std::string MakeMp3(const std::string& name, const std::vector<std::string>& tags) {
    const std::string path = Path(name);
    std::string command = "ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2 -c:a libmp3lame -b:a 64k -id3v2_version 3";
    for (const auto& tag : tags) command += " -metadata '" + tag + "'";
    command += " -y '" + path + "'";
    EXPECT_TRUE(playlist_test::RunCommand(command)) << command;
    return path;
  }
};

}  // namespace

TEST_F(PlaylistTagReadingTest, PaintedLineGetsTagsLengthSizeAndDateOnce) {
  const std::string mp3 = MakeMp3("song.mp3", {"title=  Real Title ", "artist=Real Artist", "album=Real Album",
                                               "genre=Jazz", "date=1999", "track=7"});
  TPlaylist list;
  ProccessAddedFiles(list, {mp3}, true);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Item(0).TitleName, "Song");
  EXPECT_EQ(list.TotalPlaybackSeconds(), 0);
  EXPECT_TRUE(ReadTagsOfPaintedLine(list, 0));
  const TPlayListBoxItem& item = list.Item(0);
  EXPECT_TRUE(item.TagIDDataRetrieved);
  EXPECT_EQ(item.TitleName, "Real Title");
  EXPECT_EQ(item.ArtistName, "Real Artist");
  EXPECT_EQ(item.AlbumName, "Real Album");
  EXPECT_EQ(item.TitleAlbumGenre, "Jazz");
  EXPECT_EQ(item.TitleAlbumYear, "1999");
  EXPECT_EQ(item.TitleCDIndex, 7);
  EXPECT_GE(item.FilePlaybackLength, 1);
  EXPECT_LE(item.FilePlaybackLength, 3);
  EXPECT_EQ(list.TotalPlaybackSeconds(), item.FilePlaybackLength);
  EXPECT_EQ(item.FileSize, static_cast<int64_t>(fs::file_size(mp3)));
  EXPECT_NE(item.FileDate, -1);
  EXPECT_FALSE(list.TagReadingInProgress());
  // Once read, painting again reads nothing, and the total does not grow.
  EXPECT_FALSE(ReadTagsOfPaintedLine(list, 0));
  EXPECT_FALSE(ReadTagsOfPaintedLine(list, 1));
  // A refresh of an entry that already had its length keeps the total a plain sum.
  GetSongTitleAndAuthorFromTagID(mp3, list.ItemPointer(0), &list);
  EXPECT_EQ(list.TotalPlaybackSeconds(), item.FilePlaybackLength);
}

TEST_F(PlaylistTagReadingTest, PaintedMp3AndWavLinesGetTheirTagsAndTheEnginesRoundedLength) {
  // 3.4 s and 2.6 s: the length is rounded to the nearest second, not cut off.
  const std::string mp3 = Path("Name Artist - Name Title.mp3");
  const std::string wav = Path("Wave Artist - Wave Title.wav");
  ASSERT_TRUE(RunCommand("ffmpeg -v error -f lavfi -i sine=frequency=440:duration=3.4 -c:a libmp3lame -b:a 64k"
                         " -metadata 'title=Mp3 Title' -metadata 'album=Mp3 Album' -metadata track=4 -y '" + mp3 + "'"));
  ASSERT_TRUE(RunCommand("ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2.6 -metadata 'title=Riff Title'"
                         " -metadata 'artist=Riff Artist' -metadata date=2004 -y '" + wav + "'"));
  TPlaylist list;
  ProccessAddedFiles(list, {mp3, wav}, true);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(ReadTagsOfPaintedLine(list, 0));
  EXPECT_TRUE(ReadTagsOfPaintedLine(list, 1));
  const TPlayListBoxItem& song = list.Item(0);
  EXPECT_EQ(song.TitleName, "Mp3 Title");
  EXPECT_EQ(song.ArtistName, "Name Artist");  // no artist tag: the one from the name
  EXPECT_EQ(song.AlbumName, "Mp3 Album");
  EXPECT_EQ(song.TitleCDIndex, 4);
  EXPECT_EQ(song.FilePlaybackLength, 3);
  const TPlayListBoxItem& wave = list.Item(1);
  EXPECT_EQ(wave.TitleName, "Riff Title");
  EXPECT_EQ(wave.ArtistName, "Riff Artist");
  EXPECT_EQ(wave.TitleAlbumYear, "2004");
  EXPECT_EQ(wave.FilePlaybackLength, 3);
  EXPECT_EQ(wave.FileSize, static_cast<int64_t>(fs::file_size(wav)));
  EXPECT_EQ(list.TotalPlaybackSeconds(), 6);
  // The same as the engine's own length and tag readers, each opening the file by itself.
  const auto& engine = KELDAR_AUDIOVIDEO_API_Slots();
  for (int i = 0; i < 2; ++i) {
    const std::string& file = list.Item(i).FullPathAndFilename;
    EXPECT_EQ(list.Item(i).FilePlaybackLength, engine.GetFilePlaybackLength(file)) << file;
    EXPECT_EQ(list.Item(i).AlbumName, engine.ReadFileTags(file).AlbumName) << file;
  }
}

TEST_F(PlaylistTagReadingTest, EmptyTagsFallBackToTheFileName) {
  const std::string blank = MakeMp3("Some Artist - Some Title.mp3", {"title=   ", "track=3/12"});
  const std::string titled = MakeMp3("Name Artist - Name Title.mp3", {"title=Tagged"});
  TPlaylist list;
  TPlayListBoxItem a = Entry(blank);
  a.ArtistName = a.TitleName = "before";
  list.Add(a);
  list.Add(Entry(titled));
  ReadTagsOfPaintedLine(list, 0);
  ReadTagsOfPaintedLine(list, 1);
  EXPECT_EQ(list.Item(0).ArtistName, "Some Artist");
  EXPECT_EQ(list.Item(0).TitleName, "Some Title");
  EXPECT_EQ(list.Item(0).TitleCDIndex, 0);  // "3/12" is no plain number
  EXPECT_EQ(list.Item(1).TitleName, "Tagged");
  EXPECT_EQ(list.Item(1).ArtistName, "Name Artist");
}

TEST_F(PlaylistTagReadingTest, MissingFilesModulesUrlsAndCDTracksKeepTheirTexts) {
  TPlaylist list;
  TPlayListBoxItem missing = Entry(Path("gone.mp3"), 55);
  missing.TitleName = "Kept";
  list.Add(missing);
  TPlayListBoxItem module = Entry(Path("tune.mod"));
  module.TitleName = "Module";
  WriteTextFile(module.FullPathAndFilename, "not really a module");
  list.Add(module);
  list.Add(Entry("/dev/sr0/Track01.cda"));
  EXPECT_TRUE(ReadTagsOfPaintedLine(list, 0));
  EXPECT_EQ(list.Item(0).TitleName, "Kept");
  EXPECT_EQ(list.Item(0).FilePlaybackLength, 0);
  EXPECT_EQ(list.Item(0).FileSize, -1);
  EXPECT_EQ(list.TotalPlaybackSeconds(), 0);
  EXPECT_TRUE(ReadTagsOfPaintedLine(list, 1));
  EXPECT_EQ(list.Item(1).TitleName, "Module");
  EXPECT_EQ(list.Item(1).FileSize, 19);
  EXPECT_FALSE(ReadTagsOfPaintedLine(list, 2));  // CD tracks are named from the disc
  EXPECT_FALSE(list.Item(2).TagIDDataRetrieved);
  EXPECT_TRUE(IsTrackerModuleFileName("x.Mo3"));
  EXPECT_FALSE(IsTrackerModuleFileName("x.mp3"));
}

TEST_F(PlaylistTagReadingTest, ArchiveEntryIsReadFromATemporaryCopy) {
  const std::string mp3 = MakeMp3("inner.mp3", {"title=Zipped", "artist=Packer"});
  const std::string zip = Path("pack.zip");
  MakeZip(zip, {{"in/inner.mp3", ReadTextFile(mp3)}});
  TPlaylist list;
  ProccessAddedFiles(list, {zip}, true);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_TRUE(ReadTagsOfPaintedLine(list, 0));
  EXPECT_EQ(list.Item(0).TitleName, "Zipped");
  EXPECT_EQ(list.Item(0).ArtistName, "Packer");
  EXPECT_EQ(list.Item(0).FileSize, static_cast<int64_t>(fs::file_size(mp3)));
  EXPECT_GE(list.Item(0).FilePlaybackLength, 1);
  EXPECT_TRUE(fs::is_empty(program / "tempunzipped" / "info"));
}
