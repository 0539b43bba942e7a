// Temporary folders, files and environment for the util tests.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace utiltest {

// A fresh folder under the system temp folder, removed with everything in it.
class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keldar-util-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    if (made) path_ = made;
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Sets (or unsets, with nullopt) an environment variable and puts the old value back.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  ~TScopedEnv() {
    if (old_) ::setenv(name_.c_str(), old_->c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Puts a stand-in "xdg-open" first on PATH that writes each argument as one line to a log,
// so tests see exactly what the desktop would have been asked to open.
class TFakeOpener {
 public:
  explicit TFakeOpener(const TTempDir& dir)
      : bin_(dir / "fakebin"), log_(dir / "opened.log"),
        path_("PATH", bin_ + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")) {
    const std::string script = bin_ + "/xdg-open";
    WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + log_ +
                          ".part'\nmv '" + log_ + ".part' '" + log_ + "'\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  }
  // Waits (up to 5 s) for the stand-in to have run; returns what it logged.
  std::string WaitForLog() const {
    for (int i = 0; i < 500 && !std::filesystem::exists(log_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadFile(log_);
  }
  bool Ran() const { return std::filesystem::exists(log_); }

 private:
  std::string bin_, log_;
  TScopedEnv path_;
};

}  // namespace utiltest
