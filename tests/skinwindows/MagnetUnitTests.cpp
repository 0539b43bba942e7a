// The snapping component on plain rectangles: magnet edges, Ctrl, the screen's work area,
// clusters that follow the main window, resize steps and minimum sizes.
#include <gtest/gtest.h>

#include <memory>

#include "skin/MagnetUnit.h"

namespace {

struct TFakeWindow {
  QRect Rect;
  TMagnet Magnet;
  explicit TFakeWindow(QRect r, bool main = false) : Rect(r) {
    Magnet.Active = true;
    Magnet.MainForm = main;
    Magnet.Bounds = [this] { return Rect; };
    Magnet.MoveTo = [this](const QPoint& p) { Rect.moveTopLeft(p); };
  }
};

TEST(Magnet, SnapsEdgesWithinTwentyPixels) {
  TFakeWindow deck({0, 0, 300, 130});
  TFakeWindow eq({1000, 1000, 300, 130});
  // 15 pixels right of the deck and 5 lower: left edge to the deck's right, top to its top.
  EXPECT_EQ(eq.Magnet.SnapMove({315, 5, 300, 130}, false), QPoint(300, 0));
  ASSERT_EQ(eq.Magnet.SnapList.size(), 1u);
  EXPECT_EQ(eq.Magnet.SnapList.front(), &deck.Magnet);
  // Below the deck: top to its bottom, left to its left.
  EXPECT_EQ(eq.Magnet.SnapMove({-12, 141, 300, 130}, false), QPoint(0, 130));
  // 20 pixels away is not within range.
  EXPECT_EQ(eq.Magnet.SnapMove({320, 40, 300, 130}, false), QPoint(320, 40));
  EXPECT_TRUE(eq.Magnet.SnapList.empty());
}

TEST(Magnet, ControlInvertsAutoSnap) {
  TFakeWindow deck({0, 0, 300, 130});
  TFakeWindow eq({1000, 1000, 300, 130});
  EXPECT_EQ(eq.Magnet.SnapMove({310, 3, 300, 130}, true), QPoint(310, 3));
  eq.Magnet.AutoSnap = false;
  EXPECT_EQ(eq.Magnet.SnapMove({310, 3, 300, 130}, false), QPoint(310, 3));
  EXPECT_EQ(eq.Magnet.SnapMove({310, 3, 300, 130}, true), QPoint(300, 0));
}

TEST(Magnet, IgnoresInactiveWindowsOtherGroupsAndLargeOverlaps) {
  TFakeWindow deck({0, 0, 300, 130});
  TFakeWindow eq({1000, 1000, 300, 130});
  deck.Magnet.Active = false;
  EXPECT_EQ(eq.Magnet.SnapMove({310, 3, 300, 130}, false), QPoint(310, 3));
  deck.Magnet.Active = true;
  deck.Magnet.GroupIndex = 1;
  EXPECT_EQ(eq.Magnet.SnapMove({310, 3, 300, 130}, false), QPoint(310, 3));
  deck.Magnet.GroupIndex = 0;
  // More than half of the moving window over the deck: no snapping.
  EXPECT_EQ(eq.Magnet.SnapMove({10, 8, 300, 130}, false), QPoint(10, 8));
}

TEST(Magnet, SnapsToTheWorkAreaWhenAsked) {
  TFakeWindow eq({500, 500, 300, 130});
  eq.Magnet.WorkArea = [] { return QRect(0, 0, 1024, 768); };
  EXPECT_EQ(eq.Magnet.SnapMove({15, 700, 300, 130}, false), QPoint(15, 700));  // magnet only
  eq.Magnet.SnapOptions = soMagnet | soInScreen;
  EXPECT_EQ(eq.Magnet.SnapMove({15, 630, 300, 130}, false), QPoint(0, 638));   // 630 + 130 > 768 - 20
  EXPECT_EQ(eq.Magnet.SnapMove({-40, 300, 300, 130}, false), QPoint(0, 300));  // beyond the edge
  EXPECT_EQ(eq.Magnet.SnapMove({710, 300, 300, 130}, false), QPoint(724, 300));
  EXPECT_EQ(eq.Magnet.SnapMove({400, 300, 300, 130}, false), QPoint(400, 300));
}

TEST(Magnet, TheDeckDragsItsClusterAndOthersLeaveIt) {
  TFakeWindow deck({100, 170, 300, 130}, true);
  TFakeWindow eq({400, 170, 300, 130});       // touches the deck's right edge
  TFakeWindow playlist({100, 300, 300, 130}); // touches its bottom
  TFakeWindow far({900, 900, 300, 130});
  TMagnet::RebuildClusters();
  ASSERT_NE(deck.Magnet.ClusterIndex, 0);
  EXPECT_EQ(eq.Magnet.ClusterIndex, deck.Magnet.ClusterIndex);
  EXPECT_EQ(playlist.Magnet.ClusterIndex, deck.Magnet.ClusterIndex);
  EXPECT_EQ(far.Magnet.ClusterIndex, 0);

  deck.Magnet.BeginDrag();
  deck.Magnet.DragTo({150, 200});
  EXPECT_EQ(deck.Rect.topLeft(), QPoint(150, 200));
  EXPECT_EQ(eq.Rect.topLeft(), QPoint(450, 200));
  EXPECT_EQ(playlist.Rect.topLeft(), QPoint(150, 330));
  EXPECT_EQ(far.Rect.topLeft(), QPoint(900, 900));
  // Members do not snap against their own cluster while it moves.
  EXPECT_EQ(deck.Magnet.SnapMove({160, 210, 300, 130}, false), QPoint(160, 210));

  // Dragging the equalizer alone takes it out; the deck no longer moves it.
  eq.Magnet.BeginDrag();
  EXPECT_EQ(eq.Magnet.ClusterIndex, 0);
  eq.Magnet.DragTo({800, 10});
  deck.Magnet.BeginDrag();
  deck.Magnet.DragTo({100, 170});
  EXPECT_EQ(eq.Rect.topLeft(), QPoint(800, 10));
  EXPECT_EQ(playlist.Rect.topLeft(), QPoint(100, 300));
}

TEST(Magnet, ResizeStepsMinimumAndFixedWindows) {
  TMagnet m;
  m.ResizeXStep = 25;
  m.ResizeYStep = 26;
  m.ResizeMinWidth = 300;
  m.ResizeMinHeight = 130;
  EXPECT_EQ(m.SnapSize({300, 130}, {337, 170}), QSize(325, 182));
  EXPECT_EQ(m.SnapSize({300, 130}, {338, 168}), QSize(350, 156));
  EXPECT_EQ(m.SnapSize({300, 130}, {120, 40}), QSize(300, 130));
  m.ResizeEnabled = false;
  EXPECT_EQ(m.SnapSize({300, 130}, {500, 400}), QSize(300, 130));
}

TEST(Magnet, NewComponentsHaveTheDescribedDefaults) {
  TMagnet m;
  EXPECT_EQ(m.Range, 20);
  EXPECT_EQ(m.SnapOptions, static_cast<unsigned>(soMagnet));
  EXPECT_EQ(m.ResizeXStep, 1);
  EXPECT_EQ(m.ResizeMinWidth, 300);
  EXPECT_EQ(m.ResizeMinHeight, 130);
  EXPECT_TRUE(m.ResizeEnabled);
  EXPECT_TRUE(m.AutoSnap);
}

}  // namespace
