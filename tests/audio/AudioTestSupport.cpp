#include "AudioTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace audiotest {

TempDir::TempDir() {
  char tmpl[] = "/tmp/kaudio-test-XXXXXX";
  const char* p = mkdtemp(tmpl);
  path_ = p ? p : "/tmp";
}

TempDir::~TempDir() {
  std::error_code ec;
  if (path_ != "/tmp") std::filesystem::remove_all(path_, ec);
}

bool Shell(const std::string& command) {
  const int rc = std::system(("( " + command + " ) >/dev/null 2>&1").c_str());
  return rc != -1 && WIFEXITED(rc) && WEXITSTATUS(rc) == 0;
}

bool HaveTool(const std::string& name) { return Shell("command -v " + name); }

bool MakeTone(const std::string& path, double seconds, double freq, double amplitude, int rate,
              int channels) {
  const std::string ext = path.substr(path.find_last_of('.'));
  const std::string wav = ext == ".wav" ? path : path + ".src.wav";
  const std::string synth = "sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                            " -b 16 '" + wav + "' synth " + std::to_string(seconds) + " sine " +
                            std::to_string(freq) + " norm -0.01 vol " + std::to_string(amplitude);
  if (!Shell(synth)) return false;
  if (ext == ".wav") return true;
  bool ok;
  if (ext == ".mp3") ok = Shell("lame --quiet -b 128 '" + wav + "' '" + path + "'");
  else if (ext == ".ogg") ok = Shell("oggenc -Q -o '" + path + "' '" + wav + "'");
  else if (ext == ".flac") ok = Shell("flac -s -f -o '" + path + "' '" + wav + "'");
  else ok = Shell("ffmpeg -v quiet -y -i '" + wav + "' '" + path + "'");
  std::filesystem::remove(wav);
  return ok;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string TinyMod(const std::string& title, const std::string& sampleName) {
  std::string m;
  auto pad = [&](const std::string& s, size_t n) {
    std::string t = s.substr(0, n);
    t.resize(n, '\0');
    m += t;
  };
  auto be16 = [&](unsigned v) { m += char((v >> 8) & 0xff); m += char(v & 0xff); };
  pad(title, 20);
  const unsigned sampleWords = 16;  // 32 bytes
  for (int s = 0; s < 31; ++s) {
    pad(s == 0 ? sampleName : "", 22);
    be16(s == 0 ? sampleWords : 0);
    m += char(0);                      // finetune
    m += char(s == 0 ? 64 : 0);        // volume
    be16(0);                           // loop start
    be16(s == 0 ? sampleWords : 1);    // loop length
  }
  m += char(1);    // song length: one pattern
  m += char(127);
  std::string order(128, '\0');
  m += order;
  m += "M.K.";
  // One pattern: 64 rows x 4 channels x 4 bytes. Row 0 plays sample 1 at period 428 (C-2).
  std::string pattern(1024, '\0');
  for (int row = 0; row < 64; row += 16) {
    const size_t at = size_t(row) * 16;
    pattern[at] = char(0x01);       // sample high nibble 0, period high 0x1
    pattern[at + 1] = char(0xAC);   // period low: 0x1AC = 428
    pattern[at + 2] = char(0x10);   // sample 1, no effect
    pattern[at + 3] = char(0x00);
  }
  m += pattern;
  for (int i = 0; i < 32; ++i) m += char(i < 16 ? 100 : -100);
  return m;
}

int PeakBin(const float* mags, int n) {
  int best = 1;
  for (int i = 1; i < n; ++i)
    if (mags[i] > mags[best]) best = i;
  return best;
}

std::vector<float> DecodeAll(KAUDIO_HANDLE handle) {
  std::vector<float> all;
  std::vector<float> buf(8192);
  for (;;) {
    const KAUDIO_DWORD got = KAUDIO_ChannelGetData(handle, buf.data(),
                                                   KAUDIO_DWORD(buf.size() * 4) | KAUDIO_DATA_FLOAT);
    if (got == KAUDIO_DWORD(-1) || got == 0) break;
    all.insert(all.end(), buf.begin(), buf.begin() + got / 4);
  }
  return all;
}

void AudioTest::SetUp() {
  ASSERT_TRUE(HaveTool("sox")) << "sox is needed to generate fixtures";
  ASSERT_TRUE(KAUDIO_Init(KAUDIO_DEVICE_NOSOUND, 44100, 0, nullptr, nullptr))
      << KAUDIO_ErrorGetCode();
}

void AudioTest::TearDown() { KAUDIO_Free(); }

}  // namespace audiotest
