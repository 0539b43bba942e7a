// The text files of Winamp skins: spectrum colours ("viscolor.txt"), list colours and font
// ("pledit.txt") and window shapes ("Region.txt"), turned into what our skins hold.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Colours of lines 1..23 as 0x00BBGGRR (index 0 unused); missing lines give black. Only the
// first 23 lines are looked at.
using TWinampVisColours = std::array<std::uint32_t, 24>;
TWinampVisColours ParseWinampVisColours(std::string_view text);
// One colour line: red, green, blue separated by commas (or, failing that, a tab, a blank or
// a slash); text after a blank inside a number is ignored; a number of 256 or more loses its
// last character.
std::uint32_t ParseWinampVisColourLine(std::string_view line);

// The list settings with lines appended (each on its own line).
std::string WinampTextWithLines(std::string_view pledit, std::initializer_list<const char*> lines);
// The library's settings: the list settings plus their last "NormalBG" line as "Headers".
std::string WinampLibraryText(std::string_view pledit);
// A region file in our section and key names.
std::string WinampRegionsText(std::string_view region);
