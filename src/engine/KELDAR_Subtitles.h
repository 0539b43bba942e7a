// SubRip subtitles (".srt") for the video engine: reading and parsing the file, finding the
// cue for a playing position, and the two texts the visuals window's panels show. The
// panels themselves belong to the app layer, which installs KELDAR_SubtitlePanelHooks.
// UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TSubtitleRecord {
  std::int32_t SubtitleIndex = 0;
  std::int64_t SubtitleStartTime = 0;  // milliseconds
  std::int64_t SubtitleEndTime = 0;
  std::string SubtitleLine1;
  std::string SubtitleLine2;
};

struct TSubtitleState {
  std::vector<TSubtitleRecord> Records;
  bool Loaded = false;
  std::string CurrentFileName;
  std::string PreviousFileName;
  bool Enabled = true;  // the "Show Subtitles" check
  std::string Text1, Text2;
};
TSubtitleState& SubtitleState();

struct KELDAR_SubtitlePanelHooks {
  std::function<void(bool visible)> SetVisible;
  std::function<void()> Layout;  // LayoutSubtitlePanels on the window
};
KELDAR_SubtitlePanelHooks& SubtitlePanelHooks();

// "h:m:s,ms" in milliseconds; each part trimmed, a part that is no integer counts as 0.
std::int64_t ParseSubtitleTime(std::string_view text);
std::vector<TSubtitleRecord> ParseSubtitles(const std::vector<std::string>& lines);
// The first cue (in file order) whose start <= ms <= end; empty texts when none.
void FindSubtitle(const std::vector<TSubtitleRecord>& records, std::int64_t ms, std::string& line1,
                  std::string& line2);

// Files larger than this are not read (a subtitle file is a few hundred kilobytes).
constexpr std::uintmax_t kMaxSubtitleFileBytes = 32u * 1024u * 1024u;
// A shown line is cut to this many bytes.
constexpr std::size_t kMaxSubtitleLineBytes = 1024;
// The file's lines in UTF-8: UTF-8 as it is (a byte-order mark dropped), otherwise read as
// Windows-1252; line ends "\n" or "\r\n"; the <i> <b> <u> <font> tags stripped. Nothing when
// the file cannot be read or is too large.
std::optional<std::vector<std::string>> ReadSubtitleFileLines(const std::string& fileName);
std::string Windows1252ToUtf8(std::string_view text);
bool IsValidUtf8(std::string_view text);
std::string StripSubtitleTags(std::string_view text);

// ".SRT", compared upper-cased.
bool IsSupportedSubtitleFile(const std::string& fileName);
// Loads the video's ".srt" (automatic) or the given file; true when loaded.
bool LoadSubtitles(const std::string& fileName, bool automatic);
void UnloadSubtitles();
// Position in 100-nanosecond units.
void UpdateSubtitleTexts(std::int64_t position);
// Shows or hides both panels through the hook.
void SetSubtitlePanelsVisible(bool visible);

// The panels' place over a displayed picture: line height L = H div 14 - 2; the first panel at
// 80 % of the picture's height, the second directly below it, both as wide as the picture.
struct TSubtitlePanelPlaces {
  int Left = 0, Top1 = 0, Top2 = 0, Width = 0, Height = 0;
};
TSubtitlePanelPlaces SubtitlePanelPlaces(int left, int top, int width, int height);
