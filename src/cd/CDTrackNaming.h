// The flows that name a disc's playlist entries and edit a CD entry's information: the
// engine's disc ID, the local store, and (when allowed) the freedb dialog. UI thread only.
#pragma once

#include <string>

#include "cd/CDDBConnect.h"
#include "playlist/PlaylistHooks.h"

// Client name and version, the e-mail prompt, the store and artwork folders.
void PrepareCDDBConnect(TCDDBConnect& connect);
// The e-mail rule: asks with "freedb User Login E-mail" while the address is the default one
// or has no "@"; a cancelled prompt keeps the address it had. Sets UserName and HostName.
void SetSomefreedbVariables(TCDDBConnect& connect, const std::string& InputClientName,
                            const std::string& InputClientVersion, std::string& InputUserEmail);
// The playlist's naming hook: the disc of driveRoot ("/path/disc.cue/") into names; false
// when the drive holds no disc.
bool NameCDTracksOfDrive(const std::string& driveRoot, bool freedbAllowed, TPlaylistCDDiscNames& names);
// Editing a CD entry's information from its track's locator. Returns true when a freedb
// search stored a new entry, so the drive's entries are to be named again.
bool EditCDTrackInformation(const std::string& locator, bool freedbAllowed, const std::string& storedDiscId = {});
// Installs the playlist's naming and track-listing hooks.
void InstallCDPlaylistHooks();
