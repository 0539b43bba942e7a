// The ordered list of entries the player can play, with its running total of playing time.
#pragma once

#include <cstdint>
#include <vector>

#include "playlist/TPlayListBoxItem.h"

class TPlaylist {
 public:
  const std::vector<TPlayListBoxItem>& Items() const { return m_items; }
  int Count() const { return static_cast<int>(m_items.size()); }
  const TPlayListBoxItem& Item(int index) const { return m_items.at(static_cast<size_t>(index)); }

  void Add(TPlayListBoxItem item);
  void Clear();
  int64_t TotalPlaybackSeconds() const { return m_totalSeconds; }

 private:
  std::vector<TPlayListBoxItem> m_items;
  int64_t m_totalSeconds = 0;
};

// The process-wide playlist.
TPlaylist& ThePlaylist();
