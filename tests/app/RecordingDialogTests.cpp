// Recording through the recording dialog from a real sound server: a 1 kHz tone played into
// a null sink with paplay is recorded from the sink's monitor through the WAV writer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>

#include "SoundServerPeer.h"
#include "TestSupport.h"
#include "app/FileConversion.h"
#include "app/TRecordingDialogForm.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EncodersList.h"
#include "engine/KELDAR_EngineHooks.h"
#include "engine/KELDAR_Recording.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace fs = std::filesystem;

namespace {

struct TWav {
  int Rate = 0, Channels = 0, Bits = 0, Format = 0;
  std::vector<float> Left;
};

// Reads the plain WAV files the WAV writer makes (16-bit PCM or 32-bit float).
TWav ReadWav(const std::string& path) {
  const std::string d = ReadTextFile(path);
  TWav w;
  if (d.size() < 44 || d.compare(0, 4, "RIFF") != 0) return w;
  const auto u16 = [&](size_t at) { return int(uint8_t(d[at]) | (uint8_t(d[at + 1]) << 8)); };
  const auto u32 = [&](size_t at) { return uint32_t(u16(at)) | (uint32_t(u16(at + 2)) << 16); };
  w.Format = u16(20);
  w.Channels = u16(22);
  w.Rate = int(u32(24));
  w.Bits = u16(34);
  const size_t bytes = std::min<size_t>(u32(40), d.size() - 44);
  const size_t frame = size_t(w.Channels) * size_t(w.Bits / 8);
  for (size_t at = 44; frame && at + frame <= 44 + bytes; at += frame) {
    if (w.Bits == 32) {
      float f;
      std::memcpy(&f, d.data() + at, 4);
      w.Left.push_back(f);
    } else {
      w.Left.push_back(float(int16_t(u16(at))) / 32768.0f);
    }
  }
  return w;
}

// Dominant frequency from upward zero crossings over the audible part.
double ZeroCrossingFrequency(const std::vector<float>& s, int rate) {
  size_t first = 0, last = 0, crossings = 0;
  for (size_t i = 1; i < s.size(); ++i)
    if (s[i - 1] < 0 && s[i] >= 0) {
      if (!crossings) first = i;
      last = i;
      ++crossings;
    }
  return crossings > 1 ? double(crossings - 1) * rate / double(last - first) : 0;
}

class RecordingDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "recording_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  void SetUp() override {
    ASSERT_TRUE(server_.Up());
    SetProgramFolderForTesting(folder_.Path());
    InstallRecordingInputHooks();
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
    ResetEncodersListToDefault();
  }
  void TearDown() override {
    KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
    RecordingInputHooks() = {};
  }
  static void Spin(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      QApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  TSoundServer server_;
  TTempFolder folder_;
  TMessageLogCapture log_{folder_ / "messages.log"};
};

TEST_F(RecordingDialogTest, RecordsTheMonitorOfAPlayingSinkUntilStopped) {
  // The engine listed the server's sources at initialisation, the sink's monitor among them.
  const auto& inputs = KELDAR_AUDIOVIDEO_API_State().RecordingInputs;
  int monitor = -1;
  for (size_t i = 0; i < inputs.size(); ++i)
    if (inputs[i].find("Monitor") != std::string::npos) monitor = int(i);
  ASSERT_GE(monitor, 0) << "inputs: " << inputs.size();
  EXPECT_NE(inputs[size_t(monitor)].find(" (wave/pcm )"), std::string::npos) << inputs[size_t(monitor)];

  Options_RecordingSourceInput.IntegerValue = monitor;
  KELDAR_AUDIOVIDEO_API_Slots().SelectRecordingInput();
  Options_LastUsedEncoder.IntegerValue = 1;  // WAV Writer
  Options_RecordingOutputDir.StringValue = folder_.Path();
  Options_EncoderOutputFile.StringValue = "take";
  Options_RecordingSamplingRate.IntegerValue = 44100;
  Options_RecordingChannels.IntegerValue = 2;

  const std::string tone = folder_ / "tone.wav";
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + tone + "' synth 8 sine 1000 gain -6").c_str()), 0);
  // A short playback latency keeps the null sink (and so its monitor) running in small
  // periods; with paplay's default the monitor's first block comes more than a second late.
  // The engine's own output is one of the server's streams already.
  const int streams = server_.StreamCount();
  loopback::TChildProcess player({"paplay", "--latency-msec=20", tone});
  // The tone is running before recording starts.
  for (int i = 0; i < 100 && server_.StreamCount() <= streams; ++i) Spin(20);
  Spin(300);

  TRecordingDialogForm dialog;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Recording Settings");
  EXPECT_EQ(dialog.EncoderEdit()->text(), "WAV Writer");
  EXPECT_EQ(dialog.FilenameEdit()->text(), "take.wav");
  EXPECT_EQ(dialog.OutputDirEdit()->text().toStdString(), folder_.Path());
  EXPECT_EQ(dialog.SourceEdit()->text().toStdString(), inputs[size_t(monitor)]);
  EXPECT_TRUE(dialog.SourceEdit()->isReadOnly());
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");

  dialog.StartButton()->click();
  EXPECT_EQ(dialog.StartButton()->text(), "Stop Recording");
  EXPECT_TRUE(IsRecording());
  // The server delivers a new record stream's first block only after the sink's current
  // period (here up to a second and more): the 3 s count from the first samples on.
  for (int i = 0; i < 300 && fs::file_size(folder_ / "take.wav") <= 44; ++i) Spin(10);
  ASSERT_GT(fs::file_size(folder_ / "take.wav"), 44u) << "nothing recorded within 3 s";
  Spin(3000);
  dialog.StartButton()->click();
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");
  EXPECT_FALSE(IsRecording());

  const TWav wav = ReadWav(folder_ / "take.wav");
  EXPECT_EQ(wav.Format, 3) << "float samples, as the list's 32 bits say";
  EXPECT_EQ(wav.Rate, 44100);
  EXPECT_EQ(wav.Channels, 2);
  EXPECT_NEAR(double(wav.Left.size()) / 44100.0, 3.0, 0.4);
  // Skip the first 100 ms (the server's stream start) and measure the tone.
  std::vector<float> body(wav.Left.begin() + std::min<size_t>(4410, wav.Left.size()), wav.Left.end());
  EXPECT_NEAR(ZeroCrossingFrequency(body, 44100), 1000.0, 5.0);
  float peak = 0;
  for (float v : body) peak = std::max(peak, std::fabs(v));
  EXPECT_GT(peak, 0.3f) << "the tone at the level played";
  EXPECT_TRUE(ReadMessageLog(log_.Path()).empty());

  // Closing the dialog ends a recording too.
  dialog.StartButton()->click();
  EXPECT_TRUE(IsRecording());
  dialog.close();
  EXPECT_FALSE(IsRecording());
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");
}

TEST_F(RecordingDialogTest, AnEncoderThatCannotStartIsReportedAndNothingRecords) {
  const auto& inputs = KELDAR_AUDIOVIDEO_API_State().RecordingInputs;
  int monitor = -1;
  for (size_t i = 0; i < inputs.size(); ++i)
    if (inputs[i].find("Monitor") != std::string::npos) monitor = int(i);
  ASSERT_GE(monitor, 0) << inputs.size() << " inputs, the first: " << (inputs.empty() ? "" : inputs[0]);
  Options_RecordingSourceInput.IntegerValue = monitor;
  KELDAR_AUDIOVIDEO_API_Slots().SelectRecordingInput();
  // OGGEnc naming a program that is not installed.
  Options_RecordingSamplingRate.IntegerValue = 44100;
  Options_RecordingChannels.IntegerValue = 2;
  Options_LastUsedEncoder.IntegerValue = 2;
  EncodersList().Encoders[2].EncCmdLine = "keldar-missing-oggenc -o %outputfile% -";
  Options_RecordingOutputDir.StringValue = folder_.Path();
  TRecordingDialogForm dialog;
  dialog.show();
  dialog.StartButton()->click();
  EXPECT_FALSE(IsRecording());
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");
  const auto messages = ReadMessageLog(log_.Path());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text.substr(0, messages[0].Text.find('\n')),
            "Couldn't start encoding with : OGGEnc\rPossible reasons are:\r1. You haven't donwloaded the encoder "
            "files.\r2. You haven't installed these files to the same path with libkaudio.so.\r3. The command line "
            "string you have created for encoder is wrong.");
}

TEST_F(RecordingDialogTest, ThePlaylistConvertsItsSelectedEntryWithTheEntrysTags) {
  TPlaylist playlist;
  ConvertSelectedFile(playlist);
  const std::string source = folder_ / "song.wav";
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + source + "' synth 2 sine 440 gain -6").c_str()), 0);
  TPlayListBoxItem item;
  item.FullPathAndFilename = source;
  item.TitleName = "Title Here";
  item.ArtistName = "Someone";
  item.AlbumName = "Album";
  item.TitleCDIndex = 4;
  playlist.Add(item);
  playlist.SetItemIndex(-1);
  ConvertSelectedFile(playlist);
  auto messages = ReadMessageLog(log_.Path());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].Text, "Please Select a CD Track");
  EXPECT_EQ(messages[1].Text, "Please Select a CD Track");

  // A tagged encoder gets the entry's tags, the track number one above the entry's index.
  const std::string out = folder_ / "converted";
  fs::create_directories(out);
  Options_RecordingOutputDir.StringValue = out;
  Options_EncoderConvertUseOutputDir.BooleanValue = true;
  Options_LastUsedEncoder.IntegerValue = 7;  // FLAC with Tags
  playlist.SetItemIndex(0);
  ConvertSelectedFile(playlist);
  EXPECT_EQ(ReadMessageLog(log_.Path()).size(), 2u);
  const std::string flac = out + "/song.flac";
  ASSERT_TRUE(fs::exists(flac));
  FILE* probe = ::popen(("ffprobe -v error -show_entries format_tags=title,artist,track -of default=nw=1 '" + flac + "'").c_str(), "r");
  ASSERT_NE(probe, nullptr);
  std::string tags;
  char buf[512];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, probe)) > 0;) tags.append(buf, n);
  ::pclose(probe);
  EXPECT_NE(tags.find("TAG:TITLE=Title Here"), std::string::npos) << tags;
  EXPECT_NE(tags.find("TAG:ARTIST=Someone"), std::string::npos) << tags;
  EXPECT_NE(tags.find("TAG:track=5"), std::string::npos) << tags;
  // No progress dialog is left behind.
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->objectName() == "TConversionProgressForm" && w->isVisible());
}

}  // namespace
