// Conversions between the program's UTF-8 text and the encodings of its files and records.
#pragma once

#include <cstddef>
#include <string>

// UTF-8 to UTF-16 code units (invalid bytes become U+FFFD).
std::u16string Utf8ToUtf16(const std::string& text);
// UTF-16 code units to UTF-8 (unpaired surrogates become U+FFFD).
std::string Utf16ToUtf8(const std::u16string& text);
// UTF-8 to code points, one per character (each invalid byte becomes `replacement`).
std::u32string Utf8ToUtf32(const std::string& text, char32_t replacement = U'\uFFFD');
// Code points to UTF-8 (surrogates and values past U+10FFFF become U+FFFD).
std::string Utf32ToUtf8(const std::u32string& text);
// The longest prefix of at most maxBytes bytes that does not split a UTF-8 character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);
