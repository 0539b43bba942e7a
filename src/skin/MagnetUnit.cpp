#include "skin/MagnetUnit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

std::vector<TMagnet*>& Registry() {
  static std::vector<TMagnet*> magnets;
  return magnets;
}

// Exclusive edges: a window at x 0 of width 300 ends at 300, where its neighbour starts.
int Right(const QRect& r) { return r.x() + r.width(); }
int Bottom(const QRect& r) { return r.y() + r.height(); }

long long OverlapArea(const QRect& a, const QRect& b) {
  const QRect i = a.intersected(b);
  return i.isValid() ? static_cast<long long>(i.width()) * i.height() : 0;
}

bool Touch(const QRect& a, const QRect& b) {
  const bool verticalOverlap = a.y() < Bottom(b) && b.y() < Bottom(a);
  const bool horizontalOverlap = a.x() < Right(b) && b.x() < Right(a);
  return (verticalOverlap && (Right(a) == b.x() || Right(b) == a.x())) ||
         (horizontalOverlap && (Bottom(a) == b.y() || Bottom(b) == a.y()));
}

// Edge pair: when |moving - other| < range the moving edge takes the other's place.
void SnapEdge(int movingEdge, int otherEdge, int range, int offsetToOrigin, int& origin, bool& snapped) {
  if (std::abs(movingEdge - otherEdge) < range) {
    origin = otherEdge - offsetToOrigin;
    snapped = true;
  }
}

}  // namespace

TMagnet::TMagnet() { Registry().push_back(this); }

TMagnet::~TMagnet() {
  auto& all = Registry();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  for (TMagnet* m : all) {
    m->SnapList.erase(std::remove(m->SnapList.begin(), m->SnapList.end(), this), m->SnapList.end());
    std::erase_if(m->m_followers, [this](const auto& f) { return f.first == this; });
  }
}

const std::vector<TMagnet*>& TMagnet::AllMagnets() { return Registry(); }

QPoint TMagnet::SnapMove(const QRect& proposed, bool controlHeld) {
  SnapList.clear();
  const bool snap = AutoSnap != controlHeld;
  if (!snap) return proposed.topLeft();
  int x = proposed.x(), y = proposed.y();
  const int w = proposed.width(), h = proposed.height();
  const long long area = static_cast<long long>(w) * h;
  if (SnapOptions & soMagnet) {
    for (TMagnet* other : Registry()) {
      if (other == this || !other->Active || other->GroupIndex != GroupIndex || !other->Bounds) continue;
      if (ClusterIndex != 0 && other->ClusterIndex == ClusterIndex) continue;
      const QRect o = other->Bounds();
      if (!o.adjusted(-Range, -Range, Range, Range).intersects(proposed)) continue;
      if (2 * OverlapArea(proposed, o) >= area) continue;
      bool snapped = false;
      SnapEdge(proposed.x(), Right(o), Range, 0, x, snapped);    // left to right
      SnapEdge(proposed.x(), o.x(), Range, 0, x, snapped);       // left to left
      SnapEdge(Right(proposed), o.x(), Range, w, x, snapped);    // right to left
      SnapEdge(Right(proposed), Right(o), Range, w, x, snapped); // right to right
      SnapEdge(proposed.y(), Bottom(o), Range, 0, y, snapped);    // top to bottom
      SnapEdge(proposed.y(), o.y(), Range, 0, y, snapped);        // top to top
      SnapEdge(Bottom(proposed), o.y(), Range, h, y, snapped);    // bottom to top
      SnapEdge(Bottom(proposed), Bottom(o), Range, h, y, snapped);// bottom to bottom
      if (snapped) SnapList.push_back(other);
    }
  }
  if ((SnapOptions & soInScreen) && WorkArea) {
    const QRect a = WorkArea();
    if (a.isValid()) {
      if (x < a.x() + Range) x = a.x();
      if (x + w > Right(a) - Range) x = Right(a) - w;
      if (y < a.y() + Range) y = a.y();
      if (y + h > Bottom(a) - Range) y = Bottom(a) - h;
    }
  }
  return {x, y};
}

QSize TMagnet::SnapSize(const QSize& current, const QSize& proposed) const {
  if (!ResizeEnabled) return current;
  const auto round = [](int value, int step) {
    if (step <= 1) return value;
    return static_cast<int>(std::lround(static_cast<double>(value) / step)) * step;
  };
  return {std::max(round(proposed.width(), ResizeXStep), ResizeMinWidth),
          std::max(round(proposed.height(), ResizeYStep), ResizeMinHeight)};
}

std::vector<TMagnet*> TMagnet::ClusterMembers() const {
  std::vector<TMagnet*> members;
  if (ClusterIndex == 0) return members;
  for (TMagnet* m : Registry())
    if (m != this && m->Active && m->ClusterIndex == ClusterIndex) members.push_back(m);
  return members;
}

void TMagnet::BeginDrag() {
  m_followers.clear();
  if (!Bounds) return;
  m_dragStart = Bounds().topLeft();
  if (!MainForm) {
    LeaveCluster();
    return;
  }
  if (EnableClustering)
    for (TMagnet* m : ClusterMembers())
      if (m->Bounds && m->MoveTo) m_followers.emplace_back(m, m->Bounds().topLeft());
}

void TMagnet::DragTo(const QPoint& target) {
  if (!MoveTo) return;
  const QPoint offset = target - m_dragStart;
  for (const auto& [member, start] : m_followers) member->MoveTo(start + offset);
  MoveTo(target);
}

void TMagnet::RebuildClusters() {
  std::vector<TMagnet*> members;
  for (TMagnet* m : Registry()) {
    m->ClusterIndex = 0;
    if (m->Active && m->EnableClustering && m->Bounds) members.push_back(m);
  }
  std::vector<std::size_t> parent(members.size());
  std::iota(parent.begin(), parent.end(), 0);
  const auto find = [&](std::size_t i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
  };
  for (std::size_t i = 0; i < members.size(); ++i)
    for (std::size_t j = i + 1; j < members.size(); ++j)
      if (members[i]->GroupIndex == members[j]->GroupIndex && Touch(members[i]->Bounds(), members[j]->Bounds()))
        parent[find(i)] = find(j);
  std::vector<int> number(members.size(), 0);
  int next = 1;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const std::size_t root = find(i);
    bool shared = false;
    for (std::size_t j = 0; j < members.size() && !shared; ++j) shared = j != i && find(j) == root;
    if (!shared) continue;
    if (number[root] == 0) number[root] = next++;
    members[i]->ClusterIndex = number[root];
  }
}
