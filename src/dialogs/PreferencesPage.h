// One notebook page of the preferences dialog: a widget that refills its controls from the
// settings and lists every time the dialog shows (its NotebookPage...Show).
#pragma once

#include <QWidget>

#include <string>

class TPreferencesPage : public QWidget {
 public:
  explicit TPreferencesPage(const std::string& caption) { setObjectName(QString::fromStdString(caption)); }
  virtual void Fill() {}
  // The main window's timer while the page shows.
  virtual void TimerTick() {}
};

// The pages, one factory each (their files hold the page's behaviour).
TPreferencesPage* CreateInformationPage(const std::string& caption);  // About, Credits, FAQ, Help
TPreferencesPage* CreateWhatsNewPage();
TPreferencesPage* CreateRecordedFilesPage();
TPreferencesPage* CreateSkinsPage();
TPreferencesPage* CreateVisPluginsPage();
TPreferencesPage* CreateDspPluginsPage();
TPreferencesPage* CreateGenericPluginsPage();
TPreferencesPage* CreateGeneralOptionsPage();
TPreferencesPage* CreateAudioLibraryOptionsPage();
TPreferencesPage* CreateEncodersOptionsPage();
TPreferencesPage* CreatefreedbOptionsPage();
TPreferencesPage* CreateUtilitiesPage();
TPreferencesPage* CreateExtensionsPage();

// The "Encoders Options" page's output-folder chooser ("..."); other pages ignore it.
void RunOutputFolderChooser(TPreferencesPage& encodersPage);

// "KELDAR v3.0.0.0": the title of the information pages' group.
std::string ProgramNameAndVersion();
