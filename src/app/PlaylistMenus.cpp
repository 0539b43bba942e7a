#include "app/PlaylistMenus.h"

namespace {

// An entry whose handler is missing stays visible but does nothing.
template <typename F>
void AddEntry(QMenu& menu, const char* caption, F run) {
  QAction* action = menu.addAction(QString::fromUtf8(caption));
  QObject::connect(action, &QAction::triggered, &menu, [run] { run(); });
}

void Run(const std::function<void()>& f) {
  if (f) f();
}

}  // namespace

TPlaylistMenus::TPlaylistMenus(const TPlaylistMenuHandlers& handlers, QWidget* parent)
    : m_handlers(handlers),
      m_line(std::make_unique<QMenu>(parent)),
      m_sort(std::make_unique<QMenu>(parent)),
      m_display(std::make_unique<QMenu>(parent)) {
  const TPlaylistMenuHandlers& h = m_handlers;
  m_line->setObjectName("ClickFilePopupMenu");
  AddEntry(*m_line, "View File Info", [&h] { Run(h.ViewFileInfo); });
  AddEntry(*m_line, "Open Containing Folder", [&h] { Run(h.OpenContainingFolder); });
  m_line->addSeparator();
  AddEntry(*m_line, "Add Selected Files To Library", [&h] { Run(h.AddSelectedFilesToLibrary); });
  AddEntry(*m_line, "Add Selected URLs to Favourites", [&h] { Run(h.AddSelectedURLsToFavourites); });
  m_line->addSeparator();
  AddEntry(*m_line, "Search Playlist", [&h] { Run(h.SearchPlaylist); });
  m_line->addSeparator();
  AddEntry(*m_line, "Remove Selected", [&h] { Run(h.RemoveSelected); });
  AddEntry(*m_line, "Crop Selected", [&h] { Run(h.CropSelected); });
  m_line->addSeparator();
  AddEntry(*m_line, "Convert File(s) to...", [&h] { Run(h.ConvertFiles); });

  m_sort->setObjectName("SortPlaylistBoxPopupMenu");
  const std::pair<const char*, TPlaylistSortKey> sorts[] = {
      {"Sort By Song Title", TPlaylistSortKey::Title},
      {"Sort By Song Artist", TPlaylistSortKey::Artist},
      {"Sort By Path and Filename", TPlaylistSortKey::PathAndFilename},
      {"Sort By File Name", TPlaylistSortKey::FileName},
      {"Sort By File Extension", TPlaylistSortKey::FileExtension},
      {"Sort By File Size", TPlaylistSortKey::FileSize},
      {"Sort By File Date", TPlaylistSortKey::FileDate}};
  for (const auto& [caption, key] : sorts)
    AddEntry(*m_sort, caption, [&h, key = key] {
      if (h.Sort) h.Sort(key);
    });
  m_sort->addSeparator();
  AddEntry(*m_sort, "Randomize List", [&h] { Run(h.Randomize); });
  AddEntry(*m_sort, "Reverse List", [&h] { Run(h.Reverse); });

  m_display->setObjectName("DisplayMethodPopupMenu");
  const std::pair<const char*, int> methods[] = {
      {"Show Artist and Title", 2}, {"Show Full File Names", 0}, {"Show Only File Names", 1}};
  for (const auto& [caption, method] : methods)
    AddEntry(*m_display, caption, [&h, method = method] {
      if (h.SetDisplayMethod) h.SetDisplayMethod(method);
    });
  m_display->addSeparator();
  AddEntry(*m_display, "Show Counter", [&h] {
    if (h.SetCounterShown) h.SetCounterShown(true);
  });
  AddEntry(*m_display, "Hide Counter", [&h] {
    if (h.SetCounterShown) h.SetCounterShown(false);
  });
  m_display->addSeparator();
  AddEntry(*m_display, "Search Playlist", [&h] { Run(h.SearchPlaylist); });
}
