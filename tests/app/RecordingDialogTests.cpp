// Recording through the recording dialog from a real sound server: a 1 kHz tone played into
// a null sink with paplay is recorded from the sink's monitor through the WAV writer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>

#include "SoundServerPeer.h"
#include "TestSupport.h"
#include "app/CodecChooserDialog.h"
#include "app/FileConversion.h"
#include "app/TRecordingDialogForm.h"
#include <kaudio.h>

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

std::string CommandOutput(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[512];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// Answers the codec chooser when it shows: picks the entry whose text starts with `choice`
// (Cancel when empty or not offered) and notes what the dialog offered.
struct TCodecChooserAnswer {
  std::string Choice;
  bool Shown = false;
  QString Title;
  QStringList Offered;

  void Arm(int tries = 250) {
    QTimer::singleShot(20, [this, tries] {
      QDialog* dialog = nullptr;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "CodecChooserDialog" && w->isVisible()) dialog = qobject_cast<QDialog*>(w);
      if (!dialog) {
        if (tries > 0) Arm(tries - 1);
        return;
      }
      Shown = true;
      Title = dialog->windowTitle();
      auto* list = dialog->findChild<QComboBox*>();
      auto* buttons = dialog->findChild<QDialogButtonBox*>();
      int index = -1;
      for (int i = 0; list && i < list->count(); ++i) {
        Offered << list->itemText(i);
        if (index < 0 && !Choice.empty() && list->itemText(i).startsWith(QString::fromStdString(Choice))) index = i;
      }
      if (index >= 0) {
        list->setCurrentIndex(index);
        buttons->button(QDialogButtonBox::Ok)->click();
      } else {
        buttons->button(QDialogButtonBox::Cancel)->click();
      }
    });
  }
};

// The tone's frequency from the typical distance between upward zero crossings: a short
// gap (a starved player on a loaded machine) does not move it.
double TypicalCrossingFrequency(const std::vector<float>& s, int rate) {
  std::vector<double> periods;
  double last = -1;
  for (size_t i = 1; i < s.size(); ++i)
    if (s[i - 1] < 0 && s[i] >= 0) {
      const double at = double(i - 1) + s[i - 1] / (s[i - 1] - s[i]);  // between the two samples
      if (last >= 0) periods.push_back(at - last);
      last = at;
    }
  if (periods.empty()) return 0;
  std::nth_element(periods.begin(), periods.begin() + long(periods.size() / 2), periods.end());
  return rate / periods[periods.size() / 2];
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
    KAUDIO_Encode_SetACMChooser(nullptr, nullptr);
    KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
    RecordingInputHooks() = {};
  }
  // Waits until the tone being played is what the sink mixes now. The idle sink had mixed
  // silence up to 2 s ahead; until its clock has caught up, the tone is not yet in what it
  // plays, and a monitor connected meanwhile hears nothing before that point.
  void WaitForTheSinkToPlayTheTone(int streamsBefore) {
    for (int i = 0; i < 100 && server_.StreamCount() <= streamsBefore; ++i) Spin(20);
    for (int i = 0; i < 150 && !(server_.SinkLatencyUsec() >= 0 && server_.SinkLatencyUsec() < 50000); ++i) Spin(20);
    ASSERT_LT(server_.SinkLatencyUsec(), 50000) << "the sink did not settle to the tone's short latency";
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
  // periods (30 ms here; with paplay's default 2 s, so the monitor's first block would come
  // that late), yet long enough that a loaded machine does not starve paplay into gaps.
  // The engine's own output is one of the server's streams already.
  const int streams = server_.StreamCount();
  loopback::TChildProcess player({"paplay", "--latency-msec=100", tone});
  // The tone is running before recording starts.
  WaitForTheSinkToPlayTheTone(streams);

  TRecordingDialogForm dialog;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Recording Settings");
  EXPECT_EQ(dialog.EncoderEdit()->text(), "WAV Writer");
  EXPECT_EQ(dialog.FilenameEdit()->text(), "take.wav");
  EXPECT_EQ(dialog.OutputDirEdit()->text().toStdString(), folder_.Path());
  EXPECT_EQ(dialog.SourceEdit()->text().toStdString(), inputs[size_t(monitor)]);
  EXPECT_TRUE(dialog.SourceEdit()->isReadOnly());
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");

  const auto started = std::chrono::steady_clock::now();
  dialog.StartButton()->click();
  EXPECT_EQ(dialog.StartButton()->text(), "Stop Recording");
  EXPECT_TRUE(IsRecording());
  Spin(3000);
  dialog.StartButton()->click();
  const double recordedFor = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");
  EXPECT_FALSE(IsRecording());

  const TWav wav = ReadWav(folder_ / "take.wav");
  EXPECT_EQ(wav.Format, 3) << "float samples, as the list's 32 bits say";
  EXPECT_EQ(wav.Rate, 44100);
  EXPECT_EQ(wav.Channels, 2);
  // Nothing of the start is lost: the file is as long as the button said "Stop Recording"
  // (less the stream's opening and a fragment at each end), and the tone fills it from the start.
  EXPECT_NEAR(double(wav.Left.size()) / 44100.0, recordedFor, 0.25) << "recorded for " << recordedFor << " s";
  ASSERT_GT(wav.Left.size(), 44100u);
  const std::vector<float> opening(wav.Left.begin(), wav.Left.begin() + 8820);
  EXPECT_NEAR(TypicalCrossingFrequency(opening, 44100), 1000.0, 5.0) << "the first 0.2 s";
  // Its 10 ms pieces hold the tone (a starved paplay on a loaded machine may leave a gap).
  int loud = 0;
  for (size_t at = 0; at + 441 <= opening.size(); at += 441) {
    float peak = 0;
    for (size_t i = at; i < at + 441; ++i) peak = std::max(peak, std::fabs(opening[i]));
    loud += peak > 0.3f;
  }
  EXPECT_GE(loud, 16) << "of the 20 pieces of the first 0.2 s";
  EXPECT_NEAR(TypicalCrossingFrequency(wav.Left, 44100), 1000.0, 5.0);
  float peak = 0;
  for (float v : wav.Left) peak = std::max(peak, std::fabs(v));
  EXPECT_GT(peak, 0.3f) << "the tone at the level played";
  EXPECT_TRUE(ReadMessageLog(log_.Path()).empty());

  // Closing the dialog ends a recording too.
  dialog.StartButton()->click();
  EXPECT_TRUE(IsRecording());
  dialog.close();
  EXPECT_FALSE(IsRecording());
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");
}

TEST_F(RecordingDialogTest, TheInternalEncodersCodecChooserDecidesTheFilesFormatAndCancelRecordsNothing) {
  const auto& inputs = KELDAR_AUDIOVIDEO_API_State().RecordingInputs;
  int monitor = -1;
  for (size_t i = 0; i < inputs.size(); ++i)
    if (inputs[i].find("Monitor") != std::string::npos) monitor = int(i);
  ASSERT_GE(monitor, 0);
  Options_RecordingSourceInput.IntegerValue = monitor;
  KELDAR_AUDIOVIDEO_API_Slots().SelectRecordingInput();
  Options_LastUsedEncoder.IntegerValue = 0;  // ACM (Internal)
  Options_RecordingOutputDir.StringValue = folder_.Path();
  Options_RecordingSamplingRate.IntegerValue = 44100;
  Options_RecordingChannels.IntegerValue = 2;
  InstallCodecChooserDialog();
  const std::string tone = folder_ / "tone.wav";
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + tone + "' synth 30 sine 1000 gain -6").c_str()), 0);
  const int streams = server_.StreamCount();
  loopback::TChildProcess player({"paplay", "--latency-msec=100", tone});
  WaitForTheSinkToPlayTheTone(streams);

  TRecordingDialogForm dialog;
  dialog.show();
  EXPECT_EQ(dialog.EncoderEdit()->text(), "ACM (Internal)");
  // What ffprobe finds in the file each choice writes (the list's extension stays ".wav").
  struct TCase {
    std::string Choice, Stream;
  };
  const TCase cases[] = {{"WAV PCM 16-bit", "codec_name=pcm_s16le"},
                         {"WAV PCM 24-bit", "codec_name=pcm_s24le"},
                         {"WAV 32-bit float", "codec_name=pcm_f32le"},
                         {"FLAC 16-bit", "codec_name=flac"},
                         {"Ogg Vorbis", "codec_name=vorbis"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Choice);
    Options_EncoderOutputFile.StringValue = "take " + std::to_string(&c - cases);
    const std::string file = folder_ / (Options_EncoderOutputFile.StringValue + ".wav");
    TCodecChooserAnswer answer;
    answer.Choice = c.Choice;
    answer.Arm();
    dialog.StartButton()->click();
    ASSERT_TRUE(answer.Shown);
    EXPECT_EQ(answer.Title, "Choose Codec");
    EXPECT_TRUE(IsRecording());
    EXPECT_EQ(dialog.StartButton()->text(), "Stop Recording");
    Spin(1000);
    dialog.StartButton()->click();
    EXPECT_FALSE(IsRecording());
    const std::string probe = CommandOutput("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels:format=duration"
                                            " -of default=nw=1 '" + file + "' 2>&1");
    EXPECT_NE(probe.find(c.Stream + "\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("sample_rate=44100\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=2\n"), std::string::npos) << probe;
    const size_t at = probe.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe;
    EXPECT_NEAR(std::atof(probe.c_str() + at + 9), 1.0, 0.3) << probe;
    // The tone is in it, whatever the format: sox decodes the lossless ones to check.
    if (c.Choice.find("WAV") == 0 || c.Choice.find("FLAC") == 0) {
      const std::string decoded = folder_ / "decoded.wav";
      ASSERT_EQ(std::system(("sox '" + file + "' -b 16 -e signed-integer '" + decoded + "' 2>/dev/null").c_str()), 0)
          << c.Choice;
      const TWav wav = ReadWav(decoded);
      EXPECT_NEAR(TypicalCrossingFrequency(wav.Left, 44100), 1000.0, 5.0);
    }
  }
  // The formats offered are those the library can write, in the order given.
  TCodecChooserAnswer cancel;  // no choice: Cancel
  cancel.Arm();
  Options_EncoderOutputFile.StringValue = "cancelled";
  dialog.StartButton()->click();
  ASSERT_TRUE(cancel.Shown);
  ASSERT_GE(cancel.Offered.size(), 7) << cancel.Offered.join(", ").toStdString();
  EXPECT_TRUE(cancel.Offered[0].startsWith("WAV PCM 16-bit (44100 Hz, 2 ch)")) << cancel.Offered[0].toStdString();
  EXPECT_TRUE(cancel.Offered[4].startsWith("FLAC 16-bit")) << cancel.Offered[4].toStdString();
  // Cancel: no recording, no file, no message.
  EXPECT_FALSE(IsRecording());
  EXPECT_EQ(dialog.StartButton()->text(), "Start Recording");
  Spin(300);
  EXPECT_FALSE(fs::exists(folder_ / "cancelled.wav"));
  EXPECT_TRUE(ReadMessageLog(log_.Path()).empty());
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
