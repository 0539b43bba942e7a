#include "util/FileAssociations.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "util/DesktopKeyFile.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace fs = std::filesystem;

namespace {

const char kDefaultsGroup[] = "Default Applications";
const char kBackupGroup[] = "Keldar Backup";
const char kEntryGroup[] = "Desktop Entry";
const std::string kDesktopId = std::string(KELDAR_PROGRAM_CLASS) + ".desktop";

// The player's own formats and the common add-on ones, as shared-mime-info names them.
const std::map<std::string, std::vector<std::string>>& MimeTable() {
  static const std::map<std::string, std::vector<std::string>> table = {
      {"mp3", {"audio/mpeg"}},
      {"mp2", {"audio/mp2"}},
      {"ogg", {"audio/ogg", "audio/x-vorbis+ogg"}},
      {"opus", {"audio/ogg", "audio/x-opus+ogg"}},
      {"wav", {"audio/x-wav"}},
      {"flac", {"audio/flac"}},
      {"wma", {"audio/x-ms-wma"}},
      {"aac", {"audio/aac"}},
      {"m4a", {"audio/mp4"}},
      {"ape", {"audio/x-ape"}},
      {"wv", {"audio/x-wavpack"}},
      {"mpc", {"audio/x-musepack"}},
      {"xm", {"audio/x-xm"}},
      {"mod", {"audio/x-mod"}},
      {"mtm", {"audio/x-mod"}},
      {"s3m", {"audio/x-s3m"}},
      {"it", {"audio/x-it"}},
      {"mo3", {"audio/x-mo3"}},
      {"midi", {"audio/midi"}},
      {"mid", {"audio/midi"}},
      {"kar", {"audio/midi"}},
      {"aiff", {"audio/x-aiff"}},
      {"aif", {"audio/x-aiff"}},
      {"au", {"audio/basic"}},
      {"snd", {"audio/basic"}},
      {"avi", {"video/x-msvideo"}},
      {"mpg", {"video/mpeg"}},
      {"mpeg", {"video/mpeg"}},
      {"vob", {"video/mpeg"}},
      {"mov", {"video/quicktime"}},
      {"asf", {"application/vnd.ms-asf"}},
      {"wmv", {"video/x-ms-wmv"}},
      {"m3u", {"audio/x-mpegurl"}},
      {"pls", {"audio/x-scpls"}},
  };
  return table;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  // XDG: relative values are invalid and ignored.
  return (v && *v == '/') ? std::string(v) : fallback;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "/tmp";
}

std::string DataHome() { return EnvOr("XDG_DATA_HOME", HomeFolder() + "/.local/share"); }
std::string ConfigHome() { return EnvOr("XDG_CONFIG_HOME", HomeFolder() + "/.config"); }

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, separator))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

std::vector<std::string> DataDirs() {
  const char* v = std::getenv("XDG_DATA_DIRS");
  return SplitList(v && *v ? v : "/usr/local/share:/usr/share", ':');
}

std::vector<std::string> ConfigDirs() {
  const char* v = std::getenv("XDG_CONFIG_DIRS");
  return SplitList(v && *v ? v : "/etc/xdg", ':');
}

// mimeapps.list files in the order the XDG rules consult them.
std::vector<std::string> MimeAppsLookupOrder() {
  std::vector<std::string> files{MimeAppsListPath()};
  for (const std::string& d : ConfigDirs()) files.push_back(d + "/mimeapps.list");
  files.push_back(DataHome() + "/applications/mimeapps.list");
  for (const std::string& d : DataDirs()) files.push_back(d + "/applications/mimeapps.list");
  return files;
}

std::string FindDesktopEntry(const std::string& id) {
  if (id.find('/') != std::string::npos) return {};
  std::vector<std::string> folders{DataHome()};
  for (const std::string& d : DataDirs()) folders.push_back(d);
  std::error_code ec;
  for (const std::string& folder : folders) {
    const std::string path = folder + "/applications/" + id;
    if (fs::is_regular_file(path, ec)) return path;
  }
  return {};
}

// Desktop-entry quoting of one Exec argument: quoted when it holds a reserved character,
// with ", `, $ and \ escaped inside the quotes; a literal % is written %%.
std::string QuoteExecArgument(const std::string& argument) {
  std::string percentSafe;
  for (char c : argument) percentSafe += c == '%' ? std::string("%%") : std::string(1, c);
  if (percentSafe.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos)
    return percentSafe;
  std::string quoted = "\"";
  for (char c : percentSafe) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The program of an Exec value: everything from the first field code on removed, then a
// leading and trailing double quote and trailing spaces and quotes. Inside a quoted program
// path the desktop-entry escapes are undone so our own entries read back exactly.
std::string ProgramFromExec(const std::string& exec) {
  std::string text;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    if (exec[i] != '%') {
      text += exec[i];
    } else if (i + 1 < exec.size() && exec[i + 1] == '%') {
      text += '%';
      ++i;
    } else {
      break;
    }
  }
  const bool quoted = !text.empty() && text.front() == '"';
  if (quoted) text.erase(0, 1);
  if (!text.empty() && text.back() == '"') text.pop_back();
  while (!text.empty() && (text.back() == ' ' || text.back() == '"')) text.pop_back();
  if (!quoted) return text;
  std::string unescaped;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() &&
        std::string("\"`$\\").find(text[i + 1]) != std::string::npos)
      ++i;
    unescaped += text[i];
  }
  return unescaped;
}

std::string ProgramOfDesktopEntry(const std::string& path) {
  TDesktopKeyFile entry;
  if (!entry.Load(path)) return {};
  const auto exec = entry.Get(kEntryGroup, "Exec");
  return exec ? ProgramFromExec(UnescapeKeyFileValue(*exec)) : std::string();
}

bool IsOurDefault(const std::optional<std::string>& value) {
  if (!value) return false;
  const std::vector<std::string> ids = SplitList(*value, ';');
  return !ids.empty() && ids.front() == kDesktopId;
}

std::string NormalisedExtension(const std::string& extension) {
  std::string ext = LowerCaseAscii(extension);
  if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
  return ext;
}

std::string AllTableMimeTypes() {
  std::vector<std::string> seen;
  std::string list;
  for (const auto& [ext, types] : MimeTable())
    for (const std::string& t : types)
      if (std::find(seen.begin(), seen.end(), t) == seen.end()) {
        seen.push_back(t);
        list += t + ";";
      }
  return list;
}

}  // namespace

std::string DesktopEntryPath() { return DataHome() + "/applications/" + kDesktopId; }
std::string MimeAppsListPath() { return ConfigHome() + "/mimeapps.list"; }
std::string AssociationBackupPath() { return ConfigHome() + "/keldarfiles-backup.list"; }

std::vector<std::string> MimeTypesForExtension(const std::string& extension) {
  const std::string ext = NormalisedExtension(extension);
  auto it = MimeTable().find(ext);
  if (it != MimeTable().end()) return it->second;
  return {"application/x-extension-" + ext};
}

bool RegisterProgramClass(const std::string& programPath) {
  TDesktopKeyFile entry;
  entry.Set(kEntryGroup, "Type", "Application");
  entry.Set(kEntryGroup, "Name", KELDAR_PROGRAM_CLASS_NAME);
  entry.Set(kEntryGroup, "Exec", EscapeKeyFileValue(QuoteExecArgument(programPath) + " %f"));
  entry.Set(kEntryGroup, "Terminal", "false");
  // A file class, not a menu entry of its own.
  entry.Set(kEntryGroup, "NoDisplay", "true");
  entry.Set(kEntryGroup, "MimeType", AllTableMimeTypes());
  return entry.Save(DesktopEntryPath());
}

bool UnregisterProgramClass() {
  std::error_code ec;
  fs::remove(DesktopEntryPath(), ec);
  return !ec;
}

bool AssociateExtension(const std::string& extension, const std::string& programPath) {
  std::error_code ec;
  if (programPath.empty() || !fs::exists(programPath, ec)) {
    ShowMessage("Error: Program not found: " + programPath, {}, TMessageIcon::Error);
    return false;
  }
  if (!fs::exists(DesktopEntryPath(), ec) && !RegisterProgramClass(programPath)) return false;
  TDesktopKeyFile mimeApps, backup;
  if (!mimeApps.Load(MimeAppsListPath()) || !backup.Load(AssociationBackupPath())) return false;
  for (const std::string& type : MimeTypesForExtension(extension)) {
    const auto previous = mimeApps.Get(kDefaultsGroup, type);
    // Associating twice (or a second extension of the same type) must not back up our
    // own entry, or undoing it could never bring the old default back.
    if (!IsOurDefault(previous)) backup.Set(kBackupGroup, type, previous.value_or(""));
    mimeApps.Set(kDefaultsGroup, type, kDesktopId + ";");
  }
  // Backup first: if the second write fails, nothing the user had is lost.
  return backup.Save(AssociationBackupPath()) && mimeApps.Save(MimeAppsListPath());
}

bool UnassociateExtension(const std::string& extension) {
  TDesktopKeyFile mimeApps, backup;
  if (!mimeApps.Load(MimeAppsListPath()) || !backup.Load(AssociationBackupPath())) return false;
  for (const std::string& type : MimeTypesForExtension(extension)) {
    const auto saved = backup.Get(kBackupGroup, type);
    const auto current = mimeApps.Get(kDefaultsGroup, type);
    if (!IsOurDefault(current)) {
      // The user has chosen another program since (or it never was ours): leave it.
      backup.Remove(kBackupGroup, type);
      continue;
    }
    if (saved && !saved->empty())
      mimeApps.Set(kDefaultsGroup, type, *saved);
    else
      mimeApps.Remove(kDefaultsGroup, type);
    backup.Remove(kBackupGroup, type);
  }
  return mimeApps.Save(MimeAppsListPath()) && backup.Save(AssociationBackupPath());
}

std::string GetAssociatedProgram(const std::string& extension) {
  for (const std::string& type : MimeTypesForExtension(extension)) {
    for (const std::string& list : MimeAppsLookupOrder()) {
      TDesktopKeyFile file;
      if (!file.Load(list)) continue;
      const auto value = file.Get(kDefaultsGroup, type);
      if (!value) continue;
      for (const std::string& id : SplitList(*value, ';')) {
        const std::string entry = FindDesktopEntry(id);
        if (!entry.empty()) return ProgramOfDesktopEntry(entry);
      }
    }
  }
  return {};
}
