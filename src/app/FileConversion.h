// Converting the playlist's selected entry through the chosen encoder, with a progress
// dialog whose Cancel ends the conversion after the current block. UI thread only.
#pragma once

#include <QDialog>

#include <atomic>
#include <string>

class QLabel;
class QProgressBar;
class TPlaylist;

class TConversionProgressForm : public QDialog {
  Q_OBJECT
 public:
  TConversionProgressForm(const std::string& sourceLine, const std::string& encoderLine, const std::string& destLine);
  const std::atomic<bool>* CancelFlag() const { return &m_cancel; }
  QProgressBar* Bar() const { return m_bar; }
  void Cancel() { m_cancel = true; }

 protected:
  void reject() override { Cancel(); }

 private:
  std::atomic<bool> m_cancel{false};
  QProgressBar* m_bar;
};

void ConvertSelectedFile(TPlaylist& playlist);
