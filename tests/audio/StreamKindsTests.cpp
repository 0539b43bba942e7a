// Memory streams, user streams, sample formats and attributes.
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <chrono>
#include <thread>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

class StreamKindsTest : public AudioTest {};

TEST_F(StreamKindsTest, MemoryStreamDecodesLikeTheFile) {
  const std::string path = dir_.File("m.ogg");
  ASSERT_TRUE(MakeTone(path, 1.0));
  std::ifstream f(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const KAUDIO_HSTREAM fromFile = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  const KAUDIO_HSTREAM fromMem = KAUDIO_StreamCreateFile(1, bytes.data(), 0, bytes.size(), KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(fromFile, 0u);
  ASSERT_NE(fromMem, 0u);
  const auto a = DecodeAll(fromFile), b = DecodeAll(fromMem);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
  EXPECT_EQ(KAUDIO_StreamCreateFile(1, bytes.data(), 0, 0, 0), 0u);  // a memory block needs a length
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_ILLPARAM);
}

struct Ramp {
  int16_t next = 0;
  int calls = 0;
};

KAUDIO_DWORD RampProc(KAUDIO_HSTREAM, void* buffer, KAUDIO_DWORD length, void* user) {
  auto* r = static_cast<Ramp*>(user);
  auto* s = static_cast<int16_t*>(buffer);
  const KAUDIO_DWORD n = std::min<KAUDIO_DWORD>(length / 2, 100);
  for (KAUDIO_DWORD i = 0; i < n; ++i) s[i] = r->next++;
  return ++r->calls == 3 ? (n * 2) | KAUDIO_STREAMPROC_END : n * 2;
}

TEST_F(StreamKindsTest, UserStreamDeliversItsCallbackSamplesAndEnds) {
  Ramp ramp;
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreate(22050, 1, KAUDIO_STREAM_DECODE, &RampProc, &ramp);
  ASSERT_NE(h, 0u);
  int16_t got[400];
  const KAUDIO_DWORD bytes = KAUDIO_ChannelGetData(h, got, sizeof got);
  ASSERT_EQ(bytes, 300u * 2);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(got[i], i);
  EXPECT_EQ(KAUDIO_ChannelGetData(h, got, sizeof got), KAUDIO_DWORD(-1));
  EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_STOPPED));
  EXPECT_EQ(KAUDIO_StreamCreate(22050, 0, 0, &RampProc, &ramp), 0u);
  EXPECT_EQ(KAUDIO_StreamCreate(10, 2, 0, &RampProc, &ramp), 0u);
}

TEST_F(StreamKindsTest, ByteFormatsFollowTheChannelFlags) {
  const std::string path = dir_.File("f.wav");
  ASSERT_TRUE(MakeTone(path, 1.0, 440.0, 0.5, 44100, 2));
  const KAUDIO_HSTREAM s16 = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  const KAUDIO_HSTREAM s8 = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_8BITS);
  const KAUDIO_HSTREAM f32 = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  ASSERT_TRUE(s16 && s8 && f32);
  EXPECT_EQ(KAUDIO_ChannelGetLength(s16, KAUDIO_POS_BYTE), 44100u * 4);
  EXPECT_EQ(KAUDIO_ChannelGetLength(s8, KAUDIO_POS_BYTE), 44100u * 2);
  EXPECT_EQ(KAUDIO_ChannelGetLength(f32, KAUDIO_POS_BYTE), 44100u * 8);
  EXPECT_DOUBLE_EQ(KAUDIO_ChannelBytes2Seconds(s8, 44100), 0.5);
  EXPECT_EQ(KAUDIO_ChannelSeconds2Bytes(f32, 0.5), 22050u * 8);
  KAUDIO_CHANNELINFO info{};
  ASSERT_TRUE(KAUDIO_ChannelGetInfo(s8, &info));
  EXPECT_TRUE(info.flags & KAUDIO_SAMPLE_8BITS);
  EXPECT_EQ(info.origres, 16u);
  uint8_t u8[64];
  ASSERT_EQ(KAUDIO_ChannelGetData(s8, u8, sizeof u8), sizeof u8);
  EXPECT_NEAR(int(u8[0]), 128, 2);  // a sine starts at zero: unsigned 8-bit centre
  EXPECT_EQ(KAUDIO_ChannelGetPosition(s8, KAUDIO_POS_BYTE), 64u);
}

TEST_F(StreamKindsTest, AttributesKeepTheirValuesAndRejectTheWrongKind) {
  const std::string path = dir_.File("a.wav");
  ASSERT_TRUE(MakeTone(path, 1.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u);
  float v = 0;
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_VOL, 0.25f));
  ASSERT_TRUE(KAUDIO_ChannelGetAttribute(h, KAUDIO_ATTRIB_VOL, &v));
  EXPECT_FLOAT_EQ(v, 0.25f);
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_PAN, -3.0f));  // clamped
  ASSERT_TRUE(KAUDIO_ChannelGetAttribute(h, KAUDIO_ATTRIB_PAN, &v));
  EXPECT_FLOAT_EQ(v, -1.0f);
  ASSERT_TRUE(KAUDIO_ChannelGetAttribute(h, KAUDIO_ATTRIB_FREQ, &v));
  EXPECT_FLOAT_EQ(v, 44100.0f);
  EXPECT_FALSE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_MUSIC_PANSEP, 50.0f));
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_ILLTYPE);
  EXPECT_FALSE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_VOL, std::nanf("")));
  EXPECT_FALSE(KAUDIO_ChannelSetAttribute(h, 77, 1.0f));
}

TEST_F(StreamKindsTest, PlaybackRateAttributeSpeedsUpPlaying) {
  const std::string path = dir_.File("r.wav");
  ASSERT_TRUE(MakeTone(path, 3.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_FREQ, 88200.0f));
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_NEAR(KAUDIO_ChannelBytes2Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE)), 1.0, 0.12);
}

}  // namespace
