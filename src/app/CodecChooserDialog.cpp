#include "app/CodecChooserDialog.h"

#include <kaudio.h>

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

int ChooseCodec(const KAUDIO_ACMFORMAT* formats, int count, int initial, const char* title, void*) {
  QDialog dialog;
  dialog.setObjectName("CodecChooserDialog");
  dialog.setWindowTitle(QString::fromUtf8(title && *title ? title : "Choose Codec"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel("Format:"));
  auto* list = new QComboBox;
  for (int i = 0; i < count; ++i)
    list->addItem(QString("%1 (%2 Hz, %3 ch)").arg(QString::fromUtf8(formats[i].name)).arg(formats[i].rate).arg(formats[i].chans));
  list->setCurrentIndex(initial >= 0 && initial < count ? initial : 0);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  return dialog.exec() == QDialog::Accepted ? list->currentIndex() : -1;
}

}  // namespace

void InstallCodecChooserDialog() { KAUDIO_Encode_SetACMChooser(&ChooseCodec, nullptr); }
