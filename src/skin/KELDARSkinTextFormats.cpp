#include "skin/KELDARSkinTextFormats.h"

#include <cstdio>
#include <functional>

#include "util/ProgramFolders.h"

namespace {

// Replaces "%0d" (d = 1..9) by what `value` gives; a placeholder it declines stays in the text.
std::string ReplacePlaceholders(const std::string& format, const std::function<bool(int, std::string&)>& value) {
  std::string out;
  out.reserve(format.size() + 32);
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 2 < format.size() && format[i + 1] == '0' &&
        format[i + 2] >= '1' && format[i + 2] <= '9') {
      std::string text;
      if (value(format[i + 2] - '0', text)) {
        out += text;
        i += 2;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

std::string FileNameWithoutExtension(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const std::string ext = ExtractFileExt(name);
  return name.substr(0, name.size() - ext.size());
}

// The tag fields both formats share: %01 title .. %05 genre.
bool TagField(int n, const TPlayListBoxItem& entry, std::string& text) {
  switch (n) {
    case 1: text = entry.TitleName; return true;
    case 2: text = entry.ArtistName; return true;
    case 3: text = entry.AlbumName; return true;
    case 4: text = entry.TitleAlbumYear; return true;
    case 5: text = entry.TitleAlbumGenre; return true;
    default: return false;
  }
}

}  // namespace

std::string FormatKELDARSkinDeckEntry(const std::string& format, const TPlayListBoxItem& entry, std::int32_t position) {
  return ReplacePlaceholders(format, [&](int n, std::string& text) {
    switch (n) {
      case 6: text = ExtractFileName(entry.FullPathAndFilename); break;
      case 7: text = entry.FullPathAndFilename; break;
      case 8: text = std::to_string(position); break;
      case 9: text = std::to_string(entry.TitleCDIndex); break;
      default: return TagField(n, entry, text);
    }
    return true;
  });
}

std::string KELDARSkinCDTrackNumberText(const std::string& locator) {
  const std::string stem = FileNameWithoutExtension(locator);
  if (stem.size() <= 5) return {};
  const std::string digits = stem.substr(5);
  long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9' || value > 100000) return {};
    value = value * 10 + (c - '0');
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%.2ld", value);
  return buffer;
}

std::string FormatKELDARSkinPlaylistEntry(const std::string& format, const TPlayListBoxItem& entry) {
  return ReplacePlaceholders(format, [&](int n, std::string& text) {
    switch (n) {
      case 6: text = FileNameWithoutExtension(entry.FullPathAndFilename); break;
      case 9: text = KELDARSkinCDTrackNumberText(entry.FullPathAndFilename); break;
      default: return TagField(n, entry, text);
    }
    return true;
  });
}
