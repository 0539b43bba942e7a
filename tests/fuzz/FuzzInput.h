// Small helpers shared by the fuzz targets: the input as text, and as a scratch file for
// parsers that read from a path.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

inline std::string Text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// One scratch file per process under /tmp (or $TMPDIR), rewritten for each input.
class TScratchFile {
 public:
  explicit TScratchFile(const std::string& suffix) {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/keldar_fuzz_" + std::to_string(::getpid()) + suffix;
  }
  ~TScratchFile() { std::remove(path_.c_str()); }
  const std::string& Write(const uint8_t* data, size_t size) {
    if (FILE* f = std::fopen(path_.c_str(), "wb")) {
      if (size > 0) std::fwrite(data, 1, size, f);
      std::fclose(f);
    }
    return path_;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace fuzz
