#include "skin/KELDARSkinConversionProgress.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TKELDARSkinConversionProgress::TKELDARSkinConversionProgress(const std::string& title) : title_(title) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  dialog_ = std::make_unique<QDialog>();
  dialog_->setWindowTitle(QString::fromStdString(title));
  auto* layout = new QVBoxLayout(dialog_.get());
  label_ = new QLabel(dialog_.get());
  bar_ = new QProgressBar(dialog_.get());
  bar_->setRange(0, 10);
  bar_->setValue(0);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog_.get());
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addWidget(cancel);
  dialog_->show();
}

TKELDARSkinConversionProgress::~TKELDARSkinConversionProgress() = default;

void TKELDARSkinConversionProgress::Step(int step) {
  value_ = step;
  text_ = "Completed :" + std::to_string(10 * step) + "%";
  if (!dialog_) return;
  bar_->setValue(step);
  label_->setText(QString::fromStdString(text_));
  QCoreApplication::processEvents();
}
