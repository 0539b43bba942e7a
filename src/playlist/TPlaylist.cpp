#include "playlist/TPlaylist.h"

#include <algorithm>

#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

// Lengths below zero mean "unknown" and never count towards the total.
int64_t Counted(int32_t seconds) { return seconds >= 0 ? seconds : 0; }

// Raises a flag for the life of the object.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& flag) : m_flag(flag) { m_flag = true; }
  ~TFlagGuard() { m_flag = false; }

 private:
  bool& m_flag;
};

}  // namespace

TPlaylist::TPlaylist() : m_current(&m_ownCurrent) {}

TPlaylist::TPlaylist(int32_t* currentIndex) : m_current(currentIndex ? currentIndex : &m_ownCurrent) {}

TPlayListBoxItem* TPlaylist::ItemPointer(int index) {
  return ValidIndex(index) ? m_lines[static_cast<size_t>(index)].Item.get() : nullptr;
}

void TPlaylist::Add(TPlayListBoxItem item) {
  m_totalSeconds += Counted(item.FilePlaybackLength);
  m_lines.push_back({MakePlaylistItem(std::move(item)), false});
}

void TPlaylist::AppendLinesOf(TPlaylist& other) {
  if (&other == this) return;
  const size_t needed = m_lines.size() + other.m_lines.size();
  if (needed > m_lines.capacity()) m_lines.reserve(std::max(needed, 2 * m_lines.capacity()));
  for (TLine& line : other.m_lines) {
    m_totalSeconds += Counted(line.Item->FilePlaybackLength);
    m_lines.push_back({std::move(line.Item), false});
  }
  other.Clear();
}

void TPlaylist::Remove(int index) {
  if (!ValidIndex(index)) return;
  TFlagGuard removing(m_removing);
  if (index < *m_current) --*m_current;
  else if (index == *m_current) *m_current = -1;
  m_totalSeconds -= Counted(m_lines[static_cast<size_t>(index)].Item->FilePlaybackLength);
  m_lines.erase(m_lines.begin() + index);
  if (m_itemIndex >= Count()) m_itemIndex = Count() - 1;
}

void TPlaylist::RemoveLinesWithSelection(bool selected) {
  TFlagGuard removing(m_removing);
  // One pass instead of one erase per line; the indexes change exactly as they would
  // under the primitive applied from the last line to the first.
  const int current = *m_current;
  bool currentRemoved = false;
  int removedBeforeCurrent = 0;
  size_t kept = 0;
  for (size_t i = 0; i < m_lines.size(); ++i) {
    if (m_lines[i].Selected == selected) {
      const int index = static_cast<int>(i);
      if (index < current) ++removedBeforeCurrent;
      if (index == current) currentRemoved = true;
      m_totalSeconds -= Counted(m_lines[i].Item->FilePlaybackLength);
      m_lines[i].Item.reset();
    } else {
      if (kept != i) m_lines[kept] = std::move(m_lines[i]);
      ++kept;
    }
  }
  m_lines.resize(kept);
  if (currentRemoved) *m_current = -1;
  else *m_current = current - removedBeforeCurrent;
  if (m_itemIndex >= Count()) m_itemIndex = Count() - 1;
}

void TPlaylist::Clear() {
  TFlagGuard removing(m_removing);
  const int current = *m_current;
  const int count = Count();
  if (current >= 0 && current < count) *m_current = -1;
  else if (current >= count) *m_current = current - count;
  // Last to first, as the primitive would.
  while (!m_lines.empty()) m_lines.pop_back();
  m_totalSeconds = 0;
  m_itemIndex = -1;
}

void TPlaylist::SetItemLength(TPlayListBoxItem& item, int32_t seconds) {
  m_totalSeconds += Counted(seconds) - Counted(item.FilePlaybackLength);
  item.FilePlaybackLength = seconds;
}

void TPlaylist::SetSelected(int index, bool selected) {
  if (ValidIndex(index)) m_lines[static_cast<size_t>(index)].Selected = selected;
}

int TPlaylist::SelectedCount() const {
  return static_cast<int>(std::count_if(m_lines.begin(), m_lines.end(), [](const TLine& l) { return l.Selected; }));
}

int TPlaylist::FirstSelected() const {
  for (size_t i = 0; i < m_lines.size(); ++i)
    if (m_lines[i].Selected) return static_cast<int>(i);
  return -1;
}

void TPlaylist::MoveLine(int from, int to) {
  if (!ValidIndex(from) || !ValidIndex(to) || from == to) return;
  auto first = m_lines.begin();
  if (from < to) std::rotate(first + from, first + from + 1, first + to + 1);
  else std::rotate(first + to, first + from, first + from + 1);
}

void TPlaylist::ExchangeLines(int a, int b) {
  if (!ValidIndex(a) || !ValidIndex(b)) return;
  std::swap(m_lines[static_cast<size_t>(a)], m_lines[static_cast<size_t>(b)]);
}

void TPlaylist::Reorder(const std::vector<int>& order) {
  if (order.size() != m_lines.size()) return;
  std::vector<bool> used(m_lines.size(), false);
  for (int from : order) {
    if (!ValidIndex(from) || used[static_cast<size_t>(from)]) return;  // not a permutation
    used[static_cast<size_t>(from)] = true;
  }
  std::vector<TLine> lines(m_lines.size());
  for (size_t i = 0; i < order.size(); ++i)
    lines[i].Item = std::move(m_lines[static_cast<size_t>(order[i])].Item);
  m_lines = std::move(lines);
}

TPlaylist& ThePlaylist() {
  static TPlaylist playlist(&Options_PlayListBoxCurrentSongIndex.IntegerValue);
  return playlist;
}
