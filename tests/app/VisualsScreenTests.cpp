// The visuals window with the Default skin and a test plug-in: showing starts the chosen
// plug-in and hiding stops it, frames reach the paint box, the timer writes the plug-in's
// name, left clicks and resizes reach the plug-in, and a video item stops it.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <filesystem>
#include <memory>

#include "DefaultSkinnedWindows.h"
#include "EventLoopSupport.h"
#include "TestSupport.h"
#include "app/VisualsScreenPlugins.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "plugins/TestVisPluginState.h"
#include "plugins/SoniqueVisPlugin_API.h"
#include "skin/KELDARSkinControlAccessors.h"

namespace {

class VisualsScreen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "visuals";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  void SetUp() override {
    windows = std::make_unique<TDefaultSkinnedWindows>(folder.Path());
    std::filesystem::create_directories(folder / "visplugins/default");
    std::filesystem::copy_file(KELDAR_TEST_VIS_PLUGIN, folder / "visplugins/default/test.svp");
    library = dlopen((folder / "visplugins/default/test.svp").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    state = reinterpret_cast<TTestVisPluginStateProc>(dlsym(library, "TestVisPluginState"))();
    state->Reset();
    windows->Visuals.hide();  // the skin may have brought it up with the default plug-in
    Options_VisExCurrentPluginName.StringValue = "default/test.svp";
    windows->Deck.show();
  }
  void TearDown() override {
    windows->Visuals.hide();
    windows.reset();
    if (library) dlclose(library);
  }

  TVisualsScreenDrawingPaintBox& PaintBox() { return *windows->Visuals.DrawingPaintBox(); }
  // What the visuals window shows: its backing store under the offscreen platform.
  QImage WindowAsShown() {
    return QGuiApplication::primaryScreen()->grabWindow(windows->Visuals.winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
  }

  TTempFolder folder;
  std::unique_ptr<TDefaultSkinnedWindows> windows;
  void* library = nullptr;
  TTestVisPluginState* state = nullptr;
};

TEST_F(VisualsScreen, ShowingStartsThePluginItsFramesAreDrawnAndHidingStopsIt) {
  windows->Visuals.show();
  ASSERT_TRUE(SoniqueVisPluginStatus().Running);
  EXPECT_EQ(PaintBox().toolTip(), "Test Vis Plugin");
  windows->Visuals.Timer1Timer();
  EXPECT_EQ(GetSkinControlText(VisualsScreenForm_VisExTextWindow), "Test Vis Plugin");

  ASSERT_TRUE(PumpUntil([&] { return !PaintBox().Frame().isNull(); }));
  EXPECT_EQ(PaintBox().Frame().pixel(3, 3), 0xFFFF0000u) << "the plug-in's red, opaque";
  const QImage shown = PaintBox().grab().toImage();
  EXPECT_EQ(shown.pixel(3, 3) & 0xFFFFFF, 0xFF0000u) << "and on the paint box";

  windows->Visuals.hide();
  EXPECT_FALSE(SoniqueVisPluginStatus().Running);
  const std::string calls = state->CallsSoFar();
  EXPECT_EQ(calls.substr(calls.size() - 2), "SD");
  EXPECT_TRUE(PaintBox().Frame().isNull());
  EXPECT_EQ(PaintBox().toolTip(), "");
}

// The name changes only when a plug-in starts or stops: the timer rests in between, and a
// stopped or started plug-in wakes it for the next tick.
TEST_F(VisualsScreen, TheTimerRestsWhileTheNameStandsAndAPluginChangeWakesIt) {
  windows->Visuals.show();
  TWindowTimer& timer = windows->Visuals.Timer1();
  timer.Enable(true);
  timer.Tick();
  EXPECT_EQ(GetSkinControlText(VisualsScreenForm_VisExTextWindow), "Test Vis Plugin");
  timer.Tick();
  EXPECT_TRUE(timer.Resting()) << "nothing left to change";

  StopVisualsScreenPlugin();
  EXPECT_FALSE(timer.Resting());
  timer.Tick();
  EXPECT_EQ(GetSkinControlText(VisualsScreenForm_VisExTextWindow), "");
  timer.Tick();
  EXPECT_TRUE(timer.Resting());

  ASSERT_TRUE(StartVisualsScreenPlugin());
  EXPECT_FALSE(timer.Resting());
  timer.Tick();
  EXPECT_EQ(GetSkinControlText(VisualsScreenForm_VisExTextWindow), "Test Vis Plugin");

  timer.Tick();
  ASSERT_TRUE(timer.Resting());
  // A skin load brings the skin's own text and lays the window out again.
  SetSkinControlText(VisualsScreenForm_VisExTextWindow, "from a new skin");
  windows->Visuals.RestoreDrawingPanel();
  EXPECT_FALSE(timer.Resting());
  timer.Tick();
  EXPECT_EQ(GetSkinControlText(VisualsScreenForm_VisExTextWindow), "Test Vis Plugin");
  timer.Enable(false);
}

// While the equalizer's 20 ms timer runs it carries the frames to the paint box; once it is
// off the render thread hands them over by itself again.
TEST_F(VisualsScreen, FramesArriveWithAndWithoutTheTwentyMillisecondTick) {
  windows->Visuals.show();
  // "Playing" keeps the timer ticking; with nothing playing it would rest at once.
  KELDAR_AUDIOVIDEO_API_State().PlayerState = KELDAR_AUDIOVIDEO_API_psPlaying;
  windows->Equalizer.EnableTimer(true);
  ASSERT_TRUE(PumpUntil([&] { return !PaintBox().Frame().isNull(); }));
  for (int i = 0; i < 5; ++i) {
    PaintBox().ClearFrame();
    ASSERT_TRUE(PumpUntil([&] { return !PaintBox().Frame().isNull(); })) << "frames on the tick";
  }
  windows->Equalizer.EnableTimer(false);
  KELDAR_AUDIOVIDEO_API_State().PlayerState = KELDAR_AUDIOVIDEO_API_psStopped;
  PumpUntil([] { return false; }, 100);  // the last tick is past
  PaintBox().ClearFrame();
  ASSERT_TRUE(PumpUntil([&] { return !PaintBox().Frame().isNull(); })) << "frames without the tick";
  EXPECT_EQ(PaintBox().Frame().pixel(3, 3), 0xFFFF0000u);
}

// Frames go straight into the window's backing store: what the window shows must be the
// frame inside the drawing area and exactly what the widgets paint around it.
TEST_F(VisualsScreen, WhatTheWindowShowsIsTheNewestFrameInItsPlaceAndTheSkinAroundIt) {
  windows->Visuals.show();
  ASSERT_TRUE(PumpUntil([&] { return !PaintBox().Frame().isNull(); }));
  const QRect area(PaintBox().mapTo(&windows->Visuals, QPoint(0, 0)), PaintBox().size());
  ASSERT_GT(area.x() + area.y(), 0) << "the area must sit inside the window's frame for this test";
  for (const uint32_t fill : {0x0000FF00u, 0x000000FFu, 0x00FF00FFu}) {
    state->Fill = fill;
    ASSERT_TRUE(PumpUntil([&] { return PaintBox().Frame().pixel(0, 0) == (fill | 0xFF000000u); }));
    const QImage screen = WindowAsShown();
    ASSERT_TRUE(screen.rect().contains(area));
    for (const QPoint at : {area.topLeft(), area.bottomRight(), area.center()})
      EXPECT_EQ(screen.pixel(at), fill | 0xFF000000u) << std::hex << fill << " at " << at.x() << "," << at.y();
    // Around the area, the skin as the widgets paint it: a frame copied to the wrong place
    // would show there.
    const QImage painted = windows->Visuals.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y)
      for (int x = 0; x < screen.width(); ++x)
        if (!area.contains(x, y) && screen.pixel(x, y) != painted.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0) << std::hex << fill;
  }
}

// A widget that paints over the drawing area without being opaque (a skin's button panel is
// one) stays on top of the frames.
TEST_F(VisualsScreen, AWidgetOverTheDrawingAreaStaysOnTopOfTheFrames) {
  struct TCover : QWidget {
    using QWidget::QWidget;
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(4, 4, 8, 8), Qt::green); }
  };
  windows->Visuals.show();
  ASSERT_TRUE(PumpUntil([&] { return !PaintBox().Frame().isNull(); }));
  const QRect area(PaintBox().mapTo(&windows->Visuals, QPoint(0, 0)), PaintBox().size());
  TCover cover(&windows->Visuals);
  cover.setGeometry(area.x() + 10, area.y() + 10, 16, 16);
  cover.show();
  cover.raise();
  state->Fill = 0x000000FF;
  ASSERT_TRUE(PumpUntil([&] { return PaintBox().Frame().pixel(0, 0) == 0xFF0000FFu; }));
  const int taken = state->RenderCount;
  ASSERT_TRUE(PumpUntil([&] { return state->RenderCount >= taken + 3; }));  // frames drawn after the cover
  const QImage screen = WindowAsShown();
  EXPECT_EQ(screen.pixel(area.x() + 18, area.y() + 18), 0xFF00FF00u) << "the cover's own paint";
  EXPECT_EQ(screen.pixel(area.x() + 30, area.y() + 30), 0xFF0000FFu) << "the frame beside it";
}

TEST_F(VisualsScreen, LeftClicksAndNewSizesReachThePlugin) {
  windows->Visuals.show();
  ASSERT_TRUE(PumpUntil([&] { return state->RenderCount >= 1; }));
  QTest::mouseClick(&PaintBox(), Qt::LeftButton, {}, QPoint(5, 7));
  QTest::mouseClick(&PaintBox(), Qt::RightButton, {}, QPoint(9, 9));
  EXPECT_EQ(state->ClickX, 5);
  EXPECT_EQ(state->ClickY, 7);
  EXPECT_EQ(state->ClickButtons, 1);
  const std::string calls = state->CallsSoFar();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), 'C'), 1) << "other buttons are not forwarded";

  windows->Visuals.resize(windows->Visuals.width() + 40, windows->Visuals.height() + 30);
  const int w = PaintBox().width(), h = PaintBox().height();
  ASSERT_TRUE(PumpUntil([&] { return state->Width == w && state->Height == h; }))
      << state->Width << "x" << state->Height << " instead of " << w << "x" << h;
}

TEST_F(VisualsScreen, AVideoItemStopsThePluginAndAudioAfterItStartsItAgain) {
  windows->Visuals.show();
  ASSERT_TRUE(SoniqueVisPluginStatus().Running);
  SwitchVisualsScreenToVideo(true);
  EXPECT_FALSE(SoniqueVisPluginStatus().Running);
  SwitchVisualsScreenToVideo(false);
  EXPECT_TRUE(SoniqueVisPluginStatus().Running);
  windows->Visuals.hide();
  SwitchVisualsScreenToVideo(false);
  EXPECT_FALSE(SoniqueVisPluginStatus().Running) << "nothing starts behind a hidden window";
}

}  // namespace
