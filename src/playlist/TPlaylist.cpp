#include "playlist/TPlaylist.h"

void TPlaylist::Add(TPlayListBoxItem item) {
  if (item.FilePlaybackLength >= 0) m_totalSeconds += item.FilePlaybackLength;
  m_items.push_back(std::move(item));
}

void TPlaylist::Clear() {
  m_items.clear();
  m_totalSeconds = 0;
}

TPlaylist& ThePlaylist() {
  static TPlaylist playlist;
  return playlist;
}
