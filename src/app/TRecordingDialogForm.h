// The recording dialog: what will be recorded (source, encoder, folder, file name) and the
// Start/Stop button. The values are changed in the preferences ("Settings").
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TRecordingDialogForm : public QDialog {
  Q_OBJECT
 public:
  explicit TRecordingDialogForm(QWidget* parent = nullptr);
  ~TRecordingDialogForm() override;

  // Start/Stop.
  void Button1Click();
  // The preferences at "Encoders Options".
  void Button2Click();
  // "...": a new output folder.
  void ChangeOutputDirButtonClick();
  // Opens the output folder in the desktop's file browser.
  void RecOutDirSpeedButtonClick();
  void UpdateLabeledEditControls();
  void UpdateLabeledEditControlsForRecording();

  QPushButton* StartButton() const { return m_start; }
  QLineEdit* SourceEdit() const { return m_source; }
  QLineEdit* EncoderEdit() const { return m_encoder; }
  QLineEdit* OutputDirEdit() const { return m_outputDir; }
  QLineEdit* FilenameEdit() const { return m_filename; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void FormCloseQuery();
  QLineEdit* m_source;
  QLineEdit* m_encoder;
  QLineEdit* m_outputDir;
  QLineEdit* m_filename;
  QPushButton* m_start;
};

