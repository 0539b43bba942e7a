// TSkinUnitTemplateForm: the base of every skinned window. A frameless window painted
// entirely from the loaded skin into a back buffer; every mouse action goes through the
// control table (hit test, press/move/release, sliders, window move and resize with the
// snapping component), and the playlist's pop-up button panels live on its panel surface.
// Painting and input do nothing while the skin is not ready. UI thread only.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <vector>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinWindows.h"
#include "skin/MagnetUnit.h"
#include "skin/SkinPaintPass.h"

class QPainter;

class TSkinUnitTemplateForm;

// The surface of the pop-up button panels (PanelForButtonsPaintBox).
class TSkinButtonPanelPaintBox : public QWidget {
  Q_OBJECT
 public:
  explicit TSkinButtonPanelPaintBox(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  KELDARSkinControls_IDs m_pressed = Form_NullControl;
};

class TSkinUnitTemplateForm : public QWidget {
  Q_OBJECT
 public:
  explicit TSkinUnitTemplateForm(TKELDARSkinnedWindow window, QWidget* parent = nullptr);
  ~TSkinUnitTemplateForm() override;

  TKELDARSkinnedWindow SkinnedWindow() const { return m_window; }
  bool IsResizableWindow() const;

  TMagnet Form_Magnet;
  bool Form_DoubleClicked = false;
  int Form_SaveMouseStartX = 0;
  int Form_SaveMouseStartY = 0;
  int Form_StayOnTopState = 0;
  Form_ControlsList Form_Controls;
  KELDARSkinControls_IDs Form_MainImageControl = Form_NullControl;
  KELDARSkinControls_IDs Form_TitleBarImageControl = Form_NullControl;
  QWidget* PanelForButtons = nullptr;
  TSkinButtonPanelPaintBox* PanelForButtonsPaintBox = nullptr;

  // What the skin loader sets for this window: size, minimum, steps, ids and content area.
  void ConfigureSkin(const TKELDARSkinWindowSetup& setup);
  // The area inside the frame of a resizable window where the derived window puts its list,
  // grid or drawing panel (null for fixed windows). Follows every size change.
  QWidget* ContentArea() const { return m_content; }
  // A polygon shape (or none): a shaped window keeps its minimum size and is not resizable.
  void SetSkinShape(const TKELDARSkinPolygons* polygons);

  // 0 = normal, 1 = always on top; applied without moving, sizing or activating.
  void SetStayOnTopState(int state);

  // The pop-up panel of a menu button (the last clicked one by default); the caller shows it.
  void PreparePanel(KELDARSkinControls_IDs panel, KELDARSkinControls_IDs menuButton = Form_NullControl);
  void ShowButtonPanel(KELDARSkinControls_IDs panel, KELDARSkinControls_IDs menuButton = Form_NullControl);
  // Hides the panel surfaces of every skinned window.
  static void HideAllButtonPanels();

  // The paint pass into an image of the client size (what the back buffer holds).
  QImage RenderSkin();
  // The paint pass again inside `region` only, with `painter` (the window's own).
  void RenderSkinRegion(QPainter& painter, const QRegion& region);
  // For ticks that rewrite displays whether or not their values changed: repaints only the
  // controls whose picture has changed since the last look (nothing when nothing changed).
  // Resizable windows repaint whole.
  void RepaintChanged();

  // Moves a slider as a user's drag does, then runs its action.
  void SetSliderValueByDrag(KELDARSkinControls_IDs track, int value);

  // Every skinned window alive, in creation order.
  static const std::vector<TSkinUnitTemplateForm*>& SkinnedForms();

 signals:
  void SkinHintChanged(const QString& hint);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Called after the content area has been placed (derived windows lay out their content).
  virtual void ContentAreaChanged() {}
  // Puts the content area inside the skin's border images again.
  void PlaceContentArea();

 private:
  enum class TDrag { None, Move, Resize };
  void LeftPress(const QPoint& at, const QPoint& global);
  void ApplyStayOnTop();
  bool InResizeCorner(const QPoint& at) const;
  KELDARSkinControls_IDs HitTest(const QPoint& at) const;
  void TakeSliderValue(KELDARSkinControls_IDs track);
  void ShowSliderReadout(KELDARSkinControls_IDs track);

  TKELDARSkinnedWindow m_window;
  QWidget* m_content = nullptr;
  // Collects the rectangles of the controls whose paint key moved since the last look.
  QRegion TakeChangedControls();

  QImage m_backBuffer;  // the last whole render
  // Per control: what it was drawn from when RepaintChanged or a whole paint last looked.
  std::vector<TSkinControlPaintKey> m_paintKeys;
  TDrag m_drag = TDrag::None;
  QPoint m_dragStartGlobal, m_dragStartPos;
  QSize m_dragStartSize;
  bool m_shaped = false;
  bool m_resizableBySkin = false;
};
