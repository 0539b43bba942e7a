// Archive input plug-in: lists archives as playlist items and extracts entries.
// Nothing is ever written outside the destination folder: entries with absolute paths or
// ".." components, links and special files are skipped, and no existing link is followed.
// Extraction is bounded (total bytes, entries, compression ratio) so a crafted archive cannot
// fill the disk; a refused extraction leaves nothing of itself behind.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

// The limits of one extraction; the environment may set others (tests, unusual collections).
uint64_t Limit(const char* variable, uint64_t fallback) {
  const char* text = std::getenv(variable);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  return end != nullptr && *end == '\0' && value > 0 ? value : fallback;
}
uint64_t MaxTotalBytes() { return Limit("ZPINPUT_ARCHIVE_MAX_BYTES", uint64_t(512) << 20); }
uint64_t MaxEntries() { return Limit("ZPINPUT_ARCHIVE_MAX_ENTRIES", 10000); }
// An entry over kRatioFloor bytes that expands more than kMaxRatio times its packed bytes is
// a bomb, not music.
constexpr uint64_t kRatioFloor = uint64_t(1) << 20;
constexpr uint64_t kMaxRatio = 200;

ArchivePtr OpenArchive(const std::string& path) {
  ArchivePtr a(archive_read_new());
  if (!a) return nullptr;
  // Only the formats we declare, and the compressions tar comes in.
  archive_read_support_format_zip(a.get());
  archive_read_support_format_rar(a.get());
  archive_read_support_format_rar5(a.get());
  archive_read_support_format_7zip(a.get());
  archive_read_support_format_tar(a.get());
  archive_read_support_filter_gzip(a.get());
  archive_read_support_filter_bzip2(a.get());
  archive_read_support_filter_xz(a.get());
  archive_read_support_filter_lzma(a.get());
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

// What one extraction has written so far, to bound it and to take it back when refused.
struct TExtraction {
  uint64_t Written = 0;
  uint64_t MaxBytes = 0;
  std::vector<std::string> Files;
  std::vector<std::string> Folders;
  void Undo() {
    for (auto it = Files.rbegin(); it != Files.rend(); ++it) unlink(it->c_str());
    for (auto it = Folders.rbegin(); it != Folders.rend(); ++it) rmdir(it->c_str());
    Files.clear();
    Folders.clear();
  }
};

bool MakeFolder(const std::string& path, TExtraction& extraction) {
  if (IsRealFolder(path)) return true;
  if (mkdir(path.c_str(), 0755) != 0) return false;
  extraction.Folders.push_back(path);
  return IsRealFolder(path);
}

// Writes the entry's data to folder/parts..., creating folders that are not links. False when
// it cannot be written or breaks a limit; the entry's file is then removed again.
bool WriteEntry(archive* a, const std::string& destination, const std::vector<std::string>& parts,
                TExtraction& extraction) {
  std::string path = destination;
  if (!MakeFolder(path, extraction)) return false;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    path += "/" + parts[i];
    if (!MakeFolder(path, extraction)) return false;
  }
  path += "/" + parts.back();
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  uint64_t entryBytes = 0;
  const la_int64_t packedAtStart = archive_filter_bytes(a, -1);
  char buffer[64 * 1024];
  for (;;) {
    la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      ok = false;
      break;
    }
    entryBytes += static_cast<uint64_t>(n);
    extraction.Written += static_cast<uint64_t>(n);
    const la_int64_t packed = archive_filter_bytes(a, -1) - packedAtStart;
    if (extraction.Written > extraction.MaxBytes ||
        (entryBytes > kRatioFloor && entryBytes > kMaxRatio * static_cast<uint64_t>(packed > 0 ? packed : 1))) {
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
  if (!ok) {
    unlink(path.c_str());
    return false;
  }
  extraction.Files.push_back(path);
  return true;
}

// Whether a large entry expands like a bomb. Its packed size is not told before its data is
// read, so the first part of the data is unpacked: until it plainly is not a bomb (a fair
// share of packed bytes went in), it plainly is one, or kProbeBytes came out.
constexpr uint64_t kProbeBytes = uint64_t(16) << 20;
bool LooksLikeBomb(archive* a, uint64_t declaredSize) {
  if (declaredSize <= kRatioFloor) return false;
  const la_int64_t packedAtStart = archive_filter_bytes(a, -1);
  uint64_t unpacked = 0;
  char buffer[64 * 1024];
  while (unpacked < kProbeBytes) {
    const la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
    if (n <= 0) break;
    unpacked += static_cast<uint64_t>(n);
    const la_int64_t packed = archive_filter_bytes(a, -1) - packedAtStart;
    const uint64_t packedBytes = packed > 0 ? static_cast<uint64_t>(packed) : 1;
    if (unpacked > kRatioFloor && unpacked > kMaxRatio * packedBytes) return true;
    if (unpacked > kRatioFloor && packedBytes >= kRatioFloor / 8) break;
  }
  return false;
}

// Whether the entry's declared size alone already breaks the limit of an extraction.
bool DeclaredTooLarge(archive_entry* entry, uint64_t maxBytes) {
  return archive_entry_size_is_set(entry) && archive_entry_size(entry) >= 0 &&
         static_cast<uint64_t>(archive_entry_size(entry)) > maxBytes;
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
    uint64_t entries = 0;
    const uint64_t maxBytes = MaxTotalBytes(), maxEntries = MaxEntries();
    while ((r = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
      // An archive extraction would refuse lists nothing.
      if (++entries > maxEntries) return ZPINPUT_RESULT_FAILURE;
      if (archive_entry_filetype(entry) != AE_IFREG) continue;
      zpkit::Item item;
      item.Path = EntryName(entry);
      if (archive_entry_size_is_set(entry)) item.Size = archive_entry_size(entry);
      // Only what extraction takes: a safe name, a size within the limit, a sane ratio.
      const bool listed = !item.Path.empty() && !SafeComponents(item.Path).empty() &&
                          !DeclaredTooLarge(entry, maxBytes) &&
                          !LooksLikeBomb(a.get(), item.Size > 0 ? static_cast<uint64_t>(item.Size) : 0);
      archive_read_data_skip(a.get());
      if (listed) zpkit::WriteItem(bytes, item);
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
    uint64_t entries = 0;
    const uint64_t maxEntries = MaxEntries();
    TExtraction extraction;
    extraction.MaxBytes = MaxTotalBytes();
    while ((r = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
      if (++entries > maxEntries) {
        ok = false;
        break;
      }
      if (archive_entry_filetype(entry) != AE_IFREG) continue;  // links, devices, folders
      const std::string name = EntryName(entry);
      std::vector<std::string> parts = SafeComponents(name);
      if (parts.empty()) continue;
      if (everything) {
        found = true;
        if (DeclaredTooLarge(entry, extraction.MaxBytes) || !WriteEntry(a.get(), dest, parts, extraction)) {
          ok = false;
          break;
        }
      } else if (name == wanted) {
        // A single entry lands in the folder under its file name.
        if (DeclaredTooLarge(entry, extraction.MaxBytes) ||
            !WriteEntry(a.get(), dest, {parts.back()}, extraction)) {
          extraction.Undo();
          return ZPINPUT_RESULT_FAILURE;
        }
        return ZPINPUT_RESULT_SUCCESS;
      }
    }
    if (ok && r != ARCHIVE_EOF) ok = false;
    // A refused extraction takes back everything it wrote.
    if (!ok) extraction.Undo();
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
