#include "dialogs/PreferencesDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/PreferencesPage.h"
#include "dialogs/PreferencesPageTree.h"

TPreferencesDialogForm::TPreferencesDialogForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TPreferencesDialogForm");
  setWindowTitle("KELDAR Preferences Dialog");

  m_tree = new QTreeWidget;
  m_tree->setObjectName("PreferencesTree");
  m_tree->header()->hide();
  m_tree->setFixedWidth(170);
  std::vector<QTreeWidgetItem*> topLevel;
  for (const TPreferencesPageNode& node : PreferencesPageTree()) {
    auto* item = new QTreeWidgetItem(QStringList{QString::fromUtf8(node.Caption)});
    if (node.Level == 0 || topLevel.empty()) {
      m_tree->addTopLevelItem(item);
      topLevel.push_back(item);
    } else {
      topLevel.back()->addChild(item);
    }
  }

  m_notebook = new QStackedWidget;
  m_notebook->setObjectName("PreferencesNotebook");
  for (const char* caption : PreferencesNotebookPages()) {
    const std::string name = caption;
    TPreferencesPage* page = nullptr;
    if (name == "About" || name == "Credits" || name == "FAQ" || name == "Help") page = CreateInformationPage(name);
    else if (name == "What's New") page = CreateWhatsNewPage();
    else if (name == "Skins") page = CreateSkinsPage();
    else if (name == "VIS Plugins") page = CreateVisPluginsPage();
    else if (name == "DSP Plugins") page = CreateDspPluginsPage();
    else if (name == "Generic Plugins") page = CreateGenericPluginsPage();
    else if (name == "General Options") page = CreateGeneralOptionsPage();
    else if (name == "Audio Library Options") page = CreateAudioLibraryOptionsPage();
    else if (name == "Encoders Options") page = CreateEncodersOptionsPage();
    else if (name == "freedb Options") page = CreatefreedbOptionsPage();
    else if (name == "Utilities") page = CreateUtilitiesPage();
    else if (name == "Extensions") page = CreateExtensionsPage();
    else page = CreateRecordedFilesPage();
    m_pages.push_back(page);
    m_notebook->addWidget(page);
  }

  m_title = new QLabel;
  m_title->setObjectName("PageTitleLabel");
  QFont titleFont = m_title->font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
  m_title->setFont(titleFont);

  auto* ok = new QPushButton("OK");
  auto* cancel = new QPushButton("Cancel");
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);
  connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* right = new QVBoxLayout;
  right->addWidget(m_title);
  right->addWidget(m_notebook, 1);
  auto* body = new QHBoxLayout;
  body->addWidget(m_tree);
  body->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addLayout(buttons);
  resize(760, 560);

  connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { ActivateTreeNode(item); });
  connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { ActivateTreeNode(item); });
  SelectPage("About");
}

void TPreferencesDialogForm::showEvent(QShowEvent* event) {
  m_tree->expandAll();
  SetAllPreferencesDialogOptions();
  QDialog::showEvent(event);
}

void TPreferencesDialogForm::SetAllPreferencesDialogOptions() {
  for (TPreferencesPage* page : m_pages) page->Fill();
}

void TPreferencesDialogForm::ActivateTreeNode(QTreeWidgetItem* node) {
  if (!node) return;
  const std::string caption = node->text(0).toStdString();
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (m_pages[i]->objectName().toStdString() != caption) continue;
    m_notebook->setCurrentIndex(int(i));
    m_title->setText(node->text(0));
    return;
  }
}

void TPreferencesDialogForm::SelectPage(const std::string& caption) {
  const QList<QTreeWidgetItem*> nodes =
      m_tree->findItems(QString::fromStdString(caption), Qt::MatchExactly | Qt::MatchRecursive);
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (m_pages[i]->objectName().toStdString() != caption) continue;
    m_notebook->setCurrentIndex(int(i));
    m_title->setText(QString::fromStdString(caption));
    if (!nodes.isEmpty()) {
      const QSignalBlocker block(m_tree);
      m_tree->setCurrentItem(nodes.first());
    }
    return;
  }
}

void TPreferencesDialogForm::ShowPage(const std::string& caption) {
  SelectPage(caption);
  show();
  raise();
  activateWindow();
}

std::string TPreferencesDialogForm::CurrentPageCaption() const {
  const QWidget* current = m_notebook->currentWidget();
  return current ? current->objectName().toStdString() : std::string();
}

TPreferencesPage* TPreferencesDialogForm::Page(const std::string& caption) const {
  for (TPreferencesPage* page : m_pages)
    if (page->objectName().toStdString() == caption) return page;
  return nullptr;
}

std::vector<std::string> TPreferencesDialogForm::PageCaptions() const {
  std::vector<std::string> captions;
  for (const TPreferencesPage* page : m_pages) captions.push_back(page->objectName().toStdString());
  return captions;
}

void TPreferencesDialogForm::MainTimerTick() {
  if (!isVisible()) return;
  if (auto* page = dynamic_cast<TPreferencesPage*>(m_notebook->currentWidget())) page->TimerTick();
}

void TPreferencesDialogForm::Button28Click() {
  if (TPreferencesPage* page = Page("Encoders Options")) RunOutputFolderChooser(*page);
}
