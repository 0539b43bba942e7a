// One running encoder: float samples in, converted to the size the flags ask for, written
// with a WAV header either into an external program's standard input (started without a
// shell, found on PATH) or into a plain WAV file.
//
// Feed never blocks its caller for longer than kWriteSliceMs: what the program has not taken
// by then waits in a pending buffer (bounded) and goes first at the next feed. The program's
// standard output and error go to /dev/null, so however much it prints it never stalls. The
// child is always reaped: by IsRunning once it has exited, or by Stop, which closes its
// input, waits for it to finish and ends it by force when it hangs.
// All methods are thread-safe.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

struct sf_private_tag;  // libsndfile's SNDFILE

namespace kaudio {

struct EncoderFormat {
  uint32_t rate = 44100;
  uint32_t channels = 2;
  uint32_t bits = 32;   // 8, 16, 24 integer; 32 float
};

// KAUDIO_ENCODE_FP_* flags (and the channel's own sample kind when none is given) to bits.
uint32_t EncoderBitsForFlags(uint32_t flags, uint32_t channelFlags);
// The 44-byte WAV header; dataBytes 0xFFFFFFFF for "unknown" (a pipe).
std::vector<uint8_t> MakeWavHeader(const EncoderFormat& format, uint32_t dataBytes);
// Appends frames*channels float samples converted to format.bits.
void AppendConvertedSamples(std::vector<uint8_t>& out, const float* samples, size_t count, uint32_t bits);

class Encoder {
 public:
  static constexpr int kWriteSliceMs = 100;
  static constexpr size_t kMaxPending = 32u << 20;
  static constexpr int kFinishWaitMs = 5000;

  ~Encoder();
  // A program: the command line is split into words; false (errno-like code in *error) when
  // it cannot be started.
  bool StartProgram(const std::string& commandLine, const EncoderFormat& format, bool header, int* error);
  // A plain WAV file at path.
  bool StartWavFile(const std::string& path, const EncoderFormat& format);
  // A file in a libsndfile format (major format | subtype).
  bool StartCodecFile(const std::string& path, const EncoderFormat& format, int sndfileFormat);

  void Feed(const float* samples, size_t count);
  bool IsRunning();
  void Stop();
  pid_t Pid() const { return pid_; }

 private:
  void FlushUntil(int64_t deadlineMs);
  void Reap(bool force);

  std::mutex mutex_;
  EncoderFormat format_;
  pid_t pid_ = -1;
  int fd_ = -1;
  FILE* file_ = nullptr;
  ::sf_private_tag* sndfile_ = nullptr;
  uint64_t fileData_ = 0;
  bool broken_ = false;
  std::vector<uint8_t> pending_;
  std::vector<uint8_t> scratch_;
};

}  // namespace kaudio
