// The main window (deck, a skinned window) and its start-up, first-show and exit sequences.
#pragma once

#include <QTimer>

#include "skin/SkinUnitTemplate.h"

class TDeckForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TDeckForm(QWidget* parent = nullptr);
  ~TDeckForm() override;

  void FormCreate();
  // Runs the first-show sequence once (settings, engine, skin, plug-ins, timers, hot keys).
  void FormShow();
  // The exit sequence; runs once however the close was asked for (window, signal, session end).
  void FormCloseQuery();
  bool ExitSequenceDone() const { return m_exitDone; }

  void LoadCurrentAudioAPI();
  void UNLoadCurrentAudioAPI();
  void CheckForUpdatesClick();

  // The periodic timers of all windows, switched together.
  void EnableWindowTimers(bool enabled);
  QTimer& MainTimer() { return m_timer1; }

 signals:
  void FirstShowFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Timer1Timer();
  void CaptureDeckState();
  void ApplyDeckState();

  QTimer m_timer1;
  bool m_exitDone = false;
};

// The main window while it exists, else null.
TDeckForm* DeckForm();
