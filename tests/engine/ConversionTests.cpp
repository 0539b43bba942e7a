// The encoder list file and converting files through real encoders (lame, oggenc, flac),
// read back with ffprobe and our own decoder.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "engine/EngineTestSupport.h"
#include "engine/KELDAR_Conversion.h"
#include "engine/KELDAR_EncoderJob.h"
#include "engine/KELDAR_EncodersList.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

using namespace enginetest;

namespace {

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// Container and stream tags, keys lower-cased.
std::map<std::string, std::string> ProbeTags(const std::string& file) {
  std::map<std::string, std::string> tags;
  std::istringstream in(Output("ffprobe -v error -show_entries format_tags:stream_tags -of default=nw=1 '" + file + "'"));
  for (std::string line; std::getline(in, line);) {
    const auto eq = line.find('=');
    if (line.rfind("TAG:", 0) != 0 || eq == std::string::npos) continue;
    std::string key = line.substr(4, eq - 4);
    for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
    tags[key] = line.substr(eq + 1);
  }
  return tags;
}

double ProbeSeconds(const std::string& file) {
  return std::atof(Output("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + file + "'").c_str());
}

int OurChildren() {
  int n = 0;
  DIR* d = ::opendir("/proc");
  while (dirent* e = d ? ::readdir(d) : nullptr) {
    if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
    const std::string stat = ReadTextFile(std::string("/proc/") + e->d_name + "/stat");
    const auto close = stat.rfind(')');
    int ppid = 0;
    char state;
    if (close != std::string::npos && std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 &&
        ppid == ::getpid())
      ++n;
  }
  if (d) ::closedir(d);
  return n;
}

int IndexOf(const std::string& name) {
  for (int i = 0; i < EncodersList().TotalEncoders; ++i)
    if (EncodersList().Encoders[size_t(i)].EncName == name) return i;
  return -1;
}

TKELDAR_AUDIOVIDEO_API_AudioFileTags SampleTags() {
  TKELDAR_AUDIOVIDEO_API_AudioFileTags t;
  t.TitleName = "Night Drive";
  t.ArtistName = "The Testers";
  t.AlbumName = "Fixtures Vol 2";
  t.TitleAlbumYear = "1999";
  t.TitleAlbumGenre = "Ambient";
  t.TrackNumber = "7";
  return t;
}

class EncodersListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(folder_.Path());
    Options_LastUsedEncoder.IntegerValue = 0;
  }
  void TearDown() override { ResetEncodersListToDefault(); }
  TTempFolder folder_;
  TMessageLogCapture log_{folder_ / "messages.log"};
  std::vector<TMessage> Messages() const { return ReadMessageLog(log_.Path()); }
};

TEST_F(EncodersListTest, AMissingFileGivesTheDamagedMessageAndTheDefaultListWhichIsSavedExactly) {
  LoadEncodersFromFile();
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "File with Encoders (keldar3encoders.ini) is damaged\rPress OK to Load Default Encoders List");
  ASSERT_EQ(EncodersList().TotalEncoders, 8);
  ASSERT_TRUE(SaveEncodersToFile());
  EXPECT_EQ(ReadTextFile(folder_ / "keldar3encoders.ini"),
            "EncName=ACM (Internal);EncCmdLine=%outputfile%;EncOutputFileExt=.wav;EncInputBits=32;\n"
            "EncName=WAV Writer;EncCmdLine=%outputfile%;EncOutputFileExt=.wav;EncInputBits=32;\n"
            "EncName=OGGEnc;EncCmdLine=oggenc -o %outputfile% -;EncOutputFileExt=.ogg;EncInputBits=32;\n"
            "EncName=OGGEnc with Tags;EncCmdLine=oggenc -t \"%01\" -a \"%02\" -l \"%03\" -d \"%04\" -G \"%05\" -N "
            "\"%09\" -o %outputfile% -;EncOutputFileExt=.ogg;EncInputBits=32;\n"
            "EncName=LAME;EncCmdLine=lame --alt-preset standard - %outputfile%;EncOutputFileExt=.mp3;EncInputBits=24;\n"
            "EncName=LAME with Tags;EncCmdLine=lame --alt-preset standard --tt \"%01\" --ta \"%02\" --tl \"%03\" --ty "
            "\"%04\" --tg \"%05\" --tn \"%09\" - %outputfile%;EncOutputFileExt=.mp3;EncInputBits=24;\n"
            "EncName=FLAC;EncCmdLine=flac - -o %outputfile%;EncOutputFileExt=.flac;EncInputBits=24;\n"
            "EncName=FLAC with Tags;EncCmdLine=flac  -T \"TITLE=%01\" -T \"ARTIST=%02\" -T \"ALBUM=%03\" -T "
            "\"DATE=%04\" -T \"GENRE=%05\" -T \"TRACKNUMBER=%09\" -f - -o %outputfile%;EncOutputFileExt=.flac;"
            "EncInputBits=24;\n");
}

TEST_F(EncodersListTest, ASemicolonInACommandLineCutsItWhenTheFileIsReadAgain) {
  ResetEncodersListToDefault();
  EncodersList().Encoders[4].EncCmdLine = "lame -V2; rm -rf / - %outputfile%";
  ASSERT_TRUE(SaveEncodersToFile());
  LoadEncodersFromFile();
  EXPECT_TRUE(Messages().empty());
  const EncoderStructure* lame = EncoderAt(4);
  ASSERT_NE(lame, nullptr);
  EXPECT_EQ(lame->EncName, "LAME");
  EXPECT_EQ(lame->EncCmdLine, "lame -V2");
  // The rest of the line no longer starts with the next key: those fields stay empty.
  EXPECT_EQ(lame->EncOutputFileExt, "");
  EXPECT_EQ(lame->EncInputBits, "");
  EXPECT_EQ(EncoderAt(5)->EncCmdLine, DefaultEncoders()[5].EncCmdLine) << "other lines untouched";
}

TEST_F(EncodersListTest, HostileFilesKeepAtMost99EncodersAndTheChosenOneInside) {
  Options_LastUsedEncoder.IntegerValue = 500;
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "EncName=E" + std::to_string(i) + ";EncCmdLine=x;EncOutputFileExt=.x;EncInputBits=16;\n";
  WriteTextFile(folder_ / "keldar3encoders.ini", many);
  LoadEncodersFromFile();
  EXPECT_EQ(EncodersList().TotalEncoders, 99);
  EXPECT_EQ(EncoderAt(98)->EncName, "E98");
  EXPECT_EQ(EncoderAt(99), nullptr);
  EXPECT_EQ(Options_LastUsedEncoder.IntegerValue, 0) << "outside the list";

  const std::string huge(1 << 20, 'A');
  WriteTextFile(folder_ / "keldar3encoders.ini", "EncName=" + huge + ";EncCmdLine=" + huge + "\n" + huge + "\n");
  LoadEncodersFromFile();
  ASSERT_EQ(EncodersList().TotalEncoders, 2);
  EXPECT_EQ(EncoderAt(0)->EncName.size(), huge.size());
  EXPECT_EQ(EncoderAt(0)->EncCmdLine, "") << "no closing ';'";
  EXPECT_EQ(EncoderAt(1)->EncName, "");

  std::string binary;
  for (int i = 0; i < 200000; ++i) binary += char((i * 7919) & 0xFF);
  WriteTextFile(folder_ / "keldar3encoders.ini", binary);
  LoadEncodersFromFile();
  EXPECT_GE(EncodersList().TotalEncoders, 1);
  EXPECT_LE(EncodersList().TotalEncoders, 99);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(EncodersListTest, SavingIntoAnUnwritableFolderSaysSo) {
  ResetEncodersListToDefault();
  SetProgramFolderForTesting(folder_ / "missing/folder");
  EXPECT_FALSE(SaveEncodersToFile());
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "Error While Saving keldar3encoders.ini");
}

TEST(EncoderJobTest, CommandLinesFlagsAndOutputNames) {
  const auto defaults = DefaultEncoders();
  // OGGEnc recording to /rec/recordedfile: quoted output and the final "-".
  BASSAPI_Encoder_Structure ogg = EncoderJobFrom(defaults[2], "/rec/recordedfile");
  const std::uint32_t oggFlags = PrepareEncoderCommandLine(ogg, "/rec/recordedfile.ogg");
  EXPECT_EQ(ogg.EncoderCmdLine, "oggenc -o \"/rec/recordedfile.ogg\" -");
  EXPECT_EQ(oggFlags, std::uint32_t(KAUDIO_ENCODE_AUTOFREE)) << "32 bits: float as it is";
  // The WAV writer: unquoted name, plain WAV.
  BASSAPI_Encoder_Structure wav = EncoderJobFrom(defaults[1], "/rec/x");
  EXPECT_EQ(PrepareEncoderCommandLine(wav, "/rec/x.wav"), std::uint32_t(KAUDIO_ENCODE_AUTOFREE | KAUDIO_ENCODE_PCM));
  EXPECT_EQ(wav.EncoderCmdLine, "/rec/x.wav");
  BASSAPI_Encoder_Structure lame = EncoderJobFrom(defaults[4], "/rec/x");
  EXPECT_EQ(PrepareEncoderCommandLine(lame, "/rec/x.mp3"), std::uint32_t(KAUDIO_ENCODE_AUTOFREE | KAUDIO_ENCODE_FP_24BIT));
  EXPECT_EQ(lame.EncoderCmdLine, "lame --alt-preset standard - \"/rec/x.mp3\"");
  // Bits that are not 8, 16 or 24 count as 32.
  for (const char* bits : {"abc", "", "32", "12", " 7"}) {
    BASSAPI_Encoder_Structure job{"Mine", "enc %OUTPUTFILE%", "/o", ".x", bits};
    EXPECT_EQ(PrepareEncoderCommandLine(job, "/o.x") & 0xE, 0u) << bits;
    EXPECT_EQ(job.EncoderCmdLine, "enc \"/o.x\"") << "placeholder case ignored";
  }
  EXPECT_EQ(EncoderInputBitsValue("8"), 8);
  EXPECT_EQ(EncoderInputBitsValue("16"), 16);
  EXPECT_TRUE(IsPlatformCodecEncoder("acm (internal)"));
  EXPECT_TRUE(IsWavWriterEncoder("WAV WRITER"));
}

TEST(ConversionPathTest, CDTracksGetTheirFolderAndNameFromTheFormat) {
  TTempFolder out;
  TKELDAR_AUDIOVIDEO_API_AudioFileTags tags;
  tags.ArtistName = "A";
  tags.AlbumName = "B";
  tags.TitleName = "C";
  const std::string templ = CDTrackOutputTemplate("%02 - %03\\%09 - %02 - %01", tags, 3, "/dev/sr0/Track03.cda");
  EXPECT_EQ(templ, "A - B/03 - A - C");
  EXPECT_EQ(CDTrackOutputTemplate("%09 %06", tags, 12, "/dev/sr0/Track12.cda"), "12 Track12");
  const std::string path = ConversionOutputPath(templ, out.Path(), true, true);
  EXPECT_EQ(path, out / "A - B/03 - A - C");
  EXPECT_TRUE(std::filesystem::is_directory(out / "A - B")) << "the folder is created";
  // Plain files: without keeping subfolders only the name counts; without the destination
  // the output sits beside the source.
  EXPECT_EQ(ConversionOutputPath("/music/x/song.flac", out.Path(), false, true), out / "song");
  EXPECT_EQ(ConversionOutputPath("/music/x/song.flac", out.Path(), false, false), "/music/x/song");
}

class ConversionTest : public PlaybackEngineTest {
 protected:
  void SetUp() override {
    PlaybackEngineTest::SetUp();
    ResetEncodersListToDefault();
    source_ = (Dir() / "source.wav").string();
    if (!fs::exists(source_)) Shell("sox -n -r 44100 -c 2 -b 16 '" + source_ + "' synth 20 sine 440 sine 660 gain -8");
    ASSERT_TRUE(fs::exists(source_));
    fs::create_directories(out_);
  }
  void TearDown() override {
    fs::remove_all(out_);
    PlaybackEngineTest::TearDown();
  }
  bool Convert(const std::string& encoder, const std::atomic<bool>* cancel = nullptr, TConversionProgress* progress = nullptr,
               bool useDestination = true, const std::string& source = {}) {
    const int index = IndexOf(encoder);
    EXPECT_GE(index, 0) << encoder;
    const std::string src = source.empty() ? source_ : source;
    return ConvertFile(src, src, out_.string(), cancel, SampleTags(), false, progress, index, useDestination);
  }
  std::string source_;
  fs::path out_ = Dir() / "out";
};

TEST_F(ConversionTest, TaggedEncodersWriteTheEntrysTags) {
  struct Case {
    const char* encoder;
    const char* ext;
  };
  // ffprobe names the track number "track" in ID3 and Vorbis comments alike.
  for (const Case c : {Case{"LAME with Tags", ".mp3"}, Case{"OGGEnc with Tags", ".ogg"}, Case{"FLAC with Tags", ".flac"}}) {
    SCOPED_TRACE(c.encoder);
    ASSERT_TRUE(Convert(c.encoder));
    const std::string file = (out_ / (std::string("source") + c.ext)).string();
    ASSERT_TRUE(fs::exists(file));
    EXPECT_NEAR(ProbeSeconds(file), 20.0, 0.1);
    auto tags = ProbeTags(file);
    EXPECT_EQ(tags["title"], "Night Drive");
    EXPECT_EQ(tags["artist"], "The Testers");
    EXPECT_EQ(tags["album"], "Fixtures Vol 2");
    EXPECT_EQ(tags["date"], "1999");
    EXPECT_EQ(tags["genre"], "Ambient");
    EXPECT_EQ(tags["track"], "7");
  }
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(OurChildren(), 0);
}

TEST_F(ConversionTest, WavWriterReproducesTheDecodedSource) {
  ASSERT_TRUE(Convert("WAV Writer"));
  const std::string file = (out_ / "source.wav").string();
  const auto decode = [](const std::string& f) {
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, f.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
    std::vector<float> all, buf(8192);
    for (KAUDIO_DWORD got; (got = KAUDIO_ChannelGetData(h, buf.data(), 8192 * 4)) != KAUDIO_DWORD(-1) && got;)
      all.insert(all.end(), buf.begin(), buf.begin() + got / 4);
    KAUDIO_StreamFree(h);
    return all;
  };
  const auto a = decode(source_), b = decode(file);
  ASSERT_EQ(a.size(), size_t(20 * 44100 * 2));
  ASSERT_EQ(a.size(), b.size());
  float worst = 0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
  EXPECT_LE(worst, 1.0f / 32768.0f);
}

TEST_F(ConversionTest, ACDTrackOfADiscImageConvertsToTheTracksOwnSamples) {
  const std::string folder = (Dir() / "cdconv").string();
  ASSERT_TRUE(Shell(std::string(KELDAR_SOURCE_DIR) + "/scripts/make-cd-image '" + folder + "' conv plain"));
  ConversionCDHooks().IsCDTrack = [](const std::string& f) { return UpperCaseAscii(ExtractFileExt(f)) == ".CDA"; };
  const std::string track = folder + "/conv.cue/Track02.cda";
  const bool converted = Convert("WAV Writer", nullptr, nullptr, true, track);
  ConversionCDHooks() = {};
  ASSERT_TRUE(converted);
  std::string written;
  for (const auto& entry : fs::directory_iterator(out_))
    if (entry.path().extension() == ".wav") written = entry.path().string();
  ASSERT_FALSE(written.empty());

  const auto decode = [](KAUDIO_DWORD h) {
    std::vector<float> all, buf(8192);
    for (KAUDIO_DWORD got; (got = KAUDIO_ChannelGetData(h, buf.data(), 8192 * 4)) != KAUDIO_DWORD(-1) && got;)
      all.insert(all.end(), buf.begin(), buf.begin() + got / 4);
    KAUDIO_StreamFree(h);
    return all;
  };
  const int drive = KAUDIO_CD_DriveFromPath((folder + "/conv.cue").c_str());
  ASSERT_GE(drive, 0);
  const auto a = decode(KAUDIO_CD_StreamCreate(static_cast<KAUDIO_DWORD>(drive), 1, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT));
  const auto b = decode(KAUDIO_StreamCreateFile(0, written.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT));
  ASSERT_GT(a.size(), size_t(44100 * 2)) << "the track is seconds long";
  ASSERT_EQ(a.size(), b.size());
  float worst = 0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
  EXPECT_LE(worst, 1.0f / 32768.0f);
  EXPECT_EQ(OurChildren(), 0);
}

TEST_F(ConversionTest, RefusalsAndFailuresSayWhy) {
  // LAME beside its own MP3 source.
  const std::string mp3 = (out_ / "song.mp3").string();
  ASSERT_TRUE(Shell("lame --quiet '" + source_ + "' '" + mp3 + "'"));
  EXPECT_FALSE(Convert("LAME", nullptr, nullptr, false, mp3));
  EXPECT_FALSE(Convert("ACM (Internal)"));
  const std::string six = (Dir() / "six.wav").string();
  ASSERT_TRUE(Shell("sox -n -r 44100 -c 6 -b 16 '" + six + "' synth 1 sine 440"));
  EXPECT_FALSE(Convert("FLAC", nullptr, nullptr, true, six));
  // No encoder program on PATH.
  const std::string path = getenv("PATH");
  setenv("PATH", Dir().c_str(), 1);
  const bool started = Convert("LAME");
  setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(started);
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].Text, "INPUT filename can't be\rthe same as OUTPUT.");
  EXPECT_EQ(messages[1].Text, "Converting Operations can't\rbe used with ACM Manager.\rChange Encoder and try again");
  EXPECT_EQ(messages[2].Text, "Converting Operations can't\rbe used with Multi Channel Files");
  EXPECT_EQ(messages[3].Text,
            "Couldn't start encoding.\rPossible reasons are:\r1. You haven't donwloaded the encoder files.\r2. You "
            "haven't installed these files to the same path with libkaudio.so.\r3. The command line string you have "
            "created for encoder is wrong.");
  for (const auto& m : messages) EXPECT_EQ(m.Title, "Error");
  EXPECT_EQ(OurChildren(), 0);
}

TEST_F(ConversionTest, CancellingStopsAfterTheCurrentBlockAndEndsTheEncoder) {
  std::atomic<bool> cancel{false};
  std::vector<int> seen;
  int blocksAfterCancel = -1;
  TConversionProgress progress;
  progress.SetPosition = [&](int percent) {
    seen.push_back(percent);
    if (cancel.load()) ++blocksAfterCancel;
    if (percent >= 10 && !cancel.exchange(true)) blocksAfterCancel = 0;
  };
  EXPECT_FALSE(Convert("FLAC", &cancel, &progress));
  EXPECT_EQ(blocksAfterCancel, 0) << "no block decoded after the flag was set";
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), 0);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(OurChildren(), 0) << "no encoder left running";
  const std::string file = (out_ / "source.flac").string();
  EXPECT_LT(ProbeSeconds(file), 5.0) << "only what was encoded before the cancel";

  // Uncancelled, the progress runs up to the end.
  seen.clear();
  cancel = false;
  TConversionProgress plain;
  plain.SetPosition = [&](int percent) { seen.push_back(percent); };
  EXPECT_TRUE(Convert("OGGEnc", nullptr, &plain));
  ASSERT_FALSE(seen.empty());
  EXPECT_GE(seen.back(), 99);
}

}  // namespace
