#include "app/TRecordingDialogForm.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/LaterDialogHooks.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EncodersList.h"
#include "engine/KELDAR_Recording.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"
#include "util/ShellFunctions.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLineEdit* ReadOnlyField(QFormLayout* form, const char* label) {
  auto* edit = new QLineEdit;
  edit->setReadOnly(true);
  form->addRow(label, edit);
  return edit;
}

}  // namespace

TRecordingDialogForm::TRecordingDialogForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TRecordingDialogForm");
  setWindowTitle("Recording Settings");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  m_source = ReadOnlyField(form, "Source:");
  m_encoder = ReadOnlyField(form, "Encoder:");
  auto* dirRow = new QHBoxLayout;
  m_outputDir = new QLineEdit;
  m_outputDir->setReadOnly(true);
  m_outputDir->setObjectName("OutputDirEdit");
  auto* change = new QPushButton("...");
  change->setObjectName("ChangeOutputDirButton");
  auto* open = new QPushButton("Open");
  open->setObjectName("RecOutDirSpeedButton");
  dirRow->addWidget(m_outputDir, 1);
  dirRow->addWidget(change);
  dirRow->addWidget(open);
  form->addRow("Output Dir:", dirRow);
  m_filename = ReadOnlyField(form, "Filename:");
  layout->addLayout(form);
  layout->addWidget(new QLabel("*Note 1: Change everything above by clicking Settings Button"));
  layout->addWidget(new QLabel("*Note 2: If nothing is Recorded then check your mixer settings...."));
  auto* buttons = new QHBoxLayout;
  m_start = new QPushButton("Start Recording");
  auto* settings = new QPushButton("Settings");
  settings->setObjectName("SettingsButton");
  buttons->addWidget(m_start);
  buttons->addWidget(settings);
  layout->addLayout(buttons);
  connect(m_start, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(settings, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(change, &QPushButton::clicked, this, [this] { ChangeOutputDirButtonClick(); });
  connect(open, &QPushButton::clicked, this, [this] { RecOutDirSpeedButtonClick(); });
  // The preferences change the encoder or the input while the dialog is open.
  EncodersListChangedHook() = [this] { UpdateLabeledEditControls(); };
}

TRecordingDialogForm::~TRecordingDialogForm() {
  StopRecording();
  EncodersListChangedHook() = nullptr;
}

void TRecordingDialogForm::UpdateLabeledEditControls() {
  const auto& inputs = KELDAR_AUDIOVIDEO_API_State().RecordingInputs;
  const int input = Options_RecordingSourceInput.IntegerValue;
  m_source->setText(input >= 0 && size_t(input) < inputs.size() ? Q(inputs[size_t(input)]) : QString());
  const EncoderStructure* encoder = EncoderAt(Options_LastUsedEncoder.IntegerValue);
  m_encoder->setText(encoder ? Q(encoder->EncName) : QString());
  m_outputDir->setText(Q(Options_RecordingOutputDir.StringValue));
  m_filename->setText(Q(Options_EncoderOutputFile.StringValue + (encoder ? encoder->EncOutputFileExt : "")));
  UpdateLabeledEditControlsForRecording();
}

void TRecordingDialogForm::UpdateLabeledEditControlsForRecording() {
  m_start->setText(IsRecording() ? "Stop Recording" : "Start Recording");
}

void TRecordingDialogForm::Button1Click() {
  if (IsRecording()) {
    StopRecording();
  } else if (const EncoderStructure* encoder = EncoderAt(Options_LastUsedEncoder.IntegerValue)) {
    const std::string output =
        IncludeTrailingPathDelimiter(Options_RecordingOutputDir.StringValue) + Options_EncoderOutputFile.StringValue;
    StartRecording(EncoderJobFrom(*encoder, output), Options_RecordingSamplingRate.IntegerValue,
                   Options_RecordingChannels.IntegerValue);
  }
  UpdateLabeledEditControlsForRecording();
}

void TRecordingDialogForm::Button2Click() {
  if (const auto& show = LaterDialogHooks().ShowPreferencesPage) show("Encoders Options");
}

// The preferences' chooser, so the folder follows the same rules (refused while recording,
// stored without its trailing separator) wherever it is changed.
void TRecordingDialogForm::ChangeOutputDirButtonClick() {
  RunLaterDialogHook(LaterDialogHooks().ChooseRecordingOutputFolder);
  UpdateLabeledEditControls();
}

void TRecordingDialogForm::RecOutDirSpeedButtonClick() { ShellOpenDocument(Options_RecordingOutputDir.StringValue); }

void TRecordingDialogForm::showEvent(QShowEvent* event) {
  UpdateLabeledEditControls();
  QDialog::showEvent(event);
}

void TRecordingDialogForm::FormCloseQuery() {
  StopRecording();
  UpdateLabeledEditControlsForRecording();
}

void TRecordingDialogForm::closeEvent(QCloseEvent* event) {
  FormCloseQuery();
  QDialog::closeEvent(event);
}

void TRecordingDialogForm::reject() {
  FormCloseQuery();
  QDialog::reject();
}

