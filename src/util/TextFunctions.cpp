#include "util/TextFunctions.h"

#include <charconv>

#include <algorithm>

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Guard for ReplaceAllText: a pattern that keeps producing new occurrences stops here.
constexpr std::size_t kReplaceGrowthLimit = 16 * 1024 * 1024;

std::size_t FindCompared(const std::string& haystack, const std::string& needle,
                         std::size_t from, bool caseSensitive) {
  return caseSensitive ? haystack.find(needle, from) : PosText(needle, haystack, from);
}

}  // namespace

std::string UpperCaseAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

std::string LowerCaseAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool SameText(std::string_view a, std::string_view b) { return CompareTextAscii(a, b) == 0; }

int CompareTextAscii(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpperAscii(a[i]));
    const auto cb = static_cast<unsigned char>(UpperAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::size_t PosText(std::string_view needle, std::string_view haystack, std::size_t from) {
  if (needle.size() > haystack.size() || from > haystack.size() - needle.size())
    return std::string::npos;
  for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && UpperAscii(haystack[i + k]) == UpperAscii(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::string TrimText(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return std::string(text.substr(b, e - b));
}

std::string ReplaceAllText(const std::string& text, const std::string& find,
                           const std::string& replacement, bool caseSensitive) {
  if (find.empty()) return text;
  std::string result = text;
  // The stop test uses the same comparison as the search; otherwise a case-sensitive
  // search for a lower-case placeholder could loop for ever on its own replacement.
  const bool replacementHoldsFind = FindCompared(replacement, find, 0, caseSensitive) !=
                                    std::string::npos;
  const std::size_t limit = std::max(kReplaceGrowthLimit, text.size() * 16);
  std::size_t pos = FindCompared(result, find, 0, caseSensitive);
  while (pos != std::string::npos) {
    result.replace(pos, find.size(), replacement);
    if (replacementHoldsFind || result.size() > limit) break;
    // Text before pos held no occurrence, so a new one can start at most find.size() - 1
    // bytes earlier: this is the same as searching again from the start.
    const std::size_t restart = pos >= find.size() - 1 ? pos - (find.size() - 1) : 0;
    pos = FindCompared(result, find, restart, caseSensitive);
  }
  return result;
}

TFieldBetweenMarkers TakeFieldBetweenMarkers(std::string& text, const std::string& startMarker,
                                             const std::string& endMarker) {
  TFieldBetweenMarkers field;
  if (!StartsWithText(text, startMarker)) return field;
  const std::size_t end = endMarker.empty() ? std::string::npos
                                            : PosText(endMarker, text, startMarker.size());
  if (end == std::string::npos) return field;
  field.Found = true;
  field.Value = text.substr(startMarker.size(), end - startMarker.size());
  text.erase(0, end + endMarker.size());
  return field;
}

char* WriteTwoDigitsAtLeast(char* at, long long value) {
  if (value < 10) *at++ = '0';
  return std::to_chars(at, at + 20, value).ptr;
}
