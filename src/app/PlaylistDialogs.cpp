#include "app/PlaylistDialogs.h"

#include <QFileDialog>
#include <QStringList>

#include <filesystem>

#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/PlaylistEditor.h"
#include "playlist/PlaylistFileLoading.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t bar = text.find('|', start);
    if (bar == std::string::npos) {
      parts.push_back(text.substr(start));
      break;
    }
    parts.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  return parts;
}

std::string FolderOf(const std::string& fileName) {
  std::string folder = std::filesystem::path(fileName).parent_path().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::vector<std::string> QtNameFiltersFromDialogFilter(const std::string& filter) {
  const std::vector<std::string> parts = SplitBars(filter);
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string text = parts[i];
    // "Name (*.ext)": Qt would read the bracket as the patterns, so it is replaced by ours.
    const std::size_t open = text.rfind('(');
    if (open != std::string::npos && !text.empty() && text.back() == ')') text.erase(open);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    QStringList patterns;
    for (const QString& p : QString::fromStdString(parts[i + 1]).split(';', Qt::SkipEmptyParts)) {
      const QString pattern = p.trimmed() == "*.*" ? QString("*") : p.trimmed();
      for (const QString& variant : {pattern, pattern.toUpper(), pattern.toLower()})
        if (!patterns.contains(variant)) patterns << variant;
    }
    out.push_back(text + " (" + patterns.join(' ').toStdString() + ")");
  }
  return out;
}

TPlaylistFileDialogAnswer RunQtPlaylistFileDialog(const TPlaylistFileDialogRequest& request) {
  QFileDialog dialog(nullptr, QString::fromStdString(request.Title), QString::fromStdString(request.StartFolder));
  QStringList filters;
  for (const std::string& f : QtNameFiltersFromDialogFilter(request.Filter)) filters << QString::fromStdString(f);
  dialog.setNameFilters(filters);
  using K = TPlaylistFileDialogRequest::TKind;
  dialog.setAcceptMode(request.Kind == K::SaveFile ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.Kind == K::OpenFiles  ? QFileDialog::ExistingFiles
                     : request.Kind == K::OpenFile ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
  if (!request.FileName.empty()) dialog.selectFile(QString::fromStdString(request.FileName));
  TPlaylistFileDialogAnswer answer;
  answer.Accepted = dialog.exec() == QDialog::Accepted;
  if (!answer.Accepted) return answer;
  for (const QString& f : dialog.selectedFiles()) answer.Files.push_back(f.toStdString());
  answer.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (answer.FilterIndex < 1) answer.FilterIndex = 1;
  return answer;
}

std::string RunQtPlaylistFolderDialog(const std::string& title, const std::string& startFolder) {
  return QFileDialog::getExistingDirectory(nullptr, QString::fromStdString(title), QString::fromStdString(startFolder))
      .toStdString();
}

void TPlaylistDialogs::AddFilesToPlayListWithOpenDialog() {
  TPlaylistFileDialogRequest request;
  request.Kind = TPlaylistFileDialogRequest::TKind::OpenFiles;
  request.Title = "Add Files To PlayList";
  request.StartFolder = Options_SongsDir.StringValue;
  request.Filter = BuildOpenFileFilter(true);
  request.FileName = m_addFilesName;
  const TPlaylistFileDialogAnswer answer = RunFileDialog(request);
  if (answer.Accepted && !answer.Files.empty()) m_addFilesName = answer.Files.front();
  if (answer.Accepted && !answer.Files.empty()) ProccessAddedFiles(m_playlist, answer.Files, true);
  // A first dialog cancelled before any file was chosen has no name: the folder is kept
  // rather than emptied.
  if (!m_addFilesName.empty()) Options_SongsDir.StringValue = FolderOf(m_addFilesName);
}

void TPlaylistDialogs::AddDirToPlayList() {
  const std::string folder = RunFolderDialog("Add Directory To Playlist", m_lastFolder.empty() ? "/" : m_lastFolder);
  if (folder.empty()) return;
  m_lastFolder = folder;
  AddDirectoryToPlaylist(m_playlist, folder);
}

void TPlaylistDialogs::LoadPlaylistWithDialog() {
  TPlaylistFileDialogRequest request;
  request.Kind = TPlaylistFileDialogRequest::TKind::OpenFile;
  request.Title = "Load PlayList";
  request.Filter = BuildPlaylistFileFilter(true);
  request.FileName = m_listFileName;
  const TPlaylistFileDialogAnswer answer = RunFileDialog(request);
  if (!answer.Accepted || answer.Files.empty()) return;
  m_listFileName = answer.Files.front();
  LoadPlaylistFile(m_playlist, m_listFileName, true);
}

void TPlaylistDialogs::SavePlaylistWithDialog() {
  TPlaylistFileDialogRequest request;
  request.Kind = TPlaylistFileDialogRequest::TKind::SaveFile;
  request.Title = "Save PlayList";
  request.Filter = BuildPlaylistFileFilter(true);
  request.FileName = m_listFileName;
  const TPlaylistFileDialogAnswer answer = RunFileDialog(request);
  if (!answer.Accepted || answer.Files.empty()) return;
  m_listFileName = ApplySaveFilterExtension(answer.Files.front(), request.Filter, answer.FilterIndex);
  SavePlaylistFile(m_playlist, m_listFileName);
}
