// The bundled FFmpeg add-on, and file tags.
#include <cstring>
#include <filesystem>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

class AddonTest : public AudioTest {};
class TagsTest : public AudioTest {};

std::string AddonPath() { return std::string(KELDAR_PROGRAM_DIR) + "/kaudio_ffmpeg.so"; }

TEST_F(AddonTest, AnnouncesExtraFormatsAndDecodesThem) {
  ASSERT_TRUE(std::filesystem::exists(AddonPath())) << AddonPath();
  const KAUDIO_HPLUGIN p = KAUDIO_PluginLoad(AddonPath().c_str(), KAUDIO_UNICODE);
  ASSERT_NE(p, 0u) << KAUDIO_ErrorGetCode();
  EXPECT_EQ(KAUDIO_PluginLoad(AddonPath().c_str(), 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_ALREADY);
  const KAUDIO_PLUGININFO* info = KAUDIO_PluginGetInfo(p);
  ASSERT_NE(info, nullptr);
  bool flac = false, wma = false;
  for (KAUDIO_DWORD i = 0; i < info->formatc; ++i) {
    const std::string exts = info->formats[i].exts;
    flac = flac || exts.find("*.flac") != std::string::npos;
    wma = wma || exts.find("*.wma") != std::string::npos;
    EXPECT_EQ(exts.find("*.mp3"), std::string::npos);  // the built-in five stay ours
  }
  EXPECT_TRUE(flac);
  EXPECT_TRUE(wma);

  const std::string path = dir_.File("tone.flac");
  ASSERT_TRUE(MakeTone(path, 1.0, 440.0, 0.5, 48000, 1));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(h, 0u);
  KAUDIO_CHANNELINFO ci{};
  ASSERT_TRUE(KAUDIO_ChannelGetInfo(h, &ci));
  EXPECT_EQ(ci.plugin, p);
  EXPECT_EQ(ci.freq, 48000u);
  EXPECT_EQ(ci.chans, 1u);
  EXPECT_NEAR(double(DecodeAll(h).size()), 48000.0, 10.0);
  // Freeing the add-on frees the channels it decodes.
  ASSERT_TRUE(KAUDIO_PluginFree(p));
  EXPECT_FALSE(KAUDIO_ChannelGetInfo(h, &ci));
  EXPECT_EQ(KAUDIO_PluginGetInfo(p), nullptr);
  // Without it the built-in decoder still plays FLAC.
  const KAUDIO_HSTREAM again = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  ASSERT_NE(again, 0u);
  ASSERT_TRUE(KAUDIO_ChannelGetInfo(again, &ci));
  EXPECT_EQ(ci.plugin, 0u);
  EXPECT_EQ(KAUDIO_PluginLoad(dir_.File("nothing.so").c_str(), 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEOPEN);
}

TEST_F(TagsTest, TagsReadFormatsTheFileTags) {
  ASSERT_TRUE(HaveTool("lame"));
  const std::string wav = dir_.File("t.wav");
  ASSERT_TRUE(MakeTone(wav, 0.5));
  const std::string mp3 = dir_.File("t.mp3");
  ASSERT_TRUE(Shell("lame --quiet --tt 'A Title' --ta 'An Artist' --tl 'The Album' --ty 1999 --tn 7 --tg Rock '" +
                    wav + "' '" + mp3 + "'"));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, mp3.c_str(), 0, 0, 0x80200000u);
  ASSERT_NE(h, 0u);
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%TITL"), "A Title");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%ARTI"), "An Artist");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%ALBM"), "The Album");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%YEAR"), "1999");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%TRCK"), "7");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%GNRE"), "Rock");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%COMP"), "");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%ARTI - %TITL (100%%)"), "An Artist - A Title (100%)");
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%IFV2(%COMP,%COMP,none)"), "none");
  const std::string ogg = dir_.File("t.ogg");
  ASSERT_TRUE(Shell("oggenc -Q -t 'Ogg Title' -a 'Ogg Artist' -o '" + ogg + "' '" + wav + "'"));
  const KAUDIO_HSTREAM o = KAUDIO_StreamCreateFile(0, ogg.c_str(), 0, 0, 0);
  ASSERT_NE(o, 0u);
  EXPECT_STREQ(KAUDIO_TAGS_Read(o, "%TITL"), "Ogg Title");
  // The Ogg comment block: NUL-separated, ended by an empty string.
  const char* block = KAUDIO_ChannelGetTags(o, KAUDIO_TAG_OGG);
  ASSERT_NE(block, nullptr);
  bool title = false;
  for (const char* p = block; *p; p += std::strlen(p) + 1) title = title || std::string(p) == "title=Ogg Title";
  EXPECT_TRUE(title);
}

}  // namespace
