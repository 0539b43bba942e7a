#include "cd/CDDBMultipleMatchesForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

TCDDBMultipleMatchesForm::TCDDBMultipleMatchesForm(const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Multiple matches found");
  m_list = new QListWidget;
  for (const std::string& line : lines) m_list->addItem(QString::fromStdString(line));
  if (m_list->count() > 0) m_list->setCurrentRow(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Select the correct CD (if any)"));
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);
  resize(520, 260);
}

std::optional<int> TCDDBMultipleMatchesForm::Chosen() const {
  if (result() != QDialog::Accepted || m_list->currentRow() < 0) return std::nullopt;
  return m_list->currentRow();
}
