// Every window and dialog of the program, created once at start-up in a fixed order and
// destroyed at exit in the reverse order.
#pragma once

#include <QObject>
#include <QWidget>

#include <memory>
#include <vector>

#include "app/SkinnedWindowSet.h"
#include "app/deck.h"
#include "plugins/zorvaneplayerapiunit.h"

class TEqualizerForm;
class TPlaylistEditorForm;
class TVisualsScreenForm;
class TKELDAR_DatabaseForm;
class TFullScreenControlsForm;
class TEqualizerPresetsForm;
class TRecordingDialogForm;
class TPreferencesDialogForm;
class TTAGDialogForm;
class TSystemInfoForm;
class TOpenURLDialogForm;

// Stands for a window whose real class is not part of this program yet: it exists, in
// its place in the creation order, and is never shown.
class TPlaceholderForm : public QWidget {
  Q_OBJECT
 public:
  explicit TPlaceholderForm(const char* className);
};

class TApplicationForms {
 public:
  // Creates the main window (its create event runs).
  void CreateDeckForm();
  // The remaining windows and dialogs, in their order; then the skinned windows' set.
  void CreateRemainingForms();
  void DestroyAll();
  ~TApplicationForms() { DestroyAll(); }

  TDeckForm* Deck() const { return m_deck.get(); }
  Tzorvaneplayerapi* Api() const { return m_api; }
  TEqualizerForm* Equalizer() const { return m_equalizer; }
  TPlaylistEditorForm* Playlist() const { return m_playlist; }
  TVisualsScreenForm* Visuals() const { return m_visuals; }
  TKELDAR_DatabaseForm* Library() const { return m_library; }
  TFullScreenControlsForm* FullScreen() const { return m_fullScreen; }
  TEqualizerPresetsForm* EqualizerPresets() const { return m_equalizerPresets; }
  TRecordingDialogForm* Recording() const { return m_recording; }
  TPreferencesDialogForm* Preferences() const { return m_preferences; }
  TTAGDialogForm* TagEditor() const { return m_tagEditor; }
  TSystemInfoForm* SystemInfo() const { return m_systemInfo; }
  TOpenURLDialogForm* OpenURL() const { return m_openURL; }
  // The six skinned windows for the skin loader (null before CreateRemainingForms).
  TSkinnedWindowSet* SkinnedWindows() const { return m_skinnedWindows.get(); }
  // Class names in creation order, the main window first (for tests and diagnostics).
  std::vector<std::string> CreationOrder() const;

 private:
  std::unique_ptr<TDeckForm> m_deck;
  std::vector<std::unique_ptr<QObject>> m_forms;
  Tzorvaneplayerapi* m_api = nullptr;
  TEqualizerForm* m_equalizer = nullptr;
  TPlaylistEditorForm* m_playlist = nullptr;
  TVisualsScreenForm* m_visuals = nullptr;
  TKELDAR_DatabaseForm* m_library = nullptr;
  TFullScreenControlsForm* m_fullScreen = nullptr;
  TEqualizerPresetsForm* m_equalizerPresets = nullptr;
  TRecordingDialogForm* m_recording = nullptr;
  TPreferencesDialogForm* m_preferences = nullptr;
  TTAGDialogForm* m_tagEditor = nullptr;
  TSystemInfoForm* m_systemInfo = nullptr;
  TOpenURLDialogForm* m_openURL = nullptr;
  std::unique_ptr<TSkinnedWindowSet> m_skinnedWindows;
};

// The names of the windows created after the main window, in creation order.
extern const char* const kRemainingFormClassNames[19];
