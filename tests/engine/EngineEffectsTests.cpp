#include <atomic>

#include "EngineTestSupport.h"
#include "engine/BASSAPIEffects.h"
#include "engine/KELDAR_EngineHooks.h"

using namespace enginetest;

namespace {

class EngineEffectsTest : public PlaybackEngineTest {};

// What the DSP plug-in hook saw.
std::atomic<int> g_blocks{0};
std::atomic<std::uint32_t> g_rate{0}, g_channels{0}, g_bytesPerSample{0}, g_badLength{0};
std::atomic<std::uint32_t> g_created{0}, g_stopped{0};

void CountBlock(void*, std::uint32_t length, std::uint32_t rate, std::uint32_t channels, std::uint32_t bps) {
  ++g_blocks;
  g_rate = rate;
  g_channels = channels;
  g_bytesPerSample = bps;
  if (length % (channels * bps)) ++g_badLength;
}

float Attribute(std::uint32_t handle, KAUDIO_DWORD attrib) {
  float value = -12345;
  EXPECT_TRUE(KAUDIO_ChannelGetAttribute(handle, attrib, &value)) << attrib;
  return value;
}

// Peak of the left channel over a few readings (0..32768).
std::uint32_t LeftLevel() {
  std::uint32_t best = 0;
  for (int i = 0; i < 5; ++i) {
    Wait(40);
    KELDAR_AUDIOVIDEO_API_Slots().GetLevel();
    best = std::max(best, KELDAR_AUDIOVIDEO_API_State().Level & 0xFFFF);
  }
  return best;
}

TEST_F(EngineEffectsTest, SliderValuesAndHintTexts) {
  EXPECT_DOUBLE_EQ(VolumeFromSlider(75), 0.75);
  EXPECT_DOUBLE_EQ(BalanceFromSlider(0), -1.0);
  EXPECT_DOUBLE_EQ(BalanceFromSlider(100), 1.0);
  EXPECT_DOUBLE_EQ(PitchFromSlider(0), -24.0);
  EXPECT_DOUBLE_EQ(PitchFromSlider(100), 24.0);
  EXPECT_DOUBLE_EQ(TempoFromSlider(0), -95.0);
  EXPECT_DOUBLE_EQ(TempoFromSlider(100), 95.0);
  EXPECT_EQ(SampleRateFromSlider(0, 44100), 22050u);
  EXPECT_EQ(SampleRateFromSlider(100, 44100), 88200u);
  EXPECT_EQ(SampleRateFromSlider(50, 44100), 44100u);
  EXPECT_EQ(SampleRateFromSlider(25, 44100), 33075u);
  EXPECT_EQ(SampleRateFromSlider(51, 44100), 44982u);  // 44100 * 102 / 100, in integers
  // The product is formed in 64 bits: 30 MHz x 150 does not fit 32 bits.
  EXPECT_EQ(SampleRateFromSlider(75, 30000000u), 45000000u);

  // Hints are built even with nothing open.
  auto& s = Engine();
  s.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  s.ChannelInfo.SamplingRate = 44100;
  s.Sliders.Volume = 75;
  s.Sliders.Balance = 0;
  s.Sliders.Pitch = 0;
  s.Sliders.Tempo = 100;
  s.Sliders.SampleRate = 0;
  Ops().SetVolume();
  Ops().SetBalance();
  Ops().SetPitch();
  Ops().SetTempo();
  Ops().SetSampleRate();
  EXPECT_EQ(s.Hints.Volume, "75%");
  EXPECT_EQ(s.Hints.Balance, "-100%");
  EXPECT_EQ(s.Hints.Pitch, "-24 semitones");
  EXPECT_EQ(s.Hints.Tempo, "95%");
  EXPECT_EQ(s.Hints.SampleRate, "22050Hz");
  s.Sliders.Pitch = 53;  // 1.44 semitones
  s.Sliders.Tempo = 47;  // -5.7 %
  Ops().SetPitch();
  Ops().SetTempo();
  EXPECT_EQ(s.Hints.Pitch, "1 semitones");
  EXPECT_EQ(s.Hints.Tempo, "-6%");

  s.Sliders.PreAmp = 100;
  s.Sliders.Bands = {0, 50, 50, 50, 50, 50, 50, 50, 50, 75};
  Ops().UpdateEQ();
  EXPECT_EQ(s.Hints.PreAmp, "EQ PreAmp:100%");
  EXPECT_EQ(s.Hints.Bands[0], "EQ Band 31 Hz:-100%");
  EXPECT_EQ(s.Hints.Bands[1], "EQ Band 62 Hz:0%");
  EXPECT_EQ(s.Hints.Bands[9], "EQ Band 16000 Hz:50%");
}

TEST_F(EngineEffectsTest, AttributesReachTheChannelOnlyWhereTheyApply) {
  ASSERT_TRUE(Open(Tone("attr.wav", 5)));
  ASSERT_EQ(Engine().TempoMode, 1);
  const std::uint32_t h = Engine().StreamHandle;
  Engine().Sliders = {};
  Engine().Sliders.Volume = 40;
  Engine().Sliders.Balance = 75;
  Engine().Sliders.Pitch = 0;
  Engine().Sliders.Tempo = 100;
  Engine().Sliders.SampleRate = 100;
  for (auto op : {Ops().SetVolume, Ops().SetBalance, Ops().SetPitch, Ops().SetTempo, Ops().SetSampleRate}) op();
  EXPECT_FLOAT_EQ(Attribute(h, KAUDIO_ATTRIB_VOL), 0.4f);
  EXPECT_FLOAT_EQ(Attribute(h, KAUDIO_ATTRIB_PAN), 0.5f);
  EXPECT_FLOAT_EQ(Attribute(h, KAUDIO_ATTRIB_TEMPO_PITCH), -24.0f);
  EXPECT_FLOAT_EQ(Attribute(h, KAUDIO_ATTRIB_TEMPO), 95.0f);
  EXPECT_FLOAT_EQ(Attribute(h, KAUDIO_ATTRIB_TEMPO_FREQ), 88200.0f);
  Engine().Sliders.SampleRate = 0;
  Ops().SetSampleRate();
  EXPECT_FLOAT_EQ(Attribute(h, KAUDIO_ATTRIB_TEMPO_FREQ), 22050.0f);

  // A six-channel file is not in tempo mode: pitch, tempo and rate stay away from it.
  ASSERT_TRUE(Open(Tone("six.wav", 1, 44100, 6)));
  ASSERT_EQ(Engine().TempoMode, 0);
  const std::uint32_t six = Engine().StreamHandle;
  Engine().Sliders.Volume = 20;
  Engine().Sliders.Pitch = 100;
  Ops().SetVolume();
  Ops().SetPitch();
  EXPECT_FLOAT_EQ(Attribute(six, KAUDIO_ATTRIB_VOL), 0.2f);
  float pitch = 0;
  EXPECT_FALSE(KAUDIO_ChannelGetAttribute(six, KAUDIO_ATTRIB_TEMPO_PITCH, &pitch));
  EXPECT_EQ(Engine().Hints.Pitch, "24 semitones");
}

TEST_F(EngineEffectsTest, EqualizerOnTheChannelFollowsItsSwitchAndPreamp) {
  ASSERT_TRUE(Open(Tone("eq.wav", 20, 44100, 2, 1000, -6)));
  Ops().Play();
  const std::uint32_t plain = LeftLevel();
  ASSERT_GT(plain, 12000u);  // about half of full scale

  Engine().Effects.EQ = true;
  Ops().ApplyEQState();
  Engine().Sliders.PreAmp = 0;  // P = 0.2
  Ops().UpdateEQ();
  Wait(900);  // what was decoded before the change plays out first
  const std::uint32_t cut = LeftLevel();
  EXPECT_NEAR(double(cut) / plain, 0.2, 0.05);

  Engine().Effects.EQ = false;
  Ops().ApplyEQState();
  Wait(900);
  EXPECT_NEAR(double(LeftLevel()) / plain, 1.0, 0.1);
  Engine().Sliders.PreAmp = 50;
  Ops().UpdateEQ();
}

TEST_F(EngineEffectsTest, SixChannelFilesGetNoEqualizerOrFade) {
  ASSERT_TRUE(Open(Tone("six-eq.wav", 20, 44100, 6, 1000, -6)));
  const std::uint32_t h = Engine().StreamHandle;
  Ops().Play();
  auto rawLeft = [h] {
    std::uint32_t best = 0;
    for (int i = 0; i < 5; ++i) {
      Wait(40);
      best = std::max(best, KAUDIO_ChannelGetLevel(h) & 0xFFFF);
    }
    return best;
  };
  const std::uint32_t plain = rawLeft();
  ASSERT_GT(plain, 12000u);
  // Both would pull the level far down on a stereo channel: P = 0.2, and a fade-in that
  // has not started.
  Engine().Sliders.PreAmp = 0;
  Ops().UpdateEQ();
  FadeState().FadeInEnd = std::int64_t(1) << 40;
  Engine().Effects.EQ = Engine().Effects.Fade = true;
  Ops().ApplyEQState();
  Ops().ApplyFadeState();
  Wait(900);
  EXPECT_NEAR(double(rawLeft()) / plain, 1.0, 0.1);
  Engine().Sliders.PreAmp = 50;
  Ops().UpdateEQ();
}

TEST_F(EngineEffectsTest, FadeRangesCounterAndRamp) {
  EXPECT_DOUBLE_EQ(FadeFactor(0, 100, 900, 1000), 0.0);
  EXPECT_DOUBLE_EQ(FadeFactor(50, 100, 900, 1000), 0.5);
  EXPECT_DOUBLE_EQ(FadeFactor(100, 100, 900, 1000), 1.0);
  EXPECT_DOUBLE_EQ(FadeFactor(900, 100, 900, 1000), 1.0);
  EXPECT_DOUBLE_EQ(FadeFactor(950, 100, 900, 1000), 0.5);
  EXPECT_DOUBLE_EQ(FadeFactor(500, 0, 0, 0), 1.0);

  KELDAR_AUDIOVIDEO_API_Settings().FadeInOutMs = 1000;
  ASSERT_TRUE(Open(Tone("fade.wav", 10)));
  auto& f = FadeState();
  const std::int64_t second = 44100 * 8;  // stereo float bytes
  EXPECT_EQ(f.FadeInEnd.load(), second);
  EXPECT_EQ(f.Length.load(), 10 * second);
  EXPECT_EQ(f.FadeOutStart.load(), 9 * second);
  EXPECT_EQ(f.Counter.load(), 0);
  Engine().SeekPercent = 50;
  Ops().SeekToPercent();
  EXPECT_EQ(f.Counter.load(), 5 * second);
  Ops().FreeStreams();
  Engine().StartMarker = 2;
  Engine().EndMarker = 8;
  ASSERT_TRUE(Open(Tone("fade.wav", 10)));
  Ops().Play();
  EXPECT_GE(f.Counter.load(), 2 * second);
  Ops().Stop();

  // A fade longer than half the file still gives a ramp; longer than the file none at all.
  KELDAR_AUDIOVIDEO_API_Settings().FadeInOutMs = 20000;
  ASSERT_TRUE(Open(Tone("fade.wav", 10)));
  EXPECT_EQ(f.FadeInEnd.load(), 0);
  EXPECT_EQ(f.FadeOutStart.load(), 0);
  EXPECT_EQ(f.Length.load(), 0);
  KELDAR_AUDIOVIDEO_API_Settings().FadeInOutMs = 0;

  // The ramp itself: 4 stereo frames of fade-in, counter in bytes.
  f.FadeInEnd = 32;
  f.FadeOutStart = 64;
  f.Length = 96;
  f.Counter = 0;
  std::vector<float> frames(24, 1.0f);  // 12 frames
  FadeProcess(frames.data(), 12, 2);
  const float expected[12] = {0, 0.25f, 0.5f, 0.75f, 1, 1, 1, 1, 1, 0.75f, 0.5f, 0.25f};
  for (int i = 0; i < 12; ++i) {
    EXPECT_FLOAT_EQ(frames[2 * i], expected[i]) << i;
    EXPECT_FLOAT_EQ(frames[2 * i + 1], expected[i]) << i;
  }
  EXPECT_EQ(f.Counter.load(), 96);
  // Mono frames advance the counter by 4 bytes.
  f.Counter = 0;
  std::vector<float> mono(4, 1.0f);
  FadeProcess(mono.data(), 4, 1);
  EXPECT_EQ(f.Counter.load(), 16);
  EXPECT_FLOAT_EQ(mono[1], 0.125f);
  // Frames past the length (a slowed tempo stream yields more bytes than the file) stay
  // silent: no inverted, growing samples.
  EXPECT_DOUBLE_EQ(FadeFactor(1000, 100, 900, 1000), 0.0);
  EXPECT_DOUBLE_EQ(FadeFactor(5000, 100, 900, 1000), 0.0);
  f.Counter = 88;
  std::vector<float> tail(8, 1.0f);  // 4 stereo frames from byte 88
  FadeProcess(tail.data(), 4, 2);
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(tail[2 * i], i == 0 ? 0.25f : 0.0f) << i;
  EXPECT_EQ(f.Counter.load(), 120);
}

TEST_F(EngineEffectsTest, DSPFeederHandsBlocksToThePluginAndFollowsTheChannel) {
  DSPPluginHook().Process = CountBlock;
  DSPPluginHook().CreateEffect = [](std::uint32_t channel) { g_created = channel; };
  DSPPluginHook().StopEffect = [](std::uint32_t channel) { g_stopped = channel; };
  g_blocks = 0;
  g_badLength = 0;
  ASSERT_TRUE(Open(Tone("dsp.wav", 10, 32000, 2)));
  Engine().Effects.DSP = true;
  Ops().ApplyDSPState();
  EXPECT_EQ(g_created.load(), Engine().StreamHandle);
  Ops().Play();
  Wait(300);
  EXPECT_GT(g_blocks.load(), 0);
  EXPECT_EQ(g_rate.load(), 32000u);
  EXPECT_EQ(g_channels.load(), 2u);
  EXPECT_EQ(g_bytesPerSample.load(), 4u);
  EXPECT_EQ(g_badLength.load(), 0u);

  Engine().Effects.DSP = false;
  Ops().ApplyDSPState();
  EXPECT_EQ(g_stopped.load(), Engine().StreamHandle);
  const int after = g_blocks.load();
  Wait(300);
  EXPECT_EQ(g_blocks.load(), after);  // removed: no block since

  // Six channels: neither the feeder nor the plug-in's own effect.
  Ops().Stop();
  Ops().FreeStreams();
  g_blocks = 0;
  g_created = 0;
  g_stopped = 0;
  ASSERT_TRUE(Open(Tone("dsp6.wav", 3, 44100, 6)));
  Engine().Effects.DSP = true;
  Ops().ApplyDSPState();
  EXPECT_EQ(g_created.load(), 0u);
  Ops().Play();
  Wait(300);
  EXPECT_EQ(g_blocks.load(), 0);
  Engine().Effects.DSP = false;
  Ops().ApplyDSPState();
  EXPECT_EQ(g_stopped.load(), 0u);  // nothing was created, so nothing is stopped
  DSPPluginHook().Process = nullptr;
  DSPPluginHook().CreateEffect = nullptr;
  DSPPluginHook().StopEffect = nullptr;
}

}  // namespace
