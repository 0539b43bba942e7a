// DSP callbacks, the dynamic amplification effect and syncs.
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <cmath>
#include <vector>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

class DspFxSyncTest : public AudioTest {};

void Silence(KAUDIO_HDSP, KAUDIO_DWORD, void* buffer, KAUDIO_DWORD length, void*) {
  auto* s = static_cast<float*>(buffer);
  for (KAUDIO_DWORD i = 0; i < length / 4; ++i) s[i] *= 0.0f;
}

struct Order {
  std::vector<int> calls;
};
void First(KAUDIO_HDSP, KAUDIO_DWORD, void*, KAUDIO_DWORD, void* u) { static_cast<Order*>(u)->calls.push_back(1); }
void Second(KAUDIO_HDSP, KAUDIO_DWORD, void*, KAUDIO_DWORD, void* u) { static_cast<Order*>(u)->calls.push_back(2); }

struct Seen {
  KAUDIO_DWORD channel = 0;
  KAUDIO_DWORD length = 0;
};
void Record(KAUDIO_HDSP, KAUDIO_DWORD channel, void*, KAUDIO_DWORD length, void* u) {
  static_cast<Seen*>(u)->channel = channel;
  static_cast<Seen*>(u)->length = length;
}

TEST_F(DspFxSyncTest, MultiplyingByZeroSilencesTheOutput) {
  const std::string path = dir_.File("t.wav");
  ASSERT_TRUE(MakeTone(path, 1.0, 440.0, 0.8));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  ASSERT_NE(h, 0u);
  const KAUDIO_HDSP dsp = KAUDIO_ChannelSetDSP(h, &Silence, nullptr, 0);
  ASSERT_NE(dsp, 0u);
  int16_t pcm[2048];
  ASSERT_EQ(KAUDIO_ChannelGetData(h, pcm, sizeof pcm), sizeof pcm);
  for (int16_t v : pcm) ASSERT_EQ(v, 0);
  ASSERT_TRUE(KAUDIO_ChannelRemoveDSP(h, dsp));
  ASSERT_EQ(KAUDIO_ChannelGetData(h, pcm, sizeof pcm), sizeof pcm);
  int peak = 0;
  for (int16_t v : pcm) peak = std::max(peak, std::abs(int(v)));
  EXPECT_GT(peak, 20000);
  EXPECT_FALSE(KAUDIO_ChannelRemoveDSP(h, dsp));
}

TEST_F(DspFxSyncTest, HigherPriorityRunsFirstAndSeesTheChannelsOwnFormat) {
  const std::string path = dir_.File("m.wav");
  ASSERT_TRUE(MakeTone(path, 0.5, 440.0, 0.5, 22050, 1));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  ASSERT_NE(h, 0u);
  Order order;
  Seen seen;
  ASSERT_NE(KAUDIO_ChannelSetDSP(h, &Second, &order, 1), 0u);
  ASSERT_NE(KAUDIO_ChannelSetDSP(h, &First, &order, 5), 0u);
  ASSERT_NE(KAUDIO_ChannelSetDSP(h, &Record, &seen, -1), 0u);
  int16_t pcm[100];  // 100 mono frames
  ASSERT_EQ(KAUDIO_ChannelGetData(h, pcm, sizeof pcm), sizeof pcm);
  ASSERT_GE(order.calls.size(), 2u);
  EXPECT_EQ(order.calls[0], 1);
  EXPECT_EQ(order.calls[1], 2);
  EXPECT_EQ(seen.channel, h);
  EXPECT_EQ(seen.length, 100u * sizeof(float));  // float samples of one channel
}

TEST_F(DspFxSyncTest, DynamicAmplificationRaisesAQuietToneWithoutPassingTheTarget) {
  const std::string path = dir_.File("quiet.wav");
  ASSERT_TRUE(MakeTone(path, 4.0, 440.0, 0.1));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0,
                                                   KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(h, 0u);
  const KAUDIO_HFX fx = KAUDIO_ChannelSetFX(h, KAUDIO_FX_DAMP, 4);
  ASSERT_NE(fx, 0u);
  const KAUDIO_FX_DAMP_PARAMS p{0.92f, 0.02f, 0.5f, 1.0f, 0.5f, 0};
  ASSERT_TRUE(KAUDIO_FXSetParameters(fx, &p));
  KAUDIO_FX_DAMP_PARAMS back{};
  ASSERT_TRUE(KAUDIO_FXGetParameters(fx, &back));
  EXPECT_FLOAT_EQ(back.fTarget, 0.92f);
  const std::vector<float> all = DecodeAll(h);
  ASSERT_GT(all.size(), 44100u * 2 * 3);
  auto peakOf = [&](size_t from, size_t to) {
    float m = 0;
    for (size_t i = from; i < to; ++i) m = std::max(m, std::fabs(all[i]));
    return m;
  };
  EXPECT_NEAR(peakOf(0, 4000), 0.1f, 0.02f);                   // unchanged at first
  const float late = peakOf(all.size() - 20000, all.size() - 1000);
  EXPECT_GT(late, 0.5f);
  EXPECT_LE(peakOf(0, all.size()), 0.93f);
  EXPECT_TRUE(KAUDIO_ChannelRemoveFX(h, fx));
  EXPECT_FALSE(KAUDIO_FXSetParameters(fx, &p));
  EXPECT_EQ(KAUDIO_ChannelSetFX(h, 0x12345, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_ILLTYPE);
}

TEST_F(DspFxSyncTest, PositionAndEndSyncsOfADecodingChannel) {
  const std::string path = dir_.File("s.wav");
  ASSERT_TRUE(MakeTone(path, 1.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  ASSERT_NE(h, 0u);
  static std::atomic<int> pos{0}, end{0};
  pos = end = 0;
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_POS | KAUDIO_SYNC_MIXTIME, KAUDIO_ChannelSeconds2Bytes(h, 0.5),
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD, KAUDIO_DWORD, void*) { ++pos; }, nullptr), 0u);
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_END | KAUDIO_SYNC_MIXTIME, 0,
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD, KAUDIO_DWORD, void*) { ++end; }, nullptr), 0u);
  int16_t pcm[4096];
  KAUDIO_ChannelGetData(h, pcm, sizeof pcm);
  EXPECT_EQ(pos.load(), 0);
  DecodeAll(h);
  EXPECT_EQ(pos.load(), 1);
  EXPECT_EQ(end.load(), 1);
  EXPECT_EQ(KAUDIO_ChannelSetSync(h, 999, 0, [](KAUDIO_HSYNC, KAUDIO_DWORD, KAUDIO_DWORD, void*) {}, nullptr), 0u);
}

}  // namespace

namespace {

TEST_F(DspFxSyncTest, FreeingAChannelWaitsForItsRunningSyncCallback) {
  const std::string path = dir_.File("free.wav");
  ASSERT_TRUE(MakeTone(path, 2.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u);
  static std::atomic<int> started{0}, finished{0};
  started = finished = 0;
  // The callback reads the channel as a metadata callback does, slowly.
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_SETPOS, 0,
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD ch, KAUDIO_DWORD, void*) {
                                    ++started;
                                    KAUDIO_ChannelGetTags(ch, KAUDIO_TAG_META);
                                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                                    ++finished;
                                  }, nullptr), 0u);
  ASSERT_TRUE(KAUDIO_ChannelSetPosition(h, 4000, KAUDIO_POS_BYTE));
  for (int i = 0; i < 200 && !started; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(started.load(), 1);
  EXPECT_TRUE(KAUDIO_StreamFree(h));
  EXPECT_EQ(finished.load(), 1);
}

TEST_F(DspFxSyncTest, SilencingDspOnAPlayingChannelSilencesItsData) {
  const std::string path = dir_.File("p.wav");
  ASSERT_TRUE(MakeTone(path, 2.0, 440.0, 0.8));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(h, 0u);
  ASSERT_NE(KAUDIO_ChannelSetDSP(h, &Silence, nullptr, 2), 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  float wave[512];
  ASSERT_EQ(KAUDIO_ChannelGetData(h, wave, sizeof wave), sizeof wave);
  for (float v : wave) ASSERT_EQ(v, 0.0f);
  EXPECT_EQ(KAUDIO_ChannelGetLevel(h), 0u);
}

TEST_F(DspFxSyncTest, ChainedOggRaisesTheOggChangeSyncWithTheNewComments) {
  if (!HaveTool("oggenc")) GTEST_SKIP() << "oggenc not installed";
  const std::string a = dir_.File("a.wav"), b = dir_.File("b.wav");
  ASSERT_TRUE(MakeTone(a, 1.0));
  ASSERT_TRUE(MakeTone(b, 1.0, 660.0));
  ASSERT_TRUE(Shell("oggenc -Q -t One -a First -o '" + a + ".ogg' '" + a + "'"));
  ASSERT_TRUE(Shell("oggenc -Q -t Two -a Second -o '" + b + ".ogg' '" + b + "'"));
  const std::string chained = dir_.File("chained.ogg");
  ASSERT_TRUE(Shell("cat '" + a + ".ogg' '" + b + ".ogg' > '" + chained + "'"));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, chained.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(h, 0u);
  struct Log { std::vector<std::string> titles; } log;
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_OGG_CHANGE | KAUDIO_SYNC_MIXTIME, 0,
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD ch, KAUDIO_DWORD, void* u) {
                                    const char* block = KAUDIO_ChannelGetTags(ch, KAUDIO_TAG_OGG);
                                    for (const char* p = block; p && *p; p += std::strlen(p) + 1)
                                      if (std::strncmp(p, "title=", 6) == 0) static_cast<Log*>(u)->titles.push_back(p + 6);
                                  }, &log), 0u);
  DecodeAll(h);
  ASSERT_FALSE(log.titles.empty());
  EXPECT_EQ(log.titles.back(), "Two");
}

}  // namespace
