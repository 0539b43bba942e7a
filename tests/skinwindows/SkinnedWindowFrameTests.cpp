// The resizable frame drawn from a test sheet whose pieces have distinct colours, shapes,
// stay-on-top, the button panels and the control messages' clicks.
#include "SkinnedWindowFixture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <filesystem>
#include <vector>

#include "app/ApiWindowClicks.h"
#include "app/PlayerApiDispatcher.h"
#include "skin/KELDARSkinDefinitionFile.h"
#include "skin/KELDARSkinLamps.h"
#include "skin/SkinMaskSliders.h"
#include "skin/SkinRuntimeState.h"

namespace {

const QColor kTL(200, 0, 0), kTH(0, 200, 0), kTM(0, 0, 200), kTR(200, 200, 0);
const QColor kVL(0, 200, 200), kVR(200, 0, 200), kBL(120, 0, 0), kBX(0, 120, 0), kBR(0, 0, 120);

class SkinnedFrame : public SkinnedWindows {
 protected:
  // An own skin folder with the Default geometry and a playlist sheet of plain colours.
  std::string WriteColouredPlaylistSkin() {
    const std::string folder = program / "skins/Colours";
    std::filesystem::create_directories(folder);
    WriteTextFile(folder + "/keldarskin.ini", BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own));
    const MultimediaSkinStructure& skin = MultimediaSkin();
    const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, skin);
    QImage sheet(l.Size.Width, l.Size.Height, QImage::Format_RGB888);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    const auto piece = [&](KELDARSkinControls_IDs id, int x, int y, const QColor& c) {
      p.fillRect(x, y, skin[id].Control_Width, skin[id].Control_Height, c);
    };
    for (int row : {l.RowA, l.RowB}) {
      piece(PlayListEditorForm_PLTitleBarLeftImage, l.TitleLeftX, row, kTL);
      piece(PlayListEditorForm_PLTitleBarMainImage, l.TitleMainX, row, kTM);
      piece(PlayListEditorForm_PLTitleBarHorizontalImage, l.TitleHorizontalX, row, kTH);
      piece(PlayListEditorForm_PLTitleBarRightImage, l.TitleRightX, row, kTR);
    }
    piece(PlayListEditorForm_PLVerticalLeftImage, l.VerticalLeftX, l.RowC, kVL);
    piece(PlayListEditorForm_PLVerticalRightImage, l.VerticalRightX, l.RowC, kVR);
    piece(PlayListEditorForm_PLBottomLeftImage, l.BottomLeftX, l.RowD, kBL);
    piece(PlayListEditorForm_PLBottomExtraImage1, l.BottomExtraX, l.RowD, kBX);
    piece(PlayListEditorForm_PLBottomRightImage, l.BottomRightX, l.RowD, kBR);
    p.end();
    EXPECT_TRUE(sheet.save(QString::fromStdString(folder + "/Playlist_BackgroundImage.bmp"), "BMP"));
    return folder + "/keldarskin.ini";
  }
  static QColor At(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }
};

// Records the regions a widget is asked to paint.
struct TPaintRegions : QObject {
  std::vector<QRegion> Regions;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) Regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
};

TEST_F(SkinnedFrame, ATickRepaintsOnlyTheDisplaysThatChanged) {
  ShowOnly({deck.get()});
  deck->RepaintChanged();  // the first one may still need the whole window
  QCoreApplication::processEvents();
  TPaintRegions paints;
  deck->installEventFilter(&paints);
  for (int tick = 0; tick < 3; ++tick) {
    deck->RepaintChanged();
    QCoreApplication::processEvents();
  }
  EXPECT_TRUE(paints.Regions.empty()) << "nothing changed, yet the window was drawn again";

  const QRect played = ControlRect(DeckForm_SongCurrectPlayingTimeWindow);
  const QRect total = ControlRect(DeckForm_SongTotalTimeWindow);
  const QImage before = Grab(deck.get());
  paints.Regions.clear();
  SetSkinControlProcessedText(DeckForm_SongCurrectPlayingTimeWindow, "12:34");
  SetSkinControlProcessedText(DeckForm_SongTotalTimeWindow, "56:07");
  deck->RepaintChanged();
  QCoreApplication::processEvents();
  ASSERT_EQ(paints.Regions.size(), 1u);
  const QRegion& drawn = paints.Regions.front();
  EXPECT_TRUE(drawn.subtracted(QRegion(played) + QRegion(total)).isEmpty())
      << "more than the two time displays was drawn";
  EXPECT_TRUE(drawn.intersects(played));
  EXPECT_TRUE(drawn.intersects(total));
  deck->removeEventFilter(&paints);
  // What the window shows now is what a whole paint shows.
  const QImage after = Grab(deck.get());
  EXPECT_NE(after.copy(played), before.copy(played));
  EXPECT_NE(after.copy(total), before.copy(total));
  EXPECT_EQ(after.copy(QRect(0, played.bottom() + 1, after.width(), after.height() - played.bottom() - 1)),
            before.copy(QRect(0, played.bottom() + 1, before.width(), before.height() - played.bottom() - 1)));
  EXPECT_EQ(after, deck->RenderSkin());
}

// What the window really shows (its backing store, not a fresh render of the widget).
QImage Shown(QWidget* w) {
  return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_F(SkinnedFrame, AfterEachTickTheDeckShowsWhatAWholePaintShows) {
  ShowOnly({deck.get()});
  deck->RepaintChanged();
  QCoreApplication::processEvents();
  ASSERT_EQ(Shown(deck.get()).size(), deck->size());
  // What the ticks and the transport change between two looks: the player-state glyph (the
  // transmission lamp follows it), the channel lamps, the position bar and a text line.
  for (int step = 0; step < 4; ++step) {
    SetKELDARSkinPlayerStateImage(step % 3);
    SetKELDARSkinChannelLamps(step % 2 ? msMonoOutput : msStereoOutput);
    SetLoadedSkinSliderValue(DeckForm_PosBarImage, 25 * step + 10);
    SetSkinControlProcessedText(DeckForm_SongTitleWindow, "Step " + std::to_string(step));
    deck->RepaintChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(deck.get()), deck->RenderSkin()) << "step " << step;
  }
}

TEST_F(SkinnedFrame, PlaylistAt325By156DrawsEveryTileInItsPlace) {
  LoadKELDARSkin(WriteColouredPlaylistSkin(), *set);
  ASSERT_TRUE(LoadedKELDARSkin().ReadFromFolder);
  ShowOnly({playlist.get()});
  playlist->resize(325, 156);
  QCoreApplication::processEvents();
  const QImage shown = Grab(playlist.get());
  ASSERT_EQ(shown.size(), QSize(325, 156));

  // Title row: left part, 3 fillers, the caption, fillers up to the right part.
  EXPECT_EQ(At(shown, 10, 2), kTL);
  for (int x = 25; x < 100; ++x) ASSERT_EQ(At(shown, x, 2), kTH) << x;
  for (int x = 100; x < 200; ++x) ASSERT_EQ(At(shown, x, 2), kTM) << x;
  for (int x = 200; x < 300; ++x) ASSERT_EQ(At(shown, x, 2), kTH) << x;
  for (int x = 300; x < 325; ++x) ASSERT_EQ(At(shown, x, 2), kTR) << x;
  // Four side tiles each side close the gap between title and bottom exactly.
  for (int y = 20; y < 124; ++y) {
    ASSERT_EQ(At(shown, 5, y), kVL) << y;
    ASSERT_EQ(At(shown, 302, y), kVR) << y;  // the scroll track repeats the right-hand tile
  }
  // Bottom: left part, two fillers, the right part at the window's corner.
  EXPECT_EQ(At(shown, 10, 127), kBL);
  EXPECT_EQ(At(shown, 149, 127), kBL);
  for (int x = 150; x < 200; ++x) ASSERT_EQ(At(shown, x, 127), kBX) << x;
  EXPECT_EQ(At(shown, 203, 127), kBR);
  EXPECT_EQ(At(shown, 324, 155), kBR);
  // The list area inside the frame has the playlist's background colour.
  EXPECT_EQ(playlist->PlayListScrollBox()->geometry(), QRect(25, 20, 275, 104));
  EXPECT_EQ(At(shown, 150, 60), QColor(0x4A, 0xA5, 0xFF));
  // The scroll track is as high as the right-hand tiles drawn.
  EXPECT_EQ(MultimediaSkin()[PlayListEditorForm_PLScrollImage].Control_Height, 4 * 26);
}

TEST_F(SkinnedFrame, WindowButtonsFollowTheRightTitlePart) {
  ShowOnly({playlist.get()});
  int closes = 0;
  Bind(PlayListEditorForm_PLCloseWindowButton, [&] { ++closes; });
  playlist->resize(400, 130);
  QCoreApplication::processEvents();
  EXPECT_EQ(ControlRect(PlayListEditorForm_PLCloseWindowButton).left(), 375 + 14);
  Click(playlist.get(), {375 + 14 + 3, 6 + 3});
  EXPECT_EQ(closes, 1);
  // The pressed sprite sits one button height further down in the sheet.
  const QImage& sheet = Sheet(TKELDARSkinBitmap::PlaylistBackground);
  const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, MultimediaSkin());
  Press(playlist.get(), {375 + 14 + 3, 6 + 3});
  EXPECT_TRUE(SameRect(Grab(playlist.get()), {389, 6}, sheet, QRect(l.WindowButtonX[0], 10, 9, 9)));
  Release(playlist.get(), {375 + 14 + 3, 6 + 3});
  EXPECT_TRUE(SameRect(Grab(playlist.get()), {389, 6}, sheet, QRect(l.WindowButtonX[0], 0, 9, 9)));
}

TEST_F(SkinnedFrame, PolygonShapeKeepsTheMinimumSizeAndStopsResizing) {
  ShowOnly({playlist.get()});
  playlist->resize(350, 156);
  TKELDARSkinPolygons shape;
  shape.Counts = {8};
  shape.Coordinates = {0, 0, 300, 0, 300, 130, 245, 130, 245, 128, 55, 128, 55, 130, 0, 130};
  set->SetShape(TKELDARSkinnedWindow::Playlist, &shape);
  QCoreApplication::processEvents();
  EXPECT_EQ(playlist->size(), QSize(300, 130));
  EXPECT_FALSE(playlist->mask().isEmpty());
  EXPECT_TRUE(playlist->mask().contains(QPoint(10, 10)));
  EXPECT_FALSE(playlist->mask().contains(QPoint(100, 129)));
  const QPoint start = playlist->pos();
  Drag(playlist.get(), {295, 125}, {30, 30});  // the corner now moves the window
  EXPECT_EQ(playlist->size(), QSize(300, 130));
  EXPECT_EQ(playlist->pos(), start + QPoint(30, 30));
  set->SetShape(TKELDARSkinnedWindow::Playlist, nullptr);
  EXPECT_TRUE(playlist->mask().isEmpty());
  EXPECT_TRUE(playlist->Form_Magnet.ResizeEnabled);
  Drag(playlist.get(), {295, 125}, {25, 26});  // resizable again
  EXPECT_EQ(playlist->size(), QSize(325, 156));
}

TEST_F(SkinnedFrame, ActivationLightsTheTitleBar) {
  ShowOnly({deck.get(), equalizer.get()});
  // The title bar without the window buttons drawn over it.
  const QRect title = ControlRect(DeckForm_TitleBarImage).adjusted(20, 0, -30, 0);
  ASSERT_FALSE(SameRect(Sheet(TKELDARSkinBitmap::DeckActive), title.topLeft(), Sheet(TKELDARSkinBitmap::DeckNotActive),
                        title));
  deck->activateWindow();
  QCoreApplication::processEvents();
  if (!deck->isActiveWindow()) GTEST_SKIP() << "this platform does not activate windows";
  EXPECT_EQ(MultimediaSkin()[DeckForm_TitleBarImage].Control_NEWMouseState, meMouseClicked);
  EXPECT_TRUE(SameRect(Grab(deck.get()), title.topLeft(), Sheet(TKELDARSkinBitmap::DeckActive), title));
  equalizer->activateWindow();
  QCoreApplication::processEvents();
  ASSERT_TRUE(equalizer->isActiveWindow());
  EXPECT_EQ(MultimediaSkin()[DeckForm_TitleBarImage].Control_NEWMouseState, meMouseNOTClicked);
  EXPECT_EQ(MultimediaSkin()[EqualizerForm_EQTitleBarImage].Control_NEWMouseState, meMouseClicked);
  EXPECT_TRUE(SameRect(Grab(deck.get()), title.topLeft(), Sheet(TKELDARSkinBitmap::DeckNotActive), title));
}

TEST_F(SkinnedFrame, PositionSetThroughTheMessagesLooksLikeADrag) {
  InstallApiWindowHooks(*set);
  bool flagDuringAction = false;
  Bind(DeckForm_PosBarImage, [&] {
    flagDuringAction = SkinRuntimeState().PositionDragFlag;
    SkinRuntimeState().PositionDragFlag = false;  // what the position action does
  });
  HandlePlayerApiMessage(0x9418, 0, 40);
  EXPECT_TRUE(flagDuringAction);
  EXPECT_EQ(HandlePlayerApiMessage(0x9417, 0, 0), 40);
  ClearApiWindowHooks();
}

TEST_F(SkinnedFrame, StayOnTopIsAppliedWithoutMovingTheWindow) {
  ShowOnly({deck.get()});
  const QPoint at = deck->pos();
  deck->SetStayOnTopState(1);
  QCoreApplication::processEvents();
  EXPECT_TRUE(deck->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(deck->isVisible());
  EXPECT_EQ(deck->pos(), at);
  deck->SetStayOnTopState(0);
  EXPECT_FALSE(deck->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(deck->isVisible());
}

TEST_F(SkinnedFrame, ControlMessagesClickSetAndUseTheButtonPanels) {
  InstallApiWindowHooks(*set);
  int plays = 0, volumes = 0, addFiles = 0;
  Bind(DeckForm_PlayButton, [&] { ++plays; });
  Bind(DeckForm_VolumeImage, [&] { ++volumes; });
  Bind(PlayListEditorForm_PLMenu1Buttons, [&] { playlist->ShowButtonPanel(PlayListEditorForm_PLPanel1); });
  Bind(PlayListEditorForm_PLAddFilesButton, [&] { ++addFiles; });

  EXPECT_EQ(HandlePlayerApiMessage(0x9405, 0, 0), 0);
  EXPECT_EQ(plays, 1);
  EXPECT_EQ(HandlePlayerApiMessage(0x9412, 0, 250), 0);
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 100);
  EXPECT_EQ(HandlePlayerApiMessage(0x9411, 0, 0), 100);
  HandlePlayerApiMessage(0x9412, 0, -5);
  EXPECT_EQ(HandlePlayerApiMessage(0x9411, 0, 0), 0);
  EXPECT_EQ(volumes, 2);
  EXPECT_TRUE(SkinRuntimeState().SliderDragFlag);

  // Menu 1, then the add-files button on the panel that the menu button shows.
  HandlePlayerApiMessage(0x944B, 0, 0);
  EXPECT_EQ(addFiles, 1);
  EXPECT_EQ(SkinRuntimeState().CurrentPanel, PlayListEditorForm_PLPanel1);
  const QRect menu = ControlRect(PlayListEditorForm_PLMenu1Buttons);
  EXPECT_EQ(playlist->PanelForButtons->geometry(), QRect(menu.left(), menu.top() - 60, 28, 60));
  // Any press on a skinned window hides the panel again.
  Click(deck.get(), {150, 60});
  EXPECT_FALSE(playlist->PanelForButtons->isVisibleTo(playlist.get()));
  ClearApiWindowHooks();
}

TEST_F(SkinnedFrame, PanelButtonsReleasedElsewhereRunNothing) {
  int removes = 0;
  Bind(PlayListEditorForm_PLRemAllFilesButton, [&] { ++removes; });
  playlist->ShowButtonPanel(PlayListEditorForm_PLPanel2, PlayListEditorForm_PLMenu2Buttons);
  QWidget* box = playlist->PanelForButtonsPaintBox;
  // Panel 2: remove selected (bottom, y 40), crop (middle, y 20), remove all (top, y 0).
  Press(box, {5, 5});
  Release(box, {5, 45});
  EXPECT_EQ(removes, 0);
  Click(box, {5, 5});
  EXPECT_EQ(removes, 1);
  // The panel shows its buttons from rows F..H of the sheet.
  const QImage& sheet = Sheet(TKELDARSkinBitmap::PlaylistBackground);
  const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, MultimediaSkin());
  const QImage panel = Grab(box);
  EXPECT_TRUE(SameRect(panel, {0, 0}, sheet, QRect(l.PanelX[0][1], l.RowF, 28, 20)));
  EXPECT_TRUE(SameRect(panel, {0, 40}, sheet, QRect(l.PanelX[2][1], l.RowH, 28, 20)));
}

TEST_F(SkinnedFrame, ReloadKeepsWindowStateThroughTheSettings) {
  ShowOnly({deck.get(), playlist.get()});
  playlist->move(500, 420);
  playlist->resize(350, 182);
  SetSkinSliderValue(DeckForm_VolumeImage, 33);
  SetSkinToggleState(DeckForm_ShuffleButton, true);
  QCoreApplication::processEvents();
  LoadKELDARSkin("Default", *set);
  QCoreApplication::processEvents();
  EXPECT_EQ(playlist->pos(), QPoint(500, 420));
  EXPECT_EQ(playlist->size(), QSize(350, 182));
  EXPECT_TRUE(playlist->isVisible());
  EXPECT_FALSE(equalizer->isVisible());
  EXPECT_FALSE(GetSkinToggleState(DeckForm_EQButton));
  EXPECT_TRUE(GetSkinToggleState(DeckForm_PLButton));
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 33);
  EXPECT_TRUE(GetSkinToggleState(DeckForm_ShuffleButton));
  EXPECT_EQ(Options_PLWidth.IntegerValue, 350);
  // The deck, which has no visibility setting, comes back after the hide step of a load.
  EXPECT_TRUE(deck->isVisible());
  // ... also when the skin comes while the player runs with the deck the only window.
  ShowOnly({deck.get()});
  QCoreApplication::processEvents();
  LoadKELDARSkin("Default", *set);
  QCoreApplication::processEvents();
  EXPECT_TRUE(deck->isVisible());
  EXPECT_FALSE(playlist->isVisible());
}

}  // namespace
