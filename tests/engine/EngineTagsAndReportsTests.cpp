#include "EngineTestSupport.h"
#include "audio/AudioTestSupport.h"
#include "engine/KELDAR_EngineDeviceReports.h"
#include "engine/KELDAR_EngineHooks.h"

using namespace enginetest;

namespace {

class EngineTagsTest : public PlaybackEngineTest {};
class EngineReportsTest : public PlaybackEngineTest {};
class EngineInitialiseTest : public PlaybackEngineTest {};

std::string WriteModule(const std::string& name) {
  const std::string path = (Dir() / name).string();
  std::ofstream(path, std::ios::binary) << audiotest::TinyMod("Keldar Tune", "square wave");
  return path;
}

TEST_F(EngineTagsTest, ModulesAreAlwaysInTempoModeAndTellTheirNames) {
  const std::string mod = WriteModule("tune.mod");
  ASSERT_TRUE(Open(mod));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtMOD);
  EXPECT_EQ(Engine().TempoMode, 1);
  EXPECT_LE(Engine().ChannelInfo.Channels, 2);
  EXPECT_EQ(Engine().Bitrate, 0);
  EXPECT_GE(Engine().TotalSeconds, 1);
  Ops().Play();
  Wait(200);
  Ops().CheckEndOfStream();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);

  const auto info = Ops().GetModuleInfo(mod);
  EXPECT_EQ(info.ModuleName, "Keldar Tune");
  ASSERT_FALSE(info.Instruments.empty() && info.Samples.empty());
  const auto& names = info.Samples.empty() ? info.Instruments : info.Samples;
  EXPECT_EQ(names.front(), "1 square wave");
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i].rfind(std::to_string(i + 1) + " ", 0), 0u) << names[i];
  // A module has no file tags; anything but a module has no module information.
  const auto tags = Ops().ReadFileTags(mod);
  EXPECT_EQ(tags.FullPathAndFilename, mod);
  EXPECT_EQ(tags.TitleName, "");
  // Read with its length in one go: the module's own length, still no tags.
  const auto both = Ops().ReadFileTagsAndLength(mod);
  EXPECT_EQ(both.Tags.TitleName, "");
  EXPECT_GE(both.LengthSeconds, 1);
  EXPECT_EQ(both.LengthSeconds, Ops().GetFilePlaybackLength(mod));
  const auto none = Ops().GetModuleInfo(Tone("notmod.wav", 1));
  EXPECT_EQ(none.ModuleName, "");
  EXPECT_TRUE(none.Instruments.empty());
  EXPECT_TRUE(none.Samples.empty());
}

TEST_F(EngineTagsTest, FileTagsOfAStreamFileAndOfOtherTypes) {
  const std::string wav = Tone("tagged.wav", 1);
  const std::string mp3 = (Dir() / "tagged.mp3").string();
  ASSERT_TRUE(Shell("lame --quiet --ta 'The Band' --tt 'A Song' --tl 'The Album' --ty 1999 --tn 7 "
                    "--tc 'Nice' --tg Rock '" + wav + "' '" + mp3 + "'"));
  const auto tags = Ops().ReadFileTags(mp3);
  EXPECT_EQ(tags.FullPathAndFilename, mp3);
  EXPECT_EQ(tags.TitleName, "A Song");
  EXPECT_EQ(tags.ArtistName, "The Band");
  EXPECT_EQ(tags.AlbumName, "The Album");
  EXPECT_EQ(tags.TitleAlbumYear, "1999");
  EXPECT_EQ(tags.TrackNumber.rfind("7", 0), 0u) << tags.TrackNumber;
  EXPECT_EQ(tags.TitleAlbumGenre, "Rock");
  EXPECT_EQ(tags.TitleComment, "Nice");
  EXPECT_EQ(tags.ComposerName, "");

  // A CD track or a missing file gives the name alone.
  const auto cd = Ops().ReadFileTags("/dev/sr0/Track01.cda");
  EXPECT_EQ(cd.FullPathAndFilename, "/dev/sr0/Track01.cda");
  EXPECT_EQ(cd.TitleName, "");
  const auto missing = Ops().ReadFileTags((Dir() / "missing.mp3").string());
  EXPECT_EQ(missing.ArtistName, "");

  // Tags with the length from the same open: the same texts, the length of the file.
  const auto both = Ops().ReadFileTagsAndLength(mp3);
  EXPECT_EQ(both.Tags.TitleName, "A Song");
  EXPECT_EQ(both.Tags.TitleComment, "Nice");
  EXPECT_EQ(both.LengthSeconds, 1);
  EXPECT_EQ(Ops().ReadFileTagsAndLength(wav).LengthSeconds, 1);
  const auto gone = Ops().ReadFileTagsAndLength((Dir() / "missing.mp3").string());
  EXPECT_EQ(gone.Tags.TitleName, "");
  EXPECT_EQ(gone.LengthSeconds, 0);
}

TEST_F(EngineReportsTest, SoundDeviceReportByteForByte) {
  KAUDIO_INFO info{};
  info.flags = 0x10 | 0x200 | 0x800;
  info.minrate = 8000;
  info.maxrate = 192000;
  info.latency = 23;
  info.minbuf = 40;
  info.hwsize = 1;
  info.hwfree = 2;
  info.freesam = 3;
  info.free3d = 4;
  info.dsver = 5;
  EXPECT_EQ(SoundDeviceInfoText("Card A", info, "ALSA"),
            "Sound Device used by Zorvane Audio Player : Card A\r"
            "\r"
            "Device Capabilities\r"
            "------------------------------\r"
            "The device supports all sampling rates between minimum and maximum sampling rate.\r"
            "The device's drivers have ALSA support.\r"
            "The device's drivers have not been certified by Microsoft.\r"
            "Mono samples are not supported by hardware mixing, but only by software mixing.\r"
            "Stereo samples are supported by hardware mixing.\r"
            "8 bit samples are not supported by hardware mixing, but only by software mixing.\r"
            "16 bit samples are supported by hardware mixing.\r"
            "\r"
            "Device Hardware Info\r"
            "-----------------------------------\r"
            "Sound Device total hardware memory = 1\r"
            "Sound Device free hardware memory = 2\r"
            "Free sample slots in hardware = 3\r"
            "Free 3D sample slots in hardware = 4\r"
            "Minimum sampling rate supported by the hardware = 8000\r"
            "Maximum sampling rate supported by the hardware = 192000\r"
            "DirectX version = 5\r"
            "Device Latency = 23ms\r"
            "Minimum Recommended Buffer Length = 40ms");
  info.flags = 0x20 | 0x40 | 0x100 | 0x400;
  const std::string other = SoundDeviceInfoText("", info, "PulseAudio");
  EXPECT_NE(other.find("The device doesn't support all sampling rates between minimum and maximum sampling rate.\r"
                       "The device's drivers do NOT have PulseAudio support, so it is being emulated.\r"
                       "Updated drivers should be installed.\r"
                       "The device's drivers have been certified by Microsoft.\r"
                       "Mono samples are supported by hardware mixing.\r"
                       "Stereo samples are not supported by hardware mixing, but only by software mixing.\r"
                       "8 bit samples are supported by hardware mixing.\r"
                       "16 bit samples are not supported by hardware mixing, but only by software mixing.\r"),
            std::string::npos);

  // The box itself, for the device in use.
  Ops().ShowSoundDeviceInfo();
  const auto log = Messages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Title, "KAUDIO INFO");
  KAUDIO_DEVICEINFO device{};
  const std::string name = KAUDIO_GetDeviceInfo(1, &device) && device.name ? device.name : "";
  EXPECT_EQ(Engine().DSPOutputInfo.SoundDeviceDescription, name);
  KAUDIO_INFO live{};
  ASSERT_TRUE(KAUDIO_GetInfo(&live));
  const std::string output = AudioOutputName(device.driver ? device.driver : "");
  EXPECT_EQ(log[0].Text, SoundDeviceInfoText(name, live, output));
  // No text names a component we replaced.
  for (const std::string& text : {log[0].Text, std::string(AudioLibraryVersionConflictText())})
    for (const char* replaced : {"DirectSound", "BASS", "bass.dll"})
      EXPECT_EQ(text.find(replaced), std::string::npos) << replaced;
  EXPECT_EQ(AudioOutputName("none"), "none");
  EXPECT_EQ(AudioOutputName(""), "none");
  EXPECT_EQ(AudioOutputName("ALSA"), "ALSA");
  EXPECT_EQ(AudioOutputName("JACK Audio Connection Kit"), "JACK");
  EXPECT_EQ(AudioOutputName("PulseAudio"), "PulseAudio");
}

TEST_F(EngineReportsTest, CDDriveReportsOneBoxPerDriveAndNoneWithoutDrives) {
  TCDDriveInfo drive;
  drive.Vendor = "KELDAR";
  drive.Product = "DVD-RW X1";
  drive.Revision = "1.02";
  drive.Capabilities = 0x1 | 0x4 | 0x1000000 | 0x2000000 | 0x10000;
  drive.MaxReadSpeed = 7056;
  drive.CacheSize = 2048;
  drive.CanReadCDText = true;
  EXPECT_EQ(CDDriveInfoText(0, drive),
            "CD/DVD Drive 1\r"
            "Vendor: KELDAR\r"
            "Product: DVD-RW X1\r"
            "Revision: 1.02\r"
            "The drive can read CD-R media.\r"
            "The drive CANNOT read CD-RW media.\r"
            "The drive can read CD-R/RW media where the addressing type is \"method 2\".\r"
            "The drive CANNOT read DVD-ROM media.\r"
            "The drive CANNOT read DVD-R media.\r"
            "The drive CANNOT read DVD-RAM media.\r"
            "The drive CANNOT read in \"mode 2 form 1\" format.\r"
            "The drive CANNOT read in \"mode 2 form 2\" format.\r"
            "The drive CANNOT read multi-session discs.\r"
            "The drive can read CD audio.\r"
            "The drive supports \"stream is accurate\".\r"
            "The drive CANNOT read sub-channel data.\r"
            "The drive CANNOT read sub-channel data, and de-interleave it.\r"
            "The drive CANNOT read UPC numbers.\r"
            "The drive is capable of analog playback.\r"
            "Maximum Read Speed: 7056 (KB/s), (40x speed)\r"
            "CD Drive Cache Size: 2048 KB\r"
            "Can the CD Drive read CD-TEXT: True\r");
  drive.Capabilities = 0;
  drive.CanReadCDText = false;
  const std::string plain = CDDriveInfoText(1, drive);
  EXPECT_EQ(plain.rfind("CD/DVD Drive 2\r", 0), 0u);
  EXPECT_NE(plain.find("The drive doesn't support \"stream is accurate\".\r"), std::string::npos);
  EXPECT_NE(plain.find("The drive is NOT capable of analog playback.\r"), std::string::npos);
  EXPECT_NE(plain.find("Can the CD Drive read CD-TEXT: False\r"), std::string::npos);

  // Without CD support built in, as on a computer without drives: no box at all.
  CDDriveInfoProvider() = nullptr;
  Ops().ShowCDDrivesInfo();
  EXPECT_TRUE(Messages().empty());
  CDDriveInfoProvider() = [&](int i) -> std::optional<TCDDriveInfo> {
    if (i < 2) return drive;
    return std::nullopt;
  };
  Ops().ShowCDDrivesInfo();
  const auto log = Messages();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].Title, "BASS CD Drives INFO");
  EXPECT_EQ(log[0].Text, CDDriveInfoText(0, drive));
  EXPECT_EQ(log[1].Text, CDDriveInfoText(1, drive));
  CDDriveInfoProvider() = nullptr;
}

TEST_F(EngineReportsTest, EncoderErrorBox) {
  KAUDIO_ChannelPlay(0xDEAD, 0);  // leaves "invalid handle" as the last error
  ReportEncoderError("Can't start the encoder");
  const auto log = Messages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Text, "Can't start the encoder\n(error code: 5)");
  EXPECT_EQ(log[0].Title, "Error");
  EXPECT_EQ(log[0].Icon, TMessageIcon::None);
}

TEST_F(EngineInitialiseTest, InputPluginsAndRecordingInputsAreLoadedAndReleased) {
  static int loads = 0, unloads = 0;
  loads = unloads = 0;
  Ops().UnloadAudioAPI();
  InputPluginLoaderHooks().LoadAll = [] { return ++loads; };
  InputPluginLoaderHooks().UnloadAll = [] { ++unloads; };
  RecordingInputHooks().Open = [] { return true; };
  RecordingInputHooks().InputName = [](int i) -> std::optional<KELDAR_RecordingInputHooks::TInput> {
    if (i == 0) return KELDAR_RecordingInputHooks::TInput{"Capture", "Line-in"};
    if (i == 1) return KELDAR_RecordingInputHooks::TInput{"Front Mic", "Microphone"};
    return std::nullopt;
  };
  ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(Engine().RecordingInputs,
            (std::vector<std::string>{"Capture (Line-in )", "Front Mic (Microphone )"}));
  EXPECT_TRUE(Messages().empty());

  Ops().UnloadAudioAPI();
  EXPECT_EQ(unloads, 1);
  EXPECT_TRUE(Engine().RecordingInputs.empty());

  // A recording device that fails to open leaves the list empty and says so.
  RecordingInputHooks().Open = [] {
    KAUDIO_ChannelPlay(0xDEAD, 0);  // the library's last error: invalid handle
    return false;
  };
  ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
  EXPECT_TRUE(Engine().RecordingInputs.empty());
  const auto log = Messages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Text, KELDAR_EngineErrorText("Can't initialize device", 5));
  EXPECT_EQ(loads, 2);

  InputPluginLoaderHooks() = {};
  RecordingInputHooks() = {};
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
}

}  // namespace
