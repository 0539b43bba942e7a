#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinBitmapLayout.h"
#include "skin/KELDARSkinBitmapLoading.h"
#include "skin/KELDARSkinBuiltInFiles.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinConversionProgress.h"
#include "skin/KELDARSkinDefinitionFile.h"
#include "skin/KELDARSkinPackageKinds.h"
#include "skin/SkinFilesNoCase.h"
#include "skin/SkinSprites.h"
#include "skin/WinampSkinTextFiles.h"
#include "util/ShowMessage.h"

namespace {

using B = TKELDARSkinBitmap;
// Skin text files are small; a bigger one is not read at all.
constexpr qint64 kMaxTextFileBytes = 4 * 1024 * 1024;

class TWinampConversion {
 public:
  TWinampConversion(const std::string& source, const std::string& target)
      : source_(SkinSourceFolder(source, [](const std::string& f) { return !FindSkinFileNoCase(f, "main.bmp").empty(); })),
        target_(SkinFolderWithSeparator(target)),
        fallback_(WinampDefaultSkinFolder()) {}

  void Run() {
    TKELDARSkinConversionProgress progress("Converting winamp skin");
    std::error_code ec;
    if (!std::filesystem::is_directory(fallback_, ec))
      ShowMessage("The " + fallback_ +
                      " directory is missing. It's possible that some Winamp skins MAY NOT WORK properly, or HALT the "
                      "program. Please look at the Help section for more information.",
                  {}, TMessageIcon::Warning);
    Definition();
    progress.Step(1);
    DeckAndButtons();
    progress.Step(2);
    TitleTogglesSliders();
    progress.Step(3);
    LampsFontsDeckText();
    progress.Step(4);
    Equalizer();
    progress.Step(5);
    Playlist();
    progress.Step(6);
    Resizable(B::VisualsScreenBackground, VisualsScreenForm_VisExMainImage);
    progress.Step(7);
    Resizable(B::DBBackground, CDDatabaseForm_DBMainImage);
    LibraryTextFullScreenRegionsReadme();
    progress.Step(8);
    Save();
    progress.Step(9);
  }

 private:
  // --- reading -------------------------------------------------------------------------
  QImage Picture(const std::string& name) const { return PictureOneOf({name}); }
  // The first readable of several alternatives, the skin's own files before the fallback's:
  // a skin's own "numbers.bmp" beats the fallback's "nums_ex.bmp".
  QImage PictureOneOf(std::initializer_list<std::string> names) const {
    for (const std::string& folder : {source_, fallback_})
      for (const std::string& name : names) {
        const std::string path = FindSkinFileNoCase(folder, name);
        if (path.empty()) continue;
        // Several steps use the same picture: each file is decoded once.
        auto cached = pictures_.find(path);
        if (cached == pictures_.end()) cached = pictures_.emplace(path, ReadKELDARSkinBitmapFile(path)).first;
        if (!cached->second.isNull()) return cached->second;
      }
    return {};
  }
  bool Text(const std::string& name, std::string& text) const {
    for (const std::string& folder : {source_, fallback_}) {
      const std::string path = FindSkinFileNoCase(folder, name);
      if (path.empty()) continue;
      QFile f(QString::fromStdString(path));
      if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxTextFileBytes) continue;
      const QByteArray bytes = f.readAll();
      text.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      return true;
    }
    return false;
  }

  // --- the table and the sheets ------------------------------------------------------------
  const StringIdentStructure& C(KELDARSkinControls_IDs id) const { return skin_[id]; }
  QImage& Sheet(B b) { return bitmaps_[static_cast<std::size_t>(b)]; }
  QImage& Allocate(B b) {
    const TSkinPixelSize s = ExpectedKELDARSkinBitmapSize(b, skin_);
    return Sheet(b) = NewSkinSheet(s.Width, s.Height);
  }
  QImage& Allocate(B b, std::int32_t w, std::int32_t h) { return Sheet(b) = NewSkinSheet(w, h); }
  // A sprite at the control's own place in a full-window sheet.
  void ToControl(B sheet, KELDARSkinControls_IDs id, const QImage& src, std::int32_t sx, std::int32_t sy) {
    CopySkinSprite(Sheet(sheet), C(id).Control_Left, C(id).Control_Top, src, sx, sy, C(id).Control_Width,
                   C(id).Control_Height);
  }
  void AllFour(B first, KELDARSkinControls_IDs id, const QImage& src, std::int32_t sx, std::int32_t sy) {
    for (int i = 0; i < 4; ++i) ToControl(static_cast<B>(static_cast<int>(first) + i), id, src, sx, sy);
  }
  static B DeckRole(BitmapPurposeStates role) { return static_cast<B>(static_cast<int>(B::DeckNotActive) + role); }
  static B EqRole(BitmapPurposeStates role) { return static_cast<B>(static_cast<int>(B::EqualizerNotActive) + role); }

  void Definition() {
    const std::string path = target_ + KELDARSkinDefinitionFileName;
    {
      QFile f(QString::fromStdString(path));
      if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write the definition");
      const std::string text = BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Winamp);
      f.write(text.data(), static_cast<qint64>(text.size()));
    }
    BuildKELDARSkinCatalogue(TKELDARSkinFamily::Winamp, skin_, lists_);
    ReadKELDARSkinDefinitionFile(path, skin_);
  }

  void DeckAndButtons() {
    const QImage main = Picture("main.bmp");
    for (B b : {B::DeckNotActive, B::DeckPressed1, B::DeckPressed2, B::DeckActive}) {
      Allocate(b, C(DeckForm_MainImage).Control_Width, C(DeckForm_MainImage).Control_Height);
      CopySkinSprite(Sheet(b), 0, 0, main, 0, 0, C(DeckForm_MainImage).Control_Width,
                     C(DeckForm_MainImage).Control_Height);
    }
    const QImage buttons = Picture("cbuttons.bmp");
    std::int32_t x = 0;
    for (auto id : {DeckForm_BackwardButton, DeckForm_PlayButton, DeckForm_PauseButton, DeckForm_StopButton,
                    DeckForm_ForwardButton, DeckForm_EjectButton}) {
      ToControl(DeckRole(bpNOTActiveBitmap), id, buttons, x, 0);
      ToControl(DeckRole(bpActiveBitmap), id, buttons, x, C(id).Control_Height);
      x += C(id).Control_Width;
    }
  }

  void TitleTogglesSliders() {
    const QImage title = Picture("titlebar.bmp");
    ToControl(DeckRole(bpActiveBitmap), DeckForm_TitleBarImage, title, 27, 0);
    ToControl(DeckRole(bpNOTActiveBitmap), DeckForm_TitleBarImage, title, 27, 15);
    std::int32_t x = 0;
    for (auto id : {DeckForm_MainMenuButton, DeckForm_MinimizeWindowButton, DeckForm_CloseWindowButton}) {
      ToControl(DeckRole(bpNOTActiveBitmap), id, title, x, 0);
      ToControl(DeckRole(bpActiveBitmap), id, title, x, C(id).Control_Height);
      x += C(id).Control_Width;
    }

    const QImage shufrep = Picture("shufrep.bmp");
    const std::array<BitmapPurposeStates, 4> rows{bpNOTActiveBitmap, bpPressed1Bitmap, bpActiveBitmap,
                                                  bpPressed2Bitmap};
    const std::int32_t repeatWidth = C(DeckForm_RepeatButton).Control_Width;
    for (auto [id, sx] : {std::pair{DeckForm_RepeatButton, 0}, std::pair{DeckForm_ShuffleButton, repeatWidth}})
      for (int r = 0; r < 4; ++r) ToControl(DeckRole(rows[r]), id, shufrep, sx, r * C(id).Control_Height);
    for (auto [id, sx] : {std::pair{DeckForm_EQButton, 0}, std::pair{DeckForm_PLButton, 23}}) {
      ToControl(DeckRole(bpNOTActiveBitmap), id, shufrep, sx, 61);
      ToControl(DeckRole(bpActiveBitmap), id, shufrep, sx, 73);
      ToControl(DeckRole(bpPressed1Bitmap), id, shufrep, sx + 46, 61);
      ToControl(DeckRole(bpPressed2Bitmap), id, shufrep, sx + 46, 73);
    }

    // Volume: 28 pictures, the middle one twice, so 29 frames.
    const QImage volume = Picture("volume.bmp");
    if (volume.height() <= 422) skin_[DeckForm_VolumeButton].Control_Enabled = false;
    QImage& vol = Allocate(B::DeckVolumeBar);
    const auto& vt = C(DeckForm_VolumeImage);
    for (std::int32_t f = 0; f < vt.Control_NumberOfImages; ++f) {
      const std::int32_t k = f <= 13 ? f : f - 1;
      const TSkinPixelPoint at = SliderStripFramePosition(DeckForm_VolumeImage, f, skin_);
      CopySkinSprite(vol, at.X, at.Y, volume, 0, 15 * std::min(k, 27), vt.Control_Width, vt.Control_Height);
    }
    Knobs(vol, DeckForm_VolumeImage, DeckForm_VolumeButton, volume, {0, 422}, {15, 422});

    // Balance: 28 pictures at x 9, mirrored so both ends show the full colour.
    const QImage balance = PictureOneOf({"balance.bmp", "volume.bmp"});
    if (balance.height() <= 422) skin_[DeckForm_BalanceButton].Control_Enabled = false;
    QImage& bal = Allocate(B::DeckBalanceBar);
    const auto& bt = C(DeckForm_BalanceImage);
    for (std::int32_t f = 0; f < bt.Control_NumberOfImages; ++f) {
      const std::int32_t k = f < 28 ? 27 - f : f - 28;
      const TSkinPixelPoint at = SliderStripFramePosition(DeckForm_BalanceImage, f, skin_);
      CopySkinSprite(bal, at.X, at.Y, balance, 9, 15 * std::min(k, 27), bt.Control_Width, bt.Control_Height);
    }
    Knobs(bal, DeckForm_BalanceImage, DeckForm_BalanceButton, balance, {0, 422}, {15, 422});

    // Position: the knob is as wide as what follows the 248-pixel track, up to 29 pixels.
    const QImage posbar = Picture("posbar.bmp");
    auto& knob = skin_[DeckForm_PosBarButton];
    if (posbar.width() > 248 && posbar.width() < 277) {
      knob.Control_Width = posbar.width() - 248;
      knob.Control_Enabled = true;
    }
    const std::int32_t kw = knob.Control_Width;
    QImage& pos = Allocate(B::DeckPositionBar);
    const auto& pt = C(DeckForm_PosBarImage);
    const TSkinPixelPoint track = SliderStripFramePosition(DeckForm_PosBarImage, 0, skin_);
    CopySkinSprite(pos, track.X, track.Y, posbar, 0, 0, 248, pt.Control_Height);
    const bool twoKnobImages = posbar.width() >= 248 + 2 * kw + 1;
    const TSkinPixelPoint pressed = SliderStripKnobPosition(DeckForm_PosBarImage, 0, skin_);
    const TSkinPixelPoint normal = SliderStripKnobPosition(DeckForm_PosBarImage, 1, skin_);
    if (twoKnobImages) CopySkinSprite(pos, pressed.X, pressed.Y, posbar, 248 + kw + 1, 0, kw, knob.Control_Height);
    CopySkinSprite(pos, normal.X, normal.Y, posbar, 248, 0, kw, knob.Control_Height);

    // Pitch has no Winamp picture.
    skin_[DeckForm_PitchImage].Control_Enabled = false;
    skin_[DeckForm_PitchButton].Control_Enabled = false;
  }

  void Knobs(QImage& strip, KELDARSkinControls_IDs track, KELDARSkinControls_IDs knob, const QImage& src,
             TSkinPixelPoint pressedAt, TSkinPixelPoint normalAt) {
    const auto& k = C(knob);
    const TSkinPixelPoint p = SliderStripKnobPosition(track, 0, skin_);
    const TSkinPixelPoint n = SliderStripKnobPosition(track, 1, skin_);
    CopySkinSprite(strip, p.X, p.Y, src, pressedAt.X, pressedAt.Y, k.Control_Width, k.Control_Height);
    CopySkinSprite(strip, n.X, n.Y, src, normalAt.X, normalAt.Y, k.Control_Width, k.Control_Height);
  }

  void LampsFontsDeckText() {
    const QImage monoster = Picture("monoster.bmp");
    const auto& stereo = C(DeckForm_StereoButton);
    ToControl(DeckRole(bpActiveBitmap), DeckForm_StereoButton, monoster, 0, 0);
    ToControl(DeckRole(bpNOTActiveBitmap), DeckForm_StereoButton, monoster, 0, stereo.Control_Height);
    if (monoster.width() >= stereo.Control_Width) {
      const auto& mono = C(DeckForm_MonoButton);
      ToControl(DeckRole(bpActiveBitmap), DeckForm_MonoButton, monoster, stereo.Control_Width, 0);
      ToControl(DeckRole(bpNOTActiveBitmap), DeckForm_MonoButton, monoster, stereo.Control_Width, mono.Control_Height);
    }

    Sheet(B::DeckPlayerState) = Picture("playpaus.bmp");

    // Small font: Winamp's 5 x 6 glyphs in our character layout.
    const QImage text = Picture("text.bmp");
    const std::int32_t cw = C(DeckForm_FontSmall).Control_Width, ch = C(DeckForm_FontSmall).Control_Height;
    QImage& font = Allocate(B::DeckFontSmall, KELDARSkinSmallFontColumns * cw, KELDARSkinSmallFontRows * ch);
    for (int code = 32; code <= 126; ++code) {
      std::int32_t column = 0, row = 0;
      if (!KELDARSkinSmallFontCell(static_cast<unsigned char>(code), column, row)) continue;
      const TSkinPixelPoint g = WinampGlyph(code);
      CopySkinSprite(font, column * cw, row * ch, text, g.X, g.Y, cw, ch);
    }

    // Numbers: ten digits, blank, minus, colon.
    const QImage numbers = PictureOneOf({"nums_ex.bmp", "numbers.bmp"});
    const std::int32_t nw = C(DeckForm_NumbersFont).Control_Width, nh = C(DeckForm_NumbersFont).Control_Height;
    QImage& digits = Allocate(B::DeckNumbers, 17 * nw, nh);
    for (int d = 0; d < 10; ++d) CopySkinSprite(digits, d * nw, 0, numbers, 9 * d, 0, nw, nh);
    CopySkinSprite(digits, 10 * nw, 0, numbers, 90, 0, nw, nh);
    if (numbers.width() >= 100) {
      CopySkinSprite(digits, 11 * nw, 0, numbers, 99, 0, nw, nh);
    } else {
      CopySkinSprite(digits, 11 * nw, 0, numbers, 90, 0, nw, nh);
      CopySkinSprite(digits, 11 * nw + 2, 6, numbers, 20, 6, 5, 1);
    }
    CopySkinSprite(digits, 13 * nw, 0, Sheet(B::DeckNotActive), 69, 26, nw, nh);

    std::string pledit;
    if (Text("pledit.txt", pledit))
      deckText_ = WinampTextWithLines(pledit, {"FontHeight=8", "FontStyle=None", "BitmapFontEnabled=1"});
  }

  static TSkinPixelPoint WinampGlyph(int code) {
    if (code >= 'a' && code <= 'z') code -= 32;
    if (code >= 'A' && code <= 'Z') return {5 * (code - 'A'), 0};
    if (code >= '0' && code <= '9') return {5 * (code - '0'), 6};
    switch (code) {
      case '"': return {130, 0};
      case '@': return {135, 0};
      case '(': return {65, 6};
      case ')': return {70, 6};
      case '-': return {75, 6};
      case '\'': return {80, 6};
      case '!': return {85, 6};
      case '_': return {90, 6};
      case '+': return {95, 6};
      case '\\': return {100, 6};
      case '/': return {105, 6};
      case '[': return {110, 6};
      case ']': return {115, 6};
      case '^': return {120, 6};
      case '&': return {125, 6};
      case '%': return {130, 6};
      case ',': return {135, 6};
      case '=': return {140, 6};
      case '$': return {145, 6};
      case '#': return {150, 6};
      case ':': return {60, 6};
      case '.': return {55, 6};
      case '?': return {15, 12};
      case '*': return {20, 12};
      default: return {150, 0};
    }
  }

  void Equalizer() {
    const QImage eq = Picture("eqmain.bmp");
    const auto& main = C(EqualizerForm_EQMainImage);
    for (B b : {B::EqualizerNotActive, B::EqualizerPressed1, B::EqualizerPressed2, B::EqualizerActive}) {
      Allocate(b, main.Control_Width, main.Control_Height);
      CopySkinSprite(Sheet(b), 0, 0, eq, 0, 0, main.Control_Width, main.Control_Height);
    }
    ToControl(EqRole(bpActiveBitmap), EqualizerForm_EQTitleBarImage, eq, 0, 134);
    ToControl(EqRole(bpNOTActiveBitmap), EqualizerForm_EQTitleBarImage, eq, 0, 149);
    ToControl(EqRole(bpActiveBitmap), EqualizerForm_EQCloseWindowButton, eq, 0, 116);
    const std::int32_t onWidth = C(EqualizerForm_EQOnButton).Control_Width;
    const std::int32_t group = onWidth + C(EqualizerForm_EQAutoButton).Control_Width + 1;
    const std::array<BitmapPurposeStates, 4> roles{bpNOTActiveBitmap, bpActiveBitmap, bpPressed1Bitmap,
                                                   bpPressed2Bitmap};
    for (int g = 0; g < 4; ++g) {
      ToControl(EqRole(roles[g]), EqualizerForm_EQOnButton, eq, 10 + g * group, 119);
      ToControl(EqRole(roles[g]), EqualizerForm_EQAutoButton, eq, 10 + g * group + onWidth, 119);
    }
    ToControl(EqRole(bpNOTActiveBitmap), EqualizerForm_EQPresetsButton, eq, 224, 164);
    ToControl(EqRole(bpActiveBitmap), EqualizerForm_EQPresetsButton, eq, 224, 176);
    AllFour(B::EqualizerNotActive, EqualizerForm_EQGraphicsEffectsCanvas, eq, 0, 294);

    // Band sliders: 28 pictures in two rows of 14, the middle one twice.
    QImage& bands = Allocate(B::EqualizerBandBar);
    const auto& track = C(EqualizerForm_EQPreAmpImage);
    for (std::int32_t f = 0; f < track.Control_NumberOfImages; ++f) {
      const std::int32_t k = std::min(f <= 13 ? f : f - 1, 27);
      const TSkinPixelPoint at = SliderStripFramePosition(EqualizerForm_EQPreAmpImage, f, skin_);
      CopySkinSprite(bands, at.X, at.Y, eq, 13 + 15 * (k % 14), k < 14 ? 164 : 229, track.Control_Width,
                     track.Control_Height);
    }
    Knobs(bands, EqualizerForm_EQPreAmpImage, EqualizerForm_EQPreAmpButton, eq, {0, 164}, {0, 176});

    // Spectrum pictures from the colour list.
    std::string vis;
    Text("viscolor.txt", vis);
    const TWinampVisColours colours = ParseWinampVisColours(vis);
    QImage& fft = Allocate(B::EqualizerFFTVisuals);
    const std::int32_t W = fft.width(), H = fft.height();
    const auto dots = [&](QImage& img, std::int32_t x0, std::int32_t y0, std::int32_t w, std::int32_t h) {
      for (std::int32_t y = std::max(0, y0); y < std::min(y0 + h, img.height()); ++y)
        for (std::int32_t x = std::max(0, x0); x < std::min(x0 + w, img.width()); ++x) {
          const bool dot = (x - x0) % 2 == 0 && (y - y0) % 2 == 1;
          img.setPixel(x, y, SkinColourToRgb(dot ? colours[2] : colours[1]));
        }
    };
    if (!fft.isNull()) {
      dots(fft, 0, 0, W - 6, H - 3);
      for (std::int32_t r = 0; r < 16 && r < H; ++r) fft.setPixel(W - 5, r, SkinColourToRgb(colours[3 + r]));
      const auto& area = C(EqualizerForm_EQFFT10VisualEffects);
      for (std::int32_t i = 0; i < area.Control_NumberOfImages && i < 16; ++i) {
        const std::int32_t y = 15 - i;
        if (y >= H) continue;
        for (std::int32_t x = std::max(0, area.Control_Width * i); x <= W - 7; ++x)
          fft.setPixel(x, y, SkinColourToRgb(colours[3 + y]));
      }
      static constexpr std::array<int, 8> kPairs{23, 22, 21, 20, 19, 21, 22, 23};
      for (std::int32_t r = 0; r < 16 && r < H; ++r) fft.setPixel(W - 3, r, SkinColourToRgb(colours[kPairs[r / 2]]));
      CopySkinSprite(fft, 0, C(EqualizerForm_EQFFT10VisualEffects).Control_Height + 1, eq, 0, 314,
                     C(EqualizerForm_EQDiagramPreAmpLine).Control_Width, C(EqualizerForm_EQDiagramPreAmpLine).Control_Height);
    }
    const auto canvasId = C(EqualizerForm_EQFFT10VisualEffects).Control_ParentControl;
    if (canvasId == DeckForm_GraphicsEffectsCanvas) {
      const auto& canvas = C(canvasId);
      for (B b : {B::DeckPressed1, B::DeckPressed2})
        dots(Sheet(b), canvas.Control_Left, canvas.Control_Top, canvas.Control_Width, canvas.Control_Height);
    }
  }

  void Playlist() {
    const QImage pl = Picture("pledit.bmp");
    const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, skin_);
    QImage& sheet = Allocate(B::PlaylistBackground, std::max(302, l.Size.Width), std::max(186, l.Size.Height));
    TitleParts(sheet, l, PlayListEditorForm_PLMainImage, pl, 0, 21);
    const auto& vl = C(PlayListEditorForm_PLVerticalLeftImage);
    const auto& vr = C(PlayListEditorForm_PLVerticalRightImage);
    CopySkinSprite(sheet, l.VerticalLeftX, l.RowC, pl, 0, 42, vl.Control_Width, vl.Control_Height);
    CopySkinSprite(sheet, l.VerticalRightX, l.RowC, pl, 31, 42, vr.Control_Width, vr.Control_Height);
    const auto& knob = C(PlayListEditorForm_PLScrollButton);
    CopySkinSprite(sheet, l.ScrollKnobX, l.RowC, pl, 61, 53, knob.Control_Width, knob.Control_Height);
    CopySkinSprite(sheet, l.ScrollKnobX + knob.Control_Width + 1, l.RowC, pl, 52, 53, knob.Control_Width,
                   knob.Control_Height);
    Bottom(sheet, l, PlayListEditorForm_PLMainImage, pl, {0, 72}, {179, 0}, {126, 72});
    WindowButton(sheet, l, 0, PlayListEditorForm_PLCloseWindowButton, pl, {167, 3}, {52, 42});
    WindowButton(sheet, l, 2, PlayListEditorForm_PLListScrollUpButton, pl, {261, 74}, {261, 74});
    WindowButton(sheet, l, 3, PlayListEditorForm_PLListScrollDownButton, pl, {261, 79}, {261, 79});

    static constexpr std::array<std::int32_t, 5> s{0, 54, 104, 154, 204};
    static constexpr std::array<std::int32_t, 5> e{48, 100, 150, 200, 250};
    for (int k = 0; k < 5; ++k) {
      const auto menu = static_cast<KELDARSkinControls_IDs>(PlayListEditorForm_PLMenu1Buttons + k);
      const auto& m = C(menu);
      const std::int32_t sx = k == 4 ? 229 : 11 + 29 * k;
      CopySkinSprite(sheet, l.MenuX[k], l.RowE, pl, sx, 80, 25, 18);
      CopySkinSprite(sheet, l.MenuX[k] + m.Control_Width + 1, l.RowE, pl, sx, 80, 25, 18);
      const std::array<std::int32_t, 3> rows{l.RowF, l.RowG, l.RowH};
      for (int r = 0; r < 3; ++r) {
        const auto& p = C(PlaylistPanelButton(r, k + 1));
        const std::int32_t edgeY = 111 + 18 * r + (k == 1 ? 18 : 0);
        for (int pressed = 0; pressed < 2; ++pressed) {
          const std::int32_t x = l.PanelX[r][k] + pressed * (p.Control_Width + 1);
          CopySkinSprite(sheet, x, rows[r], pl, e[k], edgeY, 3, 18);
          CopySkinSprite(sheet, x + 3, rows[r], pl, s[k] + 23 * pressed, 111 + 19 * r, 22, 18);
        }
      }
    }
    std::string pledit;
    if (Text("pledit.txt", pledit)) {
      playlistText_ = WinampTextWithLines(pledit, {"FontHeight=9", "FontStyle=None", "ItemHeight=12", "BitmapEnabled=0"});
      libraryText_ = WinampLibraryText(pledit);
    }
  }

  // The four title parts, active row at y 0 and inactive row at inactiveY, one pixel apart.
  void TitleParts(QImage& sheet, const TResizableSheetLayout& l, KELDARSkinControls_IDs background,
                  const QImage& src, std::int32_t activeY, std::int32_t inactiveY) {
    const int b = background;
    const auto& tl = C(static_cast<KELDARSkinControls_IDs>(b + 1));
    const auto& tr = C(static_cast<KELDARSkinControls_IDs>(b + 2));
    const auto& th = C(static_cast<KELDARSkinControls_IDs>(b + 3));
    const auto& tm = C(static_cast<KELDARSkinControls_IDs>(b + 4));
    const std::array<std::pair<const StringIdentStructure*, std::int32_t>, 4> parts{
        {{&tl, l.TitleLeftX}, {&tm, l.TitleMainX}, {&th, l.TitleHorizontalX}, {&tr, l.TitleRightX}}};
    std::int32_t sx = 0;
    for (const auto& [part, dx] : parts) {
      CopySkinSprite(sheet, dx, l.RowA, src, sx, inactiveY, part->Control_Width, part->Control_Height);
      CopySkinSprite(sheet, dx, l.RowB, src, sx, activeY, part->Control_Width, part->Control_Height);
      sx += part->Control_Width + 1;
    }
  }

  void Bottom(QImage& sheet, const TResizableSheetLayout& l, KELDARSkinControls_IDs background, const QImage& src,
              TSkinPixelPoint left, TSkinPixelPoint filler, TSkinPixelPoint right) {
    const int b = background;
    const auto& bl = C(static_cast<KELDARSkinControls_IDs>(b + 7));
    const auto& br = C(static_cast<KELDARSkinControls_IDs>(b + 8));
    const auto& bx = C(static_cast<KELDARSkinControls_IDs>(b + 9));
    CopySkinSprite(sheet, l.BottomLeftX, l.RowD, src, left.X, left.Y, bl.Control_Width, bl.Control_Height);
    CopySkinSprite(sheet, l.BottomExtraX, l.RowD, src, filler.X, filler.Y, bx.Control_Width, bx.Control_Height);
    CopySkinSprite(sheet, l.BottomRightX, l.RowD, src, right.X, right.Y, br.Control_Width, br.Control_Height);
  }

  void WindowButton(QImage& sheet, const TResizableSheetLayout& l, int slot, KELDARSkinControls_IDs id,
                    const QImage& src, TSkinPixelPoint normal, TSkinPixelPoint pressed) {
    const auto& c = C(id);
    CopySkinSprite(sheet, l.WindowButtonX[slot], l.RowA, src, normal.X, normal.Y, c.Control_Width, c.Control_Height);
    CopySkinSprite(sheet, l.WindowButtonX[slot], l.RowA + c.Control_Height + 1, src, pressed.X, pressed.Y,
                   c.Control_Width, c.Control_Height);
  }

  // Visuals and library sheets from "mb.bmp".
  void Resizable(B bitmap, KELDARSkinControls_IDs background) {
    const QImage mb = Picture("mb.bmp");
    const TResizableSheetLayout l = ResizableSheetLayout(background, skin_);
    const int b = background;
    const auto part = [&](int offset) -> const StringIdentStructure& {
      return C(static_cast<KELDARSkinControls_IDs>(b + offset));
    };
    std::int32_t w = l.Size.Width, h = l.Size.Height;
    if (background == CDDatabaseForm_DBMainImage) {
      w = std::max(w, 302);
      h = std::max(h, 186);
    } else {
      w = std::max({w, part(1).Control_Width + part(2).Control_Width + part(3).Control_Width + part(4).Control_Width + 4,
                    part(7).Control_Width + part(8).Control_Width + part(9).Control_Width + 3});
      h = std::max(h, 2 * part(1).Control_Height + part(5).Control_Height + part(7).Control_Height + 4);
    }
    QImage& sheet = Allocate(bitmap, w, h);
    TitleParts(sheet, l, background, mb, 0, part(1).Control_Height + 1);
    const auto& vl = part(5);
    const auto& vr = part(6);
    CopySkinSprite(sheet, l.VerticalLeftX, l.RowC, mb, 127, 42, vl.Control_Width, vl.Control_Height);
    CopySkinSprite(sheet, l.VerticalRightX, l.RowC, mb, 127 + vl.Control_Width + 1, 42, vr.Control_Width,
                   vr.Control_Height);
    Bottom(sheet, l, background, mb, {0, 42}, {127, 81}, {0, 81});
    WindowButton(sheet, l, 0, static_cast<KELDARSkinControls_IDs>(b + 10), mb, {167, 3}, {148, 42});
  }

  void LibraryTextFullScreenRegionsReadme() {
    for (B b : {B::FullScreenNotActive, B::FullScreenActive, B::FullScreenPositionBar}) {
      const QByteArray bytes = BuiltInKELDARSkinFile(KELDARSkinBitmapFileName(b));
      Sheet(b).loadFromData(bytes, "BMP");
    }
    std::string region;
    if (Text("Region.txt", region)) regionsText_ = WinampRegionsText(region);
    std::string readme;
    if (Text("Readme.txt", readme)) readmeText_ = readme;
    hasRegions_ = !regionsText_.empty();
  }

  void Save() {
    WriteKELDARSkinDefinitionFile(target_ + KELDARSkinDefinitionFileName, skin_);
    for (int i = 0; i < KELDARSkinBitmapCount; ++i) {
      const QImage& img = bitmaps_[static_cast<std::size_t>(i)];
      if (img.isNull()) continue;
      const std::string path = target_ + KELDARSkinBitmapFileName(static_cast<B>(i));
      if (!img.save(QString::fromStdString(path), "BMP")) throw std::runtime_error("cannot write " + path);
    }
    // Text files that cannot be written leave the loader's defaults in place.
    const auto write = [&](const char* name, const std::string& text) {
      if (text.empty()) return;
      QFile f(QString::fromStdString(target_ + name));
      if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(text.data(), static_cast<qint64>(text.size()));
    };
    write("Deck_Text.ini", deckText_);
    write("Playlist_Text.ini", playlistText_);
    write("DB_Text.ini", libraryText_);
    if (hasRegions_) write("Regions_Text.ini", regionsText_);
    write("readme.txt", readmeText_);
  }

  std::string source_, target_, fallback_;
  mutable std::map<std::string, QImage> pictures_;
  MultimediaSkinStructure skin_;
  TSkinControlsLists lists_;
  std::array<QImage, KELDARSkinBitmapCount> bitmaps_;
  std::string deckText_, playlistText_, libraryText_, regionsText_, readmeText_;
  bool hasRegions_ = false;
};

}  // namespace

std::string WinampDefaultSkinFolder() {
  std::string folder = KELDARSkinsFolder() + "winampdefault";
  return folder;
}

void ConvertWinampSkinToKELDARSkin(const std::string& source, const std::string& target) {
  TWinampConversion(source, target).Run();
}
