#include "app/SplashScreen.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include "util/VersionInfo.h"

TSplashScreenForm::TSplashScreenForm() {
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setFixedSize(328, 95);
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
}

void TSplashScreenForm::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(0x1E, 0x5C, 0xA8));
  sky.setColorAt(1, QColor(0x4A, 0xA5, 0xFF));
  p.fillRect(rect(), sky);
  p.setPen(QColor(0xCD, 0xEC, 0xFE));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  QFont title = font();
  title.setPixelSize(24);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 14, width(), 34), Qt::AlignHCenter | Qt::AlignVCenter, KELDAR_PRODUCT_NAME);
  QFont small = font();
  small.setPixelSize(11);
  p.setFont(small);
  p.drawText(QRect(0, 52, width(), 16), Qt::AlignHCenter, QString("Version ") + KELDAR_PRODUCT_VERSION);
  p.drawText(QRect(0, 72, width(), 16), Qt::AlignHCenter, KELDAR_LEGAL_COPYRIGHT);
}
