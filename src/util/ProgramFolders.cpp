#include "util/ProgramFolders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace {

struct Paths {
  std::string executable;
  std::string executableFolder;
  std::string workingFolder;
};

std::mutex g_lock;
bool g_initialised = false;
Paths g_paths;

std::string StripTrailingSeparators(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string DataHomeFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : "/tmp") + "/.local/share";
  }
  return StripTrailingSeparators(base) + "/keldar3";
}

void ComputeLocked() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) exe = fs::current_path(ec) / "keldar3";
  g_paths.executable = exe.string();
  g_paths.executableFolder = StripTrailingSeparators(exe.parent_path().string());

  if (const char* forced = std::getenv("KELDAR_PROGRAM_DIR"); forced && *forced) {
    g_paths.workingFolder = StripTrailingSeparators(fs::absolute(forced, ec).string());
  } else if (::access(g_paths.executableFolder.c_str(), W_OK) == 0) {
    g_paths.workingFolder = g_paths.executableFolder;
  } else {
    g_paths.workingFolder = DataHomeFolder();
    fs::create_directories(g_paths.workingFolder, ec);
  }
  g_initialised = true;
}

const Paths& Get() {
  std::lock_guard<std::mutex> guard(g_lock);
  if (!g_initialised) ComputeLocked();
  return g_paths;
}

}  // namespace

void InitProgramPaths() {
  std::lock_guard<std::mutex> guard(g_lock);
  ComputeLocked();
}

void SetProgramFolderForTesting(const std::string& folder) {
  std::lock_guard<std::mutex> guard(g_lock);
  if (!g_initialised) ComputeLocked();
  g_paths.workingFolder = StripTrailingSeparators(folder);
}

std::string ProgramFilePath() { return Get().workingFolder + "/keldar3"; }
std::string ProgramFolder() { return Get().workingFolder; }
std::string ExecutableFolder() { return Get().executableFolder; }
std::string ExecutablePath() { return Get().executable; }

std::string ExtractFilePath(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& newExtension) {
  std::string ext = ExtractFileExt(path);
  return path.substr(0, path.size() - ext.size()) + newExtension;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + "/";
}
