// Encoders fed by channels: real programs on the other end of the pipe (sh, cat, sleep),
// hostile ones included, and the plain WAV writer.
#include <dirent.h>
#include <gtest/gtest.h>
#include <kaudio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "audio/AudioTestSupport.h"

using namespace audiotest;

namespace {

// Our child processes (zombies included), from /proc.
std::vector<std::string> ChildStates() {
  std::vector<std::string> states;
  DIR* d = ::opendir("/proc");
  if (!d) return states;
  while (dirent* e = ::readdir(d)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    std::ifstream in(std::string("/proc/") + e->d_name + "/stat");
    std::string line;
    std::getline(in, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == ::getpid())
      states.push_back(std::string(1, state) + " " + line.substr(0, close + 1));
  }
  ::closedir(d);
  return states;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

class EncodingTest : public AudioTest {
 protected:
  KAUDIO_HSTREAM Decoder(const std::string& file, KAUDIO_DWORD flags = KAUDIO_SAMPLE_FLOAT) {
    return KAUDIO_StreamCreateFile(0, file.c_str(), 0, 0, KAUDIO_STREAM_DECODE | flags);
  }
  // Pulls the whole channel through its encoders.
  static void Pump(KAUDIO_DWORD channel) {
    std::vector<uint8_t> block(8192);
    while (KAUDIO_ChannelGetData(channel, block.data(), KAUDIO_DWORD(block.size())) != KAUDIO_DWORD(-1)) {
    }
  }
};

TEST_F(EncodingTest, ArgumentsReachTheProgramAsAShellWouldSplitThemButNoShellRuns) {
  const std::string src = dir_.File("a.wav"), out = dir_.File("args.txt");
  ASSERT_TRUE(MakeTone(src, 0.2));
  const KAUDIO_HSTREAM ch = Decoder(src);
  // The words are printed one a line by the program we name; "$HOME" and ";" stay literal
  // because nothing interprets them on our side.
  const std::string cmd = "sh -c 'cat >/dev/null; printf \"%s\\n\" \"$@\" > \"$0\"' " + Quoted(out) +
                          " \"two words\" '$HOME' a\\ b \"\" \"x;y\" -";
  const KAUDIO_HENCODE enc = KAUDIO_Encode_Start(ch, cmd.c_str(), 0, nullptr, nullptr);
  ASSERT_NE(enc, 0u) << KAUDIO_ErrorGetCode();
  Pump(ch);
  ASSERT_TRUE(KAUDIO_Encode_Stop(enc));
  EXPECT_EQ(ReadBytes(out).size(), std::string("two words\n$HOME\na b\n\nx;y\n-\n").size());
  std::ifstream in(out);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "two words\n$HOME\na b\n\nx;y\n-\n");
  KAUDIO_StreamFree(ch);
}

TEST_F(EncodingTest, PipedSamplesCarryAWavHeaderAndTheRequestedIntegerSize) {
  const std::string src = dir_.File("src.wav");
  ASSERT_TRUE(MakeTone(src, 1.0, 997.0, 0.7));
  const std::vector<uint8_t> source = ReadBytes(src);
  ASSERT_GT(source.size(), 44u);
  struct Case {
    KAUDIO_DWORD flag;
    int bits;
  };
  for (const Case c : {Case{KAUDIO_ENCODE_FP_16BIT, 16}, Case{KAUDIO_ENCODE_FP_24BIT, 24}, Case{KAUDIO_ENCODE_FP_8BIT, 8},
                       Case{0, 32}}) {
    SCOPED_TRACE(c.bits);
    const std::string out = dir_.File("piped" + std::to_string(c.bits) + ".wav");
    const KAUDIO_HSTREAM ch = Decoder(src);
    const KAUDIO_HENCODE enc = KAUDIO_Encode_Start(ch, ("cp /dev/stdin " + Quoted(out)).c_str(), c.flag, nullptr, nullptr);
    ASSERT_NE(enc, 0u);
    Pump(ch);
    KAUDIO_Encode_Stop(enc);
    KAUDIO_StreamFree(ch);
    const auto got = ReadBytes(out);
    ASSERT_GE(got.size(), 44u);
    EXPECT_EQ(std::string(got.begin(), got.begin() + 4), "RIFF");
    EXPECT_EQ(got[20] | (got[21] << 8), c.bits == 32 ? 3 : 1);  // float or PCM
    EXPECT_EQ(got[34] | (got[35] << 8), c.bits);
    EXPECT_EQ(Le32(got, 40), 0xFFFFFFFFu) << "length unknown on a pipe";
    const size_t frames = (source.size() - 44) / 4;
    ASSERT_EQ(got.size() - 44, frames * 2 * (c.bits / 8));
    // Every sample matches the 16-bit source within the rounding of the target size.
    int worst = 0;
    for (size_t i = 0; i < frames * 2; ++i) {
      const int ref = int16_t(source[44 + 2 * i] | (source[45 + 2 * i] << 8));
      const uint8_t* p = got.data() + 44 + i * (c.bits / 8);
      int diff = 0;
      switch (c.bits) {
        case 8: diff = std::abs(((int(p[0]) - 128) << 8) - ref) >> 8; break;
        case 16: diff = std::abs(int(int16_t(p[0] | (p[1] << 8))) - ref); break;
        case 24: {
          int32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
          if (v & 0x800000) v -= 0x1000000;
          diff = std::abs(v - ref * 256);
          break;
        }
        default: {
          float f;
          std::memcpy(&f, p, 4);
          diff = int(std::abs(f * 32768.0f - float(ref)));
          break;
        }
      }
      worst = std::max(worst, diff);
    }
    EXPECT_LE(worst, 1);
  }
}

TEST_F(EncodingTest, WavWriterWritesAPlainFileWithItsSizesFilledIn) {
  const std::string src = dir_.File("src.wav"), out = dir_.File("written.wav");
  ASSERT_TRUE(MakeTone(src, 0.5, 440.0, 0.5));
  const KAUDIO_HSTREAM ch = Decoder(src);
  const KAUDIO_HENCODE enc = KAUDIO_Encode_Start(ch, out.c_str(), KAUDIO_ENCODE_PCM | KAUDIO_ENCODE_FP_16BIT, nullptr, nullptr);
  ASSERT_NE(enc, 0u);
  EXPECT_EQ(KAUDIO_Encode_IsActive(enc), KAUDIO_DWORD(KAUDIO_ACTIVE_PLAYING));
  EXPECT_EQ(KAUDIO_Encode_IsActive(ch), KAUDIO_DWORD(KAUDIO_ACTIVE_PLAYING)) << "asked through its channel";
  Pump(ch);
  ASSERT_TRUE(KAUDIO_Encode_Stop(enc));
  KAUDIO_StreamFree(ch);
  EXPECT_EQ(ReadBytes(out), ReadBytes(src)) << "a 16-bit source comes back byte for byte";
  EXPECT_EQ(KAUDIO_Encode_Start(ch, out.c_str(), KAUDIO_ENCODE_PCM, nullptr, nullptr), 0u) << "freed channel";
  const KAUDIO_HSTREAM again = Decoder(src);
  EXPECT_EQ(KAUDIO_Encode_Start(again, dir_.File("no/such/folder.wav").c_str(), KAUDIO_ENCODE_PCM, nullptr, nullptr), 0u);
  KAUDIO_StreamFree(again);
}

TEST_F(EncodingTest, AMissingProgramFailsToStartAndLeavesNoChild) {
  const std::string src = dir_.File("src.wav");
  ASSERT_TRUE(MakeTone(src, 0.2));
  const KAUDIO_HSTREAM ch = Decoder(src);
  EXPECT_EQ(KAUDIO_Encode_Start(ch, "keldar-no-such-encoder -o x -", 0, nullptr, nullptr), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEOPEN);
  EXPECT_EQ(KAUDIO_Encode_Start(ch, "   ", 0, nullptr, nullptr), 0u) << "no program at all";
  EXPECT_TRUE(ChildStates().empty());
  KAUDIO_StreamFree(ch);
}

TEST_F(EncodingTest, HostileProgramsNeitherBlockTheFeederNorLeaveChildren) {
  const std::string src = dir_.File("src.wav"), out = dir_.File("after-noise.raw");
  ASSERT_TRUE(MakeTone(src, 1.0));
  using Clock = std::chrono::steady_clock;
  const auto worstBlock = [&](const std::string& cmd, KAUDIO_HENCODE* encOut, KAUDIO_HSTREAM* chOut) {
    const KAUDIO_HSTREAM ch = Decoder(src);
    const KAUDIO_HENCODE enc = KAUDIO_Encode_Start(ch, cmd.c_str(), KAUDIO_ENCODE_FP_16BIT, nullptr, nullptr);
    EXPECT_NE(enc, 0u) << cmd;
    std::vector<uint8_t> block(8192);
    Clock::duration worst{};
    for (;;) {
      const auto t0 = Clock::now();
      const KAUDIO_DWORD got = KAUDIO_ChannelGetData(ch, block.data(), KAUDIO_DWORD(block.size()));
      worst = std::max(worst, Clock::now() - t0);
      if (got == KAUDIO_DWORD(-1)) break;
    }
    *encOut = enc;
    *chOut = ch;
    return std::chrono::duration_cast<std::chrono::milliseconds>(worst).count();
  };
  KAUDIO_HENCODE enc;
  KAUDIO_HSTREAM ch;
  {
    SCOPED_TRACE("exits at once");
    worstBlock("true", &enc, &ch);
    // Its input closes a moment before it is gone.
    for (int i = 0; i < 200 && KAUDIO_Encode_IsActive(enc) == KAUDIO_ACTIVE_PLAYING; ++i) usleep(10000);
    EXPECT_EQ(KAUDIO_Encode_IsActive(enc), KAUDIO_DWORD(KAUDIO_ACTIVE_STOPPED));
    const auto left = ChildStates();
    EXPECT_TRUE(left.empty()) << "reaped once it is seen to have exited: " << (left.empty() ? "" : left[0]);
    EXPECT_TRUE(KAUDIO_Encode_Stop(enc));
    KAUDIO_StreamFree(ch);
  }
  {
    SCOPED_TRACE("never reads its input");
    const long worst = worstBlock("sleep 60", &enc, &ch);
    EXPECT_LT(worst, 1000) << "a feed waits at most its slice";
    EXPECT_EQ(KAUDIO_Encode_IsActive(enc), KAUDIO_DWORD(KAUDIO_ACTIVE_PLAYING));
    const auto t0 = Clock::now();
    EXPECT_TRUE(KAUDIO_Encode_Stop(enc));
    EXPECT_LT(Clock::now() - t0, std::chrono::seconds(5)) << "a program that stopped reading is ended at once";
    EXPECT_TRUE(ChildStates().empty());
    KAUDIO_StreamFree(ch);
  }
  {
    SCOPED_TRACE("64 MB on standard error first, far beyond any pipe buffer");
    worstBlock("sh -c 'head -c 64000000 /dev/zero >&2; cat > \"$0\"' " + Quoted(out), &enc, &ch);
    EXPECT_TRUE(KAUDIO_Encode_Stop(enc));
    EXPECT_EQ(ReadBytes(out).size(), 44u + 44100u * 4u) << "every sample arrived after the noise";
    EXPECT_TRUE(ChildStates().empty());
    KAUDIO_StreamFree(ch);
  }
  {
    SCOPED_TRACE("hangs after its input ends");
    worstBlock("sh -c 'cat >/dev/null; exec sleep 60'", &enc, &ch);
    EXPECT_TRUE(KAUDIO_Encode_Stop(enc));
    EXPECT_TRUE(ChildStates().empty()) << "ended by force after the wait";
    KAUDIO_StreamFree(ch);
  }
}

TEST_F(EncodingTest, AnAutoFreeEncoderEndsWithItsChannel) {
  const std::string src = dir_.File("src.wav"), out = dir_.File("auto.wav");
  ASSERT_TRUE(MakeTone(src, 0.5));
  const KAUDIO_HSTREAM ch = Decoder(src);
  const KAUDIO_HENCODE enc =
      KAUDIO_Encode_Start(ch, ("cp /dev/stdin " + Quoted(out)).c_str(), KAUDIO_ENCODE_AUTOFREE | KAUDIO_ENCODE_FP_16BIT, nullptr, nullptr);
  ASSERT_NE(enc, 0u);
  Pump(ch);
  KAUDIO_StreamFree(ch);
  for (int i = 0; i < 200 && KAUDIO_Encode_IsActive(enc) == KAUDIO_ACTIVE_PLAYING; ++i) usleep(10000);
  EXPECT_NE(KAUDIO_Encode_IsActive(enc), KAUDIO_DWORD(KAUDIO_ACTIVE_PLAYING));
  EXPECT_FALSE(KAUDIO_Encode_Stop(enc)) << "already gone with the channel";
  EXPECT_EQ(ReadBytes(out).size(), ReadBytes(src).size());
  EXPECT_TRUE(ChildStates().empty());
}

TEST_F(EncodingTest, TheCodecWriterOffersFormatsForTheChannelAndHonoursACancel) {
  const std::string src = dir_.File("src.wav");
  ASSERT_TRUE(MakeTone(src, 1.0, 440.0, 0.5));
  struct Script {
    std::vector<std::string> offered;
    std::string pick;  // "" cancels
  } script;
  KAUDIO_Encode_SetACMChooser(
      [](const KAUDIO_ACMFORMAT* formats, int count, int, const char*, void* user) {
        auto* s = static_cast<Script*>(user);
        s->offered.clear();
        int chosen = -1;
        for (int i = 0; i < count; ++i) {
          s->offered.push_back(formats[i].name);
          if (s->pick == formats[i].name) chosen = i;
        }
        return chosen;
      },
      &script);
  const KAUDIO_HSTREAM ch = Decoder(src);
  const KAUDIO_DWORD size = KAUDIO_Encode_GetACMFormat(ch, nullptr, 0, nullptr, 0);
  ASSERT_EQ(size, sizeof(KAUDIO_ACMFORMAT));
  std::vector<uint8_t> form(size);
  EXPECT_EQ(KAUDIO_Encode_GetACMFormat(ch, form.data(), size, "Choose", KAUDIO_ACM_DEFAULT), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_ACM_CANCEL);
  ASSERT_GE(script.offered.size(), 6u);
  EXPECT_EQ(script.offered.front(), "WAV PCM 16-bit");
  EXPECT_NE(std::find(script.offered.begin(), script.offered.end(), "FLAC 16-bit"), script.offered.end());
  EXPECT_NE(std::find(script.offered.begin(), script.offered.end(), "Ogg Vorbis"), script.offered.end());
  EXPECT_EQ(std::find(script.offered.begin(), script.offered.end(), "Opus"), script.offered.end())
      << "Opus cannot hold 44.1 kHz";

  script.pick = "FLAC 24-bit";
  ASSERT_EQ(KAUDIO_Encode_GetACMFormat(ch, form.data(), size, "Choose", 0), size);
  const std::string out = dir_.File("codec.flac");
  const KAUDIO_HENCODE enc = KAUDIO_Encode_StartACMFile(ch, form.data(), KAUDIO_ENCODE_AUTOFREE, out.c_str());
  ASSERT_NE(enc, 0u);
  Pump(ch);
  KAUDIO_StreamFree(ch);
  KAUDIO_Encode_SetACMChooser(nullptr, nullptr);
  // Written as FLAC, every sample there.
  const auto bytes = ReadBytes(out);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "fLaC");
  const KAUDIO_HSTREAM back = Decoder(out);
  ASSERT_NE(back, 0u);
  EXPECT_EQ(DecodeAll(back).size(), size_t(44100 * 2));
  KAUDIO_StreamFree(back);
  // Without a chooser the default flag takes the first format; without it nothing is chosen.
  const KAUDIO_HSTREAM again = Decoder(src);
  ASSERT_EQ(KAUDIO_Encode_GetACMFormat(again, form.data(), size, nullptr, KAUDIO_ACM_DEFAULT), size);
  KAUDIO_ACMFORMAT picked;
  std::memcpy(&picked, form.data(), sizeof picked);
  EXPECT_STREQ(picked.name, "WAV PCM 16-bit");
  EXPECT_EQ(KAUDIO_Encode_GetACMFormat(again, form.data(), size, nullptr, 0), 0u);
  KAUDIO_StreamFree(again);
}

}  // namespace
