#include "playlist/PlaylistHooks.h"

TPlaylistHooks& PlaylistHooks() {
  static TPlaylistHooks hooks;
  return hooks;
}
