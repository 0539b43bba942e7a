#include "app/QtMessagePresenter.h"

#include <QMessageBox>

#include "util/ShowMessage.h"

namespace {

QMessageBox::StandardButton ToButton(TMessageAnswer answer) {
  switch (answer) {
    case TMessageAnswer::Cancel: return QMessageBox::Cancel;
    case TMessageAnswer::Yes: return QMessageBox::Yes;
    case TMessageAnswer::No: return QMessageBox::No;
    case TMessageAnswer::OK: break;
  }
  return QMessageBox::Ok;
}

TMessageAnswer FromButton(int button) {
  switch (button) {
    case QMessageBox::Cancel: return TMessageAnswer::Cancel;
    case QMessageBox::Yes: return TMessageAnswer::Yes;
    case QMessageBox::No: return TMessageAnswer::No;
    default: return TMessageAnswer::OK;
  }
}

TMessageAnswer Present(const TMessage& m) {
  QMessageBox box;
  box.setWindowTitle(QString::fromStdString(m.Title));
  // The program's texts break lines with a lone carriage return.
  QString text = QString::fromStdString(m.Text);
  text.replace("\r\n", "\n").replace('\r', '\n');
  box.setText(text);
  switch (m.Icon) {
    case TMessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case TMessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case TMessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case TMessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case TMessageIcon::None: break;
  }
  switch (m.Buttons) {
    case TMessageButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
    case TMessageButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case TMessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case TMessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  box.setDefaultButton(ToButton(m.DefaultAnswer));
  return FromButton(box.exec());
}

}  // namespace

void InstallQtMessagePresenter() { SetMessagePresenter(Present); }
