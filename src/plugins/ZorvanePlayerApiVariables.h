// Shared declarations of the control channel: where it lives and the hand-over record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zorvaneplayerapi.h"

// Per-user folder for the control socket and the instance lock: $XDG_RUNTIME_DIR, or a
// private folder under /tmp when the session has none. Empty when that folder cannot be had
// as our own (it exists and is not ours, not a folder, or not mode 0700).
std::string PlayerRuntimeFolder();
// Creates folder with mode 0700 when missing; true when it is then a folder (not a link) of
// this user with exactly mode 0700.
bool MakePrivateRuntimeFolder(const std::string& folder);
// $XDG_RUNTIME_DIR/zorvaneplayerapi-<uid>.sock; empty without a runtime folder.
std::string PlayerApiSocketPath();

// The hand-over record a second instance sends: tag = number of arguments; the payload is
// the single argument, or every argument followed by CR LF; zero-terminated.
struct THandOverRecord {
  uint32_t DataTag = 0;
  std::string Payload;  // without the terminating zero
};
THandOverRecord BuildHandOverRecord(const std::vector<std::string>& arguments);
// Payload bytes of the copy-data request: tag, byte count (including the zero), text, zero.
std::string SerializeHandOverRecord(const THandOverRecord& record);
// false for a record whose byte count does not match the data.
bool ParseHandOverRecord(const std::string& payload, THandOverRecord& record);
