// Shared helpers of the audio library tests: generated fixtures and a library fixture.
#pragma once

#include <gtest/gtest.h>
#include <kaudio.h>

#include <string>
#include <vector>

namespace audiotest {

// A temporary folder, removed at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs a shell command; true on exit status 0.
bool Shell(const std::string& command);
bool HaveTool(const std::string& name);
// Writes a sine tone with sox (and encodes it by extension: .wav .mp3 .ogg .flac ...).
bool MakeTone(const std::string& path, double seconds, double freq = 440.0, double amplitude = 0.5,
              int rate = 44100, int channels = 2);
void WriteFile(const std::string& path, const std::string& bytes);
// A small ProTracker module with one looping square-wave sample.
std::string TinyMod(const std::string& title, const std::string& sampleName);

// Index of the largest of n magnitudes.
int PeakBin(const float* mags, int n);
// Reads a whole decoding channel as float frames.
std::vector<float> DecodeAll(KAUDIO_HANDLE handle);

// Initialises the library on the no-sound device around every test.
class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TempDir dir_;
};

}  // namespace audiotest
