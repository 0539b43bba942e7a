// Shared declarations of the control channel: where it lives and the hand-over record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zorvaneplayerapi.h"

// Per-user folder for the control socket and the instance lock: $XDG_RUNTIME_DIR, or a
// private folder under /tmp when the session has none. Created with mode 0700 if missing.
std::string PlayerRuntimeFolder();
// $XDG_RUNTIME_DIR/zorvaneplayerapi-<uid>.sock
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
