// Storage for playlist entries. A list of a hundred thousand entries would otherwise make a
// hundred thousand separate heap blocks: here entries are cut from blocks of 2 MiB that the
// system may back with large pages, so a long list costs few page faults and no search of
// the heap per entry. An entry's storage never moves while the entry lives.
//
// Any thread; a lock guards the pool. Under AddressSanitizer a slot without an entry is
// poisoned, so a use after free is still caught.
#pragma once

#include <memory>

#include "playlist/TPlayListBoxItem.h"

struct TPlaylistItemDeleter {
  void operator()(TPlayListBoxItem* item) const;
};
using TPlaylistItemPointer = std::unique_ptr<TPlayListBoxItem, TPlaylistItemDeleter>;

// A new entry moved from the given one.
TPlaylistItemPointer MakePlaylistItem(TPlayListBoxItem&& item);
