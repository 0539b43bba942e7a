// "Extensions": which supported file types the desktop opens with this player.
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/PreferencesPage.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "util/FileAssociations.h"
#include "util/KeyValueListFunctions.h"
#include "util/ProgramFolders.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool AssociatedWithUs(const std::string& extension) { return GetAssociatedProgram(extension) == ExecutablePath(); }

class TExtensionsPage : public TPreferencesPage {
 public:
  TExtensionsPage() : TPreferencesPage("Extensions") {
    m_rows = new QTreeWidget;
    m_rows->setObjectName("ExtensionsCheckListBox");
    m_rows->setColumnCount(2);
    m_rows->header()->hide();
    m_rows->setRootIsDecorated(false);
    m_apply = new QPushButton("Apply");
    m_apply->setObjectName("ApplyExtensionsButton");
    auto* all = new QPushButton("Select All");
    all->setObjectName("SelectAllExtensionsButton");
    auto* none = new QPushButton("Select None");
    none->setObjectName("SelectNoneExtensionsButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_rows, 1);
    layout->addLayout(buttons);
    connect(m_rows, &QTreeWidget::itemChanged, this, [this] { m_apply->setEnabled(true); });
    connect(all, &QPushButton::clicked, this, [this] { SetAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { SetAll(false); });
    connect(m_apply, &QPushButton::clicked, this, [this] { Apply(); });
  }

  void Fill() override {
    const QSignalBlocker block(m_rows);
    m_rows->clear();
    m_extensions.clear();
    for (const auto& row : SupportedFileTypes().Rows) {
      const std::string text = row->FileDescription + "         [" + row->FilePlaybackDLL + " (" +
                               row->FilePlaybackDLLVersion + ") " + "]";
      const auto bracket = text.find('[');
      auto* item = new QTreeWidgetItem(QStringList{Q(text.substr(0, bracket)), Q(text.substr(bracket))});
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(0, AssociatedWithUs(row->FileExtension) ? Qt::Checked : Qt::Unchecked);
      m_rows->addTopLevelItem(item);
      m_extensions.push_back(row->FileExtension);
    }
    // The handler column starts two thirds across.
    m_rows->setColumnWidth(0, std::max(200, m_rows->viewport()->width() * 2 / 3));
    m_apply->setEnabled(false);
  }

  void Apply() {
    RegisterProgramClass(ExecutablePath());
    bool newlyAssociated = false;
    bool anyChecked = false;
    std::vector<std::string> checked;
    for (int i = 0; i < m_rows->topLevelItemCount(); ++i) {
      const std::string& extension = m_extensions[size_t(i)];
      const bool on = m_rows->topLevelItem(i)->checkState(0) == Qt::Checked;
      const bool ours = AssociatedWithUs(extension);
      if (on) {
        anyChecked = true;
        std::string bare = extension;
        if (!bare.empty() && bare.front() == '.') bare.erase(0, 1);
        checked.push_back(bare);
        if (!ours) newlyAssociated = AssociateExtension(extension, ExecutablePath()) || newlyAssociated;
      } else if (ours) {
        UnassociateExtension(extension);
      }
    }
    // The desktop entry stays while any type still opens with it.
    if (!newlyAssociated && !anyChecked) UnregisterProgramClass();
    WriteListFileLines(ProgramFolder() + "/UninstAssoc.ini", checked);
    m_apply->setEnabled(false);
  }

 private:
  void SetAll(bool on) {
    for (int i = 0; i < m_rows->topLevelItemCount(); ++i)
      m_rows->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
  }

  QTreeWidget* m_rows;
  QPushButton* m_apply;
  std::vector<std::string> m_extensions;
};

}  // namespace

TPreferencesPage* CreateExtensionsPage() { return new TExtensionsPage; }
