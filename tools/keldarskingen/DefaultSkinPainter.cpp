#include "DefaultSkinPainter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "skin/KELDARSkinControlAccessors.h"
#include "skin/SkinControlStates.h"

namespace {

// The palette agrees with the skin's text colours: list blue, selection blue, text blue and
// the pale current-entry colour, which doubles as the display panels' face.
const QColor kSky(0x4A, 0xA5, 0xFF);
const QColor kBlue(0x29, 0x92, 0xE7);
const QColor kInk(0x00, 0x00, 0xFF);
const QColor kPale(0xCD, 0xEC, 0xFE);
const QColor kDeep(0x0B, 0x3A, 0x75);
const QColor kNight(0x06, 0x1E, 0x40);
const QColor kShade(0x1C, 0x6F, 0xC0);
const QColor kWhite(0xFF, 0xFF, 0xFF);

enum class Look { Unlit, Pressed, PressedOn, Lit };


QFont PixelFont(int pixels, bool bold = false, bool mono = false) {
  QFont f(mono ? "DejaVu Sans Mono" : "DejaVu Sans");
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

QRect RectOf(const MultimediaSkinStructure& skin, KELDARSkinControls_IDs id) {
  const auto r = SkinControlWindowRect(id, skin);
  return QRect(r.Left, r.Top, r.Width, r.Height);
}

// A bevelled face: light edge top/left, dark edge bottom/right, swapped when sunk.
void Bevel(QPainter& p, const QRect& r, const QColor& top, const QColor& bottom, bool sunk) {
  if (r.width() <= 0 || r.height() <= 0) return;
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, sunk ? bottom : top);
  g.setColorAt(1, sunk ? top : bottom);
  p.fillRect(r, g);
  p.setPen(sunk ? kDeep : kPale);
  p.drawLine(r.left(), r.top(), r.right(), r.top());
  p.drawLine(r.left(), r.top(), r.left(), r.bottom());
  p.setPen(sunk ? kPale : kDeep);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

// A display panel: pale face sunk into the frame.
void Panel(QPainter& p, const QRect& r) {
  p.fillRect(r.adjusted(-1, -1, 1, 1), kDeep);
  p.fillRect(r, kPale);
}

void Label(QPainter& p, const QRect& r, const QString& text, const QColor& colour, int pixels, bool bold = true) {
  p.setFont(PixelFont(pixels, bold));
  p.setPen(colour);
  p.drawText(r, Qt::AlignCenter, text);
}

// Push buttons: raised when unlit, sunk in every other sheet (the active sheet is the
// pressed image of a push button).
void PushButton(QPainter& p, const QRect& r, Look look) {
  const bool sunk = look != Look::Unlit;
  Bevel(p, r, sunk ? kBlue : kSky.lighter(115), sunk ? kShade.darker(115) : kBlue, sunk);
}

enum class Icon { Previous, Play, Pause, Stop, Next, Eject, Record, Menu, Minimize, Close, Up, Down };

void DrawIcon(QPainter& p, const QRect& box, Icon icon, const QColor& colour) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  const double cx = box.left() + box.width() / 2.0, cy = box.top() + box.height() / 2.0;
  const double s = std::min(box.width(), box.height()) * 0.5;
  const auto tri = [&](double x0, double dir, double h) {
    QPainterPath path;
    path.moveTo(x0, cy - h);
    path.lineTo(x0 + dir * h * 1.2, cy);
    path.lineTo(x0, cy + h);
    path.closeSubpath();
    p.drawPath(path);
  };
  switch (icon) {
    case Icon::Play: tri(cx - s * 0.45, 1, s * 0.75); break;
    case Icon::Pause:
      p.drawRect(QRectF(cx - s * 0.55, cy - s * 0.7, s * 0.38, s * 1.4));
      p.drawRect(QRectF(cx + s * 0.17, cy - s * 0.7, s * 0.38, s * 1.4));
      break;
    case Icon::Stop: p.drawRect(QRectF(cx - s * 0.6, cy - s * 0.6, s * 1.2, s * 1.2)); break;
    case Icon::Previous:
      p.drawRect(QRectF(cx - s * 0.95, cy - s * 0.6, s * 0.25, s * 1.2));
      tri(cx + s * 0.25, -1, s * 0.6);
      tri(cx + s * 0.95, -1, s * 0.6);
      break;
    case Icon::Next:
      tri(cx - s * 0.95, 1, s * 0.6);
      tri(cx - s * 0.25, 1, s * 0.6);
      p.drawRect(QRectF(cx + s * 0.7, cy - s * 0.6, s * 0.25, s * 1.2));
      break;
    case Icon::Eject: {
      QPainterPath path;
      path.moveTo(cx, cy - s * 0.75);
      path.lineTo(cx + s * 0.75, cy + s * 0.1);
      path.lineTo(cx - s * 0.75, cy + s * 0.1);
      path.closeSubpath();
      p.drawPath(path);
      p.drawRect(QRectF(cx - s * 0.75, cy + s * 0.35, s * 1.5, s * 0.3));
      break;
    }
    case Icon::Record: p.setBrush(QColor(0xE0, 0x30, 0x30)); p.drawEllipse(QPointF(cx, cy), s * 0.6, s * 0.6); break;
    case Icon::Menu:
      p.setRenderHint(QPainter::Antialiasing, false);
      for (int i = 0; i < 3; ++i) p.drawRect(box.left() + 2, box.top() + 2 + 2 * i, box.width() - 4, 1);
      break;
    case Icon::Minimize:
      p.setRenderHint(QPainter::Antialiasing, false);
      p.drawRect(box.left() + 2, box.bottom() - 2, box.width() - 4, 1);
      break;
    case Icon::Close: {
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(colour);
      p.drawLine(box.left() + 2, box.top() + 2, box.right() - 2, box.bottom() - 2);
      p.drawLine(box.left() + 2, box.bottom() - 2, box.right() - 2, box.top() + 2);
      break;
    }
    case Icon::Up:
    case Icon::Down: {
      QPainterPath path;
      const double d = icon == Icon::Up ? -1 : 1;
      path.moveTo(cx - s * 0.7, cy - d * s * 0.35);
      path.lineTo(cx + s * 0.7, cy - d * s * 0.35);
      path.lineTo(cx, cy + d * s * 0.45);
      path.closeSubpath();
      p.drawPath(path);
      break;
    }
  }
  p.restore();
}

void IconButton(QPainter& p, const QRect& r, Look look, Icon icon) {
  PushButton(p, r, look);
  const QRect inner = look == Look::Unlit ? r : r.translated(1, 1);
  DrawIcon(p, inner.adjusted(2, 2, -2, -2), icon, look == Look::Unlit ? kNight : kWhite);
}

void WindowButton(QPainter& p, const QRect& r, bool pressed, Icon icon) {
  p.fillRect(r, pressed ? kDeep : kPale);
  p.setPen(kDeep);
  p.drawRect(r.adjusted(0, 0, -1, -1));
  DrawIcon(p, r, icon, pressed ? kPale : kDeep);
}

// Toggles: the four looks are unlit, pressed (off), pressed-on and lit; a lamp in the face
// shows the on state.
void ToggleButton(QPainter& p, const QRect& r, Look look, const QString& text) {
  const bool sunk = look == Look::Pressed || look == Look::PressedOn;
  const bool on = look == Look::PressedOn || look == Look::Lit;
  Bevel(p, r, sunk ? kBlue : kSky.lighter(112), sunk ? kShade.darker(120) : kBlue, sunk);
  const QRect lamp(r.left() + 3 + (sunk ? 1 : 0), r.top() + r.height() / 2 - 2 + (sunk ? 1 : 0), 4, 4);
  p.fillRect(lamp.adjusted(-1, -1, 1, 1), kDeep);
  p.fillRect(lamp, on ? kPale : kShade.darker(140));
  if (on) {
    QColor glow = kPale;
    glow.setAlpha(110);
    p.fillRect(lamp.adjusted(-2, -2, 2, 2).adjusted(1, 1, -1, -1), glow);
    p.fillRect(lamp, kWhite);
  }
  const int pixels = r.width() < 32 ? 7 : std::min(9, r.height() - 5);
  Label(p, r.adjusted(8 + (sunk ? 1 : 0), sunk ? 1 : 0, 0, 0), text, on ? kWhite : kNight, pixels);
}

// Lamps on the display panel: dim blue text when unlit, full blue when lit.
void LampText(QPainter& p, const QRect& r, bool lit, const QString& text) {
  p.fillRect(r, kPale);
  QColor c = lit ? kInk : kSky;
  if (!lit) c.setAlpha(150);
  Label(p, r.adjusted(-2, -1, 2, 1), text, c, std::min(9, r.height() - 1), true);
}

// The title bars' gradient with a light top edge and a dark bottom edge.
void TitleBackground(QPainter& p, const QRect& r, bool active) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, active ? kSky.lighter(110) : kBlue);
  g.setColorAt(1, active ? kBlue : kShade);
  p.fillRect(r, g);
  p.setPen(active ? kPale : kSky);
  p.drawLine(r.left(), r.top(), r.right(), r.top());
  p.setPen(kDeep);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

void TitleBar(QPainter& p, const QRect& r, bool active, const QString& caption) {
  TitleBackground(p, r, active);
  // Ridges either side of the caption.
  const int mid = r.top() + r.height() / 2;
  p.setPen(active ? kPale : kSky);
  for (int dy = -2; dy <= 2; dy += 2) {
    p.drawLine(r.left() + 16, mid + dy, r.left() + r.width() / 2 - 70, mid + dy);
    p.drawLine(r.left() + r.width() / 2 + 70, mid + dy, r.right() - 40, mid + dy);
  }
  Label(p, QRect(r.left() + r.width() / 2 - 68, r.top(), 136, r.height()), caption, active ? kWhite : kPale,
        std::max(7, r.height() - 6));
}

void WindowFace(QPainter& p, const QRect& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kSky);
  g.setColorAt(1, kBlue);
  p.fillRect(r, g);
  p.setPen(kPale);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(kDeep);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

void Groove(QPainter& p, const QRect& r, bool vertical) {
  const QRect g = vertical ? QRect(r.center().x() - 2, r.top(), 5, r.height())
                           : QRect(r.left(), r.center().y() - 2, r.width(), 5);
  p.fillRect(g, kDeep);
  p.fillRect(g.adjusted(1, 1, -1, -1), kShade.darker(130));
}

QImage Canvas(TSkinPixelSize s, const QColor& fill) {
  QImage img(std::max(1, s.Width), std::max(1, s.Height), QImage::Format_RGB32);
  img.fill(fill);
  return img;
}

Look LookOfSheet(TKELDARSkinBitmap b) {
  switch (b) {
    case TKELDARSkinBitmap::DeckPressed1:
    case TKELDARSkinBitmap::EqualizerPressed1: return Look::Pressed;
    case TKELDARSkinBitmap::DeckPressed2:
    case TKELDARSkinBitmap::EqualizerPressed2: return Look::PressedOn;
    case TKELDARSkinBitmap::DeckActive:
    case TKELDARSkinBitmap::EqualizerActive:
    case TKELDARSkinBitmap::FullScreenActive: return Look::Lit;
    default: return Look::Unlit;
  }
}

QImage DeckSheet(const MultimediaSkinStructure& skin, Look look) {
  const QRect all = RectOf(skin, DeckForm_MainImage);
  QImage img = Canvas({all.width(), all.height()}, kBlue);
  QPainter p(&img);
  WindowFace(p, all);
  TitleBar(p, RectOf(skin, DeckForm_TitleBarImage), look == Look::Lit, "ZORVANE AUDIO PLAYER");
  const bool lit = look == Look::Lit;
  const bool pressedWindowButton = look != Look::Unlit;
  WindowButton(p, RectOf(skin, DeckForm_MainMenuButton), pressedWindowButton, Icon::Menu);
  WindowButton(p, RectOf(skin, DeckForm_MinimizeWindowButton), pressedWindowButton, Icon::Minimize);
  WindowButton(p, RectOf(skin, DeckForm_CloseWindowButton), pressedWindowButton, Icon::Close);

  // The display panel holds the time, rate and text displays and the lamps.
  QRect panel = RectOf(skin, DeckForm_SongCurrectPlayingTimeWindow);
  for (auto id : {DeckForm_SongTotalTimeWindow, DeckForm_KbpsTextWindow, DeckForm_KHzTextWindow,
                  DeckForm_PlayerStatusWindow, DeckForm_SongArtistWindow, DeckForm_SongTitleWindow,
                  DeckForm_MonoButton, DeckForm_StereoButton, DeckForm_TransmissionImage,
                  DeckForm_PlayPauseStateImage})
    panel = panel.united(RectOf(skin, id));
  panel.adjust(-3, -2, 3, 2);
  Panel(p, panel);
  const QRect lamps = RectOf(skin, DeckForm_MP3Button).united(RectOf(skin, DeckForm_URLButton));
  Panel(p, lamps.adjusted(-1, 0, 1, 0));

  const struct { KELDARSkinControls_IDs Id; Icon Glyph; } transport[] = {
      {DeckForm_BackwardButton, Icon::Previous}, {DeckForm_PlayButton, Icon::Play},
      {DeckForm_PauseButton, Icon::Pause},       {DeckForm_StopButton, Icon::Stop},
      {DeckForm_ForwardButton, Icon::Next},      {DeckForm_EjectButton, Icon::Eject},
      {DeckForm_RecordButton, Icon::Record}};
  for (const auto& t : transport) IconButton(p, RectOf(skin, t.Id), look, t.Glyph);

  const struct { KELDARSkinControls_IDs Id; const char* Text; } toggles[] = {
      {DeckForm_RepeatButton, "REP"}, {DeckForm_ShuffleButton, "SHF"}, {DeckForm_EQButton, "EQ"},
      {DeckForm_PLButton, "LIST"},    {DeckForm_VisExButton, "VIS"},   {DeckForm_DBButton, "LIB"}};
  for (const auto& t : toggles) ToggleButton(p, RectOf(skin, t.Id), look, t.Text);

  const struct { KELDARSkinControls_IDs Id; const char* Text; } lampTexts[] = {
      {DeckForm_MonoButton, "MONO"}, {DeckForm_StereoButton, "STEREO"}, {DeckForm_MP3Button, "MP3"},
      {DeckForm_MODButton, "MOD"},   {DeckForm_CDButton, "CD"},         {DeckForm_VIDEOButton, "VIDEO"},
      {DeckForm_URLButton, "URL"}};
  for (const auto& t : lampTexts) LampText(p, RectOf(skin, t.Id), lit, t.Text);
  p.fillRect(RectOf(skin, DeckForm_TransmissionImage), lit ? kInk : kSky);

  for (auto id : {DeckForm_VolumeImage, DeckForm_BalanceImage, DeckForm_PitchImage, DeckForm_PosBarImage})
    Groove(p, RectOf(skin, id), skin[id].Control_Direction);
  return img;
}

QImage EqualizerSheet(const MultimediaSkinStructure& skin, Look look) {
  const QRect all = RectOf(skin, EqualizerForm_EQMainImage);
  QImage img = Canvas({all.width(), all.height()}, kBlue);
  QPainter p(&img);
  WindowFace(p, all);
  TitleBar(p, RectOf(skin, EqualizerForm_EQTitleBarImage), look == Look::Lit, "EQUALIZER");
  const bool pressedWindowButton = look != Look::Unlit;
  WindowButton(p, RectOf(skin, EqualizerForm_EQMainMenuButton), pressedWindowButton, Icon::Menu);
  WindowButton(p, RectOf(skin, EqualizerForm_EQCloseWindowButton), pressedWindowButton, Icon::Close);
  ToggleButton(p, RectOf(skin, EqualizerForm_EQOnButton), look, "ON");
  ToggleButton(p, RectOf(skin, EqualizerForm_EQAutoButton), look, "AUTO");
  const QRect presets = RectOf(skin, EqualizerForm_EQPresetsButton);
  PushButton(p, presets, look);
  Label(p, look == Look::Unlit ? presets : presets.translated(1, 1), "PRESETS", look == Look::Unlit ? kNight : kWhite, 8);

  // The effects canvas is a dark screen in every sheet: visual effects draw over it.
  const QRect fx = RectOf(skin, EqualizerForm_EQGraphicsEffectsCanvas);
  p.fillRect(fx.adjusted(-1, -1, 1, 1), kDeep);
  p.fillRect(fx, kNight);
  p.setPen(QColor(0x10, 0x36, 0x66));
  for (int y = fx.top() + 4; y < fx.bottom(); y += 8) p.drawLine(fx.left(), y, fx.right(), y);

  const char* names[] = {"TMP", "RATE", "PRE", "31", "62", "125", "250", "500", "1K", "2K", "4K", "8K", "16K"};
  for (int i = 0; i < 13; ++i) {
    const auto track = static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQTempoImage + 2 * i);
    const QRect r = RectOf(skin, track);
    Groove(p, r, true);
    Label(p, QRect(r.center().x() - 10, r.top() - 9, 21, 9), names[i], kNight, 7);
  }
  for (auto id : {EqualizerForm_EQLeftVolLevelCanvas, EqualizerForm_EQRightVolLevelCanvas}) {
    const QRect r = RectOf(skin, id);
    p.fillRect(r.adjusted(-1, -1, 1, 1), kDeep);
    p.fillRect(r, kNight);
  }
  const QRect l = RectOf(skin, EqualizerForm_EQLeftVolLevelCanvas), rr = RectOf(skin, EqualizerForm_EQRightVolLevelCanvas);
  Label(p, QRect(l.left(), l.top() - 9, l.width(), 9), "L", kNight, 7);
  Label(p, QRect(rr.left(), rr.top() - 9, rr.width(), 9), "R", kNight, 7);
  return img;
}

QImage FullScreenSheet(const MultimediaSkinStructure& skin, Look look) {
  const QRect all = RectOf(skin, FullScreenForm_FSMainImage);
  QImage img = Canvas({all.width(), all.height()}, kBlue);
  QPainter p(&img);
  WindowFace(p, all);
  const QRect title = RectOf(skin, FullScreenForm_FSTitleBarImage);
  TitleBar(p, title, look == Look::Lit, "");
  Groove(p, RectOf(skin, FullScreenForm_FSPosBarImage), false);
  const struct { KELDARSkinControls_IDs Id; Icon Glyph; } transport[] = {
      {FullScreenForm_FSBackwardButton, Icon::Previous}, {FullScreenForm_FSPlayButton, Icon::Play},
      {FullScreenForm_FSPauseButton, Icon::Pause},       {FullScreenForm_FSStopButton, Icon::Stop},
      {FullScreenForm_FSForwardButton, Icon::Next}};
  for (const auto& t : transport) IconButton(p, RectOf(skin, t.Id), look, t.Glyph);
  return img;
}

// Track frames fill smoothly from the low end (bottom for vertical tracks, left for
// horizontal ones; the balance track fills outwards from its centre).
void TrackFrame(QPainter& p, const QRect& r, bool vertical, double fraction, bool fromCentre) {
  p.fillRect(r, kBlue);
  const QRect groove = vertical ? QRect(r.center().x() - 2, r.top(), 5, r.height())
                                : QRect(r.left(), r.center().y() - 2, r.width(), 5);
  p.fillRect(groove, kDeep);
  const QRect inner = groove.adjusted(1, 1, -1, -1);
  p.fillRect(inner, kShade.darker(130));
  QRect fill;
  if (vertical) {
    const int h = static_cast<int>(std::lround(fraction * inner.height()));
    fill = QRect(inner.left(), inner.bottom() - h + 1, inner.width(), h);
  } else if (fromCentre) {
    const int mid = inner.left() + inner.width() / 2;
    const int x = inner.left() + static_cast<int>(std::lround(fraction * (inner.width() - 1)));
    fill = QRect(std::min(mid, x), inner.top(), std::abs(x - mid) + 1, inner.height());
  } else {
    fill = QRect(inner.left(), inner.top(), static_cast<int>(std::lround(fraction * inner.width())), inner.height());
  }
  if (fill.width() > 0 && fill.height() > 0) {
    QLinearGradient g(inner.topLeft(), vertical ? inner.bottomLeft() : inner.topRight());
    g.setColorAt(0, vertical ? kPale : kSky);
    g.setColorAt(1, vertical ? kSky : kPale);
    p.fillRect(fill, g);
  }
}

void Knob(QPainter& p, const QRect& r, bool pressed) {
  Bevel(p, r, pressed ? kPale : kWhite, pressed ? kSky : kBlue.lighter(120), false);
  p.setPen(pressed ? kInk : kDeep);
  if (r.width() >= r.height()) p.drawLine(r.center().x(), r.top() + 1, r.center().x(), r.bottom() - 1);
  else p.drawLine(r.left() + 1, r.center().y(), r.right() - 1, r.center().y());
}

QImage SliderStrip(const MultimediaSkinStructure& skin, KELDARSkinControls_IDs track) {
  QImage img = Canvas(SliderStripSize(track, skin), kBlue);
  QPainter p(&img);
  const auto& t = skin[track];
  const int n = std::max(1, t.Control_NumberOfImages);
  for (int f = 0; f < n; ++f) {
    const auto at = SliderStripFramePosition(track, f, skin);
    TrackFrame(p, QRect(at.X, at.Y, t.Control_Width, t.Control_Height), t.Control_Direction,
               n > 1 ? double(f) / (n - 1) : 1.0, track == DeckForm_BalanceImage);
  }
  KELDARSkinControls_IDs knob = Form_NullControl;
  for (int i = 1; i < static_cast<int>(KELDARSkinControlsCount) - 1; ++i)
    if (skin[static_cast<KELDARSkinControls_IDs>(i)].Control_ParentControl == track &&
        static_cast<KELDARSkinControls_IDs>(i) != track)
      knob = static_cast<KELDARSkinControls_IDs>(i);
  for (int k = 0; k < 2; ++k) {
    const auto at = SliderStripKnobPosition(track, k, skin);
    Knob(p, QRect(at.X, at.Y, skin[knob].Control_Width, skin[knob].Control_Height), k == 0);
  }
  return img;
}

QImage PlayerState(const MultimediaSkinStructure& skin) {
  QImage img = Canvas(ExpectedKELDARSkinBitmapSize(TKELDARSkinBitmap::DeckPlayerState, skin), kPale);
  QPainter p(&img);
  const int w = skin[DeckForm_PlayPauseStateImage].Control_Width, h = skin[DeckForm_PlayPauseStateImage].Control_Height;
  const Icon glyphs[] = {Icon::Play, Icon::Pause, Icon::Stop};
  for (int f = 0; f < 3; ++f) DrawIcon(p, QRect(f * w, 0, w, h).adjusted(0, 1, 0, -1), glyphs[f], kInk);
  p.fillRect(QRect(3 * w + w / 2 - 1, h / 2 - 1, 2, 2), kSky);  // initial: a dot
  p.fillRect(QRect(4 * w, 0, skin[DeckForm_TransmissionImage].Control_Width, skin[DeckForm_TransmissionImage].Control_Height), kInk);
  return img;
}

// The glyph is drawn centred in its cell; the cell face doubles as the key colour.
void Glyph(QPainter& p, const QRect& cell, QChar c, const QFont& font) {
  p.setFont(font);
  p.setPen(kInk);
  p.drawText(cell, Qt::AlignHCenter | Qt::AlignVCenter, QString(c));
}

QImage SmallFont(const MultimediaSkinStructure& skin) {
  QImage img = Canvas(ExpectedKELDARSkinBitmapSize(TKELDARSkinBitmap::DeckFontSmall, skin), kPale);
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  const int w = skin[DeckForm_FontSmall].Control_Width, h = skin[DeckForm_FontSmall].Control_Height;
  const QFont font = PixelFont(std::max(6, h - 2), true, true);
  for (int code = 33; code <= 126; ++code) {
    std::int32_t col = 0, row = 0;
    KELDARSkinSmallFontCell(static_cast<unsigned char>(code), col, row);
    Glyph(p, QRect(col * w, row * h, w, h), QChar(code), font);
  }
  return img;
}

QImage Numbers(const MultimediaSkinStructure& skin) {
  QImage img = Canvas(ExpectedKELDARSkinBitmapSize(TKELDARSkinBitmap::DeckNumbers, skin), kPale);
  QPainter p(&img);
  const int w = skin[DeckForm_NumbersFont].Control_Width, h = skin[DeckForm_NumbersFont].Control_Height;
  const QFont font = PixelFont(h, true, true);
  const char glyphs[] = "0123456789 -+:/*";
  for (int i = 0; i < KELDARSkinNumbersGlyphs; ++i) Glyph(p, QRect(i * w, 0, w, h), QChar(glyphs[i]), font);
  return img;
}

QColor MeterColour(double level) {  // 0 = bottom, 1 = top
  if (level < 0.6) return kSky;
  if (level < 0.85) return kPale;
  return kWhite;
}

QImage LevelMeter(const MultimediaSkinStructure& skin) {
  QImage img = Canvas(ExpectedKELDARSkinBitmapSize(TKELDARSkinBitmap::EqualizerVolLevelVisuals, skin), kNight);
  QPainter p(&img);
  const auto& m = skin[EqualizerForm_EQLeftVolLevelCanvas];
  const int n = std::max(1, m.Control_NumberOfImages), w = m.Control_Width, h = m.Control_Height;
  const int segments = h / 3;
  for (int f = 0; f < n; ++f) {
    const int x0 = m.Control_Direction ? f * w : 0, y0 = m.Control_Direction ? 0 : f * h;
    const int lit = n > 1 ? static_cast<int>(std::lround(double(f) * segments / (n - 1))) : segments;
    for (int s = 0; s < segments; ++s) {
      const QRect seg(x0 + 2, y0 + h - 3 * (s + 1) + 1, w - 4, 2);
      p.fillRect(seg, s < lit ? MeterColour(double(s) / segments) : QColor(0x12, 0x3C, 0x70));
    }
  }
  return img;
}

QImage FFTVisuals(const MultimediaSkinStructure& skin) {
  const TSkinPixelSize size = FFTVisualsSize(skin);
  QImage img = Canvas(size, kNight);
  QPainter p(&img);
  const auto& bands = skin[EqualizerForm_EQFFT10VisualEffects];
  const int n = std::max(1, bands.Control_NumberOfImages), w = bands.Control_Width, h = bands.Control_Height;
  for (int f = 0; f < n; ++f) {
    const int bar = static_cast<int>(std::lround(double(f + 1) * h / n));
    QLinearGradient g(0, h, 0, 0);
    g.setColorAt(0, kInk.lighter(130));
    g.setColorAt(0.5, kSky);
    g.setColorAt(1, kPale);
    p.fillRect(QRect(f * w + 2, h - bar, w - 4, bar), g);
  }
  const auto& pre = skin[EqualizerForm_EQDiagramPreAmpLine];
  p.fillRect(QRect(0, h + 1, pre.Control_Width, std::max(1, pre.Control_Height)), kPale);
  // Two colour columns, top row = the top of a full bar.
  const int canvasH = skin[skin[EqualizerForm_EQFFT128VisualEffects].Control_ParentControl].Control_Height;
  for (int y = 0; y < canvasH; ++y) {
    const double up = canvasH > 1 ? 1.0 - double(y) / (canvasH - 1) : 1.0;
    QColor a = up > 0.75 ? kPale : up > 0.4 ? kSky : kBlue;
    QColor b = up > 0.75 ? kWhite : up > 0.4 ? kPale : kSky;
    img.setPixelColor(size.Width - 5, y, a);
    img.setPixelColor(size.Width - 3, y, b);
  }
  return img;
}

QImage ListBox(const MultimediaSkinStructure& skin) {
  const auto s = ExpectedKELDARSkinBitmapSize(TKELDARSkinBitmap::PlaylistListBoxImage, skin);
  QImage img = Canvas(s, kSky);
  QPainter p(&img);
  for (int y = 0; y < s.Height; y += 16) {
    p.fillRect(QRect(0, y + 8, s.Width, 8), kSky.darker(106));
  }
  return img;
}

void TitlePiece(QPainter& p, const QRect& r, bool active, const QString& caption) {
  TitleBackground(p, r, active);
  if (!caption.isEmpty()) Label(p, r, caption, active ? kWhite : kPale, std::max(7, r.height() - 9));
  else {
    const int mid = r.top() + r.height() / 2;
    p.setPen(active ? kPale : kSky);
    for (int dy = -2; dy <= 2; dy += 2) p.drawLine(r.left(), mid + dy, r.right(), mid + dy);
  }
}

QImage ResizableSheet(const MultimediaSkinStructure& skin, KELDARSkinControls_IDs background, const QString& caption) {
  const TResizableSheetLayout l = ResizableSheetLayout(background, skin);
  QImage img = Canvas(l.Size, kBlue);
  QPainter p(&img);
  const int b = background;
  const auto sz = [&](int offset) {
    const auto& c = skin[static_cast<KELDARSkinControls_IDs>(b + offset)];
    return QSize(c.Control_Width, c.Control_Height);
  };
  for (int row = 0; row < 2; ++row) {
    const int y = row == 0 ? l.RowA : l.RowB;
    const bool active = row == 1;
    TitlePiece(p, QRect(QPoint(l.TitleLeftX, y), sz(1)), active, "");
    TitlePiece(p, QRect(QPoint(l.TitleMainX, y), sz(4)), active, caption);
    TitlePiece(p, QRect(QPoint(l.TitleHorizontalX, y), sz(3)), active, "");
    TitlePiece(p, QRect(QPoint(l.TitleRightX, y), sz(2)), active, "");
  }
  const Icon icons[] = {Icon::Close, Icon::Menu, Icon::Up, Icon::Down};
  const KELDARSkinControls_IDs buttons[] = {static_cast<KELDARSkinControls_IDs>(b + 10),
                                            static_cast<KELDARSkinControls_IDs>(b + 11),
                                            PlayListEditorForm_PLListScrollUpButton,
                                            PlayListEditorForm_PLListScrollDownButton};
  for (int i = 0; i < l.WindowButtonCount; ++i) {
    const QSize s(skin[buttons[i]].Control_Width, skin[buttons[i]].Control_Height);
    WindowButton(p, QRect(QPoint(l.WindowButtonX[i], 0), s), false, icons[i]);
    WindowButton(p, QRect(QPoint(l.WindowButtonX[i], s.height() + 1), s), true, icons[i]);
  }
  // Side tiles: frame on the outside, a thin dark edge towards the content.
  const QRect vl(QPoint(l.VerticalLeftX, l.RowC), sz(5)), vr(QPoint(l.VerticalRightX, l.RowC), sz(6));
  WindowFace(p, vl);
  p.fillRect(QRect(vl.right() - 1, vl.top(), 2, vl.height()), kDeep);
  WindowFace(p, vr);
  p.fillRect(QRect(vr.left(), vr.top(), 2, vr.height()), kDeep);
  if (l.HasScrollKnob) {
    Groove(p, vr.adjusted(2, 0, 0, 0), true);
    const auto knob = background == PlayListEditorForm_PLMainImage ? PlayListEditorForm_PLScrollButton
                                                                   : CDDatabaseForm_DBScrollButton;
    const QSize ks(skin[knob].Control_Width, skin[knob].Control_Height);
    Knob(p, QRect(QPoint(l.ScrollKnobX, l.RowC), ks), true);
    Knob(p, QRect(QPoint(l.ScrollKnobX + ks.width() + 1, l.RowC), ks), false);
  }
  const QRect bl(QPoint(l.BottomLeftX, l.RowD), sz(7)), bx(QPoint(l.BottomExtraX, l.RowD), sz(9)),
      br(QPoint(l.BottomRightX, l.RowD), sz(8));
  for (const QRect& r : {bl, bx, br}) {
    WindowFace(p, r);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 2), kDeep);
  }
  // Counters sit in the bottom-right piece.
  const std::vector<KELDARSkinControls_IDs> texts =
      background == PlayListEditorForm_PLMainImage
          ? std::vector<KELDARSkinControls_IDs>{PlayListEditorForm_PLTextWindow1, PlayListEditorForm_PLTextWindow2}
          : std::vector<KELDARSkinControls_IDs>{background == VisualsScreenForm_VisExMainImage ? VisualsScreenForm_VisExTextWindow
                                                                                             : CDDatabaseForm_DBTextWindow};
  for (auto t : texts) {
    const auto& c = skin[t];
    Panel(p, QRect(br.left() + c.Control_Left, br.top() + c.Control_Top, c.Control_Width, c.Control_Height));
  }
  if (l.HasMenus) {
    const bool playlist = background == PlayListEditorForm_PLMainImage;
    const int firstMenu = playlist ? PlayListEditorForm_PLMenu1Buttons : CDDatabaseForm_DBMenu1Buttons;
    const char* menuNames[2][5] = {{"ADD", "REM", "SEL", "MISC", "LIST"}, {"ADD", "REM", "FIND", "MISC", "LIST"}};
    const auto pair = [&](int x, int y, const QSize& s, const QString& text) {
      PushButton(p, QRect(QPoint(x, y), s), Look::Unlit);
      Label(p, QRect(QPoint(x, y), s), text, kNight, 8);
      PushButton(p, QRect(QPoint(x + s.width() + 1, y), s), Look::Pressed);
      Label(p, QRect(QPoint(x + s.width() + 2, y + 1), s), text, kWhite, 8);
    };
    for (int k = 0; k < 5; ++k) {
      const auto& m = skin[static_cast<KELDARSkinControls_IDs>(firstMenu + k)];
      pair(l.MenuX[k], l.RowE, QSize(m.Control_Width, m.Control_Height), menuNames[playlist ? 0 : 1][k]);
    }
    if (l.HasPanels) {
      const char* panelNames[3][5] = {{"URL", "ALL", "INV", "SORT", "NEW"},
                                      {"DIR", "CROP", "NONE", "INFO", "SAVE"},
                                      {"FILE", "SEL", "ALL", "OPTS", "LOAD"}};
      const int rows[3] = {l.RowF, l.RowG, l.RowH};
      for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 5; ++k) {
          const auto& c = skin[PlaylistPanelButton(r, k + 1)];
          pair(l.PanelX[r][k], rows[r], QSize(c.Control_Width, c.Control_Height), panelNames[r][k]);
        }
    }
  }
  return img;
}

}  // namespace

QImage PaintDefaultSkinBitmap(TKELDARSkinBitmap bitmap, const MultimediaSkinStructure& skin) {
  QImage img;
  switch (bitmap) {
    case TKELDARSkinBitmap::DeckNotActive:
    case TKELDARSkinBitmap::DeckPressed1:
    case TKELDARSkinBitmap::DeckPressed2:
    case TKELDARSkinBitmap::DeckActive: img = DeckSheet(skin, LookOfSheet(bitmap)); break;
    case TKELDARSkinBitmap::DeckVolumeBar: img = SliderStrip(skin, DeckForm_VolumeImage); break;
    case TKELDARSkinBitmap::DeckBalanceBar: img = SliderStrip(skin, DeckForm_BalanceImage); break;
    case TKELDARSkinBitmap::DeckPitchBar: img = SliderStrip(skin, DeckForm_PitchImage); break;
    case TKELDARSkinBitmap::DeckPositionBar: img = SliderStrip(skin, DeckForm_PosBarImage); break;
    case TKELDARSkinBitmap::DeckVolumeBarMask:
    case TKELDARSkinBitmap::DeckPitchBarMask:
    case TKELDARSkinBitmap::DeckPositionBarMask: return {};
    case TKELDARSkinBitmap::DeckPlayerState: img = PlayerState(skin); break;
    case TKELDARSkinBitmap::DeckFontSmall: img = SmallFont(skin); break;
    case TKELDARSkinBitmap::DeckNumbers: img = Numbers(skin); break;
    case TKELDARSkinBitmap::EqualizerNotActive:
    case TKELDARSkinBitmap::EqualizerPressed1:
    case TKELDARSkinBitmap::EqualizerPressed2:
    case TKELDARSkinBitmap::EqualizerActive: img = EqualizerSheet(skin, LookOfSheet(bitmap)); break;
    case TKELDARSkinBitmap::EqualizerBandBar: img = SliderStrip(skin, EqualizerForm_EQPreAmpImage); break;
    case TKELDARSkinBitmap::EqualizerVolLevelVisuals: img = LevelMeter(skin); break;
    case TKELDARSkinBitmap::EqualizerFFTVisuals: img = FFTVisuals(skin); break;
    case TKELDARSkinBitmap::PlaylistListBoxImage: img = ListBox(skin); break;
    case TKELDARSkinBitmap::PlaylistBackground: img = ResizableSheet(skin, PlayListEditorForm_PLMainImage, "PLAYLIST"); break;
    case TKELDARSkinBitmap::VisualsScreenBackground:
      img = ResizableSheet(skin, VisualsScreenForm_VisExMainImage, "VISUALS");
      break;
    case TKELDARSkinBitmap::DBBackground: img = ResizableSheet(skin, CDDatabaseForm_DBMainImage, "LIBRARY"); break;
    case TKELDARSkinBitmap::FullScreenNotActive:
    case TKELDARSkinBitmap::FullScreenActive: img = FullScreenSheet(skin, LookOfSheet(bitmap)); break;
    case TKELDARSkinBitmap::FullScreenPositionBar: img = SliderStrip(skin, FullScreenForm_FSPosBarImage); break;
  }
  return img.convertToFormat(QImage::Format_RGB888);
}
