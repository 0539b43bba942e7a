#include "skin/ConvertKjofolSkinToKELDARSkinUnit.h"

#include <QFile>
#include <cmath>
#include <cstdio>
#include <memory>
#include <algorithm>
#include <stdexcept>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinBitmapLayout.h"
#include "skin/KELDARSkinBitmapLoading.h"
#include "skin/KELDARSkinBuiltInFiles.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinConversionProgress.h"
#include "skin/KELDARSkinDefinitionFile.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/KjofolSkinDescription.h"
#include "skin/SkinFilesNoCase.h"
#include "skin/SkinSprites.h"

namespace {

using B = TKELDARSkinBitmap;
constexpr QRgb kMagenta = 0xFFFF00FFu;

std::string Trim(const std::string& s) {
  const auto a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// Decimal integer after trimming; 0 when unreadable. Kept within the bounds the definition
// file allows, so that sums of coordinates cannot overflow.
std::int32_t Number(const std::string& text, bool* readable = nullptr) {
  const std::string t = Trim(text);
  std::size_t i = t.size() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
  bool ok = i < t.size() && t.size() - i <= 9;
  for (std::size_t k = i; ok && k < t.size(); ++k) ok = t[k] >= '0' && t[k] <= '9';
  if (readable) *readable = ok;
  return ok ? std::clamp(std::stoi(t), -KELDARSkinDefinitionMaxMagnitude, KELDARSkinDefinitionMaxMagnitude) : 0;
}

// Pictures beyond this many pixels are not skin pictures; four sheets are made from one.
constexpr std::int64_t kMaxPicturePixels = 4 * 1024 * 1024;

std::string Hex2(std::int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(std::max(0, v)));
  return buf;
}

class TKjofolConversion {
 public:
  TKjofolConversion(const std::string& source, const std::string& target)
      : source_(SkinSourceFolder(source,
                                 [](const std::string& f) { return !FindFirstSkinFileWithExtension(f, ".rc").empty(); })),
        target_(SkinFolderWithSeparator(target)),
        live_(MultimediaSkin()) {}

  void Run() {
    TKELDARSkinConversionProgress progress("Converting kjofol skin");
    progress.Step(0);
    Definition();
    ReadDescription();
    ApplyCommands();
    Pictures();
    progress.Step(1);
    DeckSheets();
    ButtonStates();
    progress.Step(2);
    Volume();
    Pitch();
    progress.Step(3);
    PositionFontsDeckText();
    progress.Step(4);
    Equalizer();
    ButtonStates();
    progress.Step(5);
    Playlist();
    progress.Step(6);
    BuiltIn(B::VisualsScreenBackground);
    progress.Step(7);
    for (B b : {B::DBBackground, B::FullScreenNotActive, B::FullScreenActive, B::FullScreenPositionBar}) BuiltIn(b);
    Shapes();
    progress.Step(8);
    Save();
    progress.Step(9);
    progress.Step(10);
  }

 private:
  // --- the description -----------------------------------------------------------------
  const KJOFOL_SkinCommandRecord& Row(const char* keyword) const {
    const KJOFOL_SkinCommandRecord* row = FindKjofolSkinCommand(table_, keyword);
    if (!row) throw std::logic_error(keyword);
    return *row;
  }
  const std::string& Param(const char* keyword, int i) const { return Row(keyword).ParamsArray[static_cast<std::size_t>(i)]; }
  QImage Picture(const std::string& name) const {
    const std::string path = FindSkinFileNoCase(source_, Trim(name));
    QImage img = path.empty() ? QImage() : ReadKELDARSkinBitmapFile(path);
    if (static_cast<std::int64_t>(img.width()) * img.height() > kMaxPicturePixels) return {};
    return img;
  }
  QImage PictureOf(const char* keyword) const { return Picture(Param(keyword, 0)); }

  void Definition() {
    const std::string path = target_ + KELDARSkinDefinitionFileName;
    QFile f(QString::fromStdString(path));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      const std::string text = BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Kjofol);
      f.write(text.data(), static_cast<qint64>(text.size()));
    }
    f.close();
    BuildKELDARSkinCatalogue(TKELDARSkinFamily::Kjofol, skin_, lists_);
    try {
      ReadKELDARSkinDefinitionFile(path, skin_);
    } catch (const ESkinDefinitionError&) {
      // the catalogue just built is the same geometry
    }
  }

  void ReadDescription() {
    const std::string rc = FindFirstSkinFileWithExtension(source_, ".rc");
    table_ = rc.empty() ? NewKjofolSkinCommandTable() : ParseKjofolSkinDescription(ReadKjofolSkinDescriptionLines(rc));
  }

  StringIdentStructure& C(KELDARSkinControls_IDs id) { return skin_[id]; }
  void Rect(KELDARSkinControls_IDs id, const KJOFOL_SkinCommandRecord& r) {
    const std::int32_t x1 = Number(r.ParamsArray[0]), y1 = Number(r.ParamsArray[1]);
    const std::int32_t x2 = Number(r.ParamsArray[2]), y2 = Number(r.ParamsArray[3]);
    auto& c = C(id);
    c.Control_Left = x1;
    c.Control_Top = y1;
    c.Control_Width = x2 - x1 + 1;
    c.Control_Height = y2 - y1 + 1;
  }

  void ApplyCommands() {
    for (const KJOFOL_SkinCommandRecord& r : table_) {
      const KELDARSkinControls_IDs id = r.KELDARSkinAffectedControl;
      if (id == Form_NullControl || Trim(r.ParamsArray[0]).empty()) continue;
      auto& c = C(id);
      switch (r.CommandStructure) {
        case csPosSliderStructure:
        case csButtonStructure:
          Rect(id, r);
          c.Control_Enabled = true;
          break;
        case csSliderStructure:
          Rect(id, r);
          c.Control_Enabled = true;
          if (id == DeckForm_VolumeImage) {
            volumeWidth_ = c.Control_Width;
            volumeHeight_ = c.Control_Height;
          }
          break;
        case csSliderImageXSizeStructure: c.Control_Width = Number(r.ParamsArray[0]); break;
        case csSliderImageNbStructure: c.Control_NumberOfImages = Number(r.ParamsArray[0]); break;
        case csTextWindowStructure:
          Rect(id, r);
          c.Control_Enabled = true;
          C(DeckForm_KbpsTextWindow).Control_Width = 3 * C(DeckForm_FontSmall).Control_Width;
          C(DeckForm_KHzTextWindow).Control_Width = 2 * C(DeckForm_FontSmall).Control_Width;
          if (id == DeckForm_GraphicsEffectsCanvas) {
            auto& area = C(EqualizerForm_EQGraphicsLeftCanvas);
            area.Control_Left = 0;
            area.Control_Top = 0;
            area.Control_Width = c.Control_Width;
            area.Control_Height = c.Control_Height;
            area.Control_Enabled = true;
          }
          break;
        case csFontSizeStructure:
          c.Control_Width = Number(r.ParamsArray[0]);
          c.Control_Height = Number(r.ParamsArray[1]);
          c.Control_Enabled = true;
          break;
        case csFontTransparentStructure:
          if (Number(r.ParamsArray[0]) == 0) SwitchOffKELDARSkinTransparentText(id == DeckForm_NumbersFont);
          break;
        case csEqualizerBandImagesLeftTopStructure: {
          Rect(id, r);
          c.Control_Enabled = true;
          const std::int32_t dx = Number(r.ParamsArray[6]);
          for (int k = 1; k <= 10; ++k) {
            auto& band = C(static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * (k - 1)));
            band.Control_Left = c.Control_Left + (k - 1) * dx;
            band.Control_Top = c.Control_Top;
          }
          break;
        }
        case csEqualizerBandImagesWidthAndNumImagesStructure:
          for (int k = 0; k < 10; ++k) {
            auto& band = C(static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * k));
            band.Control_Width = Number(r.ParamsArray[0]);
            band.Control_NumberOfImages = Number(r.ParamsArray[1]);
            band.Control_Enabled = true;
          }
          break;
        case csEqualizerAnalyzerColorStructure:
          analyzerColour_ = static_cast<std::uint32_t>(std::clamp(Number(r.ParamsArray[0]), 0, 255)) |
                            (static_cast<std::uint32_t>(std::clamp(Number(r.ParamsArray[1]), 0, 255)) << 8) |
                            (static_cast<std::uint32_t>(std::clamp(Number(r.ParamsArray[2]), 0, 255)) << 16);
          C(EqualizerForm_EQFFT128VisualEffects).Control_Enabled = true;
          break;
        case csPlaylistListBoxStructure: {
          const std::int32_t x1 = Number(r.ParamsArray[0]), y1 = Number(r.ParamsArray[1]);
          const std::int32_t W = Number(r.ParamsArray[2]) - x1 + 1, H = Number(r.ParamsArray[3]) - y1 + 1;
          list_ = {x1, y1, W, H};
          const auto tile = [&](KELDARSkinControls_IDs t, std::int32_t w, std::int32_t h) {
            auto& p = C(t);
            p.Control_Left = 0;
            p.Control_Top = 0;
            p.Control_Width = w;
            p.Control_Height = h;
            p.Control_Enabled = true;
          };
          tile(PlayListEditorForm_PLTitleBarLeftImage, x1, y1);
          tile(PlayListEditorForm_PLTitleBarMainImage, W - W / 2, y1);
          tile(PlayListEditorForm_PLTitleBarHorizontalImage, W / 2, y1);
          tile(PlayListEditorForm_PLTitleBarRightImage, 400, y1);
          tile(PlayListEditorForm_PLVerticalLeftImage, x1, H);
          tile(PlayListEditorForm_PLVerticalRightImage, 400, H);
          tile(PlayListEditorForm_PLBottomLeftImage, x1, 400);
          tile(PlayListEditorForm_PLBottomExtraImage1, W, 400);
          tile(PlayListEditorForm_PLBottomRightImage, 400, 400);
          hasList_ = true;
          break;
        }
        default: break;
      }
    }
  }

  // --- pictures and sheets -------------------------------------------------------------
  void Pictures() {
    background_ = PictureOf("BackgroundImage");
    pressed1_ = PictureOf("BackgroundImagePressed1");
    pressed2_ = Trim(Param("BackgroundImagePressed2", 0)).empty() ? background_ : PictureOf("BackgroundImagePressed2");
    pressed3_ = Trim(Param("BackgroundImagePressed3", 0)).empty() ? background_ : PictureOf("BackgroundImagePressed3");
  }
  QImage& Sheet(B b) { return bitmaps_[static_cast<std::size_t>(b)]; }

  void FourSheets(B first, KELDARSkinControls_IDs main) {
    C(main).Control_Width = background_.width();
    C(main).Control_Height = background_.height();
    const std::array<const QImage*, 4> pictures{&background_, &pressed2_, &pressed3_, &pressed1_};  // NA, P1, P2, A
    for (int i = 0; i < 4; ++i) {
      QImage& sheet = Sheet(static_cast<B>(static_cast<int>(first) + i));
      sheet = NewSkinSheet(background_.width(), background_.height());
      CopySkinSprite(sheet, 0, 0, *pictures[static_cast<std::size_t>(i)], 0, 0, background_.width(), background_.height());
    }
  }
  void DeckSheets() { FourSheets(B::DeckNotActive, DeckForm_MainImage); }

  void ButtonStates() {
    for (const KJOFOL_SkinCommandRecord& r : table_) {
      if (r.CommandStructure != csButtonStructure || r.KELDARSkinAffectedControl == Form_NullControl) continue;
      if (!lists_.DeckForm_Controls.test(r.KELDARSkinAffectedControl)) continue;
      const std::string sheet = Trim(r.ParamsArray[5]);
      auto& aliases = live_[r.KELDARSkinAffectedControl].Control_BitmapsStatesAliases;
      if (sheet == "BMP1") {
        aliases[bpPressed1Bitmap] = aliases[bpPressed2Bitmap] = bpActiveBitmap;
      } else if (sheet == "BMP2") {
        aliases[bpActiveBitmap] = aliases[bpPressed1Bitmap] = aliases[bpPressed2Bitmap] = bpPressed1Bitmap;
      } else if (sheet == "BMP3") {
        aliases[bpActiveBitmap] = aliases[bpPressed1Bitmap] = aliases[bpPressed2Bitmap] = bpPressed2Bitmap;
      }
    }
  }

  void Volume() {
    auto& track = C(DeckForm_VolumeImage);
    if (Trim(Param("VolumeControlType", 0)) == "BMP") {
      Sheet(B::DeckVolumeBarMask) = PictureOf("VolumeControlImagePosition");
      Sheet(B::DeckVolumeBar) = PictureOf("VolumeControlImage");
      track.Control_Height = Sheet(B::DeckVolumeBar).height();
      bool ok = false;
      const std::int32_t w = Number(Param("VolumeControlImageXSize", 0), &ok);
      if (ok && w > 0) track.Control_Width = w;
      const std::int32_t n = Number(Param("VolumeControlImageNb", 0), &ok);
      if (ok && n > 0) track.Control_NumberOfImages = n;
      return;
    }
    track.Control_Width = volumeWidth_;
    track.Control_Height = volumeHeight_;
    QImage& mask = Sheet(B::DeckVolumeBarMask) = NewSkinSheet(background_.width(), background_.height());
    if (!mask.isNull()) {
      mask.fill(QColor(0x1E, 0x14, 0x0A));
      double level = 0.0;
      const double step = track.Control_Width > 1 ? 255.0 / (track.Control_Width - 1) : 0.0;
      for (std::int32_t i = 0; i < track.Control_Width; ++i, level += step) {
        const int g = std::clamp(static_cast<int>(std::nearbyint(level)), 0, 255);
        const std::int32_t x = track.Control_Left + i;
        if (x < 0 || x >= mask.width()) continue;
        for (std::int32_t y = std::max(0, track.Control_Top); y < std::min(track.Control_Top + track.Control_Height, mask.height()); ++y)
          mask.setPixel(x, y, qRgb(g, g, g));
      }
    }
    const QImage knob = PictureOf("VolumeControlImage");
    track.Control_NumberOfImages = 32;
    track.Control_Height = knob.height();
    if (track.Control_Width <= 0 || static_cast<std::int64_t>(track.Control_Width) * 32 > KELDARSkinBitmapMaxSide) return;
    QImage& strip = Sheet(B::DeckVolumeBar) = NewSkinSheet(32 * track.Control_Width, std::max(1, knob.height()));
    strip.fill(QColor(0xFF, 0x00, 0xFF));
    for (int d = 0; d < 32; ++d) {
      const std::int32_t x = d * track.Control_Width +
                             static_cast<std::int32_t>(std::nearbyint(d * (track.Control_Width - knob.width()) / 31.0));
      // The knob stays inside its own frame.
      const std::int32_t w = std::min(knob.width(), track.Control_Width);
      CopySkinSprite(strip, x, 0, knob, 0, 0, w, knob.height());
    }
  }

  void Pitch() {
    Sheet(B::DeckPitchBarMask) = PictureOf("PitchControlImagePosition");
    Sheet(B::DeckPitchBar) = PictureOf("PitchControlImage");
    if (!Sheet(B::DeckPitchBar).isNull()) C(DeckForm_PitchImage).Control_Height = Sheet(B::DeckPitchBar).height();
  }

  void PositionFontsDeckText() {
    Sheet(B::DeckPositionBarMask) = PictureOf("SeekImage");
    Sheet(B::DeckPositionBar) = pressed1_;
    C(DeckForm_PosBarImage).Control_NumberOfImages = 1;

    // Small font.
    const QImage font = PictureOf("FontImage");
    const std::int32_t w = C(DeckForm_FontSmall).Control_Width, h = C(DeckForm_FontSmall).Control_Height;
    if (w > 0 && h > 0 && static_cast<std::int64_t>(w) * KELDARSkinSmallFontColumns <= KELDARSkinBitmapMaxSide &&
        static_cast<std::int64_t>(h) * KELDARSkinSmallFontRows <= KELDARSkinBitmapMaxSide) {
      QImage& sheet = Sheet(B::DeckFontSmall) = NewSkinSheet(KELDARSkinSmallFontColumns * w, KELDARSkinSmallFontRows * h);
      const auto put = [&](int code, std::int32_t column, std::int32_t row) {
        const auto [sx, sy] = Glyph(code, w, h);
        CopySkinSprite(sheet, column * w, row * h, font, sx, sy, w, h);
      };
      for (int c = 32; c <= 64; ++c) put(c, c - 32, 0);
      for (int c = 'A'; c <= 'Z'; ++c) {
        put(c, c - 'A', 1);
        put(c, c - 'A', 3);
      }
      for (int c = 91; c <= 96; ++c) put(c, c - 91, 2);
      for (int c = 123; c <= 126; ++c) put(c, c - 123, 4);
    }
    // Time font.
    const QImage time = PictureOf("TimeFontImage");
    const std::int32_t tw = C(DeckForm_NumbersFont).Control_Width, th = C(DeckForm_NumbersFont).Control_Height;
    if (tw > 0 && th > 0 && static_cast<std::int64_t>(tw) * 17 <= KELDARSkinBitmapMaxSide && th <= KELDARSkinBitmapMaxSide) {
      QImage& sheet = Sheet(B::DeckNumbers) = NewSkinSheet(17 * tw, th);
      for (int d = 0; d < 10; ++d) CopySkinSprite(sheet, d * tw, 0, time, d * tw, 0, tw, th);
      CopySkinSprite(sheet, 13 * tw, 0, time, 10 * tw, 0, tw, th);
      for (int cell : {10, 11, 12, 14, 15, 16}) CopySkinSprite(sheet, cell * tw, 0, time, 11 * tw, 0, tw, th);
    }
    const auto bottomRight = [](const QImage& img) -> std::uint32_t {
      if (img.isNull()) return 0;
      const QRgb c = img.pixel(img.width() - 1, img.height() - 1);
      return static_cast<std::uint32_t>(qRed(c)) | (static_cast<std::uint32_t>(qGreen(c)) << 8) |
             (static_cast<std::uint32_t>(qBlue(c)) << 16);
    };
    SetKELDARSkinFontKeyColours(bottomRight(font), bottomRight(time));

    deckText_ = "[TEXT]\r\nNormal=" + Colour("PlaylistWindowColor") + "\r\nFont=" + FontName() + "\r\nFontHeight=-" +
                NumberOr(Param("FontSize", 1), 12) + "\r\nFontStyle=None\r\nBitmapFontEnabled=1\r\n";
  }

  static std::pair<std::int32_t, std::int32_t> Glyph(int code, std::int32_t w, std::int32_t h) {
    if (code >= 'A' && code <= 'Z') return {(code - 'A') * w, 0};
    if (code >= '0' && code <= '9') return {(code - '0') * w, h};
    switch (code) {
      case '?': return {3 * w, 2 * h};
      case '*': return {4 * w, 2 * h};
      case '.': return {11 * w, h};
      case ':': return {12 * w, h};
      case '(': return {13 * w, h};
      case ')': return {14 * w, h};
      case '-': return {15 * w, h};
      case '\'': return {16 * w, h};
      case '!': return {17 * w, h};
      case '_': return {18 * w, h};
      case '+': return {19 * w, h};
      case '\\': return {20 * w, h};
      case '/': return {21 * w, h};
      case '[': return {22 * w, h};
      case ']': return {23 * w, h};
      case '^': return {24 * w, h};
      case '&': return {25 * w, h};
      case '%': return {26 * w, h};
      case ',': return {27 * w, h};
      case '=': return {28 * w, h};
      case '$': return {29 * w, h};
      case '#': return {30 * w, h};
      case '"': return {26 * w, 0};
      case '@': return {27 * w, 0};
      default: return {30 * w, 0};
    }
  }

  std::string Colour(const char* keyword) const {
    return "#" + Hex2(Number(Param(keyword, 0))) + Hex2(Number(Param(keyword, 1))) + Hex2(Number(Param(keyword, 2)));
  }
  std::string FontName() const {
    const std::string name = Trim(Param("PlaylistWindowFontName", 0));
    return name.empty() ? std::string("Arial") : name;
  }
  static std::string NumberOr(const std::string& text, std::int32_t fallback) {
    bool ok = false;
    const std::int32_t v = Number(text, &ok);
    return std::to_string(ok ? v : fallback);
  }

  void Equalizer() {
    FourSheets(B::EqualizerNotActive, EqualizerForm_EQMainImage);
    const QImage bands = Picture(Param("EqualizerBmp", 2));
    const std::int32_t h = bands.height();
    for (int k = 0; k < 10; ++k)
      C(static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * k)).Control_Height = h;
    // The skin's frames touch; our strips keep one pixel between frames.
    const auto& band = C(EqualizerForm_EQBand1Image);
    const std::int32_t w = band.Control_Width, n = std::max(1, band.Control_NumberOfImages);
    if (bands.isNull() || w <= 0 || static_cast<std::int64_t>(n) * (w + 1) > KELDARSkinBitmapMaxSide) {
      Sheet(B::EqualizerBandBar) = bands;
      return;
    }
    QImage& strip = Sheet(B::EqualizerBandBar) = NewSkinSheet(n * (w + 1), h);
    for (std::int32_t f = 0; f < n; ++f) {
      const TSkinPixelPoint at = SliderStripFramePosition(EqualizerForm_EQBand1Image, f, skin_);
      CopySkinSprite(strip, at.X, at.Y, bands, f * w, 0, w, h);
    }
  }

  void Playlist() {
    const QImage P = PictureOf("PlaylistBmp");
    QImage Q = PictureOf("PlaylistBmpPressed");
    if (Q.isNull()) Q = P;
    playlistPicture_ = P;
    const std::int32_t PW = P.width(), PH = P.height();
    const std::int32_t x1 = list_.X1, y1 = list_.Y1, W = list_.W, H = list_.H;
    C(PlayListEditorForm_PLMainImage).Control_Width = PW;
    C(PlayListEditorForm_PLMainImage).Control_Height = PH;
    if (hasList_) {
      const std::int32_t rightW = std::max(0, PW - x1 - W), bottomH = std::max(0, PH - y1 - H);
      C(PlayListEditorForm_PLTitleBarRightImage).Control_Width = rightW;
      C(PlayListEditorForm_PLVerticalRightImage).Control_Width = rightW;
      C(PlayListEditorForm_PLBottomRightImage).Control_Width = rightW;
      C(PlayListEditorForm_PLBottomRightImage).Control_Height = bottomH;
      C(PlayListEditorForm_PLBottomLeftImage).Control_Height = bottomH;
      C(PlayListEditorForm_PLBottomExtraImage1).Control_Height = bottomH;
    }
    auto& scroll = C(PlayListEditorForm_PLScrollImage);
    scroll.Control_Left = 0;
    scroll.Control_Top = y1;
    scroll.Control_Width = 5;
    scroll.Control_Height = H;
    scroll.Control_Enabled = false;
    C(PlayListEditorForm_PLScrollButton).Control_Enabled = false;

    const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, skin_);
    if (l.Size.Width > KELDARSkinBitmapMaxSide || l.Size.Height > KELDARSkinBitmapMaxSide) return;
    QImage& sheet = Sheet(B::PlaylistBackground) = NewSkinSheet(l.Size.Width, l.Size.Height);
    const auto& tl = C(PlayListEditorForm_PLTitleBarLeftImage);
    const auto& tm = C(PlayListEditorForm_PLTitleBarMainImage);
    const auto& th = C(PlayListEditorForm_PLTitleBarHorizontalImage);
    const auto& tr = C(PlayListEditorForm_PLTitleBarRightImage);
    const std::int32_t x2 = x1 + W - 1, y2 = y1 + H - 1;
    for (std::int32_t row : {l.RowA, l.RowB}) {
      CopySkinSprite(sheet, l.TitleLeftX, row, P, 0, 0, tl.Control_Width, tl.Control_Height);
      CopySkinSprite(sheet, l.TitleMainX, row, P, x1, 0, tm.Control_Width, tm.Control_Height);
      CopySkinSprite(sheet, l.TitleHorizontalX, row, P, x1 + (W - W / 2), 0, th.Control_Width, th.Control_Height);
      CopySkinSprite(sheet, l.TitleRightX, row, P, x2 + 1, 0, tr.Control_Width, tr.Control_Height);
    }
    const auto& vl = C(PlayListEditorForm_PLVerticalLeftImage);
    const auto& vr = C(PlayListEditorForm_PLVerticalRightImage);
    CopySkinSprite(sheet, l.VerticalLeftX, l.RowC, P, 0, y1, vl.Control_Width, vl.Control_Height);
    CopySkinSprite(sheet, l.VerticalRightX, l.RowC, P, x2 + 1, y1, vr.Control_Width, vr.Control_Height);
    const auto& bl = C(PlayListEditorForm_PLBottomLeftImage);
    const auto& bx = C(PlayListEditorForm_PLBottomExtraImage1);
    const auto& br = C(PlayListEditorForm_PLBottomRightImage);
    CopySkinSprite(sheet, l.BottomLeftX, l.RowD, P, 0, y2 + 1, bl.Control_Width, bl.Control_Height);
    CopySkinSprite(sheet, l.BottomExtraX, l.RowD, P, x1, y2 + 1, bx.Control_Width, bx.Control_Height);
    CopySkinSprite(sheet, l.BottomRightX, l.RowD, P, x2 + 1, y2 + 1, br.Control_Width, br.Control_Height);

    // Buttons: normal from P, pressed from Q, each at its own rectangle.
    const auto button = [&](KELDARSkinControls_IDs id, std::int32_t x, std::int32_t y, std::int32_t pressedX,
                            std::int32_t pressedY) {
      const auto& c = C(id);
      CopySkinSprite(sheet, x, y, P, c.Control_Left, c.Control_Top, c.Control_Width, c.Control_Height);
      CopySkinSprite(sheet, pressedX, pressedY, Q, c.Control_Left, c.Control_Top, c.Control_Width, c.Control_Height);
    };
    for (auto [slot, id] : {std::pair{0, PlayListEditorForm_PLCloseWindowButton},
                            std::pair{2, PlayListEditorForm_PLListScrollUpButton},
                            std::pair{3, PlayListEditorForm_PLListScrollDownButton}}) {
      const std::int32_t x = l.WindowButtonX[static_cast<std::size_t>(slot)];
      button(id, x, l.RowA, x, l.RowA + C(id).Control_Height + 1);
    }
    const std::array<std::int32_t, 3> rows{l.RowF, l.RowG, l.RowH};
    for (int r = 0; r < 3; ++r)
      for (int k = 1; k <= 5; ++k) {
        const auto id = PlaylistPanelButton(r, k);
        if (id != PlayListEditorForm_PLAddFilesButton && id != PlayListEditorForm_PLRemSelectedFilesButton &&
            id != PlayListEditorForm_PLRemAllFilesButton && id != PlayListEditorForm_PLSortListButton &&
            id != PlayListEditorForm_PLLoadListButton && id != PlayListEditorForm_PLSaveListButton)
          continue;
        const std::int32_t x = l.PanelX[static_cast<std::size_t>(r)][static_cast<std::size_t>(k - 1)];
        button(id, x, rows[static_cast<std::size_t>(r)], x + C(id).Control_Width + 1, rows[static_cast<std::size_t>(r)]);
      }

    if (W > KELDARSkinBitmapMaxSide || H > KELDARSkinBitmapMaxSide) return;
    QImage& listBox = Sheet(B::PlaylistListBoxImage) = NewSkinSheet(W, H);
    CopySkinSprite(listBox, 0, 0, Q, x1, y1, W, H);
    std::uint32_t bg = 0;
    if (x1 + 5 >= 0 && y1 + 5 >= 0 && x1 + 5 < PW && y1 + 5 < PH) {
      const QRgb c = P.pixel(x1 + 5, y1 + 5);
      bg = static_cast<std::uint32_t>(qRed(c)) | (static_cast<std::uint32_t>(qGreen(c)) << 8) |
           (static_cast<std::uint32_t>(qBlue(c)) << 16);
    }
    const std::string listColours = "Normal=" + Colour("PlaylistWindowColor") + "\r\nCurrent=" +
                                    Colour("PlaylistWindowCurrentTrackColor") + "\r\nNormalBG=#" + Hex2(bg & 0xFF) +
                                    Hex2((bg >> 8) & 0xFF) + Hex2((bg >> 16) & 0xFF) + "\r\nSelectedBG=" +
                                    Colour("PlaylistWindowCurrentSelectionColor") + "\r\nFont=" + FontName() +
                                    "\r\nFontHeight=-" + NumberOr(Param("PlaylistWindowFontSize", 0), 12) +
                                    "\r\nItemHeight=" + NumberOr(Param("PlaylistWindowFontYSpacing", 0), 10) + "\r\n";
    playlistText_ = "[TEXT]\r\n" + listColours + "BitmapEnabled=1\r\n";
    libraryText_ = "[TEXT]\r\n" + listColours;
  }

  void BuiltIn(B b) { Sheet(b).loadFromData(BuiltInKELDARSkinFile(KELDARSkinBitmapFileName(b)), "BMP"); }

  void Shapes() {
    TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
    loaded.UsesMasks = true;
    loaded.AnalyzerColour = analyzerColour_;
    loaded.DeckKeyShape = KELDARSkinShapeFromColourKey(Sheet(B::DeckNotActive), kMagenta);
    loaded.PlaylistKeyShape = KELDARSkinShapeFromColourKey(playlistPicture_, kMagenta);
  }

  void Save() {
    WriteKELDARSkinDefinitionFile(target_ + KELDARSkinDefinitionFileName, skin_);
    for (int i = 0; i < KELDARSkinBitmapCount; ++i) {
      QImage& img = bitmaps_[static_cast<std::size_t>(i)];
      const auto b = static_cast<B>(i);
      // A mask the skin does not provide is still a mask: an empty one selects nothing.
      if (img.isNull() && IsKELDARSkinMaskBitmap(b)) img = NewSkinSheet(1, 1);
      if (img.isNull()) continue;
      const std::string path = target_ + KELDARSkinBitmapFileName(b);
      if (!img.save(QString::fromStdString(path), "BMP")) throw std::runtime_error("cannot write " + path);
    }
    const auto write = [&](const char* name, const std::string& text) {
      QFile f(QString::fromStdString(target_ + name));
      if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(text.data(), static_cast<qint64>(text.size()));
    };
    write("Deck_Text.ini", deckText_);
    if (!playlistText_.empty()) write("Playlist_Text.ini", playlistText_);
    if (!libraryText_.empty()) write("DB_Text.ini", libraryText_);
    std::string readme;
    const auto& about = Row("About");
    for (std::int32_t i = 0; i < about.ParamsNum && i < 7; ++i) readme += about.ParamsArray[static_cast<std::size_t>(i)] + "\r\n";
    write("readme.txt", readme);
  }

  struct TListRect {
    std::int32_t X1 = 0, Y1 = 0, W = 0, H = 0;
  };
  std::string source_, target_;
  MultimediaSkinStructure& live_;
  MultimediaSkinStructure skin_;
  TSkinControlsLists lists_;
  TKjofolSkinCommandTable table_;
  std::array<QImage, KELDARSkinBitmapCount> bitmaps_;
  QImage background_, pressed1_, pressed2_, pressed3_, playlistPicture_;
  std::int32_t volumeWidth_ = 0, volumeHeight_ = 0;
  std::uint32_t analyzerColour_ = 0;
  TListRect list_;
  bool hasList_ = false;
  std::string deckText_, playlistText_, libraryText_;
};

}  // namespace

void ConvertKjofolSkinToKELDARSkin(const std::string& source, const std::string& target) {
  auto conversion = std::make_unique<TKjofolConversion>(source, target);
  conversion->Run();
}
