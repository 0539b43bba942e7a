#include "engine/KELDAR_StreamMetadata.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>

namespace {

std::string Trim(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The whole text as a decimal integer, or nothing.
std::optional<long long> ReadInteger(const std::string& text) {
  if (text.empty()) return std::nullopt;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  long long value = 0;
  for (size_t k = i; k < text.size(); ++k) {
    if (!std::isdigit(static_cast<unsigned char>(text[k]))) return std::nullopt;
    value = value * 10 + (text[k] - '0');
    if (value > 0x7FFFFFFF) return std::nullopt;
  }
  return text[0] == '-' ? -value : value;
}

// Calls fn(line) for every string of a block until the empty one.
template <typename Fn>
void ForEachLine(const char* block, Fn&& fn) {
  for (const char* p = block; p && *p; p += std::strlen(p) + 1) fn(std::string(p));
}

// The first prefix of the list that matches; -1 when none does.
template <size_t N>
int MatchFirst(const char* const (&prefixes)[N], const std::string& line, std::string& value) {
  for (size_t i = 0; i < N; ++i)
    if (MatchHeaderLine(prefixes[i], line, value)) return static_cast<int>(i);
  return -1;
}

void SetPublicOrPrivate(const std::string& value, ShoutcastStationNameType& station) {
  station.ServerPublicOrPrivate = "Unknown type";
  if (const auto n = ReadInteger(value)) {
    if (*n == 0) station.ServerPublicOrPrivate = "Private Server";
    if (*n == 1) station.ServerPublicOrPrivate = "Public Server";
  }
}

// The seven header lines ICY and HTTP blocks share; true when index was one of them.
bool ApplyCommonHeader(int index, const std::string& value, ShoutcastStationNameType& station) {
  switch (index) {
    case 0: station.ServerNotice1 = value; return true;
    case 1: station.ServerNotice2 = value; return true;
    case 2:
      station.ServerName = value;
      station.ServerDataUpdated = true;
      return true;
    case 3: station.ServerGenre = value; return true;
    case 4: station.ServerURL = value; return true;
    case 5: station.ServerMetaint = value; return true;
    case 6: SetPublicOrPrivate(value, station); return true;
    default: return false;
  }
}

}  // namespace

bool MatchHeaderLine(const std::string& prefix, const std::string& line, std::string& value) {
  value.clear();
  if (line.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  value = Trim(line.substr(prefix.size()));
  return true;
}

void ParseICYHeaders(const char* block, TStreamMetadata& data) {
  static const char* const kPrefixes[] = {"icy-notice1:", "icy-notice2:", "icy-name:", "icy-genre:",
                                          "icy-url:",     "icy-metaint:", "icy-pub:",  "icy-br:"};
  ForEachLine(block, [&](const std::string& line) {
    std::string value;
    const int index = MatchFirst(kPrefixes, line, value);
    if (ApplyCommonHeader(index, value, data.Station) || index != 7) return;
    const auto n = ReadInteger(value);
    data.Bitrate = n ? static_cast<int>(*n) : 0;
    data.BitrateSet = true;
    data.Station.ServerBitrate = value;
  });
}

void ParseHTTPHeaders(const char* block, TStreamMetadata& data) {
  static const char* const kPrefixes[] = {"icy-notice1:",    "icy-notice2:", "icy-name:",       "icy-genre:",
                                          "icy-url:",        "icy-metaint:", "icy-pub:",        "ice-audio-info:",
                                          "icy-description:", "Server:",     "icy-br:"};
  ForEachLine(block, [&](const std::string& line) {
    std::string value;
    const int index = MatchFirst(kPrefixes, line, value);
    if (ApplyCommonHeader(index, value, data.Station)) return;
    switch (index) {
      case 7: data.Station.ServerICEAudioInfo = value; break;
      case 8: data.Station.ServerDescription = value; break;
      case 9: data.Station.ServerType = value; break;
      case 10: data.Station.ServerBitrate = "0"; break;
      default: break;
    }
  });
}

void ParseMetaTags(const char* block, TStreamMetadata& data) {
  data.META.StreamTitle.clear();
  if (!block) return;
  const std::string text = block;
  const size_t p = Upper(text).find("STREAMTITLE=");
  if (p == std::string::npos) {
    ParseOggTags(block, data);
    return;
  }
  // The title runs from after the opening quote to the closing quote before its ";".
  const size_t start = p + 13;
  if (start > text.size()) return;
  size_t end = text.find("';", start);
  if (end == std::string::npos) {
    const size_t semicolon = text.find(';', start);
    end = semicolon == std::string::npos ? text.size() : (semicolon > start ? semicolon - 1 : start);
    if (semicolon == std::string::npos && end > start && text[end - 1] == '\'') --end;
  }
  data.META.StreamTitle = text.substr(start, end - start);
}

void ParseOggTags(const char* block, TStreamMetadata& data) {
  static const char* const kPrefixes[] = {"encoder=",  "title=",    "artist=",  "album=",
                                          "GENRE=",    "comment=",  "DURATION=", "SONGTYPE=",
                                          "OVERLAY=",  "TRACKNUMBER="};
  if (!block) return;
  std::string title, artist;
  ForEachLine(block, [&](const std::string& line) {
    std::string value;
    switch (MatchFirst(kPrefixes, line, value)) {
      case 1: title = value; break;
      case 2: artist = value; break;
      case 4: data.Station.ServerGenre = value; break;
      case 5: data.Station.ServerNotice1 = value; break;
      default: break;
    }
  });
  data.META.StreamTitle = artist + " - " + title;
}

void ParseWMATags(const char* block, TStreamMetadata& data) {
  static const char* const kPrefixes[] = {"author=", "title=", "WM/Genre=", "copyright=", "Bitrate="};
  if (!block) return;
  std::string title, artist;
  ForEachLine(block, [&](const std::string& line) {
    std::string value;
    switch (MatchFirst(kPrefixes, line, value)) {
      case 0: artist = value; break;
      case 1: title = value; break;
      case 4: {
        const auto n = ReadInteger(value);
        data.Bitrate = n ? static_cast<int>(*n / 1024) : 0;
        data.BitrateSet = true;
        data.Station.ServerBitrate = value;
        break;
      }
      default: break;
    }
  });
  data.META.StreamTitle = artist + " - " + title;
}

void TStreamMetadataSlot::SetStatusText(const std::string& text) {
  std::lock_guard lock(mutex_);
  status_ = text;
  statusChanged_ = true;
  version_.fetch_add(1, std::memory_order_release);
}

void TStreamMetadataSlot::Reset(const std::string& address) {
  std::lock_guard lock(mutex_);
  data_ = {};
  data_.Station.ServerURLStream = address;
  resetPending_ = true;
  version_.fetch_add(1, std::memory_order_release);
}

bool TStreamMetadataSlot::CopyTo(KELDAR_AUDIOVIDEO_API_EngineState& state) {
  const std::uint32_t version = version_.load(std::memory_order_acquire);
  if (version == seen_) return false;
  std::lock_guard lock(mutex_);
  seen_ = version_.load(std::memory_order_relaxed);
  const bool updated = (state.Station.ServerDataUpdated && !resetPending_) || data_.Station.ServerDataUpdated;
  resetPending_ = false;
  state.Station = data_.Station;
  state.Station.ServerDataUpdated = updated;
  data_.Station.ServerDataUpdated = false;
  state.META = data_.META;
  if (data_.BitrateSet) {
    state.Bitrate = static_cast<std::int16_t>(std::clamp(data_.Bitrate, -32768, 32767));
    data_.BitrateSet = false;
  }
  if (statusChanged_) {
    state.StatusText = status_;
    statusChanged_ = false;
  }
  return true;
}

TStreamMetadataSlot& StreamMetadataSlot() {
  static TStreamMetadataSlot slot;
  return slot;
}
