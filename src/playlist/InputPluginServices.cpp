#include "playlist/InputPluginServices.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "playlist/KELDAR_ZPL_Unit.h"
#include "plugins/PluginMemoryGuard.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/GeneralPurposeInternetFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace {

// The plug-in of the file's extension when it is of the wanted kind; -1 otherwise.
int PluginOfKind(const std::string& path, int kind) {
  int slot = FindInputPluginForExtension(UpperCaseAscii(ExtractFileExt(path)));
  if (slot < 0 || InputPluginType(slot) != kind) return -1;
  return slot;
}

// The stream's items, copied through the guard a piece at a time so that a long list is
// never held twice over; false (and nothing in items) when the object is missing,
// inconsistent or larger than we accept.
bool ReadPluginStreamItems(int slot, TPlaylist& items) {
  zpinput_byte_stream* stream = InputPluginStream(slot);
  zpinput_byte_stream copy{};
  if (stream == nullptr || !CopyFromPluginMemory(&copy, stream, sizeof copy)) return false;
  if (copy.size > KELDAR_INPUT_PLUGIN_MAX_STREAM_BYTES) return false;
  TPlaylist read;
  TPlaylistItemStreamReader reader(read);
  constexpr uint64_t kPieceBytes = 1 << 20;
  std::string piece;
  for (uint64_t done = 0; done < copy.size;) {
    const uint64_t count = std::min(kPieceBytes, copy.size - done);
    piece.resize(static_cast<size_t>(count));
    if (!CopyFromPluginMemory(piece.data(), reinterpret_cast<const char*>(copy.data) + done, piece.size())) return false;
    reader.Feed(piece.data(), piece.size());
    done += count;
  }
  reader.Finish();
  items.AppendLinesOf(read);
  return true;
}

bool WritePluginStreamBytes(int slot, const std::string& bytes) {
  return InputPluginWriteStream(slot, InputPluginStream(slot), bytes);
}

// The URL's folder ("http://host/a/" for "http://host/a/list.m3u?x"), without query or fragment.
std::string UrlFolder(const std::string& url) {
  std::string base = url.substr(0, url.find_first_of("?#"));
  const size_t authority = base.find("://");
  const size_t slash = base.rfind('/');
  if (authority == std::string::npos || slash == std::string::npos || slash < authority + 3)
    return base + "/";
  return base.substr(0, slash + 1);
}

// The plug-in resolved relative entries of a downloaded list against the copy's folder: they
// belong to the list's URL instead.
void ResolveAgainstUrl(TPlaylist& playlist, int firstNew, const std::string& copyFolder,
                       const std::string& url) {
  // Spelled as the plug-in spells resolved paths: clean, absolute.
  const std::string prefix =
      IncludeTrailingPathDelimiter(std::filesystem::absolute(copyFolder).lexically_normal().string());
  const std::string folder = UrlFolder(url);
  for (int i = firstNew; i < playlist.Count(); ++i) {
    TPlayListBoxItem* item = playlist.ItemPointer(i);
    if (item && item->FullPathAndFilename.rfind(prefix, 0) == 0)
      item->FullPathAndFilename = folder + item->FullPathAndFilename.substr(prefix.size());
  }
}

}  // namespace

int ReadForeignPlaylist(TPlaylist& playlist, const std::string& path, bool clearFirst,
                        const TNestedPlaylistReader& nestedReader) {
  const int slot = PluginOfKind(path, ZPINPUT_TYPE_PLAYLIST);
  if (slot < 0) return 0;
  InputPluginInitialize(slot);
  std::string source = path;
  std::string folder;
  bool somethingToRead = true;
  if (IsURL(path)) {
    folder = IncludeTrailingPathDelimiter(ProgramFolder()) + "tempunzipped";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    source = folder + "/tempurls" + UpperCaseAscii(ExtractFileExt(path));
    somethingToRead = DownloadUrlToFile(path, source);
  }
  bool read = false;
  if (somethingToRead && InputPluginLoadData(slot, source) == ZPINPUT_RESULT_SUCCESS) {
    TPlaylist items;
    if (ReadPluginStreamItems(slot, items)) {
      if (clearFirst) playlist.Clear();
      const int firstNew = playlist.Count();
      playlist.AppendLinesOf(items);
      if (!folder.empty()) ResolveAgainstUrl(playlist, firstNew, folder, path);
      read = true;
    }
  }
  InputPluginClose(slot);
  if (read && nestedReader) {
    // A nested playlist replaces the list we are walking, and the scan stops there: each
    // locator is copied only for the call that may do so.
    std::string locator;
    for (int i = 0; i < playlist.Count(); ++i) {
      locator = playlist.Item(i).FullPathAndFilename;
      if (nestedReader(locator) != 0) return 2;
    }
  }
  return 1;
}

bool WriteForeignPlaylist(const TPlaylist& playlist, const std::string& path) {
  const int slot = PluginOfKind(path, ZPINPUT_TYPE_PLAYLIST);
  if (slot < 0) return false;
  InputPluginInitialize(slot);
  std::string bytes;
  WritePlaylistItemsToStream(playlist, bytes);
  int32_t result = ZPINPUT_RESULT_FAILURE;
  // Without the items in its stream the plug-in would write an empty list over the file.
  if (WritePluginStreamBytes(slot, bytes)) result = InputPluginSaveData(slot, path, "");
  if (result == ZPINPUT_RESULT_FAILURE)
    ShowMessage(" Saving is not supported for " + UpperCaseAscii(ExtractFileExt(path)) +
                    " files",
                {}, TMessageIcon::Warning);
  InputPluginClose(slot);
  return true;
}

bool ListArchive(const std::string& archivePath, std::vector<std::string>& list) {
  list.clear();
  const int slot = PluginOfKind(archivePath, ZPINPUT_TYPE_COMPRESSED);
  if (slot < 0) return false;
  InputPluginInitialize(slot);
  bool ok = false;
  if (InputPluginLoadData(slot, archivePath) == ZPINPUT_RESULT_SUCCESS) {
    TPlaylist items;
    if (ReadPluginStreamItems(slot, items)) {
      for (const auto& item : items.Items()) list.push_back(item.FullPathAndFilename);
      ok = true;
    }
  }
  InputPluginClose(slot);
  return ok;
}

bool ExtractFromArchive(const std::string& archivePath, const std::string& entry,
                        const std::string& destinationFolder) {
  const int slot = PluginOfKind(archivePath, ZPINPUT_TYPE_COMPRESSED);
  if (slot < 0) return false;
  std::string name = entry;
  while (!name.empty() && name.back() == '/') name.pop_back();
  InputPluginInitialize(slot);
  const bool ok = InputPluginSaveData(slot, archivePath + "/" + name, destinationFolder) ==
                  ZPINPUT_RESULT_SUCCESS;
  InputPluginClose(slot);
  return ok;
}

