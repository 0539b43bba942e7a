#include "LadspaConfigDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <memory>

#include "LadspaCatalogue.h"
#include "LadspaEffect.h"

namespace {

constexpr int kSteps = 1000;

double ToValue(const TLadspaControl& c, int step) {
  const double t = static_cast<double>(step) / kSteps;
  double v = c.Logarithmic ? std::exp(std::log(c.Lower) + t * (std::log(c.Upper) - std::log(c.Lower)))
                           : c.Lower + t * (c.Upper - c.Lower);
  if (c.Integer || c.Toggled) v = std::round(v);
  return v;
}

int ToStep(const TLadspaControl& c, double value) {
  double t = c.Logarithmic && value > 0 ? (std::log(value) - std::log(c.Lower)) / (std::log(c.Upper) - std::log(c.Lower))
                                        : (value - c.Lower) / (c.Upper - c.Lower);
  if (!std::isfinite(t)) t = 0;
  return static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * kSteps));
}

void FillControls(QFormLayout* form, const TLadspaChoice* choice) {
  while (form->rowCount() > 0) form->removeRow(0);
  if (choice == nullptr || choice->Effect == nullptr) return;
  const auto& controls = choice->Effect->Controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const TLadspaControl& c = controls[i];
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, kSteps);
    auto* shown = new QLabel;
    shown->setMinimumWidth(70);
    layout->addWidget(slider, 1);
    layout->addWidget(shown);
    std::atomic<float>* value = &choice->Values[i];
    slider->setValue(ToStep(c, value->load()));
    shown->setText(QString::number(value->load(), 'g', 4));
    QObject::connect(slider, &QSlider::valueChanged, slider, [c, value, shown](int step) {
      const double v = ToValue(c, step);
      value->store(static_cast<float>(v));
      shown->setText(QString::number(v, 'g', 4));
    });
    form->addRow(QString::fromStdString(c.Name), row);
  }
}

}  // namespace

void ShowLadspaConfigDialog(void* parentWindow, const TLadspaChoice* current,
                            const std::function<const TLadspaChoice*(const TLadspaEffectInfo*)>& choose) {
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("LADSPA Effect"));
  // The player's window, known to us only by its native id: the dialog stays above it.
  std::unique_ptr<QWindow> parent(parentWindow ? QWindow::fromWinId(reinterpret_cast<WId>(parentWindow)) : nullptr);
  if (parent) {
    dialog.winId();
    dialog.windowHandle()->setTransientParent(parent.get());
  }
  auto* layout = new QVBoxLayout(&dialog);
  auto* effects = new QComboBox;
  effects->addItem(QStringLiteral("(no effect)"));
  const auto& all = LadspaEffects();
  int selected = 0;
  for (size_t i = 0; i < all.size(); ++i) {
    const auto& e = all[i];
    const QString file = QString::fromStdString(e.Library.substr(e.Library.rfind('/') + 1));
    effects->addItem(QStringLiteral("%1 (%2, %3)").arg(QString::fromStdString(e.Name), QString::fromStdString(e.Label), file));
    if (current && current->Effect && current->Effect->Library == e.Library && current->Effect->Label == e.Label)
      selected = static_cast<int>(i) + 1;
  }
  effects->setCurrentIndex(selected);
  layout->addWidget(new QLabel(all.empty() ? QStringLiteral("No LADSPA effects were found (LADSPA_PATH).")
                                           : QStringLiteral("Effect:")));
  layout->addWidget(effects);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  FillControls(form, current);
  QObject::connect(effects, &QComboBox::currentIndexChanged, &dialog, [&](int index) {
    const TLadspaEffectInfo* effect = index > 0 ? &all[static_cast<size_t>(index - 1)] : nullptr;
    FillControls(form, choose(effect));
  });
  dialog.exec();
}
