// Archive input plug-in: lists archives as playlist items and extracts entries.
// Nothing is ever written outside the destination folder: entries with absolute paths or
// ".." components, links and special files are skipped, and no existing link is followed.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "zpinput_shared/ZpinputPluginKit.h"

namespace {

Tzpinput_plugin_Format_RecordArray g_formats = {
    {"ZIP Archive", ".zip"},          {"RAR Archive", ".rar"},
    {"7-Zip Archive", ".7z"},         {"TAR Archive", ".tar"},
    {"Gzipped TAR Archive", ".tgz"},  {"Winamp Skin Package", ".wsz"},
    {"K-Jofol Skin Package", ".ksk"}};
Tzpinput_plugin_INFO g_info = {100, "Zorvane archives", ZPINPUT_TYPE_COMPRESSED, 7, &g_formats};
std::unique_ptr<zpkit::ByteStream> g_stream;
zpinput_data_object g_object{};
Tzpinput_plugin_structure g_plugin{};

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

ArchivePtr OpenArchive(const std::string& path) {
  ArchivePtr a(archive_read_new());
  if (!a) return nullptr;
  archive_read_support_filter_all(a.get());
  archive_read_support_format_all(a.get());
  if (archive_read_open_filename(a.get(), path.c_str(), 64 * 1024) != ARCHIVE_OK) return nullptr;
  return a;
}

std::string EntryName(archive_entry* entry) {
  const char* utf8 = archive_entry_pathname_utf8(entry);
  const char* name = utf8 != nullptr ? utf8 : archive_entry_pathname(entry);
  std::string text = name != nullptr ? name : "";
  for (char& c : text)
    if (c == '\\') c = '/';
  while (text.rfind("./", 0) == 0) text.erase(0, 2);
  return text;
}

// The entry's components when it stays inside the destination; empty otherwise.
std::vector<std::string> SafeComponents(const std::string& name) {
  std::vector<std::string> parts;
  if (name.empty() || name[0] == '/' || (name.size() > 1 && name[1] == ':')) return {};
  size_t start = 0;
  while (start <= name.size()) {
    size_t slash = name.find('/', start);
    std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part == "..") return {};
    if (!part.empty() && part != ".") parts.push_back(part);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return parts;
}

bool IsRealFolder(const std::string& path) {
  struct stat st{};
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Writes the entry's data to folder/parts..., creating folders that are not links.
bool WriteEntry(archive* a, const std::string& destination, const std::vector<std::string>& parts) {
  std::string path = destination;
  if (!IsRealFolder(path) && mkdir(path.c_str(), 0755) != 0 && !IsRealFolder(path)) return false;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    path += "/" + parts[i];
    if (!IsRealFolder(path) && (mkdir(path.c_str(), 0755) != 0 || !IsRealFolder(path))) return false;
  }
  path += "/" + parts.back();
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  char buffer[64 * 1024];
  for (;;) {
    la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      ok = false;
      break;
    }
    for (la_ssize_t done = 0; done < n;) {
      ssize_t w = write(fd, buffer + done, static_cast<size_t>(n - done));
      if (w <= 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  if (close(fd) != 0) ok = false;
  if (!ok) unlink(path.c_str());
  return ok;
}

bool IsRegularFileOnDisk(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int32_t Initialize() {
  try {
    g_stream = std::make_unique<zpkit::ByteStream>();
    g_object.stream = &g_stream->record;
    return ZPINPUT_RESULT_SUCCESS;
  } catch (...) {
    return ZPINPUT_RESULT_FAILURE;
  }
}

int32_t LoadData(const char* fileName) {
  if (fileName == nullptr || !g_stream) return ZPINPUT_RESULT_FAILURE;
  try {
    ArchivePtr a = OpenArchive(fileName);
    if (!a) return ZPINPUT_RESULT_FAILURE;
    std::string bytes;
    archive_entry* entry = nullptr;
    int r;
    while ((r = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
      if (archive_entry_filetype(entry) != AE_IFREG) continue;
      zpkit::Item item;
      item.Path = EntryName(entry);
      if (archive_entry_size_is_set(entry)) item.Size = archive_entry_size(entry);
      if (!item.Path.empty()) zpkit::WriteItem(bytes, item);
      archive_read_data_skip(a.get());
    }
    if (r != ARCHIVE_EOF) return ZPINPUT_RESULT_FAILURE;
    g_stream->bytes.clear();
    g_stream->record.position = 0;
    g_stream->Append(bytes);
    return ZPINPUT_RESULT_SUCCESS;
  } catch (...) {
    return ZPINPUT_RESULT_FAILURE;
  }
}

// fileName is archive path + "/" + entry; the archive is the first prefix that is a file.
int32_t SaveData(const char* fileName, const char* destination) {
  if (fileName == nullptr || destination == nullptr || destination[0] == '\0')
    return ZPINPUT_RESULT_FAILURE;
  try {
    const std::string full = fileName;
    std::string archivePath, wanted;
    for (size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1)) {
      if (IsRegularFileOnDisk(full.substr(0, slash))) {
        archivePath = full.substr(0, slash);
        wanted = full.substr(slash + 1);
        break;
      }
    }
    while (wanted.rfind("./", 0) == 0) wanted.erase(0, 2);
    if (archivePath.empty() || wanted.empty()) return ZPINPUT_RESULT_FAILURE;
    std::string dest = destination;
    while (dest.size() > 1 && dest.back() == '/') dest.pop_back();
    const bool everything = wanted == "*.*";

    ArchivePtr a = OpenArchive(archivePath);
    if (!a) return ZPINPUT_RESULT_FAILURE;
    bool found = false, ok = true;
    archive_entry* entry = nullptr;
    int r;
    while ((r = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
      if (archive_entry_filetype(entry) != AE_IFREG) continue;  // links, devices, folders
      const std::string name = EntryName(entry);
      std::vector<std::string> parts = SafeComponents(name);
      if (parts.empty()) continue;
      if (everything) {
        if (!WriteEntry(a.get(), dest, parts)) ok = false;
        found = true;
      } else if (name == wanted) {
        // A single entry lands in the folder under its file name.
        return WriteEntry(a.get(), dest, {parts.back()}) ? ZPINPUT_RESULT_SUCCESS
                                                          : ZPINPUT_RESULT_FAILURE;
      }
    }
    if (r != ARCHIVE_EOF) ok = false;
    return everything && found && ok ? ZPINPUT_RESULT_SUCCESS : ZPINPUT_RESULT_FAILURE;
  } catch (...) {
    return ZPINPUT_RESULT_FAILURE;
  }
}

void Close() {
  g_object.stream = nullptr;
  g_stream.reset();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpinput_plugin_structure* zpinput_Plugin_Interface() {
  return zpkit::BindPluginStructure(g_plugin, g_object, g_info, &Initialize, &LoadData, &SaveData, &Close);
}
