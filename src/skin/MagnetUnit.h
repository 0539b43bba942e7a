// TMagnet: the snapping component of a skinned window. Snaps a moving window to the other
// player windows (and, with soInScreen, to the work area), keeps windows that touch in
// clusters that follow the deck, and rounds sizes to the window's resize steps. Pure
// rectangle arithmetic: the window supplies its rectangle and carries out the moves.
// UI thread only.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <utility>
#include <vector>

enum TMagnetSnapOption : unsigned { soInScreen = 1u, soMagnet = 2u, soInMainForm = 4u };

class TMagnet {
 public:
  TMagnet();
  ~TMagnet();
  TMagnet(const TMagnet&) = delete;
  TMagnet& operator=(const TMagnet&) = delete;

  bool Active = false;
  bool AutoSnap = true;
  int GroupIndex = 0;
  int ClusterIndex = 0;  // 0: in no cluster
  int Range = 20;
  unsigned SnapOptions = soMagnet;
  bool EnableClustering = true;
  bool ClusterSnapping = true;
  bool ImmediateCluster = false;
  int ResizeXStep = 1, ResizeYStep = 1;
  int ResizeMinWidth = 300, ResizeMinHeight = 130;
  bool ResizeEnabled = true;
  bool MainForm = false;  // the deck: its cluster follows it

  // The window's rectangle on screen, and how to move it (set by the window).
  std::function<QRect()> Bounds;
  std::function<void(const QPoint&)> MoveTo;
  // The work area for screen snapping; empty when there is more than one monitor.
  std::function<QRect()> WorkArea;

  // The windows snapped to by the last SnapMove.
  std::vector<TMagnet*> SnapList;

  // Where a window dragged to `proposed` goes; Ctrl held inverts AutoSnap.
  QPoint SnapMove(const QRect& proposed, bool controlHeld);
  // The size a window being sized to `proposed` gets: refused (current) when resizing is
  // off, else rounded to the steps and kept above the minimum.
  QSize SnapSize(const QSize& current, const QSize& proposed) const;

  // The other members of this window's cluster.
  std::vector<TMagnet*> ClusterMembers() const;
  // A window dragged on its own leaves its cluster.
  void LeaveCluster() { ClusterIndex = 0; }
  // A drag starts: the window (and, for the main window, its cluster) remembers where it was.
  void BeginDrag();
  // Moves this window to `target`; the main window's cluster moves by the same offset.
  void DragTo(const QPoint& target);

  // Groups active windows whose edges touch into clusters (numbered from 1).
  static void RebuildClusters();
  static const std::vector<TMagnet*>& AllMagnets();

 private:
  QPoint m_dragStart;
  std::vector<std::pair<TMagnet*, QPoint>> m_followers;
};
