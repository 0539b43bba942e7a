// Small text helpers on UTF-8 std::string.
//
// Case-insensitive comparisons fold ASCII letters only (as the program's upper-cased
// extension compares always did); other bytes compare as they are, so byte offsets found
// case-insensitively stay valid in the original text. All functions are stateless and
// thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// ASCII upper / lower case copies.
std::string UpperCaseAscii(std::string_view text);
std::string LowerCaseAscii(std::string_view text);
// Equal when ASCII case is ignored.
bool SameText(std::string_view a, std::string_view b);
// Ordinal comparison after ASCII upper-casing: <0, 0, >0.
int CompareTextAscii(std::string_view a, std::string_view b);
// Position of needle in haystack (ASCII case ignored) from `from` on, or npos.
std::size_t PosText(std::string_view needle, std::string_view haystack, std::size_t from = 0);
// True when text starts with prefix, ASCII case ignored.
bool StartsWithText(std::string_view text, std::string_view prefix);
// Removes leading and trailing spaces and control characters (everything <= ' ').
std::string TrimText(std::string_view text);

// Replaces find by replacement, comparing case-insensitively unless caseSensitive. After a
// replacement the search starts again from the beginning of the result, so "  " -> " "
// collapses any run of spaces; when the replacement itself contains find (a placeholder
// filled with a text that holds the placeholder) only the first occurrence is replaced.
// An empty find returns the text unchanged. A self-feeding pattern that keeps creating new
// occurrences stops once the text has grown past a generous limit instead of running away.
std::string ReplaceAllText(const std::string& text, const std::string& find,
                           const std::string& replacement, bool caseSensitive);

struct TFieldBetweenMarkers {
  bool Found = false;
  std::string Value;
};
// When text starts with startMarker (ASCII case ignored) and holds endMarker after it
// (also located ignoring case): Value is what lies between them, text is cut to what
// follows the end marker, Found is true. Otherwise text stays as it is and Found is false.
TFieldBetweenMarkers TakeFieldBetweenMarkers(std::string& text, const std::string& startMarker,
                                             const std::string& endMarker);

// value (>= 0) in decimal with at least two digits ("07", "123") written at `at`, which has
// room for 20 characters; returns the end of what was written. Without printf: clocks and
// counters format these several times a second, and printf's locale handling costs more
// than the rest of a resting tick.
char* WriteTwoDigitsAtLeast(char* at, long long value);
