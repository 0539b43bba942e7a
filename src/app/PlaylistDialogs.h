// The playlist window's file and folder dialogs: adding files (starting in Options_SongsDir),
// adding a folder, loading and saving a playlist. The dialog itself is a replaceable
// function, so everything around it (filters, starting folders, the extension of the chosen
// save filter, what happens on confirmation) runs the same with a scripted answer.
// UI thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "playlist/TPlaylist.h"

struct TPlaylistFileDialogRequest {
  enum class TKind { OpenFiles, OpenFile, SaveFile };
  TKind Kind = TKind::OpenFile;
  std::string Title;
  std::string StartFolder;
  std::string Filter;    // "text|pattern;pattern|text|pattern|..."
  std::string FileName;  // the name the dialog starts with
};

struct TPlaylistFileDialogAnswer {
  bool Accepted = false;
  std::vector<std::string> Files;  // in the user's order
  int FilterIndex = 1;             // 1-based entry of the filter chosen
};

using TPlaylistFileDialogRunner = std::function<TPlaylistFileDialogAnswer(const TPlaylistFileDialogRequest&)>;
// Returns the chosen folder; empty when cancelled.
using TPlaylistFolderDialogRunner = std::function<std::string(const std::string& title, const std::string& startFolder)>;

// QFileDialog and QFileDialog::getExistingDirectory.
TPlaylistFileDialogAnswer RunQtPlaylistFileDialog(const TPlaylistFileDialogRequest& request);
std::string RunQtPlaylistFolderDialog(const std::string& title, const std::string& startFolder);

// The name filters of a QFileDialog for a "text|pattern|..." filter, one per pair in the
// same order (so the chosen index maps back). Patterns are offered in upper and lower case,
// as Qt compares names case-sensitively; "*.*" becomes "*" so names without a dot show.
std::vector<std::string> QtNameFiltersFromDialogFilter(const std::string& filter);

class TPlaylistDialogs {
 public:
  explicit TPlaylistDialogs(TPlaylist& playlist) : m_playlist(playlist) {}

  TPlaylistFileDialogRunner RunFileDialog = RunQtPlaylistFileDialog;
  TPlaylistFolderDialogRunner RunFolderDialog = RunQtPlaylistFolderDialog;

  // "Add Files To PlayList": the chosen files are added with all dialogs; afterwards, confirmed
  // or not, Options_SongsDir is the folder of the dialog's file name.
  void AddFilesToPlayListWithOpenDialog();
  // "Add Directory To Playlist", starting at the folder last chosen here in this run.
  void AddDirToPlayList();
  // "Load PlayList": the chosen file replaces the list.
  void LoadPlaylistWithDialog();
  // "Save PlayList": the name gets the extension of the chosen filter entry.
  void SavePlaylistWithDialog();

 private:
  TPlaylist& m_playlist;
  std::string m_addFilesName;  // the add-files dialog keeps its file name between uses
  std::string m_lastFolder;
  std::string m_listFileName;
};
