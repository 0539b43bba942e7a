// Shared by the command tests: one application object for the whole run, a recorder that
// installs every command action, and a capture of the program's warnings.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinControlAccessors.h"

class TQtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "keldar_commands_tests";
    static char* argv[] = {name, nullptr};
    m_app = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { m_app.reset(); }

 private:
  std::unique_ptr<QApplication> m_app;
};

// Every action records its name; the engine state is what the test sets.
struct TActionRecorder {
  std::vector<std::string> Calls;
  int EngineState = 2;

  TActionRecorder() {
    TCommandActions& a = CommandActions();
    a = {};
    a.Previous = [this] { Calls.push_back("Previous"); };
    a.Play = [this] { Calls.push_back("Play"); };
    a.Pause = [this] { Calls.push_back("Pause"); };
    a.Stop = [this] { Calls.push_back("Stop"); };
    a.Next = [this] { Calls.push_back("Next"); };
    a.EnginePlayerState = [this] { return EngineState; };
    a.AddFiles = [this] { Calls.push_back("AddFiles"); };
    a.ShowRecordingDialog = [this] { Calls.push_back("RecordingDialog"); };
    a.ShowPreferencesPage = [this](const std::string& page) { Calls.push_back("Preferences:" + page); };
    a.SelectPreferencesPage = [this](const std::string& page) { Calls.push_back("SelectPage:" + page); };
    a.ClickDeckControl = [this](KELDARSkinControls_IDs id) {
      Calls.push_back("Click:" + std::string(KELDARSkinControlIdentString(id)));
    };
    a.ShowMainForm = [this] { Calls.push_back("ShowMainForm"); };
    a.CloseMainWindow = [this] { Calls.push_back("CloseMainWindow"); };
    a.CheckForUpdates = [this] { Calls.push_back("CheckForUpdates"); };
  }
  ~TActionRecorder() { CommandActions() = {}; }
  TActionRecorder(const TActionRecorder&) = delete;
  TActionRecorder& operator=(const TActionRecorder&) = delete;
};

// The live skin table with the program's own catalogue and a volume action that records the
// slider value it sees.
struct TLiveSkinWithVolumeAction {
  std::vector<int> VolumeSeen;
  TLiveSkinWithVolumeAction() {
    BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own);
    BindSkinControlClickProcedure(DeckForm_VolumeImage,
                                  [this] { VolumeSeen.push_back(GetSkinControlValue(DeckForm_VolumeImage)); });
  }
  ~TLiveSkinWithVolumeAction() { BindSkinControlClickProcedure(DeckForm_VolumeImage, {}); }
};

// Collects qWarning texts while alive.
class TWarningCapture {
 public:
  TWarningCapture() {
    Texts().clear();
    m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
      if (type == QtWarningMsg) Texts().push_back(text.toStdString());
    });
  }
  ~TWarningCapture() { qInstallMessageHandler(m_previous); }
  static std::vector<std::string>& Texts() {
    static std::vector<std::string> texts;
    return texts;
  }
  bool Contains(const std::string& part) const {
    for (const std::string& t : Texts())
      if (t.find(part) != std::string::npos) return true;
    return false;
  }

 private:
  QtMessageHandler m_previous = nullptr;
};
