// The text files of Winamp skins: colour lines always give channels within 0..255, only the
// first 23 lines count, and the renamed region file keeps every line.
#include <cstdlib>

#include "FuzzInput.h"
#include "skin/WinampSkinTextFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  const TWinampVisColours colours = ParseWinampVisColours(text);
  for (std::uint32_t c : colours)
    if (c > 0xFFFFFFu) std::abort();
  if (colours[0] != 0) std::abort();
  const std::string regions = WinampRegionsText(text);
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  std::size_t out = 0;
  for (char c : regions) out += c == '\n';
  if (out < lines) std::abort();
  const std::string library = WinampLibraryText(text);
  if (library.compare(0, text.size(), text) != 0) std::abort();
  (void)WinampTextWithLines(text, {"FontHeight=8"});
  return 0;
}
