#include "engine/KELDAR_Subtitles.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>

#include "util/TextEncoding.h"
#include "util/TextFunctions.h"

namespace {

// A 32-bit integer with an optional sign, or 0.
std::int64_t IntegerOrZero(std::string_view text) {
  const std::string trimmed = TrimText(text);
  std::string_view digits = trimmed;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) return 0;
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max() + std::int64_t{1}) return 0;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return 0;
  return value;
}

// The text before `separator`, the rest after it; without the separator the whole text is
// the part and nothing is left.
std::string_view TakePart(std::string_view& text, char separator) {
  const size_t at = text.find(separator);
  std::string_view part = text.substr(0, at);
  text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
  return part;
}

std::string Shown(const std::string& line) { return CutUtf8(line, kMaxSubtitleLineBytes); }

bool SameTagName(std::string_view tag, std::string_view name) {
  if (tag.size() < name.size() || !SameText(tag.substr(0, name.size()), name)) return false;
  return tag.size() == name.size() || tag[name.size()] == ' ' || tag[name.size()] == '\t';
}

}  // namespace

TSubtitleState& SubtitleState() {
  static TSubtitleState state;
  return state;
}

KELDAR_SubtitlePanelHooks& SubtitlePanelHooks() {
  static KELDAR_SubtitlePanelHooks hooks;
  return hooks;
}

std::int64_t ParseSubtitleTime(std::string_view text) {
  const std::int64_t hours = IntegerOrZero(TakePart(text, ':'));
  const std::int64_t minutes = IntegerOrZero(TakePart(text, ':'));
  const std::int64_t seconds = IntegerOrZero(TakePart(text, ','));
  const std::int64_t milliseconds = IntegerOrZero(text);
  return hours * 3600000 + minutes * 60000 + seconds * 1000 + milliseconds;
}

std::vector<TSubtitleRecord> ParseSubtitles(const std::vector<std::string>& lines) {
  std::vector<TSubtitleRecord> records;
  const size_t n = lines.size();
  size_t i = 0;
  while (i < n) {
    const std::string& line = lines[i];
    const size_t arrow = line.find("-->");
    if (arrow == std::string::npos) {
      ++i;
      continue;
    }
    TSubtitleRecord record;
    record.SubtitleIndex = i > 0 ? static_cast<std::int32_t>(IntegerOrZero(lines[i - 1])) : 0;
    record.SubtitleStartTime = ParseSubtitleTime(TrimText(std::string_view(line).substr(0, arrow)));
    record.SubtitleEndTime = ParseSubtitleTime(TrimText(std::string_view(line).substr(arrow + 3)));
    size_t next = i + 1;
    if (next < n && !lines[next].empty()) {
      record.SubtitleLine1 = Shown(lines[next++]);
      if (next < n && !lines[next].empty()) record.SubtitleLine2 = Shown(lines[next++]);
    }
    records.push_back(std::move(record));
    i = next;
  }
  return records;
}

void FindSubtitle(const std::vector<TSubtitleRecord>& records, std::int64_t ms, std::string& line1,
                  std::string& line2) {
  for (const auto& r : records)
    if (r.SubtitleStartTime <= ms && ms <= r.SubtitleEndTime) {
      line1 = r.SubtitleLine1;
      line2 = r.SubtitleLine2;
      return;
    }
  line1.clear();
  line2.clear();
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t more = 0;
    char32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      more = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      more = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + more >= text.size()) return false;
    for (size_t k = 1; k <= more; ++k) {
      const auto d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point are not UTF-8.
    if ((more == 1 && cp < 0x80) || (more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += more + 1;
  }
  return true;
}

std::string Windows1252ToUtf8(std::string_view text) {
  // 0x80..0x9F differ from Latin-1; the five unassigned ones become U+FFFD.
  static const char16_t kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                     0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::u32string wide;
  wide.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    wide.push_back(c >= 0x80 && c < 0xA0 ? static_cast<char32_t>(kHigh[c - 0x80]) : static_cast<char32_t>(c));
  }
  return Utf32ToUtf8(wide);
}

std::string StripSubtitleTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '<') {
      const size_t close = text.find('>', i + 1);
      if (close != std::string_view::npos) {
        std::string_view tag = text.substr(i + 1, close - i - 1);
        if (!tag.empty() && tag.front() == '/') tag.remove_prefix(1);
        if (SameTagName(tag, "i") || SameTagName(tag, "b") || SameTagName(tag, "u") || SameTagName(tag, "font")) {
          i = close + 1;
          continue;
        }
      }
    }
    out.push_back(text[i++]);
  }
  return out;
}

std::optional<std::vector<std::string>> ReadSubtitleFileLines(const std::string& fileName) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(fileName, ec);
  if (ec || size > kMaxSubtitleFileBytes) return std::nullopt;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data(static_cast<size_t>(size), '\0');
  in.read(data.data(), static_cast<std::streamsize>(size));
  data.resize(static_cast<size_t>(in.gcount()));
  if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) data.erase(0, 3);
  if (!IsValidUtf8(data)) data = Windows1252ToUtf8(data);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string_view line(data.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(StripSubtitleTags(line));
    start = end + 1;
  }
  return lines;
}

bool IsSupportedSubtitleFile(const std::string& fileName) {
  return UpperCaseAscii(std::filesystem::path(fileName).extension().string()) == ".SRT";
}

void SetSubtitlePanelsVisible(bool visible) {
  if (SubtitlePanelHooks().SetVisible) SubtitlePanelHooks().SetVisible(visible);
}

bool LoadSubtitles(const std::string& fileName, bool automatic) {
  auto& s = SubtitleState();
  // The name may be the state's own previous name, which changes next.
  const std::string name = automatic ? std::filesystem::path(fileName).replace_extension(".srt").string() : fileName;
  s.PreviousFileName = s.CurrentFileName;
  s.CurrentFileName = name;
  s.Records.clear();
  s.Loaded = false;
  std::error_code ec;
  if (!s.CurrentFileName.empty() && std::filesystem::exists(s.CurrentFileName, ec)) {
    try {
      auto lines = ReadSubtitleFileLines(s.CurrentFileName);
      if (lines) {
        s.Records = ParseSubtitles(*lines);
        s.Loaded = true;
      }
    } catch (...) {
      s.Records.clear();
    }
    if (!s.Loaded) s.CurrentFileName.clear();
  } else {
    s.CurrentFileName.clear();
  }
  SetSubtitlePanelsVisible(s.Loaded);
  if (SubtitlePanelHooks().Layout) SubtitlePanelHooks().Layout();
  return s.Loaded;
}

void UnloadSubtitles() {
  auto& s = SubtitleState();
  s.Records.clear();
  s.Records.shrink_to_fit();
  s.Loaded = false;
  s.PreviousFileName = s.CurrentFileName;
  s.CurrentFileName.clear();
  s.Text1.clear();
  s.Text2.clear();
  SetSubtitlePanelsVisible(false);
}

void UpdateSubtitleTexts(std::int64_t position) {
  auto& s = SubtitleState();
  if (!s.Loaded) {
    s.Text1.clear();
    s.Text2.clear();
    return;
  }
  FindSubtitle(s.Records, position / 10000, s.Text1, s.Text2);
}

TSubtitlePanelPlaces SubtitlePanelPlaces(int left, int top, int width, int height) {
  TSubtitlePanelPlaces p;
  p.Height = height / 14 - 2;
  p.Left = left;
  p.Width = width;
  p.Top1 = top + height * 80 / 100;
  p.Top2 = p.Top1 + p.Height;
  return p;
}
