// Turns a skin name into the loaded skin: definition, text settings, shapes, bitmaps,
// spectrum tables and per-family settings, then configures the skinned windows.
// UI thread only.
#pragma once
#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/KELDARSkinBitmapLayout.h"
#include "skin/KELDARSkinCatalogueRow.h"
#include "skin/KELDARSkinPackageKinds.h"
#include "skin/KELDARSkinTextSettings.h"
#include "skin/KELDARSkinWindows.h"

struct TKELDARSkinFamilySettings {
  // first group
  std::int32_t SmallFontTextOffsetY = -1;
  std::int32_t PlaylistTextOffsetY = 0;
  std::int32_t PlaylistListTop = 0;
  bool TransparentText = false;
  bool PlaylistResizable = true, VisualsResizable = true, LibraryResizable = true;
  // second group
  std::string ArtistFormat = "%02";
  std::string TitleFormat = "%01";
  std::string ElapsedPrefix = " ", RemainingPrefix = "-";
  std::string FileCountPrefix, TotalTimePrefix = "/";
  std::int32_t PlayedTimeCells = 6, FileCountCells = 5;
};

struct TKELDARLoadedSkin {
  std::array<QImage, KELDARSkinBitmapCount> Bitmaps;
  TKELDARSkinTextSettings DeckText, PlaylistText, LibraryText;
  std::vector<TKELDARSkinRegion> Regions = std::vector<TKELDARSkinRegion>(6);
  std::vector<std::string> AboutText;
  bool UsesMasks = false;
  // Mask mode (set by the K-Jofol conversion): the deck's and the playlist's shapes.
  TKELDARSkinPolygons DeckKeyShape, PlaylistKeyShape;
  // The analyzer colour of a K-Jofol skin (0x00BBGGRR): fills both spectrum tables.
  std::uint32_t AnalyzerColour = 0;
  std::vector<std::uint32_t> SpectrumColours1, SpectrumColours2;  // index 0 = entry 1 (bottom)
  TKELDARSkinFamilySettings Family;
  SkinPackageKinds Kind = skKeldarFolder;
  bool ReadFromFolder = false;
  bool Ready = false;
  const QImage& Bitmap(TKELDARSkinBitmap b) const { return Bitmaps[static_cast<std::size_t>(b)]; }
};
TKELDARLoadedSkin& LoadedKELDARSkin();

// Unpacks a package into a folder; installed by whoever owns the archive plug-ins.
using TKELDARSkinPackageExtractor = std::function<bool(const std::string& package, const std::string& folder)>;
void SetKELDARSkinPackageExtractor(TKELDARSkinPackageExtractor extractor);
// Converts a Winamp or K-Jofol skin (folder or unpacked package) into an own-format folder.
using TKELDARSkinConverter = std::function<void(const std::string& source, const std::string& target)>;
void SetKELDARSkinConverters(TKELDARSkinConverter winamp, TKELDARSkinConverter kjofol);

// Scratch folder for unpacked and converted skins, with a trailing separator.
std::string KELDARSkinScratchFolder();

// One load; errors other than those of unpacking/converting propagate.
std::string LoadKELDARSkinOnce(const std::string& fullPathOrDefault, IKELDARSkinWindows& windows, bool firstLoad);
// The entry point: loads, and on any error loads "Default". Returns the remembered name.
std::string LoadKELDARSkin(const std::string& fullPathOrDefault, IKELDARSkinWindows& windows, bool firstLoad = false);

// Every maximal horizontal run of pixels that differ from the key colour as a one-pixel-high
// rectangle (four corner points each); together they make the window's shape.
TKELDARSkinPolygons KELDARSkinShapeFromColourKey(const QImage& image, QRgb key);

// Per-family values (exposed for the converters and tests).
void SetKELDARSkinFirstGroup(TKELDARSkinFamilySettings& s, TKELDARSkinFamily family);
void SetKELDARSkinSecondGroup(TKELDARSkinFamilySettings& s, TKELDARSkinFamily family);

// For the start-up hook: the first call is the first load after program start (no window
// state to store yet); every call loads with the "Default" fallback and reports success.
std::function<bool(const std::string&)> KELDARSkinStartupLoader(IKELDARSkinWindows& windows);
