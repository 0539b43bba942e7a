#include "app/PlaylistWindowActions.h"

#include "app/CommandActions.h"
#include "app/PlaylistEditorForm.h"
#include "app/StartupHooks.h"

namespace {

template <typename F>
void WithWindow(F run) {
  if (TPlaylistEditorForm* form = PlaylistEditorForm()) run(*form);
}

}  // namespace

void PlaylistWindowAddFiles() {
  WithWindow([](TPlaylistEditorForm& f) {
    f.Dialogs().AddFilesToPlayListWithOpenDialog();
    f.LinesChanged();
  });
}

void PlaylistWindowAddFolder() {
  WithWindow([](TPlaylistEditorForm& f) {
    f.Dialogs().AddDirToPlayList();
    f.LinesChanged();
  });
}

void PlaylistWindowLoadList() {
  WithWindow([](TPlaylistEditorForm& f) {
    f.Dialogs().LoadPlaylistWithDialog();
    f.LinesChanged();
  });
}

void PlaylistWindowSaveList() {
  WithWindow([](TPlaylistEditorForm& f) { f.Dialogs().SavePlaylistWithDialog(); });
}

void PlaylistWindowRemoveSelected() {
  WithWindow([](TPlaylistEditorForm& f) { f.RemoveSelected(); });
}
void PlaylistWindowCropSelected() {
  WithWindow([](TPlaylistEditorForm& f) { f.CropSelected(); });
}
void PlaylistWindowClear() {
  WithWindow([](TPlaylistEditorForm& f) { f.Clear(); });
}
void PlaylistWindowSelectAll() {
  WithWindow([](TPlaylistEditorForm& f) { f.SelectAll(); });
}
void PlaylistWindowSelectNone() {
  WithWindow([](TPlaylistEditorForm& f) { f.SelectNone(); });
}
void PlaylistWindowInvertSelection() {
  WithWindow([](TPlaylistEditorForm& f) { f.InvertSelectionOfLines(); });
}

void PlaylistWindowShowDisplayMenuAt(KELDARSkinControls_IDs button) {
  WithWindow([button](TPlaylistEditorForm& f) { f.ShowDisplayMenuAt(button); });
}
void PlaylistWindowShowSortMenuAt(KELDARSkinControls_IDs button) {
  WithWindow([button](TPlaylistEditorForm& f) { f.ShowSortMenuAt(button); });
}
void PlaylistWindowShowFileInfo() {
  WithWindow([](TPlaylistEditorForm& f) { f.ShowPlaylistFileInfo(true); });
}
void PlaylistWindowShowFindDialog() {
  WithWindow([](TPlaylistEditorForm& f) { f.ShowFindDialog(); });
}

void PlaylistWindowScrollToSliderPosition() {
  WithWindow([](TPlaylistEditorForm& f) { f.ScrollToSliderPosition(); });
}
void PlaylistWindowListUp() {
  WithWindow([](TPlaylistEditorForm& f) { f.ListUp(); });
}
void PlaylistWindowListDown() {
  WithWindow([](TPlaylistEditorForm& f) { f.ListDown(); });
}

void InstallPlaylistWindowActions() {
  if (!CommandActions().AddFiles) CommandActions().AddFiles = PlaylistWindowAddFiles;
  if (!StartupHooks().RepaintPlaylist)
    StartupHooks().RepaintPlaylist = [] {
      WithWindow([](TPlaylistEditorForm& f) {
        f.update();
        f.LinesChanged();
      });
    };
}
