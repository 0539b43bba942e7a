#include "cd/CDDBEntry.h"

#include <unordered_map>

#include "cd/CDDialogHooks.h"
#include "util/TextFunctions.h"

const std::vector<std::string>& CDDBCategories() {
  static const std::vector<std::string> categories{"blues", "classical", "country", "data",
                                                   "folk",  "jazz",      "newage",  "reggae",
                                                   "rock",  "soundtrack", "misc"};
  return categories;
}

TCDDBEntry& TheCDDBEntry() {
  static TCDDBEntry entry;
  return entry;
}

namespace {

// Tracks no disc can exceed; a hostile query string cannot ask for millions of placeholders.
constexpr int kMaxTracks = 99;

int TrackCountOf(const std::string& query) {
  const std::string word = TCDDBEntry::GetItemFromResponse(query, 1, false);
  int n = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
    if (n > kMaxTracks) return kMaxTracks;
  }
  return n;
}

}  // namespace

void TCDDBEntry::FillFromCDInfo() {
  Tracks.clear();
  ExtendedTracksData.clear();
  const int n = TrackCountOf(CDID_CDDB);
  CDTitle = "Unknown Title";
  ArtistTitle = "Unknown Artist";
  for (int i = 1; i <= n; ++i) {
    Tracks.push_back("Track " + std::to_string(i));
    ExtendedTracksData.emplace_back();
  }
}

std::string TCDDBEntry::GetItemFromResponse(const std::string& AResponseLine, int AIndex,
                                            bool ReturnEntireLine) {
  std::string line = AResponseLine;
  for (int i = 0; i < AIndex; ++i) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) {
      line.clear();
      break;
    }
    line.erase(0, space + 1);
  }
  if (!ReturnEntireLine) {
    const size_t space = line.find(' ');
    if (space != std::string::npos) line.erase(space);
  }
  return line;
}

void TCDDBEntry::ParseXMCDRecord(const std::vector<std::string>& lines, const std::string& discId) {
  XMCDRecordRawData = lines;
  Category = lines.empty() ? std::string() : GetItemFromResponse(lines[0], 1, false);
  bool revisionSeen = false, viaSeen = false;
  // One pass: the first value of every key, and the joined values of the extended data.
  std::unordered_map<std::string, std::string> first;
  std::unordered_map<std::string, std::string> joined;
  for (const std::string& line : lines) {
    if (!revisionSeen) {
      const size_t at = line.find("# Revision: ");
      if (at != std::string::npos) {
        Revision = line.substr(at + 12);
        revisionSeen = true;
      }
    }
    if (!viaSeen) {
      const size_t at = line.find("# Submitted via: ");
      if (at != std::string::npos) {
        SubmittedVia = line.substr(at + 17);
        viaSeen = true;
      }
    }
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq > 16) continue;
    const std::string key = UpperCaseAscii(std::string_view(line).substr(0, eq));
    const std::string_view value = std::string_view(line).substr(eq + 1);
    if (key == "EXTD" || key.rfind("EXTT", 0) == 0) joined[key].append(value);
    else first.try_emplace(key, value);
  }
  if (!revisionSeen) Revision.clear();
  if (!viaSeen) SubmittedVia.clear();
  CDID = discId;
  const auto value = [&](const std::string& key) {
    const auto it = first.find(key);
    return it == first.end() ? std::string() : it->second;
  };
  Genre = value("DGENRE");
  Year = value("DYEAR");
  const std::string title = value("DTITLE");
  const size_t slash = title.find('/');
  if (slash == std::string::npos) {
    ArtistTitle = CDTitle = title;
  } else {
    ArtistTitle = TrimText(title.substr(0, slash));
    CDTitle = TrimText(title.substr(slash + 1));
  }
  Tracks.clear();
  ExtendedTracksData.clear();
  for (size_t i = 0;; ++i) {
    const std::string track = value("TTITLE" + std::to_string(i));
    if (track.empty()) break;
    Tracks.push_back(track);
  }
  const auto extended = [&](const std::string& key) {
    const auto it = joined.find(key);
    return it == joined.end() ? std::string() : it->second;
  };
  ExtendedCDInfo = UnescapeXMCDText(extended("EXTD"));
  for (size_t i = 0; i < Tracks.size(); ++i)
    ExtendedTracksData.push_back(UnescapeXMCDText(extended("EXTT" + std::to_string(i))));
}

std::vector<std::string> TCDDBEntry::BuildXMCDRecord() const {
  const int count = TrackCountOf(CDID_CDDB);
  std::vector<std::string> r;
  r.push_back("# xmcd");
  r.push_back("#");
  r.push_back("# Track frame offsets:");
  for (int i = 0; i < count; ++i) r.push_back("# " + TrimText(GetItemFromResponse(CDID_CDDB, i + 2, false)));
  r.push_back("#");
  r.push_back("# Disc length: " + TrimText(GetItemFromResponse(CDID_CDDB, count + 2, true)) + " seconds");
  r.push_back("#");
  r.push_back("# Revision: " + TrimText(Revision));
  r.push_back("# Submitted via: " + TrimText(SubmittedVia));
  r.push_back("#");
  r.push_back("DISCID=" + TrimText(GetItemFromResponse(CDID_CDDB, 0, false)));
  r.push_back("DTITLE=" + TrimText(ArtistTitle) + " / " + TrimText(CDTitle));
  r.push_back("DYEAR=" + TrimText(Year));
  r.push_back("DGENRE=" + TrimText(Genre));
  r.push_back("");
  // The track lines follow the disc's track count; titles beyond it have no track.
  for (int i = 0; i < count; ++i)
    r.push_back("TTITLE" + std::to_string(i) + "=" +
                TrimText(static_cast<size_t>(i) < Tracks.size() ? Tracks[static_cast<size_t>(i)] : std::string()));
  r.push_back("EXTD=" + EscapeXMCDText(TrimText(ExtendedCDInfo)));
  for (int i = 0; i < count; ++i)
    r.push_back("EXTT" + std::to_string(i) + "=" +
                EscapeXMCDText(TrimText(static_cast<size_t>(i) < ExtendedTracksData.size()
                                            ? ExtendedTracksData[static_cast<size_t>(i)]
                                            : std::string())));
  r.push_back("PLAYORDER=");
  r.push_back("");
  return r;
}

std::string EscapeXMCDText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '/') out += "\\\\";
    else out += c;
  }
  return out;
}

std::string UnescapeXMCDText(const std::string& text) {
  std::string out = ReplaceAllText(text, "\\n", "\n", true);
  out = ReplaceAllText(out, "\\t", "\t", true);
  return ReplaceAllText(out, "\\\\", "/", true);
}

bool TCDDBEntry::Edit() {
  const auto& hook = CDDialogHooks().EditEntry;
  return hook ? hook(*this) : false;
}
