// "Encoders Options": the encoder list editor, the output file and folder, the CD track
// naming and the recording format. Every change refreshes an open recording dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/PreferencesHooks.h"
#include "dialogs/PreferencesPage.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EncodersList.h"
#include "engine/KELDAR_Recording.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ShellFunctions.h"
#include "util/ShowMessage.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kInputBits[] = {"32", "24", "16", "8"};
constexpr int kSamplingRates[] = {96000, 48000, 44100, 22050, 11025};

constexpr char kOutputDirHelp[] =
    "The Output Dir has the following uses:\ra. This dir is used by the recording functions to save the recorded "
    "data. \rb. When the option \"Always to Output Dir\" is enabled, it is the dir used  \r   by the converting "
    "functions to save the converted file.                \rc. When the option \"Always to Output Dir\" is disabled, "
    "then it is ignored,\r   and the converted file is saved in the same dir with source.           \rd. In any case "
    "this is the directory that is used for saving              \r   converted CD Tracks and files in zip files.     "
    "                       ";
constexpr char kCommandLineHelp[] =
    "Command line directives explanation:\r-----------------------------------------\r%outputfile%: Output "
    "Filename\r%01 : Title\r%02 : Artist\r%03 : Album\r%04 : Year\r%05 : Genre\r%06 : File name\r%09 : CD Track "
    "index\r-----------------------------------------\r                                                            "
    "              \rNote 1: The encoder's input should be set to STDIN (usually is set by - symbol)\r             "
    "                                                             \r                                               "
    "                           \r                                                                          ";
constexpr char kCDTrackFormatHelp[] =
    "CD Track Formatting options:\r%01 : Title\r%02 : Artist\r%03 : Album\r%04 : Year\r%05 : Genre\r%06 : File "
    "name\r%09 : CD Track index\r                               ";

QPushButton* HelpButton(const char* name, const char* text) {
  auto* button = new QPushButton("?");
  button->setObjectName(name);
  button->setFixedWidth(28);
  QObject::connect(button, &QPushButton::clicked, [text] { ShowMessage(text); });
  return button;
}

void EncodersChanged() {
  if (auto& hook = EncodersListChangedHook()) hook();
}

class TEncodersOptionsPage : public TPreferencesPage {
 public:
  TEncodersOptionsPage() : TPreferencesPage("Encoders Options") {
    m_encoder = new QComboBox;
    m_encoder->setObjectName("EncodersComboBox");
    m_encoder->setEditable(true);
    m_encoder->setInsertPolicy(QComboBox::NoInsert);
    m_command = new QLineEdit;
    m_command->setObjectName("CommandLineEdit");
    m_extension = new QLineEdit;
    m_extension->setObjectName("ExtensionEdit");
    m_bits = new QComboBox;
    m_bits->setObjectName("InputBitsComboBox");
    for (const char* bits : kInputBits) m_bits->addItem(bits);
    auto* newButton = new QPushButton("New");
    newButton->setObjectName("NewEncoderButton");
    auto* removeButton = new QPushButton("Remove");
    removeButton->setObjectName("RemoveEncoderButton");
    auto* resetButton = new QPushButton("Reset List");
    resetButton->setObjectName("ResetEncodersButton");

    auto* encoders = new QGroupBox("Encoders:");
    auto* grid = new QGridLayout(encoders);
    grid->addWidget(m_encoder, 0, 0, 1, 3);
    grid->addWidget(newButton, 0, 3);
    grid->addWidget(removeButton, 0, 4);
    grid->addWidget(resetButton, 0, 5);
    grid->addWidget(new QLabel("Command Line:"), 1, 0);
    grid->addWidget(m_command, 1, 1, 1, 4);
    grid->addWidget(HelpButton("CommandLineHelpButton", kCommandLineHelp), 1, 5);
    grid->addWidget(new QLabel("Extension"), 2, 0);
    grid->addWidget(m_extension, 2, 1);
    grid->addWidget(new QLabel("Input Bits:"), 2, 2);
    grid->addWidget(m_bits, 2, 3);

    m_outputFile = new QLineEdit;
    m_outputFile->setObjectName("OutputFilenameEdit");
    m_outputDir = new QLineEdit;
    m_outputDir->setObjectName("OutputDirEdit");
    m_outputDir->setReadOnly(true);
    auto* chooseDir = new QPushButton("...");
    chooseDir->setObjectName("ChooseOutputDirButton");
    auto* openDir = new QPushButton("Open");
    openDir->setObjectName("OpenOutputDirButton");
    m_alwaysOutputDir = new QCheckBox("Always to Output Dir");
    m_alwaysOutputDir->setObjectName("Always to Output Dir");
    m_cdFormat = new QLineEdit;
    m_cdFormat->setObjectName("CDTracksFormatEdit");
    auto* output = new QGroupBox("Output:");
    auto* outGrid = new QGridLayout(output);
    outGrid->addWidget(new QLabel("Output Filename:"), 0, 0);
    outGrid->addWidget(m_outputFile, 0, 1, 1, 3);
    outGrid->addWidget(new QLabel("Output Dir:"), 1, 0);
    outGrid->addWidget(m_outputDir, 1, 1);
    outGrid->addWidget(chooseDir, 1, 2);
    outGrid->addWidget(openDir, 1, 3);
    outGrid->addWidget(HelpButton("OutputDirHelpButton", kOutputDirHelp), 1, 4);
    outGrid->addWidget(m_alwaysOutputDir, 2, 1);
    outGrid->addWidget(new QLabel("CD Tracks Format:"), 3, 0);
    outGrid->addWidget(m_cdFormat, 3, 1, 1, 3);
    outGrid->addWidget(HelpButton("CDTracksFormatHelpButton", kCDTrackFormatHelp), 3, 4);

    m_recRate = new QComboBox;
    m_recRate->setObjectName("RecordingSamplingRateComboBox");
    for (int rate : kSamplingRates) m_recRate->addItem(QString::number(rate) + " Hz", rate);
    m_recChannels = new QComboBox;
    m_recChannels->setObjectName("RecordingChannelsComboBox");
    m_recChannels->addItems({"1", "2"});
    m_recSource = new QComboBox;
    m_recSource->setObjectName("RecordingSourceComboBox");
    auto* recording = new QGroupBox("Recording:");
    auto* recGrid = new QGridLayout(recording);
    recGrid->addWidget(new QLabel("Sampling Rate:"), 0, 0);
    recGrid->addWidget(m_recRate, 0, 1);
    recGrid->addWidget(new QLabel("Channels:"), 0, 2);
    recGrid->addWidget(m_recChannels, 0, 3);
    recGrid->addWidget(new QLabel("Source:"), 1, 0);
    recGrid->addWidget(m_recSource, 1, 1, 1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(encoders);
    layout->addWidget(output);
    layout->addWidget(recording);
    layout->addStretch(1);

    connect(m_encoder, &QComboBox::activated, this, [this](int index) { SelectEncoder(index); });
    connect(m_encoder->lineEdit(), &QLineEdit::returnPressed, this, [this] { WriteField(&EncoderStructure::EncName, m_encoder->currentText()); });
    connect(m_command, &QLineEdit::returnPressed, this, [this] { WriteField(&EncoderStructure::EncCmdLine, m_command->text()); });
    connect(m_extension, &QLineEdit::returnPressed, this, [this] { WriteField(&EncoderStructure::EncOutputFileExt, m_extension->text()); });
    connect(m_bits, &QComboBox::activated, this, [this] { WriteField(&EncoderStructure::EncInputBits, m_bits->currentText()); });
    connect(newButton, &QPushButton::clicked, this, [this] { NewEncoderClick(); });
    connect(removeButton, &QPushButton::clicked, this, [this] { RemoveEncoder(); });
    connect(resetButton, &QPushButton::clicked, this, [this] {
      ResetEncodersListToDefault();
      FillEncoders();
      EncodersChanged();
    });
    // Stored on Enter; leaving the field without Enter shows the stored value again.
    connect(m_outputFile, &QLineEdit::returnPressed, this, [this] {
      Options_EncoderOutputFile.StringValue = m_outputFile->text().toStdString();
      EncodersChanged();
    });
    connect(m_outputFile, &QLineEdit::editingFinished, this, [this] { m_outputFile->setText(Q(Options_EncoderOutputFile.StringValue)); });
    connect(m_cdFormat, &QLineEdit::returnPressed, this, [this] {
      Options_CDTracksFormatting.StringValue = m_cdFormat->text().toStdString();
      EncodersChanged();
    });
    connect(m_cdFormat, &QLineEdit::editingFinished, this, [this] { m_cdFormat->setText(Q(Options_CDTracksFormatting.StringValue)); });
    connect(chooseDir, &QPushButton::clicked, this, [this] { Button28Click(); });
    connect(openDir, &QPushButton::clicked, this, [] {
      if (PreferencesHooks().OpenFolder) PreferencesHooks().OpenFolder(Options_RecordingOutputDir.StringValue);
      else ShellOpenDocument(Options_RecordingOutputDir.StringValue);
    });
    connect(m_alwaysOutputDir, &QCheckBox::toggled, this, [this](bool on) {
      if (m_filling) return;
      Options_EncoderConvertUseOutputDir.BooleanValue = on;
      EncodersChanged();
    });
    connect(m_recRate, &QComboBox::activated, this, [this](int index) {
      Options_RecordingSamplingRate.IntegerValue = m_recRate->itemData(index).toInt();
      KELDAR_AUDIOVIDEO_API_Settings().RecordingSamplingRate = Options_RecordingSamplingRate.IntegerValue;
      EncodersChanged();
    });
    connect(m_recChannels, &QComboBox::activated, this, [this](int index) {
      Options_RecordingChannels.IntegerValue = index + 1;
      KELDAR_AUDIOVIDEO_API_Settings().RecordingChannels = index + 1;
      EncodersChanged();
    });
    connect(m_recSource, &QComboBox::activated, this, [](int index) {
      Options_RecordingSourceInput.IntegerValue = index;
      if (auto& select = KELDAR_AUDIOVIDEO_API_Slots().SelectRecordingInput) select();
      EncodersChanged();
    });
  }

  void Fill() override {
    m_filling = true;
    FillEncoders();
    m_outputFile->setText(Q(Options_EncoderOutputFile.StringValue));
    m_outputDir->setText(Q(Options_RecordingOutputDir.StringValue));
    m_alwaysOutputDir->setChecked(Options_EncoderConvertUseOutputDir.BooleanValue);
    m_cdFormat->setText(Q(Options_CDTracksFormatting.StringValue));
    m_recRate->setCurrentIndex(m_recRate->findData(Options_RecordingSamplingRate.IntegerValue));
    m_recChannels->setCurrentIndex(Options_RecordingChannels.IntegerValue == 1 ? 0 : 1);
    m_recSource->clear();
    for (const std::string& input : KELDAR_AUDIOVIDEO_API_State().RecordingInputs) m_recSource->addItem(Q(input));
    m_recSource->setCurrentIndex(Options_RecordingSourceInput.IntegerValue);
    m_filling = false;
  }

  // "...": the output folder, chosen with the folder dialog; refused while recording.
  void Button28Click() {
    if (IsRecording()) {
      ShowMessage("Changing Output Directory is NOT allowed when Recording is in progress");
      return;
    }
    const std::string start = Options_RecordingOutputDir.StringValue;
    const std::string folder =
        PreferencesHooks().ChooseFolder
            ? PreferencesHooks().ChooseFolder("Add Directory To Playlist", start)
            : QFileDialog::getExistingDirectory(this, "Add Directory To Playlist", Q(start)).toStdString();
    if (!folder.empty()) SetOutputFolder(folder);
  }

  // "New": a new encoder to fill in, selected; refused at 99.
  void NewEncoderClick() {
    auto& list = EncodersList();
    if (list.TotalEncoders >= EncodersStructure::kMaxEncoders) return;
    list.Encoders.push_back({"Enter Encoder Name", "Enter Encoder Command Line", "Empty", kInputBits[0]});
    list.TotalEncoders = std::int32_t(list.Encoders.size());
    SelectEncoder(list.TotalEncoders - 1);
  }

  void SetOutputFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    Options_RecordingOutputDir.StringValue = folder;
    m_outputDir->setText(Q(folder));
    EncodersChanged();
  }

 private:
  void FillEncoders() {
    const auto& list = EncodersList();
    const QSignalBlocker block(m_encoder);
    m_encoder->clear();
    for (const EncoderStructure& encoder : list.Encoders) m_encoder->addItem(Q(encoder.EncName));
    ShowEncoder(Options_LastUsedEncoder.IntegerValue);
  }

  void ShowEncoder(int index) {
    const EncoderStructure* encoder = EncoderAt(index);
    const QSignalBlocker block(m_encoder);
    m_encoder->setCurrentIndex(encoder ? index : -1);
    m_command->setText(encoder ? Q(encoder->EncCmdLine) : QString());
    m_extension->setText(encoder ? Q(encoder->EncOutputFileExt) : QString());
    m_bits->setCurrentIndex(encoder ? m_bits->findText(Q(encoder->EncInputBits)) : -1);
  }

  void SelectEncoder(int index) {
    auto& list = EncodersList();
    if (index < 0 || index >= list.TotalEncoders) return;
    Options_LastUsedEncoder.IntegerValue = index;
    list.CurrentEncoder = index;
    FillEncoders();
    EncodersChanged();
  }

  void WriteField(std::string EncoderStructure::*field, const QString& value) {
    auto& list = EncodersList();
    const int index = Options_LastUsedEncoder.IntegerValue;
    if (index < 0 || index >= list.TotalEncoders) return;
    std::string text = value.toStdString();
    std::erase(text, ';');  // a ";" would end the value in the file
    list.Encoders[size_t(index)].*field = text;
    FillEncoders();
    EncodersChanged();
  }

  // "Remove": refused below 2; the previous encoder becomes the selected one.
  void RemoveEncoder() {
    auto& list = EncodersList();
    if (list.TotalEncoders < 2) return;
    const int index = std::clamp(Options_LastUsedEncoder.IntegerValue, 0, list.TotalEncoders - 1);
    list.Encoders.erase(list.Encoders.begin() + index);
    list.TotalEncoders = std::int32_t(list.Encoders.size());
    SelectEncoder(std::max(0, index - 1));
  }

  QComboBox *m_encoder, *m_bits, *m_recRate, *m_recChannels, *m_recSource;
  QLineEdit *m_command, *m_extension, *m_outputFile, *m_outputDir, *m_cdFormat;
  QCheckBox* m_alwaysOutputDir;
  bool m_filling = false;
};

}  // namespace

TPreferencesPage* CreateEncodersOptionsPage() { return new TEncodersOptionsPage; }

void RunOutputFolderChooser(TPreferencesPage& encodersPage) {
  if (auto* page = dynamic_cast<TEncodersOptionsPage*>(&encodersPage)) page->Button28Click();
}
