#include "skin/KELDARSkinLoader.h"

#include <QFile>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinBitmapLoading.h"
#include "skin/KELDARSkinBuiltInFiles.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinDefinitionFile.h"
#include "skin/MultimediaSkinStructure.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace {

TKELDARSkinPackageExtractor& Extractor() {
  static TKELDARSkinPackageExtractor e;
  return e;
}
TKELDARSkinConverter& WinampConverter() {
  static TKELDARSkinConverter c;
  return c;
}
TKELDARSkinConverter& KjofolConverter() {
  static TKELDARSkinConverter c;
  return c;
}

std::string ReadWholeFile(const std::string& path, bool& ok) {
  QFile f(QString::fromStdString(path));
  ok = f.open(QIODevice::ReadOnly);
  if (!ok) return {};
  // Text files of a skin are small; a huge one is not a skin file.
  if (f.size() > 4 * 1024 * 1024) {
    ok = false;
    return {};
  }
  const QByteArray bytes = f.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string BuiltInText(const std::string& fileName) {
  const QByteArray bytes = BuiltInKELDARSkinFile(fileName);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Folder file when fromFile (a missing one gives empty text: the code defaults), else the
// built-in copy.
std::string LoadSkinText(const std::string& folder, const std::string& fileName, bool fromFile) {
  if (!fromFile) return BuiltInText(fileName);
  bool ok = false;
  return ReadWholeFile(folder + fileName, ok);
}

// True when the folder file was read.
bool LoadStringList(const std::string& folder, const std::string& fileName, bool fromFile,
                    std::vector<std::string>& lines) {
  bool ok = false;
  std::string text;
  if (fromFile) text = ReadWholeFile(folder + fileName, ok);
  if (!ok) text = BuiltInText(fileName);
  lines.clear();
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return ok;
}

TKELDARSkinFamily FamilyOf(SkinPackageKinds kind) {
  switch (kind) {
    case skWinampFolder:
    case skWinampPackage: return TKELDARSkinFamily::Winamp;
    case skKjofolFolder:
    case skKjofolPackage: return TKELDARSkinFamily::Kjofol;
    default: return TKELDARSkinFamily::Own;
  }
}

std::string DirectoryWithSeparator(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// Before a package is unpacked: a folder left by an earlier package must not be taken for
// the skin inside this one.
void EmptyScratchFolder(const std::string& folder) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) std::filesystem::remove_all(entry.path(), ec);
}

void ClearScratchFiles(const std::string& folder) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.is_regular_file(ec)) std::filesystem::remove(entry.path(), ec);
}

void ConfigureWindows(const MultimediaSkinStructure& skin, const TKELDARSkinFamilySettings& family,
                      IKELDARSkinWindows& windows) {
  const auto fixed = [&](TKELDARSkinnedWindow w, KELDARSkinControls_IDs bg, KELDARSkinControls_IDs title) {
    TKELDARSkinWindowSetup s;
    s.Window = w;
    s.ClientWidth = skin[bg].Control_Width;
    s.ClientHeight = skin[bg].Control_Height;
    s.Background = bg;
    s.TitleBar = title;
    windows.Configure(s);
  };
  fixed(TKELDARSkinnedWindow::Deck, DeckForm_MainImage, DeckForm_TitleBarImage);
  fixed(TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQMainImage, EqualizerForm_EQTitleBarImage);
  fixed(TKELDARSkinnedWindow::FullScreen, FullScreenForm_FSMainImage, FullScreenForm_FSTitleBarImage);
  const auto resizable = [&](TKELDARSkinnedWindow w, KELDARSkinControls_IDs bg, bool canResize, std::int32_t listTop) {
    const int b = bg;
    const auto id = [b](int o) { return static_cast<KELDARSkinControls_IDs>(b + o); };
    TKELDARSkinWindowSetup s;
    s.Window = w;
    s.ClientWidth = skin[bg].Control_Width;
    s.ClientHeight = skin[bg].Control_Height;
    s.Resizable = canResize;
    s.ResizeStepX = skin[id(9)].Control_Width;
    s.ResizeStepY = skin[id(5)].Control_Height;
    s.Background = bg;
    s.TitleBar = id(4);
    s.Content.Left = skin[id(5)].Control_Width;
    s.Content.Top = skin[id(1)].Control_Height;
    s.Content.Width = s.ClientWidth - skin[id(5)].Control_Width - skin[id(6)].Control_Width;
    s.Content.Height = s.ClientHeight - skin[id(1)].Control_Height - skin[id(7)].Control_Height;
    s.List = {0, listTop, s.Content.Width + 20, s.Content.Height};
    windows.Configure(s);
  };
  resizable(TKELDARSkinnedWindow::Playlist, PlayListEditorForm_PLMainImage, family.PlaylistResizable,
            family.PlaylistListTop);
  resizable(TKELDARSkinnedWindow::Visuals, VisualsScreenForm_VisExMainImage, family.VisualsResizable, 0);
  resizable(TKELDARSkinnedWindow::Library, CDDatabaseForm_DBMainImage, family.LibraryResizable, 0);
}

void BuildSpectrumTables(TKELDARLoadedSkin& loaded, const MultimediaSkinStructure& skin) {
  loaded.SpectrumColours1.clear();
  loaded.SpectrumColours2.clear();
  const QImage& fft = loaded.Bitmap(TKELDARSkinBitmap::EqualizerFFTVisuals);
  const int n = std::max(0, skin[skin[EqualizerForm_EQFFT128VisualEffects].Control_ParentControl].Control_Height);
  loaded.SpectrumColours1.assign(static_cast<std::size_t>(n), 0);
  loaded.SpectrumColours2.assign(static_cast<std::size_t>(n), 0);
  const int w = fft.width();
  for (int y = 0; y < n; ++y) {
    // Entry N-y (1-based) holds row y: entry 1 is the bottom row.
    const auto at = [&](int x) -> std::uint32_t {
      if (x < 0 || x >= w || y >= fft.height()) return 0;
      const QRgb c = fft.pixel(x, y);
      return (static_cast<std::uint32_t>(qBlue(c)) << 16) | (static_cast<std::uint32_t>(qGreen(c)) << 8) |
             static_cast<std::uint32_t>(qRed(c));
    };
    loaded.SpectrumColours1[static_cast<std::size_t>(n - 1 - y)] = at(w - 5);
    loaded.SpectrumColours2[static_cast<std::size_t>(n - 1 - y)] = at(w - 3);
  }
}

}  // namespace

TKELDARSkinPolygons KELDARSkinShapeFromColourKey(const QImage& image, QRgb key) {
  TKELDARSkinPolygons shape;
  const QRgb k = key | 0xFF000000u;
  for (int y = 0; y < image.height(); ++y) {
    int x = 0;
    while (x < image.width()) {
      while (x < image.width() && (image.pixel(x, y) | 0xFF000000u) == k) ++x;
      const int start = x;
      while (x < image.width() && (image.pixel(x, y) | 0xFF000000u) != k) ++x;
      if (x == start) continue;
      shape.Counts.push_back(4);
      shape.Coordinates.insert(shape.Coordinates.end(), {start, y, x, y, x, y + 1, start, y + 1});
    }
  }
  return shape;
}

TKELDARLoadedSkin& LoadedKELDARSkin() {
  static TKELDARLoadedSkin skin;
  return skin;
}

void SetKELDARSkinPackageExtractor(TKELDARSkinPackageExtractor extractor) { Extractor() = std::move(extractor); }

void SetKELDARSkinConverters(TKELDARSkinConverter winamp, TKELDARSkinConverter kjofol) {
  WinampConverter() = std::move(winamp);
  KjofolConverter() = std::move(kjofol);
}

std::string KELDARSkinScratchFolder() { return ProgramFolder() + "/tempunzipped/skins/"; }

void SetKELDARSkinFirstGroup(TKELDARSkinFamilySettings& s, TKELDARSkinFamily family) {
  s.SmallFontTextOffsetY = family == TKELDARSkinFamily::Winamp ? -2 : -1;
  s.PlaylistTextOffsetY = family == TKELDARSkinFamily::Kjofol ? -1 : 0;
  s.PlaylistListTop = family == TKELDARSkinFamily::Winamp ? 3 : 0;
  s.TransparentText = family == TKELDARSkinFamily::Kjofol;
  s.PlaylistResizable = family != TKELDARSkinFamily::Kjofol;
  s.VisualsResizable = true;
  s.LibraryResizable = true;
}

void SetKELDARSkinSecondGroup(TKELDARSkinFamilySettings& s, TKELDARSkinFamily family) {
  switch (family) {
    case TKELDARSkinFamily::Own:
      s.ArtistFormat = "%02";
      s.TitleFormat = "%01";
      break;
    case TKELDARSkinFamily::Winamp:
      s.ArtistFormat = "%08. %02 - %01";
      s.TitleFormat.clear();
      break;
    case TKELDARSkinFamily::Kjofol:
      s.ArtistFormat = "%08. %02 - %01";
      s.TitleFormat = "%08";
      break;
  }
  if (family == TKELDARSkinFamily::Kjofol) {
    s.ElapsedPrefix.clear();
    s.RemainingPrefix.clear();
    s.PlayedTimeCells = 5;
    s.FileCountCells = 2;
  } else {
    s.ElapsedPrefix = " ";
    s.RemainingPrefix = "-";
    s.FileCountPrefix.clear();
    s.TotalTimePrefix = "/";
    s.PlayedTimeCells = 6;
    s.FileCountCells = 5;
  }
}

std::string LoadKELDARSkinOnce(const std::string& fullPathOrDefault, IKELDARSkinWindows& windows, bool firstLoad) {
  TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
  // 1. Keep the user's window state of the old skin, release it.
  if (!firstLoad) {
    windows.StoreStateAndHide();
    SaveSettings();
  }
  loaded.Bitmaps = {};
  loaded.AboutText.clear();

  // 2.
  loaded.Ready = false;
  loaded.UsesMasks = false;
  loaded.DeckKeyShape = {};
  loaded.PlaylistKeyShape = {};
  loaded.AnalyzerColour = 0;
  ResetKELDARSkinStatesAliases();
  std::string path = fullPathOrDefault;
  SkinPackageKinds kind = DetectKELDARSkinPackageKind(path);
  SetKELDARSkinFirstGroup(loaded.Family, TKELDARSkinFamily::Own);

  // 3. Where the own-format files are.
  std::string folder;
  const std::string scratch = KELDARSkinScratchFolder();
  const bool scratchUsed = kind != skKeldarFolder && kind != skUnknown;
  try {
    switch (kind) {
      case skKeldarFolder:
      case skUnknown: folder = path == "Default" ? "Default" : DirectoryWithSeparator(path); break;
      case skWinampFolder:
      case skKjofolFolder: {
        std::filesystem::create_directories(scratch);
        auto& convert = kind == skWinampFolder ? WinampConverter() : KjofolConverter();
        if (!convert) throw std::runtime_error("no converter for this skin kind");
        convert(DirectoryWithSeparator(path), scratch);
        SetKELDARSkinFirstGroup(loaded.Family, FamilyOf(kind));
        folder = scratch;
        break;
      }
      case skKeldarPackage:
      case skWinampPackage:
      case skKjofolPackage: {
        std::filesystem::create_directories(scratch);
        EmptyScratchFolder(scratch);
        const bool unpacked = Extractor() && Extractor()(path, scratch);
        if (!unpacked)
          ShowMessage("Zorvane Audio Player detected an internal error. \nPlease try to LOAD the Skin again.", {},
                      TMessageIcon::Error);
        if (kind != skKeldarPackage) {
          auto& convert = kind == skWinampPackage ? WinampConverter() : KjofolConverter();
          if (!convert) throw std::runtime_error("no converter for this skin kind");
          convert(scratch, scratch);
          SetKELDARSkinFirstGroup(loaded.Family, FamilyOf(kind));
        }
        folder = scratch;
        break;
      }
    }
  } catch (...) {
    path = "Default";
    kind = skKeldarFolder;
    folder = "Default";
    SetKELDARSkinFirstGroup(loaded.Family, TKELDARSkinFamily::Own);
  }
  loaded.Kind = kind;

  // 4.
  bool fromFile = false;
  if (folder != "Default") {
    std::error_code ec;
    fromFile = std::filesystem::is_regular_file(folder + "keldarskin.ini", ec);
    if (!fromFile)
      ShowMessage("The selected skin is CORRUPTED.\nPress OK to Load the Default Skin....", {}, TMessageIcon::Error);
  }

  // 5. Definition.
  const TKELDARSkinFamily family = FamilyOf(kind);
  BuildKELDARSkinCatalogue(family);
  if (fromFile) ReadKELDARSkinDefinitionFile(folder + "keldarskin.ini");
  else ReadKELDARSkinDefinition(BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own));

  // 6., 7. Text settings and shapes.
  loaded.DeckText = ParseKELDARSkinTextSettings(LoadSkinText(folder, "Deck_Text.ini", fromFile));
  loaded.PlaylistText = ParseKELDARSkinTextSettings(LoadSkinText(folder, "Playlist_Text.ini", fromFile));
  windows.ApplyPlaylistText(loaded.PlaylistText);
  loaded.LibraryText = ParseKELDARSkinTextSettings(LoadSkinText(folder, "DB_Text.ini", fromFile));
  windows.ApplyLibraryText(loaded.LibraryText);
  loaded.Regions = std::vector<TKELDARSkinRegion>(6);
  if (!loaded.UsesMasks) loaded.Regions = ParseKELDARSkinRegions(LoadSkinText(folder, "Regions_Text.ini", fromFile));

  // 8. Bitmaps.
  const TKELDARColorEnhancement enhancement = CurrentKELDARColorEnhancement();
  for (int i = 0; i < KELDARSkinBitmapCount; ++i) {
    const auto b = static_cast<TKELDARSkinBitmap>(i);
    if (IsKELDARSkinMaskBitmap(b) && !loaded.UsesMasks) continue;
    loaded.Bitmaps[static_cast<std::size_t>(i)] =
        LoadKELDARSkinBitmap(folder, KELDARSkinBitmapFileName(b), fromFile, enhancement);
    if (IsKELDARSkinMaskBitmap(b) && loaded.Bitmaps[static_cast<std::size_t>(i)].isNull())
      throw std::runtime_error("missing mask bitmap");
  }
  // 9., 10.
  BuildSpectrumTables(loaded, MultimediaSkin());
  LoadStringList(folder, "readme.txt", fromFile, loaded.AboutText);

  // 11. Windows.
  ConfigureWindows(MultimediaSkin(), loaded.Family, windows);

  // 12.
  loaded.Ready = true;
  LoadSettings();
  windows.RestoreStateAndRepaint();

  // 13. Shapes.
  for (int i = 0; i < 6; ++i) {
    const auto w = static_cast<TKELDARSkinnedWindow>(i);
    windows.SetShape(w, nullptr);
    if (loaded.UsesMasks) {
      const TKELDARSkinPolygons* key = w == TKELDARSkinnedWindow::Deck       ? &loaded.DeckKeyShape
                                       : w == TKELDARSkinnedWindow::Playlist ? &loaded.PlaylistKeyShape
                                                                             : nullptr;
      if (key && !key->Counts.empty()) windows.SetShape(w, key);
      continue;
    }
    if (!loaded.Regions[static_cast<std::size_t>(i)].Present()) continue;
    const TKELDARSkinPolygons polygons = ParseKELDARSkinPolygons(loaded.Regions[static_cast<std::size_t>(i)]);
    if (!polygons.Counts.empty()) windows.SetShape(w, &polygons);
  }

  // 14.
  if (scratchUsed) ClearScratchFiles(scratch);

  // 15.
  loaded.ReadFromFolder = fromFile;
  std::string remembered = "Default";
  if (fromFile) {
    remembered = KELDARSkinRememberedName(path, kind);
    SetKELDARSkinSecondGroup(loaded.Family, family);
    if (family == TKELDARSkinFamily::Kjofol) {
      Options_SongTitleWindowTextEffect.IntegerValue = 0;
      std::fill(loaded.SpectrumColours1.begin(), loaded.SpectrumColours1.end(), loaded.AnalyzerColour);
      std::fill(loaded.SpectrumColours2.begin(), loaded.SpectrumColours2.end(), loaded.AnalyzerColour);
    }
  } else {
    SetKELDARSkinSecondGroup(loaded.Family, TKELDARSkinFamily::Own);
  }
  Options_SkinToBeLoaded.StringValue = remembered;
  return remembered;
}

std::string LoadKELDARSkin(const std::string& fullPathOrDefault, IKELDARSkinWindows& windows, bool firstLoad) {
  // The converters let window messages run: a second load must not start inside the first.
  static bool loading = false;
  if (loading) return Options_SkinToBeLoaded.StringValue;
  struct TGuard {
    bool& flag;
    ~TGuard() { flag = false; }
  } guard{loading};
  loading = true;
  try {
    return LoadKELDARSkinOnce(fullPathOrDefault, windows, firstLoad);
  } catch (...) {
    return LoadKELDARSkinOnce("Default", windows, true);
  }
}

std::function<bool(const std::string&)> KELDARSkinStartupLoader(IKELDARSkinWindows& windows) {
  auto first = std::make_shared<bool>(true);
  return [&windows, first](const std::string& path) {
    const bool firstLoad = *first;
    *first = false;
    LoadKELDARSkin(path, windows, firstLoad);
    return true;
  };
}
