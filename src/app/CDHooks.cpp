#include "app/CDHooks.h"

#include "app/PlaylistWindowHooks.h"
#include "app/StartupHooks.h"
#include "cd/CDDialogsInstall.h"
#include "cd/CDTrackNaming.h"
#include "cd/FreedbServerList.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/PlaylistHooks.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

void InstallCDHooks(QWidget* dialogParent) {
  InstallCDPlaylistHooks();
  InstallCDDialogs(dialogParent);
  // The encoder lists share these steps: run what is there, then the server list.
  auto load = StartupHooks().LoadServerAndEncoderLists;
  StartupHooks().LoadServerAndEncoderLists = [load] {
    if (load) load();
    LoadfreedbServersFromFile(FreedbServers(), FreedbServersFilePath());
  };
  auto save = StartupHooks().SaveServerAndEncoderLists;
  StartupHooks().SaveServerAndEncoderLists = [save] {
    if (save) save();
    if (FreedbServers().TotalServers > 0) SavefreedbServersToFile(FreedbServers(), FreedbServersFilePath());
  };
  PlaylistWindowHooks().ShowCDTrackInfo = [](TPlaylist& playlist, int index, bool freedbAllowed) {
    if (index < 0 || index >= playlist.Count()) return;
    const std::string locator = playlist.Item(index).FullPathAndFilename;
    if (!EditCDTrackInformation(locator, freedbAllowed)) return;
    const std::string drive = ExtractFilePath(locator);
    for (int i = 0; i < playlist.Count(); ++i) {
      TPlayListBoxItem& item = playlist.Item(i);
      if (SameText(ExtractFilePath(item.FullPathAndFilename), drive) && IsCDTrackLocator(item.FullPathAndFilename))
        item.TagIDDataRetrieved = false;
    }
    NameCDTrackEntries(playlist, false);
  };
}

void ClearCDHooks() {
  ClearCDDialogs();
  PlaylistHooks().NameCDTracks = nullptr;
  PlaylistHooks().ListCDTracks = nullptr;
  PlaylistWindowHooks().ShowCDTrackInfo = nullptr;
}
