// The playlist window's controls as plain functions, for the action table: each works on
// the playlist window (PlaylistEditorForm()) and does nothing while there is none.
// UI thread only.
#pragma once

#include "skin/KELDARSkinControls_IDs.h"

// ---- adding, loading, saving (the file and folder dialogs) ----
void PlaylistWindowAddFiles();
void PlaylistWindowAddFolder();
void PlaylistWindowLoadList();
void PlaylistWindowSaveList();

// ---- removing and selecting ----
void PlaylistWindowRemoveSelected();
void PlaylistWindowCropSelected();
void PlaylistWindowClear();
void PlaylistWindowSelectAll();
void PlaylistWindowSelectNone();
void PlaylistWindowInvertSelection();

// ---- menus at a button of the window, information, searching ----
// The display menu (PlayListEditorForm_PLMiscOptionsButton) and the sort menu
// (PlayListEditorForm_PLSortListButton), opened at the given control.
void PlaylistWindowShowDisplayMenuAt(KELDARSkinControls_IDs button);
void PlaylistWindowShowSortMenuAt(KELDARSkinControls_IDs button);
// File information of the line at the item index (freedb allowed as the settings say).
void PlaylistWindowShowFileInfo();
void PlaylistWindowShowFindDialog();

// ---- the scroll track and the two list buttons ----
// PlayListEditorForm_PLScrollImage: the list follows the track's value.
void PlaylistWindowScrollToSliderPosition();
// PlayListEditorForm_PLListScrollUpButton / ...DownButton.
void PlaylistWindowListUp();
void PlaylistWindowListDown();

// Installs what the window offers where nothing is installed yet: the eject button's
// "add files" command and the start-up sequence's playlist repaint.
void InstallPlaylistWindowActions();
