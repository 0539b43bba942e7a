// The start-up picture: a borderless 328 x 95 window centred on the screen.
#pragma once

#include <QWidget>

class TSplashScreenForm : public QWidget {
  Q_OBJECT
 public:
  TSplashScreenForm();

 protected:
  void paintEvent(QPaintEvent* event) override;
};
