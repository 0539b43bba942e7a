#include "skin/KELDARSkinTextSettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "skin/KELDARSkinPackageKinds.h"

namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool ParseInt(const std::string& text, std::int32_t& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  const char* end = t.data() + t.size();
  auto [ptr, ec] = std::from_chars(t.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool ParseBool(const std::string& text, bool fallback) {
  const std::string t = Lower(Trim(text));
  if (t == "true") return true;
  if (t == "false") return false;
  // The definition files write numbers: any number but 0 is true.
  std::int32_t number = 0;
  if (ParseInt(t, number)) return number != 0;
  return fallback;
}

}  // namespace

TKELDARIniSections ParseKELDARIniText(const std::string& text) {
  TKELDARIniSections sections;
  std::istringstream in(text);
  std::string line, current;
  bool inSection = false;
  while (std::getline(in, line)) {
    const std::string t = Trim(line);
    if (t.empty() || t.rfind("//", 0) == 0 || t.front() == ';') continue;
    if (t.front() == '[' && t.back() == ']') {
      current = Lower(Trim(t.substr(1, t.size() - 2)));
      sections[current];
      inSection = true;
      continue;
    }
    const auto eq = t.find('=');
    if (!inSection || eq == std::string::npos) continue;
    sections[current][Lower(Trim(t.substr(0, eq)))] = Trim(t.substr(eq + 1));
  }
  return sections;
}

bool ParseKELDARSkinColour(const std::string& text, std::uint32_t& colour) {
  const std::string t = Trim(text);
  if (t.size() != 7 || t[0] != '#') return false;
  std::uint32_t rgb = 0;
  for (std::size_t i = 1; i < 7; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(t[i]))) return false;
    rgb = rgb * 16 + static_cast<std::uint32_t>(std::stoi(t.substr(i, 1), nullptr, 16));
  }
  colour = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
  return true;
}

TKELDARFontStyle ParseKELDARFontStyle(const std::string& text) {
  TKELDARFontStyle s;
  s.Bold = ContainsNoCase(text, "fsBold");
  s.Italic = ContainsNoCase(text, "fsItalic");
  s.Underline = ContainsNoCase(text, "fsUnderline");
  s.StrikeOut = ContainsNoCase(text, "fsStrikeOut");
  return s;
}

TKELDARSkinTextSettings ParseKELDARSkinTextSettings(const std::string& text) {
  TKELDARSkinTextSettings s;
  const auto sections = ParseKELDARIniText(text);
  const auto it = sections.find("text");
  if (it == sections.end()) return s;
  const auto& keys = it->second;
  const auto get = [&keys](const char* key) -> const std::string* {
    const auto k = keys.find(key);
    return k == keys.end() ? nullptr : &k->second;
  };
  const auto colour = [&](const char* key, std::uint32_t& out) {
    if (const auto* v = get(key)) ParseKELDARSkinColour(*v, out);
  };
  colour("normal", s.Normal);
  colour("current", s.Current);
  colour("normalbg", s.NormalBG);
  colour("selectedbg", s.SelectedBG);
  std::uint32_t headers = 0;
  colour("headers", headers);
  s.Headers = headers == 0 ? s.SelectedBG : headers;
  if (const auto* v = get("font"); v && !v->empty()) s.Font = *v;
  std::int32_t n = 0;
  // Pixel heights outside 1..200 are not sensible for a list or a display.
  if (const auto* v = get("fontheight"); v && ParseInt(*v, n) && n > 0 && n <= 200) s.FontHeight = -n;
  if (const auto* v = get("fontstyle")) s.FontStyle = ParseKELDARFontStyle(*v);
  if (const auto* v = get("itemheight"); v && ParseInt(*v, n) && n > 0 && n <= 200) s.ItemHeight = n;
  if (const auto* v = get("bitmapfontenabled")) s.BitmapFontEnabled = ParseBool(*v, s.BitmapFontEnabled);
  if (const auto* v = get("bitmapenabled")) s.BitmapEnabled = ParseBool(*v, s.BitmapEnabled);
  return s;
}

std::vector<TKELDARSkinRegion> ParseKELDARSkinRegions(const std::string& text) {
  std::vector<TKELDARSkinRegion> regions(6);
  const auto sections = ParseKELDARIniText(text);
  for (int i = 0; i < 6; ++i) {
    const auto it = sections.find(Lower(KELDARSkinRegionSections[i]));
    if (it == sections.end()) continue;
    const auto n = it->second.find("polygonpointsnumber");
    const auto p = it->second.find("polygonpoints");
    if (n != it->second.end()) regions[i].PolygonPointsNumber = n->second;
    if (p != it->second.end()) regions[i].PolygonPoints = p->second;
  }
  return regions;
}

TKELDARSkinPolygons ParseKELDARSkinPolygons(const TKELDARSkinRegion& region) {
  TKELDARSkinPolygons result;
  std::int64_t total = 0;
  std::stringstream counts(region.PolygonPointsNumber);
  std::string token;
  while (std::getline(counts, token, ',')) {
    std::int32_t c = 0;
    if (!ParseInt(token, c) || c < 0) c = 0;
    result.Counts.push_back(c);
    total += c;
  }
  if (total > KELDARSkinMaxPolygonPoints) return {};
  std::vector<std::string> numbers;
  std::stringstream points(region.PolygonPoints);
  while (std::getline(points, token, ',')) {
    std::stringstream parts(token);
    std::string part;
    bool any = false;
    while (parts >> part) {
      numbers.push_back(part);
      any = true;
    }
    if (!any) numbers.emplace_back();
  }
  result.Coordinates.resize(static_cast<std::size_t>(total) * 2, 0);
  for (std::size_t i = 0; i < result.Coordinates.size() && i < numbers.size(); ++i) {
    std::int32_t v = 0;
    if (ParseInt(numbers[i], v)) result.Coordinates[i] = v;
  }
  return result;
}
