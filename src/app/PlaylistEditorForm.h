// The playlist window: the skinned frame with its list inside the content area, the status
// texts on its own 400 ms timer, the three pop-up menus, the file dialogs and the find
// dialog. The skin's scroll track and the list's top line follow each other.
// UI thread only.
#pragma once

#include <QTimer>

#include <memory>

#include "app/PlaylistDialogs.h"
#include "app/PlaylistFindDialog.h"
#include "app/PlaylistListBox.h"
#include "app/PlaylistMenus.h"
#include "skin/KELDARSkinTextSettings.h"
#include "skin/SkinUnitTemplate.h"

class TPlaylistEditorForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  // The process-wide playlist by default.
  explicit TPlaylistEditorForm(QWidget* parent = nullptr);
  TPlaylistEditorForm(TPlaylist& playlist, QWidget* parent);
  ~TPlaylistEditorForm() override;

  TPlaylist& Playlist() const { return m_playlist; }
  // The content area inside the frame (drops land here) and the list in it.
  QWidget* PlayListScrollBox() const { return ContentArea(); }
  TPlaylistListBox* PlayListBox() const { return m_list; }
  TPlaylistMenus& Menus() const { return *m_menus; }
  TPlaylistDialogs& Dialogs() { return m_dialogs; }
  TPlaylistFindDialogForm& FindDialog() const { return *m_find; }

  // Colours, font and row height of "Playlist_Text.ini".
  void ApplyText(const TKELDARSkinTextSettings& text);
  const TKELDARSkinTextSettings& Text() const { return m_text; }

  // The window's timer, switched with the other windows' timers.
  void EnableTimer(bool enabled);
  QTimer& StatusTimer() { return m_timer1; }
  // One tick: the two text windows show the count and the total time, or "Getting "
  // "Tag IDs..." while tags are read.
  void Timer1Timer();

  // ---- what the window's controls and menus do ----
  void RemoveSelected();
  void CropSelected();
  void Clear();
  void SelectAll();
  void SelectNone();
  void InvertSelectionOfLines();
  void Sort(TPlaylistSortKey key);
  void Randomize();
  void Reverse();
  void SetDisplayMethod(int method);
  void SetCounterShown(bool shown);
  // The previous / next line becomes the selected one (wrapping at the ends).
  void ListUp();
  void ListDown();
  // Top line from the skin's scroll track: (100 - value) x count / 100.
  void ScrollToSliderPosition();
  // The menus at a control of the window (its top-left corner).
  void ShowDisplayMenuAt(KELDARSkinControls_IDs control);
  void ShowSortMenuAt(KELDARSkinControls_IDs control);
  void ShowFindDialog();
  // Information about the line at the list's item index (nothing when there is none).
  void ShowPlaylistFileInfo(bool freedbAllowed);
  void OpenContainingFolder();
  void AddSelectedFilesToLibrary();
  void AddSelectedURLsToFavourites();
  void ConvertSelectedFiles();

  // The lines changed: list, counters and scroll track follow.
  void LinesChanged();

 protected:
  void ContentAreaChanged() override;

 private:
  void BuildWindow();
  // The list's top line into the scroll track's value.
  void FollowListWithScrollTrack(int top);
  QPoint ControlGlobalPosition(KELDARSkinControls_IDs control) const;

  TPlaylist& m_playlist;
  TKELDARSkinTextSettings m_text;
  TPlaylistListBox* m_list = nullptr;
  std::unique_ptr<TPlaylistMenus> m_menus;
  TPlaylistDialogs m_dialogs;
  TPlaylistFindDialogForm* m_find = nullptr;
  QTimer m_timer1;
};

// The window the action table works on (the last one created; null when there is none).
TPlaylistEditorForm* PlaylistEditorForm();
