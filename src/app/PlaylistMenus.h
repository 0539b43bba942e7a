// The playlist window's three pop-up menus: the line menu (ClickFilePopupMenu), the sort
// menu (SortPlaylistBoxPopupMenu) and the display menu (DisplayMethodPopupMenu). Each entry
// runs one of the handlers it is built with. UI thread only.
#pragma once

#include <QMenu>

#include <functional>
#include <memory>

#include "playlist/PlaylistOperations.h"

struct TPlaylistMenuHandlers {
  // line menu
  std::function<void()> ViewFileInfo;
  std::function<void()> OpenContainingFolder;
  std::function<void()> AddSelectedFilesToLibrary;
  std::function<void()> AddSelectedURLsToFavourites;
  std::function<void()> SearchPlaylist;  // also in the display menu
  std::function<void()> RemoveSelected;
  std::function<void()> CropSelected;
  std::function<void()> ConvertFiles;
  // sort menu
  std::function<void(TPlaylistSortKey key)> Sort;
  std::function<void()> Randomize;
  std::function<void()> Reverse;
  // display menu: 0 full path, 1 file name, 2 artist and title
  std::function<void(int method)> SetDisplayMethod;
  std::function<void(bool shown)> SetCounterShown;
};

class TPlaylistMenus {
 public:
  TPlaylistMenus(const TPlaylistMenuHandlers& handlers, QWidget* parent);
  TPlaylistMenus(const TPlaylistMenus&) = delete;
  TPlaylistMenus& operator=(const TPlaylistMenus&) = delete;

  QMenu& ClickFilePopupMenu() { return *m_line; }
  QMenu& SortPlaylistBoxPopupMenu() { return *m_sort; }
  QMenu& DisplayMethodPopupMenu() { return *m_display; }

 private:
  TPlaylistMenuHandlers m_handlers;
  std::unique_ptr<QMenu> m_line, m_sort, m_display;
};
