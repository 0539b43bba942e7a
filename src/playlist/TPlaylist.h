// The ordered list of entries the player can play. The list owns its entries (created when
// added, destroyed when removed or cleared); each line carries a selected flag, and the
// list has one focused line (its item index) independent of the selection. It keeps the
// running total of playing time and the index of the current entry.
//
// Main thread only. Entry addresses stay valid while the entry is in the list, whatever
// moves, sorts or removals of other lines happen.
#pragma once

#include <cstdint>
#include <memory>
#include <ranges>
#include <vector>

#include "playlist/PlaylistItemPool.h"
#include "playlist/TPlayListBoxItem.h"

class TPlaylist {
 public:
  // A list with its own current index (-1).
  TPlaylist();
  // A list whose current index lives in *currentIndex (the process-wide list keeps it in
  // the settings record, so it is persisted with the settings).
  explicit TPlaylist(int32_t* currentIndex);
  TPlaylist(const TPlaylist&) = delete;
  TPlaylist& operator=(const TPlaylist&) = delete;

  int Count() const { return static_cast<int>(m_lines.size()); }
  bool Empty() const { return m_lines.empty(); }
  bool ValidIndex(int index) const { return index >= 0 && index < Count(); }
  const TPlayListBoxItem& Item(int index) const { return *m_lines.at(static_cast<size_t>(index)).Item; }
  TPlayListBoxItem& Item(int index) { return *m_lines.at(static_cast<size_t>(index)).Item; }
  // Null when the index is outside the list.
  TPlayListBoxItem* ItemPointer(int index);
  // The entries in list order, for range-for loops.
  auto Items() const {
    return m_lines | std::views::transform([](const TLine& l) -> const TPlayListBoxItem& { return *l.Item; });
  }

  // ---- adding and removing ----
  // Appends; a non-negative length is added to the total.
  void Add(TPlayListBoxItem item);
  // Appends every line of the other list, in order (the entries keep their addresses and
  // lengths, their lines come unselected); the other list is left empty.
  void AppendLinesOf(TPlaylist& other);
  // The removal primitive: a line before the current entry moves the current index up by
  // one, the current entry itself leaves it at -1; the entry's length leaves the total.
  void Remove(int index);
  // Removes the lines whose flag is `selected`, with the same effect as removing them one
  // by one from the last to the first.
  void RemoveLinesWithSelection(bool selected);
  // Removes every line from the last to the first; the total becomes 0.
  void Clear();

  // ---- playing time ----
  int64_t TotalPlaybackSeconds() const { return m_totalSeconds; }
  // Sets an entry's length keeping the total equal to the sum of non-negative lengths.
  void SetItemLength(TPlayListBoxItem& item, int32_t seconds);

  // ---- current entry, item index, selection ----
  int CurrentIndex() const { return *m_current; }
  void SetCurrentIndex(int index) { *m_current = index; }
  int ItemIndex() const { return m_itemIndex; }
  void SetItemIndex(int index) { m_itemIndex = ValidIndex(index) ? index : -1; }
  bool Selected(int index) const { return ValidIndex(index) && m_lines[static_cast<size_t>(index)].Selected; }
  void SetSelected(int index, bool selected);
  int SelectedCount() const;
  int FirstSelected() const;  // -1 without selection

  // ---- reordering (the current index is the caller's business) ----
  // Moves the line (entry and flag) from one index to another, the lines between shift.
  void MoveLine(int from, int to);
  void ExchangeLines(int a, int b);
  // Replaces the order of the lines: order[i] is the old index of the new line i.
  // Selection flags are cleared, as the lines are built anew.
  void Reorder(const std::vector<int>& order);

  // ---- flags that painting and the status texts look at ----
  bool RemovalInProgress() const { return m_removing; }
  bool TagReadingInProgress() const { return m_readingTags; }
  void SetTagReadingInProgress(bool reading) { m_readingTags = reading; }

 private:
  struct TLine {
    TPlaylistItemPointer Item;
    bool Selected = false;
  };
  std::vector<TLine> m_lines;
  int64_t m_totalSeconds = 0;
  int32_t m_ownCurrent = -1;
  int32_t* m_current;
  int m_itemIndex = -1;
  bool m_removing = false;
  bool m_readingTags = false;
};

// The process-wide playlist; its current index is Options_PlayListBoxCurrentSongIndex.
TPlaylist& ThePlaylist();
