// The playlist window's owner-drawn list: one row per entry painted by the skin's row
// painter, tags read lazily for the rows that get painted (right after the paint, in short
// slices, each read row repainted), the list's ordinary selection
// with the left button, moving the selection by dragging with the right button, Enter and
// Delete, and a top line that the skin's scroll track follows. UI thread only.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

#include "playlist/TPlaylist.h"
#include "skin/KELDARSkinTextSettings.h"

class TPlaylistListBox : public QWidget {
  Q_OBJECT
 public:
  explicit TPlaylistListBox(TPlaylist& playlist, QWidget* parent = nullptr);

  TPlaylist& Playlist() const { return m_playlist; }

  // Colours, font and row height of "Playlist_Text.ini".
  void ApplyText(const TKELDARSkinTextSettings& text);
  int RowHeight() const { return m_rowHeight; }

  // ---- scrolling ----
  int TopIndex() const { return m_top; }
  // Clamped so that the last page stays full; emits TopIndexChanged when it moves.
  void SetTopIndex(int index);
  // Rows that fit completely (at least 1).
  int VisibleRows() const;
  void EnsureVisible(int index);
  // The row under a point of the list, -1 below the last entry or outside the list.
  int RowAt(const QPoint& at) const;
  QRect RowRect(int index) const;

  // Reads the tags of the shown lines still unread, from the top, until a slice of time is
  // used up; true when some are left for the next turn of the event loop. Runs by itself
  // after a paint that showed unread lines.
  bool ReadTagsOfShownLines();

  // What the list hands on: the play action (double click, Enter), the line pop-up menu
  // (right click without movement) and a change of the lines (count, order, removals).
  std::function<void()> OnPlay;
  std::function<void(const QPoint& global)> OnLinePopup;
  std::function<void()> OnLinesChanged;

 signals:
  void TopIndexChanged(int top);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The left button's selection: plain picks one line, Ctrl toggles, Shift extends from the anchor.
  void SelectByLeftButton(int row, Qt::KeyboardModifiers modifiers);
  void SelectRange(int from, int to, bool keepOthers);
  void MoveFocus(int row, Qt::KeyboardModifiers modifiers);
  // Moves the selection by the rows between the remembered one and the one under the pointer.
  void DragSelectionTo(int row);
  void LinesChanged();

  // One past the last row at least partly inside the list.
  int EndOfShownRows() const;

  TPlaylist& m_playlist;
  TKELDARSkinTextSettings m_text;
  int m_rowHeight = 16;
  int m_top = 0;
  int m_anchor = -1;
  bool m_leftSelecting = false;
  int m_rightDragRow = -1;   // the remembered row of a right-button drag
  int m_rightPressRow = -1;  // where the right press started
  QTimer m_tagReading;       // fires once after a paint that showed unread lines
};
