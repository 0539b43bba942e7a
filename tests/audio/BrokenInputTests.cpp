// Broken input gives an error code or an ended channel, never a crash or a hang.
// Run this group under the sanitizer build with --gtest_filter='*BrokenInput*'.
#include <chrono>
#include <thread>

#include "AudioTestSupport.h"

using namespace audiotest;
using Clock = std::chrono::steady_clock;

namespace {

class BrokenInputTest : public AudioTest {};

TEST_F(BrokenInputTest, TruncatedMp3DecodesWhatThereIsAndEnds) {
  const std::string full = dir_.File("full.mp3");
  ASSERT_TRUE(MakeTone(full, 3.0));
  const std::string cut = dir_.File("cut.mp3");
  ASSERT_TRUE(Shell("head -c 20000 '" + full + "' > '" + cut + "'"));
  const KAUDIO_HSTREAM d = KAUDIO_StreamCreateFile(0, cut.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(d, 0u) << KAUDIO_ErrorGetCode();
  const size_t frames = DecodeAll(d).size() / 2;
  EXPECT_GT(frames, 40000u);
  EXPECT_LT(frames, 60000u);
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, cut.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  const auto start = Clock::now();
  while (KAUDIO_ChannelIsActive(h) != KAUDIO_ACTIVE_STOPPED &&
         std::chrono::duration<double>(Clock::now() - start).count() < 5.0)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_STOPPED));
}

TEST_F(BrokenInputTest, ZeroByteAndTextFilesAreUnsupportedFormats) {
  const std::string empty = dir_.File("empty.mp3");
  WriteFile(empty, "");
  EXPECT_EQ(KAUDIO_StreamCreateFile(0, empty.c_str(), 0, 0, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEFORM);
  const std::string text = dir_.File("notes.ogg");
  WriteFile(text, "This is not an Ogg Vorbis file, only some words.\n");
  EXPECT_EQ(KAUDIO_StreamCreateFile(0, text.c_str(), 0, 0, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEFORM);
  EXPECT_EQ(KAUDIO_StreamCreateFile(0, dir_.File("missing.wav").c_str(), 0, 0, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEOPEN);
  EXPECT_EQ(KAUDIO_MusicLoad(0, empty.c_str(), 0, 0, 0, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEFORM);
}

TEST_F(BrokenInputTest, GarbageModulesAreRefused) {
  std::string junk(5000, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = char((i * 2654435761u) >> 13);
  const std::string path = dir_.File("junk.xm");
  WriteFile(path, junk);
  EXPECT_EQ(KAUDIO_MusicLoad(0, path.c_str(), 0, 0, 0, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEFORM);
  // A module whose pattern data is cut off and whose header lies about sample lengths.
  std::string mod = TinyMod("cut", "s");
  mod[20 + 22] = char(0x7f);  // claims a 64 KB sample
  mod.resize(1084 + 300);
  const std::string cut = dir_.File("cut.mod");
  WriteFile(cut, mod);
  const KAUDIO_HMUSIC h = KAUDIO_MusicLoad(0, cut.c_str(), 0, 0, KAUDIO_MUSIC_DECODE | KAUDIO_SAMPLE_FLOAT, 0);
  if (h) DecodeAll(h);  // libopenmpt may salvage it; then it must decode to an end
  else EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEFORM);
}

TEST_F(BrokenInputTest, CorruptedMiddleOfAFileDoesNotStopDecoding) {
  const std::string path = dir_.File("mid.mp3");
  ASSERT_TRUE(MakeTone(path, 2.0));
  ASSERT_TRUE(Shell("dd if=/dev/urandom of='" + path + "' bs=1 seek=10000 count=6000 conv=notrunc"));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(h, 0u);
  const size_t frames = DecodeAll(h).size() / 2;
  EXPECT_GT(frames, 44100u);
  // Random positions, including past the end, never crash.
  for (KAUDIO_QWORD pos : {KAUDIO_QWORD(0), KAUDIO_QWORD(123457), KAUDIO_QWORD(1) << 40})
    KAUDIO_ChannelSetPosition(h, pos, KAUDIO_POS_BYTE);
}

}  // namespace
