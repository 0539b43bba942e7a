#include "audio/Encoder.h"

#include <kaudio.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/CommandLineWords.h"

extern char** environ;

namespace kaudio {
namespace {

int64_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// A write into a pipe whose reader has gone must fail with EPIPE, not kill the program:
// SIGPIPE is blocked on this thread for the write and a pending one is taken away after.
ssize_t WriteNoSignal(int fd, const void* data, size_t size) {
  sigset_t pipeSet, old;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
  const ssize_t n = ::write(fd, data, size);
  const int savedErrno = errno;
  if (n < 0 && savedErrno == EPIPE) {
    const timespec zero{0, 0};
    while (sigtimedwait(&pipeSet, nullptr, &zero) > 0) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  errno = savedErrno;
  return n;
}

}  // namespace

uint32_t EncoderBitsForFlags(uint32_t flags, uint32_t channelFlags) {
  switch (flags & 0xE) {
    case KAUDIO_ENCODE_FP_8BIT: return 8;
    case KAUDIO_ENCODE_FP_16BIT: return 16;
    case KAUDIO_ENCODE_FP_24BIT: return 24;
    case KAUDIO_ENCODE_FP_32BIT: return 32;
    default: break;
  }
  if (channelFlags & KAUDIO_SAMPLE_FLOAT) return 32;
  if (channelFlags & KAUDIO_SAMPLE_8BITS) return 8;
  return 16;
}

std::vector<uint8_t> MakeWavHeader(const EncoderFormat& f, uint32_t dataBytes) {
  std::vector<uint8_t> h;
  h.reserve(44);
  const uint32_t blockAlign = f.channels * (f.bits / 8);
  const auto tag = [&](const char* t) { h.insert(h.end(), t, t + 4); };
  tag("RIFF");
  Put32(h, dataBytes == 0xFFFFFFFFu ? 0xFFFFFFFFu : std::min<uint64_t>(0xFFFFFFFFu, uint64_t(dataBytes) + 36));
  tag("WAVE");
  tag("fmt ");
  Put32(h, 16);
  Put16(h, f.bits == 32 ? 3 : 1);  // IEEE float or PCM
  Put16(h, f.channels);
  Put32(h, f.rate);
  Put32(h, f.rate * blockAlign);
  Put16(h, blockAlign);
  Put16(h, f.bits);
  tag("data");
  Put32(h, dataBytes);
  return h;
}

void AppendConvertedSamples(std::vector<uint8_t>& out, const float* s, size_t count, uint32_t bits) {
  const size_t start = out.size();
  out.resize(start + count * (bits / 8));
  uint8_t* p = out.data() + start;
  for (size_t i = 0; i < count; ++i) {
    float v = s[i];
    if (!(v == v)) v = 0.0f;  // NaN
    switch (bits) {
      case 8:
        *p++ = uint8_t(std::clamp<long>(std::lrintf(v * 128.0f), -128, 127) + 128);
        break;
      case 16: {
        const int32_t x = int32_t(std::clamp<long>(std::lrintf(v * 32768.0f), -32768, 32767));
        *p++ = uint8_t(x);
        *p++ = uint8_t(x >> 8);
        break;
      }
      case 24: {
        const int32_t x = int32_t(std::clamp<long>(std::lrint(double(v) * 8388608.0), -8388608, 8388607));
        *p++ = uint8_t(x);
        *p++ = uint8_t(x >> 8);
        *p++ = uint8_t(x >> 16);
        break;
      }
      default:
        std::memcpy(p, &v, 4);
        p += 4;
        break;
    }
  }
}

Encoder::~Encoder() { Stop(); }

bool Encoder::StartProgram(const std::string& commandLine, const EncoderFormat& format, bool header, int* error) {
  std::lock_guard lock(mutex_);
  format_ = format;
  *error = 0;
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) {
    *error = ENOENT;
    return false;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    *error = errno;
    return false;
  }
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  ::close(fds[0]);
  if (rc != 0) {
    ::close(fds[1]);
    *error = rc;
    return false;
  }
  pid_ = pid;
  fd_ = fds[1];
  fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
  if (header) pending_ = MakeWavHeader(format_, 0xFFFFFFFFu);
  return true;
}

bool Encoder::StartWavFile(const std::string& path, const EncoderFormat& format) {
  std::lock_guard lock(mutex_);
  format_ = format;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  const auto header = MakeWavHeader(format_, 0);
  if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) broken_ = true;
  return true;
}

bool Encoder::StartCodecFile(const std::string& path, const EncoderFormat& format, int sndfileFormat) {
  std::lock_guard lock(mutex_);
  format_ = format;
  SF_INFO info{};
  info.samplerate = int(format.rate);
  info.channels = int(format.channels);
  info.format = sndfileFormat;
  if (!sf_format_check(&info)) return false;
  sndfile_ = sf_open(path.c_str(), SFM_WRITE, &info);
  return sndfile_ != nullptr;
}

void Encoder::Feed(const float* samples, size_t count) {
  std::lock_guard lock(mutex_);
  if (broken_) return;
  if (sndfile_) {
    if (sf_write_float(sndfile_, samples, sf_count_t(count)) != sf_count_t(count)) broken_ = true;
    return;
  }
  if (file_) {
    scratch_.clear();
    AppendConvertedSamples(scratch_, samples, count, format_.bits);
    if (std::fwrite(scratch_.data(), 1, scratch_.size(), file_) != scratch_.size()) broken_ = true;
    fileData_ += scratch_.size();
    return;
  }
  if (fd_ < 0) return;
  // Past the bound the program has stopped taking input: new samples are dropped rather
  // than letting memory grow without limit.
  if (pending_.size() < kMaxPending) AppendConvertedSamples(pending_, samples, count, format_.bits);
  FlushUntil(NowMs() + kWriteSliceMs);
}

void Encoder::FlushUntil(int64_t deadlineMs) {
  size_t done = 0;
  while (done < pending_.size() && !broken_) {
    const ssize_t n = WriteNoSignal(fd_, pending_.data() + done, pending_.size() - done);
    if (n > 0) {
      done += size_t(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      broken_ = true;  // the program has closed its input or exited
      break;
    }
    const int64_t left = deadlineMs - NowMs();
    if (left <= 0) break;
    pollfd p{fd_, POLLOUT, 0};
    ::poll(&p, 1, int(std::min<int64_t>(left, 1000)));
  }
  if (broken_) pending_.clear();
  else pending_.erase(pending_.begin(), pending_.begin() + ptrdiff_t(done));
}

bool Encoder::IsRunning() {
  std::lock_guard lock(mutex_);
  if (file_ || sndfile_) return !broken_;
  if (pid_ <= 0) return false;
  int status = 0;
  const pid_t r = ::waitpid(pid_, &status, WNOHANG);
  if (r == pid_ || (r < 0 && errno == ECHILD)) {
    pid_ = -1;
    return false;
  }
  return true;
}

void Encoder::Reap(bool force) {
  if (pid_ <= 0) return;
  const auto waitFor = [&](int ms) {
    const int64_t end = NowMs() + ms;
    for (;;) {
      int status = 0;
      const pid_t r = ::waitpid(pid_, &status, WNOHANG);
      if (r == pid_ || (r < 0 && errno == ECHILD)) return true;
      if (NowMs() >= end) return false;
      ::usleep(5000);
    }
  };
  if (!force && waitFor(kFinishWaitMs)) {
    pid_ = -1;
    return;
  }
  ::kill(pid_, SIGTERM);
  if (!waitFor(1000)) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  pid_ = -1;
}

void Encoder::Stop() {
  std::lock_guard lock(mutex_);
  if (sndfile_) {
    sf_close(sndfile_);
    sndfile_ = nullptr;
    return;
  }
  if (file_) {
    // Fix the sizes now that the length is known.
    const auto header = MakeWavHeader(format_, uint32_t(std::min<uint64_t>(fileData_, 0xFFFFFFFFu - 36)));
    if (std::fseek(file_, 0, SEEK_SET) == 0) std::fwrite(header.data(), 1, header.size(), file_);
    std::fclose(file_);
    file_ = nullptr;
    return;
  }
  if (fd_ >= 0) {
    // What is still pending gets a last bounded chance; a program that stopped reading
    // is not waited for.
    bool hung = false;
    if (!broken_ && !pending_.empty()) {
      FlushUntil(NowMs() + 2000);
      hung = !pending_.empty() && !broken_;
    }
    ::close(fd_);
    fd_ = -1;
    pending_.clear();
    Reap(hung);
  }
}

}  // namespace kaudio
