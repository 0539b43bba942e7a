#include "skin/SkinUnitTemplate.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <utility>
#include <vector>

#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/SkinButtonPanels.h"
#include "skin/SkinHitTest.h"
#include "skin/SkinMaskSliders.h"
#include "skin/SkinPaintPass.h"
#include "skin/SkinResizableFrame.h"
#include "skin/SkinRuntimeState.h"
#include "skin/SkinSliders.h"

namespace {

std::vector<TSkinUnitTemplateForm*>& Forms() {
  static std::vector<TSkinUnitTemplateForm*> forms;
  return forms;
}

bool SkinReady() { return LoadedKELDARSkin().Ready; }

void RunAction(KELDARSkinControls_IDs id) {
  if (!IsKELDARSkinControlOrdinal(id)) return;
  // A copy: the action may rebind controls (or load another skin).
  const KELDARSkin_ControlClickProcedureType action = MultimediaSkin()[id].Control_LeftClickProcedure;
  if (action) action();
}

bool UsesMaskPath(KELDARSkinControls_IDs id) { return LoadedKELDARSkin().UsesMasks && IsMaskSlider(id); }

// Set value: the knob moves (in mask mode: to the mask's pixel for the value).
void SetTrackValue(KELDARSkinControls_IDs track, int value) { SetLoadedSkinSliderValue(track, value); }

TSkinUnitTemplateForm* FormOf(TKELDARSkinnedWindow window) {
  for (TSkinUnitTemplateForm* f : Forms())
    if (f->SkinnedWindow() == window) return f;
  return nullptr;
}

// The artist line's own text while a readout covers it.
std::string& SavedArtistText() {
  static std::string text;
  return text;
}
bool& ReadoutShown() {
  static bool shown = false;
  return shown;
}

void RestoreArtistText() {
  if (!ReadoutShown()) return;
  ReadoutShown() = false;
  SetSkinControlProcessedText(DeckForm_SongArtistWindow, SavedArtistText());
  if (TSkinUnitTemplateForm* deck = FormOf(TKELDARSkinnedWindow::Deck)) deck->update();
}

}  // namespace

// ---- panel surface ----

TSkinButtonPanelPaintBox::TSkinButtonPanelPaintBox(QWidget* parent) : QWidget(parent) {
  setObjectName("PanelForButtonsPaintBox");
}

void TSkinButtonPanelPaintBox::paintEvent(QPaintEvent*) {
  if (!SkinReady()) return;
  const TSkinRuntimeState& state = SkinRuntimeState();
  QPainter painter(this);
  PaintSkinButtonPanel(painter, state.CurrentPanel, state.CurrentPanelButtons);
}

void TSkinButtonPanelPaintBox::mousePressEvent(QMouseEvent* event) {
  if (!SkinReady() || event->button() != Qt::LeftButton) return;
  const TSkinRuntimeState& state = SkinRuntimeState();
  const QPoint at = event->position().toPoint();
  const KELDARSkinControls_IDs hit = SkinButtonPanelHitTest(state.CurrentPanel, state.CurrentPanelButtons, at.x(), at.y());
  if (hit == state.CurrentPanel) return;  // empty panel space
  m_pressed = hit;
  SetSkinControlMouseState(hit, meMouseDown);
  update();
}

void TSkinButtonPanelPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  if (!SkinReady() || event->button() != Qt::LeftButton || m_pressed == Form_NullControl) return;
  const TSkinRuntimeState& state = SkinRuntimeState();
  const QPoint at = event->position().toPoint();
  const KELDARSkinControls_IDs pressed = m_pressed;
  m_pressed = Form_NullControl;
  SetSkinControlMouseState(pressed, meMouseUp);
  update();
  if (SkinButtonPanelHitTest(state.CurrentPanel, state.CurrentPanelButtons, at.x(), at.y()) == pressed) {
    SkinRuntimeState().LastClicked = pressed;
    RunAction(pressed);
  }
}

// ---- the window ----

TSkinUnitTemplateForm::TSkinUnitTemplateForm(TKELDARSkinnedWindow window, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_window(window) {
  Forms().push_back(this);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  Form_Magnet.SnapOptions = soMagnet;
  Form_Magnet.Range = 20;
  Form_Magnet.ResizeXStep = Form_Magnet.ResizeYStep = 1;
  Form_Magnet.ResizeMinWidth = 300;
  Form_Magnet.ResizeMinHeight = 130;
  Form_Magnet.ResizeEnabled = true;
  Form_Magnet.MainForm = window == TKELDARSkinnedWindow::Deck;
  Form_Magnet.Bounds = [this] { return geometry(); };
  Form_Magnet.MoveTo = [this](const QPoint& p) { move(p); };
  Form_Magnet.WorkArea = [this] {
    if (QGuiApplication::screens().size() != 1 || !screen()) return QRect();
    return screen()->availableGeometry();
  };
  if (IsResizableWindow()) {
    m_content = new QWidget(this);
    m_content->setObjectName("SkinContentArea");
    m_content->setAutoFillBackground(true);
  }
  PanelForButtons = new QWidget(this);
  PanelForButtons->setObjectName("PanelForButtons");
  PanelForButtons->hide();
  PanelForButtonsPaintBox = new TSkinButtonPanelPaintBox(PanelForButtons);
}

TSkinUnitTemplateForm::~TSkinUnitTemplateForm() {
  auto& forms = Forms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

const std::vector<TSkinUnitTemplateForm*>& TSkinUnitTemplateForm::SkinnedForms() { return Forms(); }

bool TSkinUnitTemplateForm::IsResizableWindow() const { return IsKELDARSkinResizableWindow(m_window); }

void TSkinUnitTemplateForm::ConfigureSkin(const TKELDARSkinWindowSetup& setup) {
  Form_Controls = SkinControlsLists().Window(static_cast<TSkinWindowOfControl>(m_window));
  Form_MainImageControl = setup.Background;
  Form_TitleBarImageControl = setup.TitleBar;
  m_resizableBySkin = setup.Resizable;
  Form_Magnet.ResizeEnabled = setup.Resizable && !m_shaped;
  Form_Magnet.ResizeMinWidth = setup.ClientWidth;
  Form_Magnet.ResizeMinHeight = setup.ClientHeight;
  Form_Magnet.ResizeXStep = std::max(1, setup.ResizeStepX);
  Form_Magnet.ResizeYStep = std::max(1, setup.ResizeStepY);
  const QSize size(std::max(1, setup.ClientWidth), std::max(1, setup.ClientHeight));
  setMinimumSize(size);
  if (!IsResizableWindow() || !setup.Resizable) setMaximumSize(size);
  else setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(size);
  PlaceContentArea();
  update();
}

void TSkinUnitTemplateForm::SetSkinShape(const TKELDARSkinPolygons* polygons) {
  clearMask();
  m_shaped = false;
  Form_Magnet.ResizeEnabled = m_resizableBySkin;
  if (IsResizableWindow() && m_resizableBySkin) setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (!polygons || polygons->Counts.empty()) return;
  m_shaped = true;
  Form_Magnet.ResizeEnabled = false;
  const QSize minimum(Form_Magnet.ResizeMinWidth, Form_Magnet.ResizeMinHeight);
  setMaximumSize(minimum);
  resize(minimum);
  QRegion region;
  std::size_t next = 0;
  for (std::int32_t count : polygons->Counts) {
    QPolygon polygon;
    for (std::int32_t i = 0; i < count && next + 1 < polygons->Coordinates.size(); ++i, next += 2)
      polygon << QPoint(polygons->Coordinates[next], polygons->Coordinates[next + 1]);
    region = region.united(QRegion(polygon, Qt::WindingFill));
  }
  setMask(region);
}

void TSkinUnitTemplateForm::SetStayOnTopState(int state) {
  Form_StayOnTopState = state == 1 ? 1 : 0;
  ApplyStayOnTop();
}

void TSkinUnitTemplateForm::ApplyStayOnTop() {
  const bool wanted = Form_StayOnTopState == 1;
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == wanted) return;
  const bool visible = isVisible();
  const QPoint at = pos();
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  setWindowFlag(Qt::WindowStaysOnTopHint, wanted);
  move(at);
  if (visible) show();
  setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void TSkinUnitTemplateForm::PlaceContentArea() {
  if (!m_content) return;
  const MultimediaSkinStructure& skin = MultimediaSkin();
  const int b = KELDARSkinWindowBackground(m_window);
  const auto piece = [&](int o) -> const StringIdentStructure& { return skin[static_cast<KELDARSkinControls_IDs>(b + o)]; };
  const int left = piece(5).Control_Width, top = piece(1).Control_Height;
  m_content->setGeometry(left, top, std::max(0, width() - left - piece(6).Control_Width),
                         std::max(0, height() - top - piece(7).Control_Height));
  StoreKELDARSkinResizableFramePositions(static_cast<KELDARSkinControls_IDs>(b), width(), height());
  ContentAreaChanged();
}

QImage TSkinUnitTemplateForm::RenderSkin() {
  if (m_backBuffer.size() != size()) m_backBuffer = QImage(size(), QImage::Format_RGB32);
  m_backBuffer.fill(Qt::black);
  if (SkinReady()) {
    QPainter painter(&m_backBuffer);
    PaintKELDARSkinWindow(painter, m_window, Form_Controls, width(), height());
  }
  return m_backBuffer;
}

QRegion TSkinUnitTemplateForm::TakeChangedControls() {
  const MultimediaSkinStructure& skin = MultimediaSkin();
  m_paintKeys.resize(static_cast<std::size_t>(Form_NullControl) + 1);
  QRegion changed;
  for (int i = 1; i <= Form_NullControl; ++i) {
    if (!Form_Controls.test(static_cast<std::size_t>(i))) continue;
    TSkinControlPaintKey& key = m_paintKeys[static_cast<std::size_t>(i)];
    const QRect before(key.Left, key.Top, key.Width, key.Height);
    if (!TakeSkinControlPaintKey(static_cast<KELDARSkinControls_IDs>(i), key, skin)) continue;
    const QRect after(key.Left, key.Top, key.Width, key.Height);
    if (before != after) changed += before;  // a control that moved leaves its old place too
    changed += after;
  }
  return changed;
}

void TSkinUnitTemplateForm::RepaintChanged() {
  if (!SkinReady() || IsResizableWindow() || m_paintKeys.empty()) {
    update();  // nothing painted to compare with yet: the whole paint takes the keys
    return;
  }
  if (!isVisible()) return;  // showing paints the whole window
  // Compared by what the controls are drawn from, not by drawing them: a resting deck ticks
  // more than twice a second, and a render of it cost more than the rest of the tick.
  const QRegion changed = TakeChangedControls().intersected(rect());
  if (!changed.isEmpty()) update(changed);
}

void TSkinUnitTemplateForm::RenderSkinRegion(QPainter& painter, const QRegion& region) {
  // Rectangle by rectangle: a plain clip rectangle keeps every copy on the fast path.
  for (const QRect& r : region) {
    painter.setClipRect(r);
    painter.fillRect(r, Qt::black);
    PaintKELDARSkinWindowPart(painter, m_window, Form_Controls, width(), height(), QRegion(r));
  }
}

void TSkinUnitTemplateForm::paintEvent(QPaintEvent* event) {
  if (!SkinReady()) return;
  QPainter painter(this);
  // The ticks damage a few small rectangles; only those are drawn again, straight into the
  // window's own buffer: a second painter and a copy per tick cost more than the drawing.
  if (event->region().boundingRect() != rect()) {
    RenderSkinRegion(painter, event->region());
    return;
  }
  if (event->region() == QRegion(rect())) TakeChangedControls();  // all of it is drawn now
  RenderSkin();
  for (const QRect& r : event->region()) painter.drawImage(r.topLeft(), m_backBuffer, r);
}

KELDARSkinControls_IDs TSkinUnitTemplateForm::HitTest(const QPoint& at) const {
  const TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
  const auto probe = [&loaded](KELDARSkinControls_IDs id, int x, int y) {
    return KELDARSkinMaskGreyLevel(KELDARSkinSliderMask(id, loaded), x, y) >= 0;
  };
  return SkinHitTest(Form_Controls, Form_MainImageControl, at.x(), at.y(), MultimediaSkin(), loaded.UsesMasks, probe);
}

bool TSkinUnitTemplateForm::InResizeCorner(const QPoint& at) const {
  return IsResizableWindow() && Form_Magnet.ResizeEnabled && at.x() > width() - 16 && at.y() > height() - 16;
}

void TSkinUnitTemplateForm::TakeSliderValue(KELDARSkinControls_IDs track) {
  const int value = UsesMaskPath(track) ? MaskSliderValueFromPoint(track, KELDARSkinSliderMask(track))
                                        : SkinSliderValueFromPoint(track);
  SetTrackValue(track, value);
}

void TSkinUnitTemplateForm::ShowSliderReadout(KELDARSkinControls_IDs track) {
  const std::string readout = SkinSliderReadout(track);
  if (readout.empty() && track == FullScreenForm_FSPosBarImage) return;
  if (!ReadoutShown()) {
    SavedArtistText() = GetSkinControlProcessedText(DeckForm_SongArtistWindow);
    ReadoutShown() = true;
  }
  SetSkinControlProcessedText(DeckForm_SongArtistWindow, readout);
  if (TSkinUnitTemplateForm* deck = FormOf(TKELDARSkinnedWindow::Deck); deck && deck != this) deck->update();
}

void TSkinUnitTemplateForm::mousePressEvent(QMouseEvent* event) {
  if (!SkinReady() || event->button() != Qt::LeftButton) return;
  LeftPress(event->position().toPoint(), event->globalPosition().toPoint());
}

void TSkinUnitTemplateForm::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!SkinReady() || event->button() != Qt::LeftButton) return;
  // The second press of a double click: the release that follows centres a slider.
  Form_DoubleClicked = true;
  LeftPress(event->position().toPoint(), event->globalPosition().toPoint());
}

void TSkinUnitTemplateForm::LeftPress(const QPoint& at, const QPoint& global) {
  TSkinRuntimeState& state = SkinRuntimeState();
  Form_SaveMouseStartX = at.x();
  Form_SaveMouseStartY = at.y();
  const KELDARSkinControls_IDs captured = HitTest(at);
  state.Captured = captured;
  HideAllButtonPanels();
  if (captured == Form_MainImageControl) {
    m_drag = InResizeCorner(at) ? TDrag::Resize : TDrag::Move;
    m_dragStartGlobal = global;
    m_dragStartPos = pos();
    m_dragStartSize = size();
    if (m_drag == TDrag::Move) Form_Magnet.BeginDrag();
    return;
  }
  SetSkinControlMouseState(captured, meMouseDown);
  StoreSkinControlMousePosition(captured, at.x(), at.y());
  if (IsSkinSliderTrack(captured)) {
    state.SliderDragFlag = false;
    TakeSliderValue(captured);
    if (IsSkinPositionTrack(captured)) state.PositionDragFlag = true;
    ShowSliderReadout(captured);
  }
  update();
}

void TSkinUnitTemplateForm::mouseMoveEvent(QMouseEvent* event) {
  if (!SkinReady()) return;
  const QPoint at = event->position().toPoint();
  if (m_drag != TDrag::None && (event->buttons() & Qt::LeftButton)) {
    const QPoint delta = event->globalPosition().toPoint() - m_dragStartGlobal;
    if (m_drag == TDrag::Move) {
      const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
      Form_Magnet.DragTo(Form_Magnet.SnapMove(QRect(m_dragStartPos + delta, size()), ctrl));
    } else {
      resize(Form_Magnet.SnapSize(size(), m_dragStartSize + QSize(delta.x(), delta.y())));
    }
    return;
  }
  const KELDARSkinControls_IDs hit = HitTest(at);
  setCursor(InResizeCorner(at) ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
  const KELDARSkinControls_IDs captured = SkinRuntimeState().Captured;
  if ((event->buttons() & Qt::LeftButton) && captured != Form_NullControl && hit == captured) {
    StoreSkinControlMousePosition(captured, at.x(), at.y());
    if (IsSkinSliderTrack(captured)) {
      TakeSliderValue(captured);
      ShowSliderReadout(captured);
      if (!IsSkinPositionTrack(captured)) RunAction(captured);
    }
    update();
  }
  const QString hint = QString::fromStdString(GetSkinControlText(hit));
  if (toolTip() != hint) {
    setToolTip(hint);
    emit SkinHintChanged(hint);
  }
}

void TSkinUnitTemplateForm::mouseReleaseEvent(QMouseEvent* event) {
  if (!SkinReady() || event->button() != Qt::LeftButton) return;
  TSkinRuntimeState& state = SkinRuntimeState();
  const KELDARSkinControls_IDs captured = state.Captured;
  const bool dragged = m_drag != TDrag::None;
  m_drag = TDrag::None;
  if (captured == Form_NullControl) return;
  const QPoint at = event->position().toPoint();
  const bool over = HitTest(at) == captured;
  SetSkinControlMouseState(captured, meMouseUp);
  if (over) StoreSkinControlMousePosition(captured, at.x(), at.y());
  else SetSkinControlMouseState(captured, meMouseUp);  // flips a toggle back: released outside
  const bool track = IsSkinSliderTrack(captured);
  if (track) TakeSliderValue(captured);
  state.Captured = Form_NullControl;
  if (over) {
    state.LastClicked = captured;
    RunAction(captured);
  } else if (track) {
    RunAction(captured);
    if (IsSkinPositionTrack(captured)) state.PositionDragFlag = false;
  }
  if (Form_DoubleClicked) {
    SetTrackValue(captured, 50);
    if (track) RunAction(captured);
    Form_DoubleClicked = false;
  }
  if (track) RestoreArtistText();
  update();
  state.SliderDragFlag = true;
  if (dragged) TMagnet::RebuildClusters();
}

void TSkinUnitTemplateForm::SetSliderValueByDrag(KELDARSkinControls_IDs track, int value) {
  if (!SkinReady() || !IsSkinSliderTrack(track)) return;
  // As a press on the track would: the position tracks raise the position-drag flag,
  // which their action clears.
  TSkinRuntimeState& state = SkinRuntimeState();
  state.SliderDragFlag = false;
  if (IsSkinPositionTrack(track)) state.PositionDragFlag = true;
  SetTrackValue(track, value);
  update();
  state.SliderDragFlag = true;
  RunAction(track);
}

void TSkinUnitTemplateForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  const bool active = isActiveWindow();
  if (IsKELDARSkinControlOrdinal(Form_TitleBarImageControl) && Form_TitleBarImageControl != Form_NullControl)
    MultimediaSkin()[Form_TitleBarImageControl].Control_NEWMouseState = active ? meMouseClicked : meMouseNOTClicked;
  if (!active) HideAllButtonPanels();
  ApplyStayOnTop();
  update();
}

void TSkinUnitTemplateForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ApplyStayOnTop();
  Form_Magnet.Active = true;
  TMagnet::RebuildClusters();
}

void TSkinUnitTemplateForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Form_Magnet.Active = false;
  TMagnet::RebuildClusters();
}

void TSkinUnitTemplateForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceContentArea();
}

void TSkinUnitTemplateForm::PreparePanel(KELDARSkinControls_IDs panel, KELDARSkinControls_IDs menuButton) {
  TSkinRuntimeState& state = SkinRuntimeState();
  if (menuButton == Form_NullControl) menuButton = state.LastClicked;
  PanelForButtons->hide();
  const TSkinControlRect r = SkinButtonPanelRect(panel, menuButton);
  PanelForButtons->setGeometry(r.Left, r.Top, std::max(0, r.Width), std::max(0, r.Height));
  PanelForButtonsPaintBox->setGeometry(0, 0, std::max(0, r.Width), std::max(0, r.Height));
  state.CurrentPanel = panel;
  const int index = panel - PlayListEditorForm_PLPanel1;
  state.CurrentPanelButtons = index >= 0 && index < 5 ? SkinControlsLists().PanelButtons[index] : Form_ControlsList();
}

void TSkinUnitTemplateForm::ShowButtonPanel(KELDARSkinControls_IDs panel, KELDARSkinControls_IDs menuButton) {
  PreparePanel(panel, menuButton);
  PanelForButtons->show();
  PanelForButtons->raise();
}

void TSkinUnitTemplateForm::HideAllButtonPanels() {
  for (TSkinUnitTemplateForm* form : Forms())
    if (form->PanelForButtons) form->PanelForButtons->hide();
}
