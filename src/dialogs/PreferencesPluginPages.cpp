// "VIS Plugins", "DSP Plugins" and "Generic Plugins": lists of the plug-ins found or loaded,
// what each tells about itself, and starting, stopping and configuring them.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/PreferencesPage.h"
#include "plugins/SoniqueVisPluginPreferences.h"
#include "plugins/zpdsp_plugins_Loader_API.h"
#include "plugins/zpgen_plugins_Loader_API.h"
#include "plugins/zpgen_sdk_header_Loader.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLabel* ValueLabel(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

class TVisPluginsNotebookPage : public TPreferencesPage {
 public:
  TVisPluginsNotebookPage() : TPreferencesPage("VIS Plugins") {
    m_group = new QGroupBox;
    m_list = new QListWidget;
    m_list->setObjectName("VisPluginsListBox");
    m_format = ValueLabel("VisPluginFormatLabel");
    m_name = ValueLabel("VisPluginNameLabel");
    m_version = ValueLabel("VisPluginVersionLabel");
    m_memo = new QPlainTextEdit;
    m_memo->setObjectName("VisPluginDataMemo");
    m_memo->setReadOnly(true);
    auto* start = new QPushButton("Start Plugin");
    start->setObjectName("StartVisPluginButton");
    auto* stop = new QPushButton("Stop Plugin");
    stop->setObjectName("StopVisPluginButton");
    auto* groupLayout = new QVBoxLayout(m_group);
    groupLayout->addWidget(m_list);
    auto* info = new QGridLayout;
    info->addWidget(new QLabel("Plugin Format:"), 0, 0);
    info->addWidget(m_format, 0, 1);
    info->addWidget(new QLabel("Plugin Name:"), 1, 0);
    info->addWidget(m_name, 1, 1);
    info->addWidget(new QLabel("Plugin Version:"), 2, 0);
    info->addWidget(m_version, 2, 1);
    info->addWidget(new QLabel("The Plugin handles the following Data:"), 3, 0, 1, 2);
    info->addWidget(m_memo, 4, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start);
    buttons->addWidget(stop);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_group, 1);
    layout->addLayout(info);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
      if (m_filling) return;
      SelectVisPluginsPageEntry(m_page, row);
      ShowInformation();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Start(); });
    connect(start, &QPushButton::clicked, this, [this] { Start(); });
    connect(stop, &QPushButton::clicked, this, [this] { StopVisPluginsPagePlugin(m_page); });
  }
  void Fill() override {
    m_filling = true;
    ShowVisPluginsPage(m_page);
    m_list->clear();
    for (const std::string& name : m_page.Names) m_list->addItem(Q(name));
    m_list->setCurrentRow(m_page.Selected);
    m_group->setTitle(Q(m_page.GroupCaption));
    m_filling = false;
    ShowInformation();
  }

 private:
  void Start() {
    SelectVisPluginsPageEntry(m_page, m_list->currentRow());
    StartVisPluginsPageEntry(m_page);
    ShowInformation();
  }
  void ShowInformation() {
    m_format->setText(Q(m_page.Information.Format));
    m_name->setText(Q(m_page.Information.Name));
    m_version->setText(Q(m_page.Information.Version));
    QStringList lines;
    for (const std::string& line : m_page.Information.Memo) lines << Q(line);
    m_memo->setPlainText(lines.join('\n'));
  }
  TVisPluginsPage m_page;
  QGroupBox* m_group;
  QListWidget* m_list;
  QLabel *m_format, *m_name, *m_version;
  QPlainTextEdit* m_memo;
  bool m_filling = false;
};

// The DSP and generic pages share their look: the list in a group box, the plug-in's name and
// version, and "Configure"; prefix names their controls ("DSP", "GEN").
class TPluginListPage : public TPreferencesPage {
 protected:
  TPluginListPage(const char* caption, const std::string& prefix) : TPreferencesPage(caption) {
    m_group = new QGroupBox;
    m_list = new QListWidget;
    m_list->setObjectName(Q(prefix + "PluginsListBox"));
    m_name = ValueLabel((prefix + "PluginNameLabel").c_str());
    m_version = ValueLabel((prefix + "PluginVersionLabel").c_str());
    m_configure = new QPushButton("Configure");
    m_configure->setObjectName(Q("Configure" + prefix + "PluginButton"));
    auto* groupLayout = new QVBoxLayout(m_group);
    groupLayout->addWidget(m_list);
    auto* info = new QGridLayout;
    info->addWidget(new QLabel("Plugin Name:"), 0, 0);
    info->addWidget(m_name, 0, 1);
    info->addWidget(new QLabel("Plugin Version:"), 1, 0);
    info->addWidget(m_version, 1, 1);
    info->addWidget(m_configure, 2, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_group, 1);
    layout->addLayout(info);
  }
  QGroupBox* m_group;
  QListWidget* m_list;
  QLabel *m_name, *m_version;
  QPushButton* m_configure;
};

class TDspPluginsPage : public TPluginListPage {
 public:
  TDspPluginsPage() : TPluginListPage("DSP Plugins", "DSP") {
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
      if (m_filling || row < 0) return;
      SelectDSPPlugin(m_list->item(row)->text().toStdString());
      ShowInformation();
    });
    connect(m_configure, &QPushButton::clicked, this, [] { ConfigureDSPPlugin(); });
  }
  void Fill() override {
    m_filling = true;
    const std::vector<std::string> entries = DSPPluginList();
    m_list->clear();
    for (const std::string& entry : entries) m_list->addItem(Q(entry));
    m_list->setCurrentRow(DSPPluginListIndexOfSetting(entries));
    m_group->setTitle(Q(DSPPluginsGroupCaption(entries)));
    m_filling = false;
    ShowInformation();
  }

 private:
  void ShowInformation() {
    m_name->setText(Q(DSPPluginShownInformation().Name));
    m_version->setText(Q(DSPPluginShownInformation().Version));
  }
  bool m_filling = false;
};

class TGenericPluginsPage : public TPluginListPage {
 public:
  TGenericPluginsPage() : TPluginListPage("Generic Plugins", "GEN") {
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { ShowInformation(row); });
    connect(m_configure, &QPushButton::clicked, this, [this] {
      if (m_list->currentRow() >= 0) ConfigureGENPlugin(m_list->currentRow());
    });
  }
  void Fill() override {
    m_list->clear();
    for (const std::string& line : GENPluginLines()) m_list->addItem(Q(line));
    m_group->setTitle(Q(GENPluginsGroupCaption()));
    ShowInformation(m_list->currentRow());
  }

 private:
  void ShowInformation(int row) {
    std::string name;
    uint32_t version = 0;
    if (row < 0 || !GENPluginInformation(row, name, version)) {
      m_name->setText("Info NOT available");
      m_version->setText("0");
      return;
    }
    m_name->setText(Q(name));
    m_version->setText(QString::number(version));
  }
};

}  // namespace

TPreferencesPage* CreateVisPluginsPage() { return new TVisPluginsNotebookPage; }
TPreferencesPage* CreateDspPluginsPage() { return new TDspPluginsPage; }
TPreferencesPage* CreateGenericPluginsPage() { return new TGenericPluginsPage; }
