#include "playlist/PlaylistOperations.h"

#include <algorithm>
#include <numeric>

#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

void RemoveSelectedEntries(TPlaylist& playlist) { playlist.RemoveLinesWithSelection(true); }

void CropSelectedEntries(TPlaylist& playlist) { playlist.RemoveLinesWithSelection(false); }

void ClearPlaylist(TPlaylist& playlist) { playlist.Clear(); }

void SelectAllEntries(TPlaylist& playlist) {
  for (int i = 0; i < playlist.Count(); ++i) playlist.SetSelected(i, true);
}

void SelectNoEntries(TPlaylist& playlist) {
  for (int i = 0; i < playlist.Count(); ++i) playlist.SetSelected(i, false);
}

void InvertSelection(TPlaylist& playlist) {
  for (int i = 0; i < playlist.Count(); ++i) playlist.SetSelected(i, !playlist.Selected(i));
}

namespace {

// Moves one line and keeps the current index on the current entry.
void MoveLineFollowingCurrent(TPlaylist& playlist, int from, int to) {
  int current = playlist.CurrentIndex();
  if (current == from) current = to;
  else if (from < current && current <= to) --current;
  else if (to <= current && current < from) ++current;
  playlist.MoveLine(from, to);
  playlist.SetCurrentIndex(current);
}

std::string SortKeyText(const TPlayListBoxItem& item, TPlaylistSortKey key) {
  switch (key) {
    case TPlaylistSortKey::PathAndFilename: return item.FullPathAndFilename;
    case TPlaylistSortKey::Artist: return item.ArtistName;
    case TPlaylistSortKey::Title: return item.TitleName;
    case TPlaylistSortKey::Album: return item.AlbumName;
    case TPlaylistSortKey::FileName: return ExtractFileName(item.FullPathAndFilename);
    case TPlaylistSortKey::FileExtension: return ExtractFileExt(item.FullPathAndFilename);
    case TPlaylistSortKey::FileSize: return std::to_string(item.FileSize);
    case TPlaylistSortKey::FileDate: return std::to_string(item.FileDate);
  }
  return {};
}

const std::string& FindFieldText(const TPlayListBoxItem& item, TPlaylistFindField field) {
  switch (field) {
    case TPlaylistFindField::ArtistName: return item.ArtistName;
    case TPlaylistFindField::SongName: return item.TitleName;
    case TPlaylistFindField::AlbumName: return item.AlbumName;
    case TPlaylistFindField::Filename: break;
  }
  return item.FullPathAndFilename;
}

}  // namespace

void MoveSelectedEntries(TPlaylist& playlist, int offset) {
  const int count = playlist.Count();
  if (offset == 0 || count == 0) return;
  if (offset < 0) {
    for (int i = 0; i < count; ++i) {
      if (!playlist.Selected(i)) continue;
      const long long target = static_cast<long long>(i) + offset;
      if (target < 0) return;
      MoveLineFollowingCurrent(playlist, i, static_cast<int>(target));
    }
  } else {
    for (int i = count - 1; i >= 0; --i) {
      if (!playlist.Selected(i)) continue;
      const long long target = static_cast<long long>(i) + offset;
      if (target > count - 1) return;
      MoveLineFollowingCurrent(playlist, i, static_cast<int>(target));
    }
  }
}

void SortPlaylist(TPlaylist& playlist, TPlaylistSortKey key) {
  // Keys are built and upper-cased once, so each comparison is a plain ordinal one.
  const int count = playlist.Count();
  std::vector<std::string> keys(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) keys[static_cast<size_t>(i)] = UpperCaseAscii(SortKeyText(playlist.Item(i), key));
  std::vector<int> order(static_cast<size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(),
            [&keys](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
  playlist.Reorder(order);
}

void RandomizePlaylist(TPlaylist& playlist) {
  static std::mt19937 random{std::random_device{}()};
  RandomizePlaylist(playlist, random);
}

void RandomizePlaylist(TPlaylist& playlist, std::mt19937& random) {
  const int count = playlist.Count();
  if (count == 0) return;
  std::uniform_int_distribution<int> pick(0, count - 1);
  for (int i = 0; i < count; ++i) {
    const int a = pick(random);
    const int b = pick(random);
    playlist.ExchangeLines(a, b);
  }
}

void ReversePlaylist(TPlaylist& playlist) {
  const int count = playlist.Count();
  for (int i = 0; i < count / 2; ++i) playlist.ExchangeLines(i, count - 1 - i);
}

int FindInPlaylist(TPlaylist& playlist, TPlaylistFindField field, const std::string& text, bool fromCurrent) {
  const int count = playlist.Count();
  if (count == 0) return -1;
  const int firstSelected = playlist.FirstSelected();
  int start = 0;
  if (fromCurrent) {
    start = (firstSelected < 0 ? count - 1 : firstSelected) + 1;
    if (start >= count) start = 0;
  }
  for (int i = start; i < count; ++i) {
    if (PosText(text, FindFieldText(playlist.Item(i), field)) == std::string::npos) continue;
    if (firstSelected >= 0) playlist.SetSelected(firstSelected, false);
    playlist.SetSelected(i, true);
    return i;
  }
  ShowMessage("Search String '" + text + "' NOT Found", "Information", TMessageIcon::Information);
  return -1;
}
