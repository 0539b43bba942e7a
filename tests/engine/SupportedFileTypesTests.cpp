#include <gtest/gtest.h>

#include "engine/KELDAR_SupportedFileTypes.h"
#include "kaudio.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

class SupportedFileTypesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSupportedFileTypes();
    InputPluginFormatsProvider() = nullptr;
    VideoRenderTest() = nullptr;
    Options_CDPlaybackMethod.IntegerValue = 0;
  }
  void TearDown() override { SetUp(); }

  static void ProvideArchivePlugin() {
    InputPluginFormatsProvider() = [] {
      TInputPluginFormats plugin;
      plugin.FileName = "zpinput_archives.so";
      plugin.Version = "3";
      plugin.Formats = {{".zip", "ZIP Archives", 2},
                        {".m3u", "Winamp Playlists", 1},
                        {".xyz", "XYZ Sound", 0},
                        {".bad", "Unknown type", 7},
                        {"", "No extension", 0},
                        {".mp3", "Plug-in MP3", 0}};
      return std::vector<TInputPluginFormats>{plugin};
    };
  }

  static const TSupportedFileTypeStructure* Row(const std::string& ext) {
    for (const auto& row : SupportedFileTypes().Rows)
      if (row->FileExtension == ext) return row.get();
    return nullptr;
  }
};

TEST_F(SupportedFileTypesTest, BuiltInRowsKeepTheirOrderTypesAndTexts) {
  BuildSupportedFileTypes();
  const auto& rows = SupportedFileTypes().Rows;
  ASSERT_GE(rows.size(), 6u);
  EXPECT_EQ(rows[0]->FileExtension, ".CDA");
  EXPECT_EQ(rows[0]->FileMediaType, KELDAR_AUDIOVIDEO_API_mtCDTrack);
  EXPECT_EQ(rows[0]->FilePlaybackDLLVersion, " ");
  EXPECT_EQ(rows[0]->FileDescription, "CDDA Audio Tracks (*.cda)");
  const char* exts[] = {".MP3", ".MP2", ".MP1", ".OGG", ".WAV"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rows[i + 1]->FileExtension, exts[i]);
    EXPECT_EQ(rows[i + 1]->FileMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
    EXPECT_EQ(rows[i + 1]->FilePlaybackDLL, "libkaudio.so");
    EXPECT_EQ(rows[i + 1]->FilePlaybackDLLVersion, AudioLibraryVersionText(KAUDIO_GetVersion()));
    EXPECT_EQ(rows[i + 1]->FilePlaybackDLLHandle, 0u);
  }
  EXPECT_EQ(rows[1]->FileDescription, "MPEG Audio Files Layer III (*.mp3)");
  ASSERT_NE(Row(".MOV"), nullptr);
  EXPECT_EQ(Row(".MOV")->FileDescription, "Quicktime Movie (version 2 and lower) (*.mov)");
  EXPECT_EQ(Row(".MOV")->FileMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  EXPECT_EQ(Row(".UMX")->FileMediaType, KELDAR_AUDIOVIDEO_API_mtMOD);
  ASSERT_NE(Row(".ZPL"), nullptr);
  EXPECT_EQ(Row(".ZPL")->FilePlaybackDLL, "Built-in plugin ");
  EXPECT_EQ(Row(".ZPL")->FileMediaType, KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST);
  // Modules come after the add-on rows, videos after modules, the playlist type last here.
  int xm = -1, midi = -1, zpl = -1;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    if (rows[i]->FileExtension == ".XM") xm = i;
    if (rows[i]->FileExtension == ".MIDI") midi = i;
    if (rows[i]->FileExtension == ".ZPL") zpl = i;
  }
  EXPECT_EQ(midi, xm + 7);
  EXPECT_EQ(zpl, midi + 18);
  EXPECT_EQ(zpl, static_cast<int>(rows.size()) - 1);
}

TEST_F(SupportedFileTypesTest, VersionTextIsFourDecimalBytes) {
  EXPECT_EQ(AudioLibraryVersionText(0x01000000), "1.0.0.0");
  EXPECT_EQ(AudioLibraryVersionText(0x02041F0A), "2.4.31.10");
}

TEST_F(SupportedFileTypesTest, AddOnFormatsAreCutAtSemicolonsAndNeverDuplicate) {
  BuildSupportedFileTypes();
  const int before = SupportedFileTypes().Count();
  const KAUDIO_PLUGINFORM forms[] = {{0, "Free Lossless Audio Codec", "*.flac;*.fla;"},
                                     {0, "Again MP3", "*.mp3"},
                                     {0, "Odd", ";*.q1q"}};
  KAUDIO_PLUGININFO info{0x02030001, 3, forms};
  AddAudioAddOnFormats("kaudio_test.so", info);
  EXPECT_EQ(SupportedFileTypes().Count(), before + 3);
  ASSERT_NE(Row(".FLAC"), nullptr);
  EXPECT_EQ(Row(".FLAC")->FileDescription, "Free Lossless Audio Codec (*.flac)");
  EXPECT_EQ(Row(".FLAC")->FilePlaybackDLL, "kaudio_test.so");
  EXPECT_EQ(Row(".FLAC")->FilePlaybackDLLVersion, "2.3.0.1");
  EXPECT_EQ(Row(".FLA")->FileDescription, "Free Lossless Audio Codec (*.fla)");
  ASSERT_NE(Row(".Q1Q"), nullptr);
  EXPECT_EQ(Row(".MP3")->FilePlaybackDLL, "libkaudio.so");
  EXPECT_EQ(Row(".MP3")->FileDescription, "MPEG Audio Files Layer III (*.mp3)");
}

TEST_F(SupportedFileTypesTest, InputPluginRowsFollowTheirTypeAndSkipDuplicates) {
  ProvideArchivePlugin();
  BuildSupportedFileTypes();
  ASSERT_NE(Row(".ZIP"), nullptr);
  EXPECT_EQ(Row(".ZIP")->FileMediaType, KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES);
  EXPECT_EQ(Row(".ZIP")->FileDescription, "ZIP Archives (*.zip)");
  EXPECT_EQ(Row(".ZIP")->FilePlaybackDLL, "zpinput_archives.so");
  EXPECT_EQ(Row(".ZIP")->FilePlaybackDLLVersion, "3");
  EXPECT_EQ(Row(".M3U")->FileMediaType, KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST);
  EXPECT_EQ(Row(".XYZ")->FileMediaType, KELDAR_AUDIOVIDEO_API_mtzpInputStream);
  EXPECT_EQ(Row(".BAD"), nullptr);
  EXPECT_EQ(Row(""), nullptr);
  EXPECT_EQ(Row(".MP3")->FilePlaybackDLL, "libkaudio.so");
  EXPECT_TRUE(IsFileExtensionSupported(".zip"));
  EXPECT_FALSE(IsFileExtensionSupported(".rar"));
  ClearSupportedFileTypes();
  EXPECT_EQ(SupportedFileTypes().Count(), 0);
}

TEST_F(SupportedFileTypesTest, ClassifiesNamesByEveryRule) {
  ProvideArchivePlugin();
  BuildSupportedFileTypes();
  EXPECT_EQ(GetMediaFileType("HTTP://radio.example/stream.mp3"),
            KELDAR_AUDIOVIDEO_API_mtShoutcastStream);
  EXPECT_EQ(GetMediaFileType("/music.zip/x/song.mp3"),
            KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES);
  EXPECT_EQ(GetMediaFileType("/a/tune.mp3.TEMP"), KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(GetMediaFileType("/a/tune.Mp3"), KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(GetMediaFileType("/a/tune.it"), KELDAR_AUDIOVIDEO_API_mtMOD);
  EXPECT_EQ(GetMediaFileType("/a/list.m3u"), KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST);
  EXPECT_EQ(GetMediaFileType("/dev/sr0/Track03.cda"), KELDAR_AUDIOVIDEO_API_mtCDTrack);
  Options_CDPlaybackMethod.IntegerValue = 1;
  EXPECT_EQ(GetMediaFileType("/dev/sr0/Track03.cda"), KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack);
  Options_CDPlaybackMethod.IntegerValue = 0;
  EXPECT_EQ(GetMediaFileType("/dev/sr0/Track03.cda"), KELDAR_AUDIOVIDEO_API_mtCDTrack);
  EXPECT_EQ(GetMediaFileType("/a/clip.mkv"), KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  EXPECT_EQ(GetMediaFileType("/a/noextension"), KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  std::string asked;
  VideoRenderTest() = [&asked](const std::string& name) {
    asked = name;
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".mkv") == 0;
  };
  EXPECT_EQ(GetMediaFileType("/a/clip.mkv"), KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  EXPECT_EQ(asked, "/a/clip.mkv");
  EXPECT_EQ(GetMediaFileType("/a/clip.qqq"), KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
}

TEST_F(SupportedFileTypesTest, SplitsArchivePaths) {
  std::string archive = "x", member = "y";
  SplitCompressedFilePath("/music.zip/x/song.mp3", archive, member);
  EXPECT_EQ(archive, "");
  EXPECT_EQ(member, "");
  ProvideArchivePlugin();
  BuildSupportedFileTypes();
  SplitCompressedFilePath("/Music.Zip/x/song.mp3", archive, member);
  EXPECT_EQ(archive, "/Music.Zip");
  EXPECT_EQ(member, "x/song.mp3");
  SplitCompressedFilePath("/a/song.zipper.mp3", archive, member);
  EXPECT_EQ(archive, "");
  EXPECT_EQ(member, "");
}

TEST_F(SupportedFileTypesTest, FiltersAreByteExact) {
  AddSupportedFileType(".CDA", KELDAR_AUDIOVIDEO_API_mtCDTrack, "h", " ", "CD (*.cda)");
  AddSupportedFileType(".MP3", KELDAR_AUDIOVIDEO_API_mtStream, "h", " ", "M (*.mp3)");
  AddSupportedFileType(".XM", KELDAR_AUDIOVIDEO_API_mtMOD, "h", " ", "X (*.xm)");
  AddSupportedFileType(".WAV", KELDAR_AUDIOVIDEO_API_mtStream, "h", " ", "W (*.wav)");
  AddSupportedFileType(".ZPL", KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST, "h", " ", "Z (*.zpl)");
  AddSupportedFileType(".M3U", KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST, "h", " ", "U (*.m3u)");
  EXPECT_EQ(BuildOpenFileFilter(true),
            "All supported files|*.MP3;*.WAV;*.XM;*.CDA;|"
            "All supported Audio stream files|*.MP3;*.WAV;*.CDA;|"
            "All supported Module files|*.XM;|"
            "All supported Video files||"
            "All supported Compressed files||"
            "M (*.mp3)|*.MP3|W (*.wav)|*.WAV|X (*.xm)|*.XM|CD (*.cda)|*.CDA|"
            "All Files (*.*)|*.*|");
  EXPECT_EQ(BuildPlaylistFileFilter(true),
            "All supported Playlist files|*.ZPL;*.M3U;|Z (*.zpl)|*.ZPL|U (*.m3u)|*.M3U|"
            "All Files (*.*)|*.*|");
  EXPECT_EQ(BuildPlaylistFileFilter(false), "Z (*.zpl)|*.ZPL|U (*.m3u)|*.M3U|");
  std::vector<std::string> descriptions{"first"};
  GetSupportedFileDescriptions(descriptions);
  ASSERT_EQ(descriptions.size(), 7u);
  EXPECT_EQ(descriptions[1], "CD (*.cda)");
  EXPECT_EQ(descriptions[6], "U (*.m3u)");
}

}  // namespace
