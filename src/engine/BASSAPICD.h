// The engine's audio CD paths: digital tracks through the library's CD streams, analog
// tracks through the drive's own output, and the CD helpers (disc ID, track lists).
// UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kaudio.h"

struct TCDTrackName {
  int Drive = -1;  // -1: the name has no drive
  int Track = -1;  // zero-based
};
// "/dev/sr0/Track05.cda" -> the drive of "/dev/sr0", track 4. The drive root is a device or
// a disc image (".cue") standing as a drive.
TCDTrackName ParseCDTrackName(const std::string& name);

// CreateStream for types 3 (digital) and 4 (analog).
bool BASSAPI_CreateCDStream();
bool BASSAPI_CreateCDAnalogTrack();
// Transport of analog tracks.
bool BASSAPI_PlayCDAnalog();
void BASSAPI_PauseCDAnalog();
void BASSAPI_ResumeCDAnalog();
void BASSAPI_StopCDAnalog();
void BASSAPI_UpdateCDAnalogPosition();
void BASSAPI_SeekCDAnalog(std::int64_t targetSeconds);
bool BASSAPI_CDAnalogActive();
// Whole seconds of a CD track (type 3 or 4), 0 when unknown.
std::int64_t BASSAPI_CDTrackLength(const std::string& name, bool analog);

// The disc id of the drive of a ".CDA" name ("" without a disc); the library's whole
// disc-id text is kept in the engine state.
std::string BASSAPI_GetCDDiscID(const std::string& name);
// Track names of the drive of name, into tracks; true when the disc has a data track.
bool BASSAPI_ListCDTracks(const std::string& name, std::vector<std::string>& tracks);
// Installs the drive reports of the preferences.
void BASSAPI_InstallCDDriveReports();
