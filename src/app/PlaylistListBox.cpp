#include "app/PlaylistListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>

#include "app/SkinnedFormColours.h"
#include "playlist/PlaylistOperations.h"
#include "playlist/PlaylistTagReading.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/KELDARSkinPlaylistRowPainter.h"

namespace {
constexpr int kWheelRows = 3;
// Reading one file takes about half a millisecond; a slice of a few keeps every turn of the
// event loop, the repaint of the lines read included, well inside one frame.
constexpr std::chrono::milliseconds kTagReadingSlice{5};
}

TPlaylistListBox::TPlaylistListBox(TPlaylist& playlist, QWidget* parent) : QWidget(parent), m_playlist(playlist) {
  setObjectName("PlayListBox");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  ApplyText(m_text);
  m_tagReading.setSingleShot(true);
  m_tagReading.setInterval(0);
  connect(&m_tagReading, &QTimer::timeout, this, [this] {
    if (ReadTagsOfShownLines()) m_tagReading.start();
  });
}

void TPlaylistListBox::ApplyText(const TKELDARSkinTextSettings& text) {
  m_text = text;
  m_rowHeight = std::max(1, text.ItemHeight);
  ApplySkinTextToWidget(*this, text);
  SetTopIndex(m_top);
  update();
}

// ---- scrolling ----

int TPlaylistListBox::VisibleRows() const { return std::max(1, height() / m_rowHeight); }

void TPlaylistListBox::SetTopIndex(int index) {
  const int last = std::max(0, m_playlist.Count() - VisibleRows());
  index = std::clamp(index, 0, last);
  if (index == m_top) return;
  m_top = index;
  update();
  emit TopIndexChanged(m_top);
}

void TPlaylistListBox::EnsureVisible(int index) {
  if (!m_playlist.ValidIndex(index)) return;
  if (index < m_top) SetTopIndex(index);
  else if (index >= m_top + VisibleRows()) SetTopIndex(index - VisibleRows() + 1);
}

int TPlaylistListBox::RowAt(const QPoint& at) const {
  if (at.x() < 0 || at.x() >= width() || at.y() < 0 || at.y() >= height()) return -1;
  const int row = m_top + at.y() / m_rowHeight;
  return m_playlist.ValidIndex(row) ? row : -1;
}

int TPlaylistListBox::EndOfShownRows() const {
  return std::min(m_playlist.Count(), m_top + (height() + m_rowHeight - 1) / m_rowHeight);
}

bool TPlaylistListBox::ReadTagsOfShownLines() {
  const auto start = std::chrono::steady_clock::now();
  for (int i = m_top; i < EndOfShownRows(); ++i) {
    if (!ReadTagsOfPaintedLine(m_playlist, i)) continue;
    update(RowRect(i));
    if (std::chrono::steady_clock::now() - start >= kTagReadingSlice) {
      for (int j = i + 1; j < EndOfShownRows(); ++j)
        if (LineNeedsTagReading(m_playlist, j)) return true;
      return false;
    }
  }
  return false;
}

QRect TPlaylistListBox::RowRect(int index) const {
  return QRect(0, (index - m_top) * m_rowHeight, width(), m_rowHeight);
}

void TPlaylistListBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SetTopIndex(m_top);  // a taller list may show the last page from a higher line
}

// ---- painting ----

void TPlaylistListBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QColor background = KELDARSkinColour(m_text.NormalBG);
  painter.fillRect(event->rect(), background);
  const TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
  TKELDARSkinPlaylistRow row;
  row.BitmapEnabled = m_text.BitmapEnabled;
  row.DisplayMode = Options_PlayListBoxDrawMethod.IntegerValue;
  row.ShowCounter = Options_PlayListBoxShowCounter.BooleanValue;
  row.Font = font();
  const QColor normal = KELDARSkinColour(m_text.Normal), current = KELDARSkinColour(m_text.Current);
  const QColor selected = KELDARSkinColour(m_text.SelectedBG);
  const int first = m_top + std::max(0, event->rect().top() / m_rowHeight);
  const int end = std::min(m_playlist.Count(), m_top + event->rect().bottom() / m_rowHeight + 1);
  for (int i = first; i < end; ++i) {
    // Only painted lines have their tags read, so a long list costs nothing until it is seen;
    // the reading waits until this paint is done, the row shows what its entry has meanwhile.
    if (!m_tagReading.isActive() && LineNeedsTagReading(m_playlist, i)) m_tagReading.start();
    row.Entry = m_playlist.ItemPointer(i);
    row.Index = i;
    row.Rect = RowRect(i);
    row.TextColour = i == m_playlist.CurrentIndex() ? current : normal;
    row.BackgroundColour = m_playlist.Selected(i) ? selected : background;
    PaintKELDARSkinPlaylistRow(painter, row, loaded);
  }
  // Below the last line the list picture shows too when the skin has one.
  const QImage& picture = loaded.Bitmap(TKELDARSkinBitmap::PlaylistListBoxImage);
  const QRect rest(0, (end - m_top) * m_rowHeight, width(), height());
  if (m_text.BitmapEnabled && !picture.isNull() && rest.intersects(event->rect()))
    painter.drawImage(rest.topLeft(), picture, rest);
}

// ---- selection ----

void TPlaylistListBox::SelectRange(int from, int to, bool keepOthers) {
  if (from > to) std::swap(from, to);
  for (int i = 0; i < m_playlist.Count(); ++i) {
    const bool inside = i >= from && i <= to;
    if (inside) m_playlist.SetSelected(i, true);
    else if (!keepOthers) m_playlist.SetSelected(i, false);
  }
}

void TPlaylistListBox::SelectByLeftButton(int row, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::ShiftModifier) {
    SelectRange(m_playlist.ValidIndex(m_anchor) ? m_anchor : row, row, modifiers & Qt::ControlModifier);
  } else if (modifiers & Qt::ControlModifier) {
    m_playlist.SetSelected(row, !m_playlist.Selected(row));
    m_anchor = row;
  } else {
    SelectRange(row, row, false);
    m_anchor = row;
  }
  m_playlist.SetItemIndex(row);
  update();
}

void TPlaylistListBox::MoveFocus(int row, Qt::KeyboardModifiers modifiers) {
  if (m_playlist.Empty()) return;
  row = std::clamp(row, 0, m_playlist.Count() - 1);
  SelectByLeftButton(row, modifiers & (Qt::ShiftModifier | Qt::ControlModifier));
  EnsureVisible(row);
}

void TPlaylistListBox::DragSelectionTo(int row) {
  if (m_rightDragRow < 0 || row < 0) return;
  if (row != m_rightDragRow) {
    MoveSelectedEntries(m_playlist, row - m_rightDragRow);
    LinesChanged();
  }
  m_rightDragRow = row;
}

void TPlaylistListBox::LinesChanged() {
  SetTopIndex(m_top);
  update();
  if (OnLinesChanged) OnLinesChanged();
}

// ---- mouse ----

void TPlaylistListBox::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const int row = RowAt(event->position().toPoint());
  if (event->button() == Qt::RightButton) {
    m_rightDragRow = m_rightPressRow = row;
    return;
  }
  m_rightDragRow = m_rightPressRow = -1;
  if (event->button() != Qt::LeftButton || row < 0) return;
  SelectByLeftButton(row, event->modifiers());
  m_leftSelecting = true;
}

void TPlaylistListBox::mouseMoveEvent(QMouseEvent* event) {
  const int row = RowAt(event->position().toPoint());
  if (event->buttons() & Qt::RightButton) {
    DragSelectionTo(row);
  } else if ((event->buttons() & Qt::LeftButton) && m_leftSelecting && row >= 0 && m_playlist.ValidIndex(m_anchor)) {
    // Dragging with the left button extends the selection from the anchor, as list boxes do.
    SelectRange(m_anchor, row, event->modifiers() & Qt::ControlModifier);
    m_playlist.SetItemIndex(row);
    update();
  }
}

void TPlaylistListBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_leftSelecting = false;
  if (event->button() != Qt::RightButton) return;
  const int row = RowAt(event->position().toPoint());
  DragSelectionTo(row);
  const int start = m_rightPressRow;
  m_rightDragRow = m_rightPressRow = -1;
  if (start < 0 || row != start) return;
  m_playlist.SetItemIndex(row);
  update();
  if (OnLinePopup) OnLinePopup(event->globalPosition().toPoint());
}

void TPlaylistListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    mousePressEvent(event);
    return;
  }
  const int row = RowAt(event->position().toPoint());
  if (row < 0) return;
  SelectByLeftButton(row, Qt::NoModifier);
  if (OnPlay) OnPlay();
}

void TPlaylistListBox::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0) SetTopIndex(m_top - notches * kWheelRows);
  event->accept();
}

// ---- keys ----

void TPlaylistListBox::keyPressEvent(QKeyEvent* event) {
  const int focus = m_playlist.ItemIndex();
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (OnPlay) OnPlay();
      return;
    case Qt::Key_Delete:
      RemoveSelectedEntries(m_playlist);
      if (!m_playlist.ValidIndex(m_playlist.ItemIndex())) m_playlist.SetItemIndex(-1);
      LinesChanged();
      return;
    case Qt::Key_Up: MoveFocus(focus - 1, modifiers); return;
    case Qt::Key_Down: MoveFocus(focus + 1, modifiers); return;
    case Qt::Key_PageUp: MoveFocus(focus - VisibleRows(), modifiers); return;
    case Qt::Key_PageDown: MoveFocus(focus + VisibleRows(), modifiers); return;
    case Qt::Key_Home: MoveFocus(0, modifiers); return;
    case Qt::Key_End: MoveFocus(m_playlist.Count() - 1, modifiers); return;
    default: QWidget::keyPressEvent(event);
  }
}
