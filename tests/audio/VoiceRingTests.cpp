// A voice's ring between the processing thread and the mixer: frames written in one chunk size
// and mixed in another come out whole and in order across many wraps, and a volume change
// ramps over the block it arrives in.
#include <gtest/gtest.h>

#include <vector>

#include "audio/Voice.h"

namespace {

using kaudio::Voice;

float LeftOf(uint64_t frame) { return float(frame % 1000) / 1000.0f; }
float RightOf(uint64_t frame) { return -float(frame % 777) / 1000.0f; }

TEST(VoiceRing, ChunksOfOtherSizesComeOutWholeAndInOrderAcrossWraps) {
  Voice voice(100, 23);  // 123 frames: the chunk sizes below never divide it
  uint64_t written = 0, mixed = 0;
  std::vector<float> chunk;
  for (int round = 0; round < 400; ++round) {
    const size_t writeFrames = 17 + size_t(round % 5) * 11;  // 17 .. 61
    if (voice.Space() >= writeFrames) {
      chunk.resize(writeFrames * 2);
      for (size_t i = 0; i < writeFrames; ++i) {
        chunk[i * 2] = LeftOf(written + i);
        chunk[i * 2 + 1] = RightOf(written + i);
      }
      voice.Write(chunk.data(), writeFrames);
      written += writeFrames;
    }
    const uint32_t mixFrames = 13 + uint32_t(round % 7) * 9;  // 13 .. 67
    std::vector<float> out(mixFrames * 2, 0.0f);
    const uint32_t got = voice.MixInto(out.data(), mixFrames, mixed);
    ASSERT_EQ(got, std::min<uint64_t>(mixFrames, written - mixed)) << "round " << round;
    for (uint32_t i = 0; i < got; ++i) {
      ASSERT_EQ(out[i * 2], LeftOf(mixed + i)) << "frame " << mixed + i;
      ASSERT_EQ(out[i * 2 + 1], RightOf(mixed + i)) << "frame " << mixed + i;
    }
    for (uint32_t i = got; i < mixFrames; ++i) ASSERT_EQ(out[i * 2], 0.0f) << "nothing past what was written";
    mixed += got;
  }
  EXPECT_GT(mixed, 123u * 50) << "the ring went round many times";
}

TEST(VoiceRing, AVolumeChangeRampsOverTheBlockAcrossTheWrap) {
  Voice voice(60, 0);
  std::vector<float> ones(50 * 2, 1.0f);
  voice.Write(ones.data(), 50);
  std::vector<float> out(50 * 2, 0.0f);
  ASSERT_EQ(voice.MixInto(out.data(), 50, 0), 50u);  // at unity: the first sound takes its gains at once
  EXPECT_EQ(out[0], 1.0f);
  voice.Write(ones.data(), 40);  // wraps after 10 frames
  voice.volume = 0.5f;
  std::fill(out.begin(), out.end(), 0.0f);
  ASSERT_EQ(voice.MixInto(out.data(), 40, 50), 40u);
  for (uint32_t i = 0; i < 40; ++i) {
    const float expected = 1.0f - 0.5f * float(i + 1) / 40.0f;
    ASSERT_NEAR(out[i * 2], expected, 1e-5f) << i;
    ASSERT_NEAR(out[i * 2 + 1], expected, 1e-5f) << i;
  }
}

}  // namespace
