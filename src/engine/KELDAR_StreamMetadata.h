// Internet stream metadata: the header and tag-block parsers that fill the station record
// and the stream title, and the slot through which the library's threads hand their results
// to the UI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "engine/KELDAR_AUDIOVIDEO_API.h"

// What the parsers change: station, title, and the engine's bitrate when a block names one.
struct TStreamMetadata {
  ShoutcastStationNameType Station;
  ShoutcastMETARecord META;
  bool BitrateSet = false;
  int Bitrate = 0;
};

// True when line starts with prefix (case ignored); value is the rest, trimmed. Otherwise
// value is empty and the result false.
bool MatchHeaderLine(const std::string& prefix, const std::string& line, std::string& value);

// Each takes a library tag block (NUL-terminated strings ended by an empty one, or one
// string for META); a null block changes nothing (META still clears the title).
void ParseICYHeaders(const char* block, TStreamMetadata& data);
void ParseHTTPHeaders(const char* block, TStreamMetadata& data);
void ParseMetaTags(const char* block, TStreamMetadata& data);
void ParseOggTags(const char* block, TStreamMetadata& data);
void ParseWMATags(const char* block, TStreamMetadata& data);

// Library threads write under the lock; the UI thread copies on its timer when the version
// moved. Nothing is held for longer than one parse or one copy.
class TStreamMetadataSlot {
 public:
  // Runs fn(data) under the lock and marks the slot changed.
  template <typename Fn>
  void Update(Fn&& fn) {
    std::lock_guard lock(mutex_);
    fn(data_);
    version_.fetch_add(1, std::memory_order_release);
  }
  void SetStatusText(const std::string& text);
  // A new connection: everything cleared, the address kept as ServerURLStream.
  void Reset(const std::string& address);
  // UI thread: brings the engine state up to date; true when anything was copied. The
  // station-updated flag and the bitrate are handed over once; the deck clears its copy.
  bool CopyTo(KELDAR_AUDIOVIDEO_API_EngineState& state);

 private:
  std::mutex mutex_;
  TStreamMetadata data_;
  std::string status_;
  bool statusChanged_ = false;
  bool resetPending_ = false;
  std::atomic<std::uint32_t> version_{0};
  std::uint32_t seen_ = 0;  // UI thread only
};

TStreamMetadataSlot& StreamMetadataSlot();
