// "Skins": the skins of the chosen format, their type and readme, loading one, and the colour
// enhancement applied at the next skin load.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <filesystem>

#include "dialogs/PreferencesHooks.h"
#include "dialogs/PreferencesInformationTexts.h"
#include "dialogs/PreferencesPage.h"
#include "dialogs/SkinsListing.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinPackageKinds.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

class TSkinsPage : public TPreferencesPage {
 public:
  TSkinsPage() : TPreferencesPage("Skins") {
    m_format = new QComboBox;
    m_format->setObjectName("SkinFormatComboBox");
    m_format->addItems({"Keldar Skins", "Winamp Skins", "Kjofol Skins", "All supported Skins"});
    m_format->setCurrentIndex(-1);
    m_list = new QListWidget;
    m_list->setObjectName("SkinsListBox");
    m_type = new QLabel;
    m_type->setObjectName("SkinTypeLabel");
    m_readme = new QPlainTextEdit;
    m_readme->setObjectName("SkinReadmeMemo");
    m_readme->setReadOnly(true);
    auto* load = new QPushButton("Load Skin");
    load->setObjectName("LoadSkinButton");
    auto* making = new QPushButton("Making Skins");
    making->setObjectName("MakingSkinsButton");

    auto* colours = new QGroupBox("Color Enhancement:");
    auto* colourGrid = new QGridLayout(colours);
    const std::array<std::pair<const char*, SettingsVariableIntegerRecord*>, 3> rows{
        {{"Red:", &Options_RedColorEnhancement},
         {"Green:", &Options_GreenColorEnhancement},
         {"Blue:", &Options_BlueColorEnhancement}}};
    for (size_t i = 0; i < rows.size(); ++i) {
      auto* slider = new QSlider(Qt::Horizontal);
      slider->setObjectName(QString(rows[i].first).chopped(1) + "TrackBar");
      slider->setRange(-255, 255);
      auto* label = new QLabel;
      label->setObjectName(QString(rows[i].first).chopped(1) + "Label");
      label->setMinimumWidth(80);
      colourGrid->addWidget(label, int(i), 0);
      colourGrid->addWidget(slider, int(i), 1);
      SettingsVariableIntegerRecord* setting = rows[i].second;
      const QString caption = rows[i].first;
      connect(slider, &QSlider::valueChanged, this, [label, caption, setting](int value) {
        label->setText(caption + " " + QString::number(value));
        setting->IntegerValue = value;
      });
      m_colours[i] = {slider, setting};
    }
    auto* reset = new QPushButton("Reset All");
    reset->setObjectName("ResetColoursButton");
    colourGrid->addWidget(reset, 3, 1, Qt::AlignRight);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Skin Format:"));
    top->addWidget(m_format, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addWidget(making);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_type);
    layout->addWidget(m_readme, 1);
    layout->addLayout(buttons);
    layout->addWidget(colours);

    connect(m_format, &QComboBox::activated, this, [this] { ListSkinsOfFormat(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { ShowSkin(row); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { LoadSelectedSkin(); });
    connect(load, &QPushButton::clicked, this, [this] { LoadSelectedSkin(); });
    connect(making, &QPushButton::clicked, this, [] { ShowMessage(MakingSkinsNoteText()); });
    connect(reset, &QPushButton::clicked, this, [this] {
      for (auto& [slider, setting] : m_colours) slider->setValue(0);
    });
  }

  void Fill() override {
    for (auto& [slider, setting] : m_colours) {
      slider->setValue(setting->IntegerValue);
      emit slider->valueChanged(slider->value());
    }
    ListSkinsOfFormat();
  }

 private:
  void ListSkinsOfFormat() {
    const int choice = m_format->currentIndex() < 0 ? int(TSkinFormatChoice::All) : m_format->currentIndex();
    if (m_format->currentIndex() < 0) m_format->setCurrentIndex(choice);
    m_skins = ListSkins(TSkinFormatChoice(choice));
    const QSignalBlocker block(m_list);
    m_list->clear();
    int current = 0;
    const std::string loaded = KELDARSkinFullName(Options_SkinToBeLoaded.StringValue);
    for (size_t i = 0; i < m_skins.size(); ++i) {
      m_list->addItem(Q(m_skins[i].Name));
      if (SameText(m_skins[i].FullPath, loaded)) current = int(i);
    }
    m_list->setCurrentRow(current);
    ShowSkin(current);
  }

  void ShowSkin(int row) {
    if (row < 0 || row >= int(m_skins.size())) return;
    const TListedSkin& skin = m_skins[size_t(row)];
    m_type->setText(Q(skin.FullPath == "Default" ? std::string("KELDAR Skin") : SkinTypeText(skin.FullPath)));
    std::string readme;
    const SkinPackageKinds kind = DetectKELDARSkinPackageKind(skin.FullPath);
    if (skin.FullPath != "Default" && (kind == skKeldarPackage || kind == skWinampPackage || kind == skKjofolPackage)) {
      // A package shows the readme it holds: unpacked into the scratch folder first.
      const std::string scratch = ProgramFolder() + "/tempunzipped/skins";
      std::error_code ec;
      std::filesystem::remove_all(scratch, ec);
      std::filesystem::create_directories(scratch, ec);
      if (PreferencesHooks().ExtractPackage && PreferencesHooks().ExtractPackage(skin.FullPath, scratch))
        readme = SkinFolderReadme(scratch);
    } else if (skin.FullPath != "Default") {
      readme = SkinFolderReadme(ExtractFilePath(skin.FullPath));
    }
    m_readme->setPlainText(readme.empty() ? QString("No comment found.") : QString::fromUtf8(readme.c_str()));
  }

  void LoadSelectedSkin() {
    const int row = m_list->currentRow();
    if (row < 0 || row >= int(m_skins.size()) || !PreferencesHooks().LoadSkin) return;
    if (!PreferencesHooks().LoadSkin(m_skins[size_t(row)].FullPath)) PreferencesHooks().LoadSkin("Default");
  }

  QComboBox* m_format;
  QListWidget* m_list;
  QLabel* m_type;
  QPlainTextEdit* m_readme;
  std::array<std::pair<QSlider*, SettingsVariableIntegerRecord*>, 3> m_colours{};
  std::vector<TListedSkin> m_skins;
};

}  // namespace

TPreferencesPage* CreateSkinsPage() { return new TSkinsPage; }
