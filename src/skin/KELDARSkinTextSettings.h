// The three text settings files and the regions file of a skin.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Sections of a small INI text, names and keys folded to lower case. Lines starting with
// "//" or ";" are comments (never section headers).
using TKELDARIniSections = std::map<std::string, std::map<std::string, std::string>>;
TKELDARIniSections ParseKELDARIniText(const std::string& text);

// "#RRGGBB" → 0x00BBGGRR; false (value untouched) for anything else.
bool ParseKELDARSkinColour(const std::string& text, std::uint32_t& colour);

struct TKELDARFontStyle {
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
};
TKELDARFontStyle ParseKELDARFontStyle(const std::string& text);

struct TKELDARSkinTextSettings {
  std::uint32_t Normal = 0x00FF0000;     // #0000FF
  std::uint32_t Current = 0x00FEECCD;    // #CDECFE
  std::uint32_t NormalBG = 0x00FFA54A;   // #4AA5FF
  std::uint32_t SelectedBG = 0x00E79229; // #2992E7
  std::uint32_t Headers = 0x00E79229;    // black in the file means SelectedBG
  std::string Font = "Arial";
  std::int32_t FontHeight = -12;         // negative: pixel height of the characters
  TKELDARFontStyle FontStyle;
  std::int32_t ItemHeight = 16;
  bool BitmapFontEnabled = true;         // deck
  bool BitmapEnabled = false;            // playlist
};
// Reads one text settings file's content ("[Text]" section); empty text gives the defaults.
TKELDARSkinTextSettings ParseKELDARSkinTextSettings(const std::string& text);

// Region strings of one window (empty when its section is missing).
struct TKELDARSkinRegion {
  std::string PolygonPointsNumber;
  std::string PolygonPoints;
  bool Present() const { return !PolygonPointsNumber.empty() && !PolygonPoints.empty(); }
};
inline constexpr const char* KELDARSkinRegionSections[6] = {"DeckForm",      "EqualizerForm",  "PlayListEditorForm",
                                                            "VisualsScreenForm", "CDDatabaseForm", "FullScreenForm"};
std::vector<TKELDARSkinRegion> ParseKELDARSkinRegions(const std::string& text);

// Polygons of a region: vertex counts (bad or negative counts read 0) and as many x,y pairs
// as they add up to (missing numbers read 0; surplus ones are ignored). Counts whose sum
// exceeds the limit are refused (empty result).
struct TKELDARSkinPolygons {
  std::vector<std::int32_t> Counts;
  std::vector<std::int32_t> Coordinates;  // x0,y0,x1,y1,...
};
inline constexpr std::int32_t KELDARSkinMaxPolygonPoints = 65536;
TKELDARSkinPolygons ParseKELDARSkinPolygons(const TKELDARSkinRegion& region);
