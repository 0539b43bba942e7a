#include "app/FullScreenControlsForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

TFullScreenControlsForm::TFullScreenControlsForm(QWidget* parent)
    : TSkinUnitTemplateForm(TKELDARSkinnedWindow::FullScreen, parent) {
  setObjectName("TFullScreenControlsForm");
  setWindowTitle("Full Screen Controls");
}

void TFullScreenControlsForm::showEvent(QShowEvent* event) {
  TSkinUnitTemplateForm::showEvent(event);
  const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!where) return;
  const QRect area = where->geometry();
  // Centred, its bottom 2 pixels above the screen's.
  move(area.left() + (area.width() - width()) / 2, area.bottom() + 1 - 2 - height());
}

void TFullScreenControlsForm::changeEvent(QEvent* event) {
  TSkinUnitTemplateForm::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) hide();
}
