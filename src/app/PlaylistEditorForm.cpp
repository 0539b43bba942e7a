#include "app/PlaylistEditorForm.h"

#include "app/CommandActions.h"
#include "app/PlaylistWindowHooks.h"
#include "app/SkinnedFormColours.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/PlaylistDisplayTexts.h"
#include "playlist/PlaylistEditor.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinLoader.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShellFunctions.h"

namespace {

TPlaylistEditorForm*& TheForm() {
  static TPlaylistEditorForm* form = nullptr;
  return form;
}

// Guards the scroll track against being moved by the list while the track moves the list.
bool& ApplyingScrollTrack() {
  static bool applying = false;
  return applying;
}

template <typename Hook, typename... Args>
void RunHook(const Hook& hook, Args&&... args) {
  if (hook) hook(std::forward<Args>(args)...);
}

}  // namespace

TPlaylistWindowHooks& PlaylistWindowHooks() {
  static TPlaylistWindowHooks hooks;
  return hooks;
}

TPlaylistEditorForm* PlaylistEditorForm() { return TheForm(); }

TPlaylistEditorForm::TPlaylistEditorForm(QWidget* parent) : TPlaylistEditorForm(ThePlaylist(), parent) {}

TPlaylistEditorForm::TPlaylistEditorForm(TPlaylist& playlist, QWidget* parent)
    : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Playlist, parent), m_playlist(playlist), m_dialogs(playlist) {
  setObjectName("TPlaylistEditorForm");
  setWindowTitle("Playlist Editor");
  BuildWindow();
  ApplyText(m_text);
  TheForm() = this;
}

TPlaylistEditorForm::~TPlaylistEditorForm() {
  if (TheForm() == this) TheForm() = nullptr;
}

void TPlaylistEditorForm::BuildWindow() {
  m_list = new TPlaylistListBox(m_playlist, PlayListScrollBox());
  m_list->OnPlay = [] { RunSkinControlAction(DeckForm_PlayButton); };
  m_list->OnLinePopup = [this](const QPoint& global) { m_menus->ClickFilePopupMenu().popup(global); };
  m_list->OnLinesChanged = [this] { LinesChanged(); };
  connect(m_list, &TPlaylistListBox::TopIndexChanged, this, &TPlaylistEditorForm::FollowListWithScrollTrack);

  TPlaylistMenuHandlers h;
  h.ViewFileInfo = [this] { ShowPlaylistFileInfo(true); };
  h.OpenContainingFolder = [this] { OpenContainingFolder(); };
  h.AddSelectedFilesToLibrary = [this] { AddSelectedFilesToLibrary(); };
  h.AddSelectedURLsToFavourites = [this] { AddSelectedURLsToFavourites(); };
  h.SearchPlaylist = [this] { ShowFindDialog(); };
  h.RemoveSelected = [this] { RemoveSelected(); };
  h.CropSelected = [this] { CropSelected(); };
  h.ConvertFiles = [this] { ConvertSelectedFiles(); };
  h.Sort = [this](TPlaylistSortKey key) { Sort(key); };
  h.Randomize = [this] { Randomize(); };
  h.Reverse = [this] { Reverse(); };
  h.SetDisplayMethod = [this](int method) { SetDisplayMethod(method); };
  h.SetCounterShown = [this](bool shown) { SetCounterShown(shown); };
  m_menus = std::make_unique<TPlaylistMenus>(h, this);

  m_find = new TPlaylistFindDialogForm(m_playlist, this);
  m_find->OnFound = [this](int found) {
    m_list->EnsureVisible(found);
    m_list->update();
  };

  m_timer1.setInterval(400);
  connect(&m_timer1, &QTimer::timeout, this, &TPlaylistEditorForm::Timer1Timer);
}

void TPlaylistEditorForm::ApplyText(const TKELDARSkinTextSettings& text) {
  m_text = text;
  ApplySkinTextToWidget(*PlayListScrollBox(), text);
  setFont(KELDARSkinTextFont(text));
  if (m_list) m_list->ApplyText(text);
}

void TPlaylistEditorForm::ContentAreaChanged() {
  if (!m_list) return;
  // Converted skins start the list a few pixels below the frame's edge.
  const int top = std::max(0, LoadedKELDARSkin().Family.PlaylistListTop);
  const QWidget* area = PlayListScrollBox();
  m_list->setGeometry(0, top, area->width(), std::max(0, area->height() - top));
  FollowListWithScrollTrack(m_list->TopIndex());
}

// ---- timer ----

void TPlaylistEditorForm::EnableTimer(bool enabled) {
  if (enabled) m_timer1.start();
  else m_timer1.stop();
}

void TPlaylistEditorForm::Timer1Timer() {
  const TKELDARSkinFamilySettings& family = LoadedKELDARSkin().Family;
  const TPlaylistStatusTexts texts = PlaylistStatusTexts(m_playlist, family.FileCountPrefix, family.TotalTimePrefix,
                                                         KELDARSkinDisplayCellCount(PlayListEditorForm_PLTextWindow1));
  bool changed = false;
  for (const auto& [id, text] : {std::pair{PlayListEditorForm_PLTextWindow1, &texts.Window1},
                                 std::pair{PlayListEditorForm_PLTextWindow2, &texts.Window2}}) {
    if (GetSkinControlProcessedText(id) == *text && GetSkinControlText(id) == *text) continue;
    SetSkinControlText(id, *text);
    SetSkinControlProcessedText(id, *text);
    changed = true;
  }
  if (changed) update();  // the texts only; an idle tick paints nothing
}

// ---- lines ----

void TPlaylistEditorForm::LinesChanged() {
  m_list->SetTopIndex(m_list->TopIndex());
  m_list->update();
  FollowListWithScrollTrack(m_list->TopIndex());
}

void TPlaylistEditorForm::RemoveSelected() {
  RemoveSelectedEntries(m_playlist);
  LinesChanged();
}
void TPlaylistEditorForm::CropSelected() {
  CropSelectedEntries(m_playlist);
  LinesChanged();
}
void TPlaylistEditorForm::Clear() {
  ClearPlaylist(m_playlist);
  LinesChanged();
}
void TPlaylistEditorForm::SelectAll() {
  SelectAllEntries(m_playlist);
  m_list->update();
}
void TPlaylistEditorForm::SelectNone() {
  SelectNoEntries(m_playlist);
  m_list->update();
}
void TPlaylistEditorForm::InvertSelectionOfLines() {
  InvertSelection(m_playlist);
  m_list->update();
}
void TPlaylistEditorForm::Sort(TPlaylistSortKey key) {
  SortPlaylist(m_playlist, key);
  LinesChanged();
}
void TPlaylistEditorForm::Randomize() {
  RandomizePlaylist(m_playlist);
  LinesChanged();
}
void TPlaylistEditorForm::Reverse() {
  ReversePlaylist(m_playlist);
  LinesChanged();
}

void TPlaylistEditorForm::SetDisplayMethod(int method) {
  Options_PlayListBoxDrawMethod.IntegerValue = method;
  m_list->update();
}

void TPlaylistEditorForm::SetCounterShown(bool shown) {
  Options_PlayListBoxShowCounter.BooleanValue = shown;
  m_list->update();
}

void TPlaylistEditorForm::ListUp() {
  if (m_playlist.Empty()) return;
  const int first = m_playlist.FirstSelected();
  if (first >= 0) m_playlist.SetSelected(first, false);
  const int line = first - 1 >= 0 ? first - 1 : m_playlist.Count() - 1;
  m_playlist.SetSelected(line, true);
  m_playlist.SetItemIndex(line);
  m_list->EnsureVisible(line);
  m_list->update();
}

void TPlaylistEditorForm::ListDown() {
  if (m_playlist.Empty()) return;
  const int first = m_playlist.FirstSelected();
  if (first >= 0) m_playlist.SetSelected(first, false);
  const int line = first + 1 <= m_playlist.Count() - 1 ? first + 1 : 0;
  m_playlist.SetSelected(line, true);
  m_playlist.SetItemIndex(line);
  m_list->EnsureVisible(line);
  m_list->update();
}

// ---- scroll track ----

void TPlaylistEditorForm::ScrollToSliderPosition() {
  ApplyingScrollTrack() = true;
  m_list->SetTopIndex(PlaylistTopLineForScrollValue(GetSkinControlValue(PlayListEditorForm_PLScrollImage),
                                                    m_playlist.Count()));
  ApplyingScrollTrack() = false;
}

void TPlaylistEditorForm::FollowListWithScrollTrack(int top) {
  if (ApplyingScrollTrack()) return;
  const int count = m_playlist.Count();
  // The smallest distance from the top that still maps back onto this line.
  const int value = count > 0 ? 100 - static_cast<int>((100LL * top + count - 1) / count) : 100;
  if (GetSkinControlValue(PlayListEditorForm_PLScrollImage) == value) return;
  SetSkinSliderValue(PlayListEditorForm_PLScrollImage, value);
  update();
}

// ---- menus and dialogs ----

QPoint TPlaylistEditorForm::ControlGlobalPosition(KELDARSkinControls_IDs control) const {
  const TSkinControlRect r = SkinControlWindowRect(control);
  return mapToGlobal(QPoint(r.Left, r.Top));
}

void TPlaylistEditorForm::ShowDisplayMenuAt(KELDARSkinControls_IDs control) {
  m_menus->DisplayMethodPopupMenu().popup(ControlGlobalPosition(control));
}

void TPlaylistEditorForm::ShowSortMenuAt(KELDARSkinControls_IDs control) {
  m_menus->SortPlaylistBoxPopupMenu().popup(ControlGlobalPosition(control));
}

void TPlaylistEditorForm::ShowFindDialog() {
  m_find->show();
  m_find->raise();
  m_find->activateWindow();
}

void TPlaylistEditorForm::ShowPlaylistFileInfo(bool freedbAllowed) {
  const int index = m_playlist.ItemIndex();
  TPlayListBoxItem* item = m_playlist.ItemPointer(index);
  if (!item) return;
  const TPlaylistWindowHooks& hooks = PlaylistWindowHooks();
  const std::string locator = item->FullPathAndFilename;
  if (IsCDTrackLocator(locator)) {
    RunHook(hooks.ShowCDTrackInfo, m_playlist, index,
                    freedbAllowed && Options_UsefreedbSupportState.BooleanValue);
  } else {
    std::string archive, member;
    SplitCompressedFilePath(locator, archive, member);
    if (archive.empty()) {
      RunHook(hooks.ShowTagEditor, *item, locator, locator);
    } else {
      // The editor works on an extracted copy, which goes again afterwards.
      const std::string copy = ExtractArchiveEntry(locator, ProgramFolder() + "/tempunzipped/info");
      if (copy.empty()) return;
      RunHook(hooks.ShowTagEditor, *item, copy, locator);
      DeleteFileIfExists(copy);
    }
  }
  m_list->update();
}

void TPlaylistEditorForm::OpenContainingFolder() {
  const TPlayListBoxItem* item = m_playlist.ItemPointer(m_playlist.ItemIndex());
  if (!item || IsURL(item->FullPathAndFilename)) return;
  // An entry inside an archive lives in the archive's folder.
  std::string archive, member;
  SplitCompressedFilePath(item->FullPathAndFilename, archive, member);
  std::string folder = ExtractFilePath(archive.empty() ? item->FullPathAndFilename : archive);
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty()) return;
  const auto& open = PlaylistWindowHooks().OpenFolder;
  if (open) open(folder);
  else ShellOpenDocument(folder);
}

void TPlaylistEditorForm::AddSelectedFilesToLibrary() {
  RunHook(PlaylistWindowHooks().AddSelectedFilesToLibrary, m_playlist);
}

void TPlaylistEditorForm::AddSelectedURLsToFavourites() {
  RunHook(PlaylistWindowHooks().AddSelectedURLsToFavourites, m_playlist);
}

void TPlaylistEditorForm::ConvertSelectedFiles() {
  RunHook(PlaylistWindowHooks().ConvertSelectedFiles, m_playlist);
}
