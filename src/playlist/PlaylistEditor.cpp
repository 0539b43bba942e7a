#include "playlist/PlaylistEditor.h"

#include "playlist/TPlaylist.h"

void ProccessAddedFiles(const std::vector<std::string>& InputFilesStringList, bool /*UseAllDialogs*/) {
  for (const std::string& name : InputFilesStringList) {
    if (name.empty()) continue;
    TPlayListBoxItem item;
    item.FullPathAndFilename = name;
    ThePlaylist().Add(std::move(item));
  }
}
