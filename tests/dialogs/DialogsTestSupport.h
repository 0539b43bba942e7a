// A QApplication for the dialog tests and a program folder of their own.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include "TestSupport.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace dialogs_test {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "keldar_dialogs_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class TDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    InitSettingsDefaults();
    SetProgramFolderForTesting(folder_.Path());
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const TMessage& m : ReadMessageLog(log_.Path())) texts.push_back(m.Text);
    return texts;
  }
  TTempFolder folder_;
  TMessageLogCapture log_{folder_ / "messages.log"};
};

}  // namespace dialogs_test
