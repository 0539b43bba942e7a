#include "allinone/SoniqueVisTemplateUnit.h"

#include <dlfcn.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "cd/ArtworkFunctions.h"
#include "cd/ArtworkLoader.h"
#include "plugins/InputPluginPictures.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "settings/ProfileIniFile.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"
#include "zorvaneplayerapi_record.h"

#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#endif

namespace {

constexpr const char* kSection = "keldarallinone";
constexpr const char* kEffectKey = "lastusedeffect";
constexpr int kEffects = 5;

// Written by ClickedProc and the settings entries (UI thread), read once per frame.
std::atomic<int> g_effect{0};

// Render thread from InitializeProc to DeinitProc.
QImage g_frame;          // the artwork effects draw here first
QImage g_artwork;        // the decoded artwork of the current item
QImage g_fitted;         // g_artwork scaled to the last frame size, made once per size
QSize g_fittedFor;
bool g_artworkAvailable = false;
bool g_haveLastItem = false;
std::string g_lastItem;
bool g_clear = true;
uint8_t* g_record = nullptr;
int g_recordRetry = 0;
bool g_pictureLoaded = false;

VisPluginInfo g_info = {1, "Zorvane Audio Player All in One Plugin v3.0", 7,
                        &AllInOneInitializeProc, &AllInOneRenderProc, &AllInOneSaveSettingsProc,
                        &AllInOneOpenSettingsProc, &AllInOneDeinitProc, &AllInOneClickedProc};

struct TColours {
  uint32_t Background, Trace, Text;
};

// A record colour 0x00BBGGRR as a pixel 0xFFRRGGBB.
uint32_t PixelOf(int32_t colour) {
  const auto c = static_cast<uint32_t>(colour);
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

std::string RecordText(int offset) {
  char text[ZPAPI_TEXT_FIELD_SIZE + 1];
  zpapi_record_text(g_record, offset, text);
  return text;
}

TColours Colours() {
  return {PixelOf(zpapi_record_int(g_record, ZPAPI_OFS_BackgroundColor)),
          PixelOf(zpapi_record_int(g_record, ZPAPI_OFS_CurrentColor)),
          PixelOf(zpapi_record_int(g_record, ZPAPI_OFS_TextColor))};
}

// The player may start after us (another host): look for its record about once a second.
void MapRecordWhenMissing() {
  if (g_record || ++g_recordRetry % 64 != 1) return;
  g_record = zpapi_record_open(0);
}

int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

struct TPicture {
  uint32_t* Pixels;
  int32_t W, H, P;
  void Set(int32_t x, int32_t y, uint32_t colour) const {
    Pixels[static_cast<size_t>(x) + static_cast<size_t>(P) * static_cast<size_t>(y)] = colour;
  }
  void FillColumn(int32_t x, int32_t from, int32_t to, uint32_t colour) const {
    for (int32_t y = std::max(0, from); y <= to && y < H; ++y) Set(x, y, colour);
  }
  void FillRow(int32_t y, uint32_t colour) const {
    if (y < 0 || y >= H) return;
    std::fill_n(Pixels + static_cast<size_t>(P) * static_cast<size_t>(y), W, colour);
  }
};

void DrawSpectrum(const TPicture& pic, const VisRenderData& data, const TColours& colours) {
  const uint32_t q = static_cast<uint32_t>(pic.H) >> 1;
  const int32_t top = static_cast<int32_t>(q) - 1;
  const int32_t bottom = pic.H - 1;
  const double step = 256.0 / pic.W;
  double s = 0.0;
  for (int32_t x = 0; x < pic.W; ++x, s += step) {
    if (g_clear) pic.FillColumn(x, 0, pic.H - 1, colours.Background);
    const int k = std::min(255, RoundEven(s));
    const uint32_t m0 = data.Spectrum[0][k], m1 = data.Spectrum[1][k];
    const int32_t y0 = std::max<int32_t>(0, top - static_cast<int32_t>((m0 * q) >> 7));
    pic.FillColumn(x, y0, top, colours.Trace);
    const int32_t y1 = std::max<int32_t>(bottom - static_cast<int32_t>(q), bottom - static_cast<int32_t>((m1 * q) >> 7));
    pic.FillColumn(x, y1, bottom, colours.Trace);
  }
  pic.FillRow(static_cast<int32_t>(static_cast<uint32_t>(pic.H) >> 1), colours.Text);
}

void DrawWaveform(const TPicture& pic, const VisRenderData& data, const TColours& colours) {
  const int32_t q = static_cast<int32_t>(static_cast<uint32_t>(pic.H) >> 2);
  const int32_t half = static_cast<int32_t>(static_cast<uint32_t>(pic.H) >> 1);
  const int32_t upper = q - 1;
  const int32_t lower = half + q - 1;
  const double step = 512.0 / pic.W;
  double s = 0.0;
  for (int32_t x = 0; x < pic.W; ++x, s += step) {
    if (g_clear) pic.FillColumn(x, 0, pic.H - 1, colours.Background);
    const int k = std::min(511, RoundEven(s));
    const int32_t w0 = data.Waveform[0][k], w1 = data.Waveform[1][k];
    const int32_t y0 = std::min(std::max(upper - (w0 * q) / 128, 0), upper + q);
    const int32_t y1 = std::min(std::max(lower - (w1 * q) / 128, lower - q), pic.H - 1);
    if (y0 >= 0 && y0 < pic.H) pic.Set(x, y0, colours.Trace);
    if (y1 >= 0 && y1 < pic.H) pic.Set(x, y1, colours.Trace);
  }
  pic.FillRow(half, colours.Text);
}

// The artwork of the item by the player's naming rule: beside the song, or in the player's
// "cdartwork" folder for a CD track. A file that cannot be decoded keeps the last picture.
void LookUpArtwork(const std::string& item) {
  g_artworkAvailable = false;
  if (item.empty()) return;
  std::string where = item;
  if (UpperCaseAscii(ExtractFileExt(item)) == ".CDA")
    where = CDArtworkFolder(ExtractFilePath(RecordText(ZPAPI_OFS_ProgramPath)));
  const std::string file = FindArtworkFile(where, RecordText(ZPAPI_OFS_ArtistName), RecordText(ZPAPI_OFS_AlbumName));
  g_artworkAvailable = !file.empty();
  if (file.empty()) return;
  TInputPluginPicture picture;
  if (!LoadPictureWithPlugin(file, picture)) return;
  QImage decoded = ArtworkImage(picture);
  if (decoded.isNull()) return;
  g_artwork = std::move(decoded);
  g_fitted = QImage();
}

bool CanDrawText() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

void DrawArtwork(const TPicture& pic, const TColours& colours) {
  if (g_frame.width() != pic.W || g_frame.height() != pic.H) g_frame = QImage(pic.W, pic.H, QImage::Format_RGB32);
  if (g_frame.isNull()) return;
  g_frame.fill(Qt::black);

  const std::string item = RecordText(ZPAPI_OFS_FullPathAndFilename);
  if (!g_haveLastItem || item != g_lastItem) {
    try {
      LookUpArtwork(item);
    } catch (...) {
      g_artworkAvailable = false;
    }
    g_lastItem = item;
    g_haveLastItem = true;
  }

  if (g_artworkAvailable) {
    if (!g_artwork.isNull()) {
      const double sx = static_cast<double>(pic.W) / g_artwork.width();
      const double sy = static_cast<double>(pic.H) / g_artwork.height();
      const double scale = std::min(sx, sy);
      const int dw = std::max(1, RoundEven(g_artwork.width() * scale));
      const int dh = std::max(1, RoundEven(g_artwork.height() * scale));
      const int left = sx > sy ? (pic.W - dw) / 2 : 0;
      const int top = sx > sy ? 0 : (pic.H - dh) / 2;
      // Scaled once per item and size; every frame only copies.
      if (g_fitted.isNull() || g_fittedFor != QSize(dw, dh)) {
        g_fitted = g_artwork.scaled(dw, dh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32);
        g_fittedFor = QSize(dw, dh);
      }
      QPainter painter(&g_frame);
      painter.drawImage(left, top, g_fitted);
    }
  } else {
    g_frame.fill(QColor::fromRgb(colours.Background));
    if (CanDrawText()) {
      QPainter painter(&g_frame);
      QFont font("Arial");
      font.setPointSize(15);
      painter.setFont(font);
      painter.setPen(QColor::fromRgb(colours.Text));
      painter.drawText(QRect(10, 10, std::max(1, pic.W - 10), std::max(1, pic.H - 10)), Qt::AlignLeft | Qt::AlignTop,
                       "No Artwork Available");
    }
  }
  for (int32_t y = 0; y < pic.H; ++y)
    std::memcpy(pic.Pixels + static_cast<size_t>(pic.P) * static_cast<size_t>(y), g_frame.constScanLine(y),
                static_cast<size_t>(pic.W) * 4);
}

// Each routine catches its own failures; what it drew before failing stays.
template <typename Routine>
void Guarded(Routine&& routine) {
  try {
    routine();
  } catch (...) {
  }
}

// The picture plug-in: in the current folder as the player's own layout has it, else beside
// the program folder that holds us (visplugins/ or a sub-folder of it).
std::string PicturePluginPath() {
  std::error_code ec;
  if (std::filesystem::exists(KELDAR_ALLINONE_PICTURE_PLUGIN, ec)) return KELDAR_ALLINONE_PICTURE_PLUGIN;
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&AllInOneQueryModule), &self) && self.dli_fname) {
    std::filesystem::path folder = std::filesystem::absolute(self.dli_fname, ec).parent_path();
    for (int up = 0; up < 3 && !folder.empty(); ++up, folder = folder.parent_path()) {
      const auto candidate = folder / "inputplugins" / "zpinput_pictures.so";
      if (std::filesystem::exists(candidate, ec)) return candidate.string();
    }
  }
  return KELDAR_ALLINONE_PICTURE_PLUGIN;
}

// The input plug-in loader guards its calls with signal handlers that stay installed after we
// are unloaded; our code must stay mapped for them.
void KeepLibraryMapped() {
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&AllInOneQueryModule), &self) && self.dli_fname)
    dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

int ClampEffect(int effect) { return effect < 0 || effect >= kEffects ? 0 : effect; }

}  // namespace

VisPluginInfo* AllInOneQueryModule() { return &g_info; }

void AllInOneInitializeProc() {
#if defined(__x86_64__) || defined(__i386__)
  // All exceptions masked, extended precision, rounding to nearest.
  fpu_control_t word = 0x133F;
  _FPU_SETCW(word);
#endif
  g_frame = QImage(1, 1, QImage::Format_RGB32);
  g_artwork = QImage();
  g_fitted = QImage();
  g_artworkAvailable = false;
  g_haveLastItem = false;
  g_lastItem.clear();
  if (!g_record) g_record = zpapi_record_open(0);
  g_recordRetry = 0;
  KeepLibraryMapped();
  UnloadAllInputPlugins();
  g_pictureLoaded = LoadInputPlugin(0, PicturePluginPath(), nullptr);
  KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable = g_pictureLoaded ? 1 : 0;
}

int32_t AllInOneRenderProc(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, VisRenderData* data) {
  if (pixels == nullptr || data == nullptr || width <= 0 || height <= 0 || pitch < width) return 1;
  MapRecordWhenMissing();
  if (!g_record) return 1;  // nothing is drawn: the host shows its cleared picture
  const TPicture pic{pixels, width, height, pitch};
  const TColours colours = Colours();
  const int effect = ClampEffect(g_effect.load());
  g_clear = effect < 2;
  if (effect >= 2) Guarded([&] { DrawArtwork(pic, colours); });
  if (effect == 0 || effect == 3) Guarded([&] { DrawSpectrum(pic, *data, colours); });
  if (effect == 1 || effect == 4) Guarded([&] { DrawWaveform(pic, *data, colours); });
  return 1;
}

int32_t AllInOneSaveSettingsProc(const char* iniPath) {
  const int effect = ClampEffect(g_effect.load());
  g_effect = effect;
  if (iniPath == nullptr) return 1;
  TProfileIniFile file(iniPath);
  file.Load();
  file.WriteInteger(kSection, kEffectKey, effect);
  file.Close();
  return 1;
}

int32_t AllInOneOpenSettingsProc(const char* iniPath) {
  int effect = 0;
  if (iniPath != nullptr) {
    TProfileIniFile file(iniPath);
    if (file.Load()) effect = file.ReadInteger(kSection, kEffectKey, 0);
  }
  g_effect = ClampEffect(effect);
  return 1;
}

int32_t AllInOneDeinitProc() {
  if (g_pictureLoaded) {
    UnloadInputPlugin(0);
    KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record.clear();
    KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable = 0;
    g_pictureLoaded = false;
  }
  zpapi_record_close(g_record);
  g_record = nullptr;
  g_frame = QImage();
  g_artwork = QImage();
  g_fitted = QImage();
  return 1;
}

int32_t AllInOneClickedProc(int32_t, int32_t, int32_t) {
  g_effect = (ClampEffect(g_effect.load()) + 1) % kEffects;
  return 1;
}

int AllInOneCurrentEffect() { return g_effect.load(); }
