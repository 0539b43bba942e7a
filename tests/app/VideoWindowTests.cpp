// Films in the real visuals window with the Default skin, the deck controller and the engine
// on the no-sound device: the picture painted red then blue, the deck's length and position,
// the volume slider on the pipeline, the end of the film starting the next (audio) entry and
// the visualization plug-in again, letter box bars, full screen and back, the drawing area's
// menu, and subtitles on the panels at 62.5 s.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "CommandTestSupport.h"
#include "DefaultSkinnedWindows.h"
#include "TestSupport.h"
#include "app/DeckController.h"
#include "app/DeckMainTimer.h"
#include "app/VisualsScreenPlugins.h"
#include "app/VisualsScreenVideo.h"
#include "app/skinunitmouseclickprocedures.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Subtitles.h"
#include "engine/KELDAR_VideoEngine.h"
#include "playlist/TPlaylist.h"
#include "plugins/SoniqueVisPlugin_API.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplays.h"
#include "skin/KELDARSkinLamps.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ShowMessage.h"

namespace fs = std::filesystem;

namespace {

[[maybe_unused]] const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtApplicationEnvironment);

fs::path Dir() { return fs::temp_directory_path() / ("keldar_videowindow_" + std::to_string(getpid())); }
bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

std::string Film(const std::string& name, const std::string& video) {
  const std::string path = (Dir() / name).string();
  Shell("ffmpeg -v error -y " + video + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest '" +
        path + "'");
  return path;
}

// Pumps events and runs the deck's timer every 100 ms until the condition holds.
bool TickUntil(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  qint64 lastTick = -1000;
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    if (timer.elapsed() - lastTick >= 100) {
      DeckMainTimerTick();
      lastTick = timer.elapsed();
    }
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

bool IsRed(QRgb p) { return qRed(p) > 180 && qGreen(p) < 80 && qBlue(p) < 80; }
bool IsBlue(QRgb p) { return qBlue(p) > 180 && qRed(p) < 80 && qGreen(p) < 80; }
bool IsBlack(QRgb p) { return qRed(p) < 30 && qGreen(p) < 30 && qBlue(p) < 30; }

class VideoWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fs::create_directories(Dir());
    windows = std::make_unique<TDefaultSkinnedWindows>(Dir().string());
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
    KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
    BindSkinControlActions(windows->Set);
    fs::create_directories(Dir() / "visplugins/default");
    fs::copy_file(KELDAR_TEST_VIS_PLUGIN, Dir() / "visplugins/default/test.svp", fs::copy_options::overwrite_existing);
    RedThenBlue() = Film("redblue.mp4", "-f lavfi -i color=c=red:s=320x240:r=25:d=3 -f lavfi -i "
                                        "color=c=blue:s=320x240:r=25:d=3 -f lavfi -i sine=d=6 -filter_complex "
                                        "'[0][1]concat=n=2:v=1:a=0[v]' -map '[v]' -map 2");
    Song() = (Dir() / "song.wav").string();
    Shell("sox -n -r 22050 -c 2 -b 16 '" + Song() + "' synth 20 sine 440 gain -12");
  }
  static void TearDownTestSuite() {
    KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
    windows.reset();
    fs::remove_all(Dir());
  }
  void SetUp() override {
    ::setenv("KELDAR_MESSAGE_LOG", Log().c_str(), 1);
    fs::remove(Log());
    ThePlaylist().Clear();
    ThePlaylist().SetCurrentIndex(-1);
    ResetDeckControllerState();
    Options_PlaylistHaltOnDefectiveFile.BooleanValue = true;
    Options_VisExCurrentPluginName.StringValue = "default/test.svp";
    Options_DeckCurrentVisualEffect.IntegerValue = 7;
    SetSkinSliderValue(DeckForm_VolumeImage, 100);
    ResetKELDARSkinDisplaysAfterLoad();
    ASSERT_TRUE(LoadedKELDARSkin().Ready);
    TDeckControllerWindows& deck = DeckControllerWindows();
    deck = {};
    TVisualsScreenForm* visuals = &windows->Visuals;
    deck.VisualsWindowVisible = [visuals] { return visuals->isVisible(); };
    deck.SwitchVisualsWindowToVideo = SwitchVisualsScreenToVideo;
    InstallVisualsScreenVideo(windows->Visuals, &windows->FullScreen);
    SubtitleState() = {};
    SetAspectMode(kVideoLetterBox);
    windows->Deck.show();
    windows->Visuals.hide();
    windows->Visuals.resize(420, 360);
    windows->Visuals.show();
  }
  void TearDown() override {
    DeckStop();
    KELDAR_AUDIOVIDEO_API_Slots().FreeStreams();
    KELDAR_AUDIOVIDEO_API_State().SongEnded = 0;
    if (VisualsScreenInFullscreen()) ToggleVisualsScreenFullscreen();
    windows->Visuals.hide();
    DeckControllerWindows() = {};
    ::unsetenv("KELDAR_MESSAGE_LOG");
  }

  static std::unique_ptr<TDefaultSkinnedWindows> windows;
  static std::string& RedThenBlue() {
    static std::string path;
    return path;
  }
  static std::string& Song() {
    static std::string path;
    return path;
  }
  static std::string Log() { return (Dir() / "messages.log").string(); }
  static QWidget& PaintBox() { return *windows->Visuals.DrawingPaintBox(); }
  static QImage Screen() { return PaintBox().grab().toImage().convertToFormat(QImage::Format_RGB32); }
  static QRgb Middle() {
    const QImage image = Screen();
    return image.pixel(image.width() / 2, image.height() / 2);
  }
  static void Add(const std::string& path) {
    TPlayListBoxItem item;
    item.FullPathAndFilename = path;
    item.TitleName = fs::path(path).stem().string();
    ThePlaylist().Add(item);
  }
};
std::unique_ptr<TDefaultSkinnedWindows> VideoWindow::windows;

TEST_F(VideoWindow, AFilmPlaysRedThenBlueThenTheNextSongAndThePluginComeBack) {
  ASSERT_TRUE(SoniqueVisPluginStatus().Running) << "the plug-in shows before the film";
  Add(RedThenBlue());
  Add(Song());
  DeckPlay();
  ASSERT_EQ(KELDAR_AUDIOVIDEO_API_State().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  EXPECT_FALSE(SoniqueVisPluginStatus().Running) << "the film takes the drawing area";
  EXPECT_TRUE(TickUntil([] { return IsRed(Middle()); }, 3000)) << "red first";
  DeckMainTimerTick();
  EXPECT_EQ(GetSkinControlText(DeckForm_SongTotalTimeWindow), "00:06") << LoadedKELDARSkin().Ready << " " << KELDAR_AUDIOVIDEO_API_State().TotalSeconds;
  EXPECT_EQ(KELDARSkinFileTypeLampCode(), 13);

  // The user's volume slider reaches the pipeline.
  windows->Deck.SetSliderValueByDrag(DeckForm_VolumeImage, 78);
  EXPECT_EQ(VideoEngineStatus().GraphVolume, 7800);
  EXPECT_NEAR(VideoEngineStatus().PipelineVolume, 0.78, 1e-6);

  EXPECT_TRUE(TickUntil([] { return IsBlue(Middle()); }, 5000)) << "blue after three seconds";
  DeckMainTimerTick();
  EXPECT_GE(KELDAR_AUDIOVIDEO_API_State().PositionSeconds, 3);
  EXPECT_NE(GetSkinControlText(DeckForm_SongCurrectPlayingTimeWindow), " 00:00");

  // The end of the film starts the next entry, a song, and the plug-in draws again.
  ASSERT_TRUE(TickUntil([] { return ThePlaylist().CurrentIndex() == 1; }, 8000));
  EXPECT_EQ(KELDAR_AUDIOVIDEO_API_State().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(KELDAR_AUDIOVIDEO_API_State().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  EXPECT_TRUE(SoniqueVisPluginStatus().Running);
  EXPECT_FALSE(VideoEngineStatus().GraphExists);
}

TEST_F(VideoWindow, LetterBoxLeavesBarsFullScreenKeepsThePictureAndTheMenuSwitchesModes) {
  const std::string wide = Film("wide.mp4", "-f lavfi -i color=c=red:s=640x360:r=25:d=8 -f lavfi -i sine=d=8");
  Add(wide);
  DeckPlay();
  ASSERT_TRUE(TickUntil([] { return IsRed(Middle()); }, 3000));
  // A 16:9 picture in a taller area: black above and below, red across the middle.
  ASSERT_LT(PaintBox().width() * 9, PaintBox().height() * 16) << "the area is narrower than the picture";
  QImage image = Screen();
  EXPECT_TRUE(IsBlack(image.pixel(image.width() / 2, 1)));
  EXPECT_TRUE(IsBlack(image.pixel(image.width() / 2, image.height() - 2)));
  EXPECT_TRUE(IsRed(image.pixel(1, image.height() / 2)));

  CommandVisualsMenuItem("Stretched");
  EXPECT_EQ(VideoAspectMode(), kVideoStretched);
  image = Screen();
  EXPECT_TRUE(IsRed(image.pixel(image.width() / 2, 1)));
  CommandVisualsMenuItem("Crop");
  EXPECT_EQ(VideoAspectMode(), kVideoCrop);
  image = Screen();
  EXPECT_TRUE(IsRed(image.pixel(1, 1)));
  CommandVisualsMenuItem("Letter Box");

  const QSize before = PaintBox().size();
  CommandVisualsMenuItem("Fullscreen Display");
  EXPECT_TRUE(VisualsScreenInFullscreen());
  ASSERT_TRUE(TickUntil([] { return PaintBox().size() == windows->Visuals.size(); }, 3000))
      << "full screen: the drawing area fills the window";
  EXPECT_FALSE(PaintBox().acceptDrops());
  EXPECT_TRUE(IsRed(Middle()));
  QMenu menu;
  BuildVisualsScreenContextMenu(menu);
  EXPECT_TRUE(menu.actions().at(0)->isChecked()) << "Fullscreen Display is checked in full screen";
  // The controls window shows while the mouse is below its top edge, centred with its
  // bottom 2 pixels above the screen's.
  const QRect screen = windows->Visuals.screen()->geometry();
  VisualsScreenMouseMovedTo(QPoint(screen.center().x(), screen.bottom()));
  EXPECT_TRUE(windows->FullScreen.isVisible());
  EXPECT_EQ(windows->FullScreen.geometry().bottom(), screen.bottom() - 2);
  EXPECT_EQ(windows->FullScreen.geometry().center().x(), screen.center().x());
  VisualsScreenMouseMovedTo(QPoint(screen.center().x(), screen.top() + 5));
  EXPECT_FALSE(windows->FullScreen.isVisible());
  CommandVisualsMenuItem("Fullscreen Display");
  EXPECT_FALSE(VisualsScreenInFullscreen());
  ASSERT_TRUE(TickUntil([&] { return PaintBox().size() == before; }, 3000))
      << PaintBox().width() << "x" << PaintBox().height() << " instead of " << before.width() << "x" << before.height();
  EXPECT_TRUE(IsRed(Middle()));
}

TEST_F(VideoWindow, TheMenuListsItsItemsInOrder) {
  QMenu menu;
  BuildVisualsScreenContextMenu(menu);
  std::function<std::string(QMenu&)> texts = [&](QMenu& m) {
    std::string out;
    for (QAction* a : m.actions()) {
      out += a->isSeparator() ? std::string("-") : a->text().toStdString();
      if (a->menu()) out += "(" + texts(*a->menu()) + ")";
      out += ";";
    }
    return out;
  };
  EXPECT_EQ(texts(menu),
            "Fullscreen Display;-;Subtitles Options(Load Subtitles...;Show Subtitles;);-;"
            "Aspect Ratio(Letter Box;Stretched;Crop;);-;DVD Controls(Go To(Next Chapter;Previous Chapter;);"
            "Play Speed(Normal Speed;Fast Forward;Rewind;);-;Title Menu;Root Menu;);");
  // Letter Box is the starting mode; Show Subtitles follows the enabled flag.
  EXPECT_TRUE(menu.actions()[4]->menu()->actions()[0]->isChecked());
  EXPECT_TRUE(menu.actions()[2]->menu()->actions()[1]->isChecked());
}

TEST_F(VideoWindow, SubtitlesOnThePanelsAt62AndAHalfSeconds) {
  const std::string film =
      Film("long.mp4", "-f lavfi -i color=c=gray:s=320x180:r=5:d=70 -f lavfi -i sine=d=70");
  std::ofstream((Dir() / "long.srt").string())
      << "1\n00:00:01,000 --> 00:00:02,000\nEarly\n\n"
         "2\n00:01:02,000 --> 00:01:04,000\nFirst <i>line</i>\nSecond line\n";
  Add(film);
  DeckPlay();
  ASSERT_EQ(KELDAR_AUDIOVIDEO_API_State().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  ASSERT_TRUE(SubtitleState().Loaded) << "the film's own .srt loads with it";
  ASSERT_NE(SubtitlesPanel1a(), nullptr);
  EXPECT_TRUE(SubtitlesPanel1a()->isVisible());
  EXPECT_EQ(SubtitlesPanel1a()->objectName(), "SubtitlesPanel1a");
  SeekVideo(62);
  ASSERT_TRUE(TickUntil([] { return KELDAR_AUDIOVIDEO_API_State().PositionSeconds >= 62 &&
                                    SubtitlesPanel1a()->text() == "First line"; },
                        5000));
  EXPECT_EQ(SubtitlesPanel2a()->text(), "Second line");
  // The panels lie over the picture's lower part: 80 % down, one line high each.
  int w = 0, h = 0;
  TVideoRect r;
  GetVideoDisplayRect(w, h, r);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(SubtitlesPanel1a()->y(), r.Top + r.Height * 80 / 100);
  EXPECT_EQ(SubtitlesPanel1a()->height(), r.Height / 14 - 2);
  EXPECT_EQ(SubtitlesPanel2a()->y(), SubtitlesPanel1a()->y() + SubtitlesPanel1a()->height());
  EXPECT_EQ(SubtitlesPanel1a()->font().family(), "Arial");

  // Another kind of file is refused and the subtitles stay.
  ChooseSubtitleFile((Dir() / "other.sub").string(), false);
  ASSERT_FALSE(ReadMessageLog(Log()).empty());
  EXPECT_EQ(ReadMessageLog(Log()).back().Text, "Unsupported subtitles file type");
  EXPECT_TRUE(SubtitleState().Loaded);

  // "Show Subtitles" off hides them; on again loads the same file.
  CommandVisualsMenuItem("Show Subtitles");
  EXPECT_FALSE(SubtitleState().Enabled);
  EXPECT_FALSE(SubtitleState().Loaded);
  EXPECT_FALSE(SubtitlesPanel1a()->isVisible());
  CommandVisualsMenuItem("Show Subtitles");
  EXPECT_TRUE(SubtitleState().Enabled);
  EXPECT_TRUE(SubtitleState().Loaded);
  EXPECT_EQ(SubtitleState().CurrentFileName, (Dir() / "long.srt").string());

  // "Load Subtitles..." with the dialog's answer.
  std::ofstream((Dir() / "chosen.srt").string()) << "1\n00:00:00,000 --> 00:09:00,000\nChosen\n";
  TPlaylistFileDialogRequest asked;
  SubtitleFileDialogRunner() = [&](const TPlaylistFileDialogRequest& request) {
    asked = request;
    TPlaylistFileDialogAnswer answer;
    answer.Accepted = true;
    answer.Files = {(Dir() / "chosen.srt").string()};
    return answer;
  };
  CommandVisualsMenuItem("Load Subtitles...");
  SubtitleFileDialogRunner() = RunQtPlaylistFileDialog;
  EXPECT_EQ(asked.Filter, "All supported subtitles files (*.srt)|*.srt;|SubRip text files (*.srt)|*.srt");
  EXPECT_EQ(asked.StartFolder, Dir().string());
  EXPECT_EQ(SubtitleState().CurrentFileName, (Dir() / "chosen.srt").string());
  ASSERT_TRUE(TickUntil([] { return SubtitlesPanel1a()->text() == "Chosen"; }, 3000));

  // Closing the film unloads them.
  DeckStop();
  KELDAR_AUDIOVIDEO_API_Slots().FreeStreams();
  EXPECT_FALSE(SubtitleState().Loaded);
  EXPECT_FALSE(SubtitlesPanel1a()->isVisible());
}


TEST_F(VideoWindow, ASubtitleFileDroppedOnThePictureLoadsAndOtherFilesAreRefused) {
  std::ofstream((Dir() / "dropped.srt").string()) << "1\n00:00:00,000 --> 00:00:09,000\nDropped line\n";
  std::ofstream((Dir() / "notes.txt").string()) << "not subtitles\n";
  Add(RedThenBlue());
  DeckPlay();
  ASSERT_TRUE(TickUntil([] { return IsRed(Middle()); }, 3000));
  CommandVisualsMenuItem("Show Subtitles");  // off: a drop ticks it again
  ASSERT_FALSE(SubtitleState().Enabled);
  const auto drop = [](const std::vector<std::string>& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& f : files) urls << QUrl::fromLocalFile(QString::fromStdString(f));
    data.setUrls(urls);
    const QPointF at(PaintBox().width() / 2.0, PaintBox().height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&PaintBox(), &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&PaintBox(), &dropped);
    return enter.isAccepted() && dropped.isAccepted();
  };
  // The first dropped path counts; the film stays the only playlist entry.
  ASSERT_TRUE(drop({(Dir() / "dropped.srt").string(), Song()}));
  EXPECT_TRUE(SubtitleState().Loaded);
  EXPECT_TRUE(SubtitleState().Enabled) << "\"Show Subtitles\" is ticked";
  EXPECT_EQ(SubtitleState().CurrentFileName, (Dir() / "dropped.srt").string());
  EXPECT_EQ(ThePlaylist().Count(), 1);
  EXPECT_TRUE(TickUntil([] { return SubtitlesPanel1a()->isVisible() && SubtitlesPanel1a()->text() == "Dropped line"; },
                        3000));
  // Any other file is refused with its message and the subtitles stay.
  ASSERT_TRUE(drop({(Dir() / "notes.txt").string()}));
  ASSERT_FALSE(ReadMessageLog(Log()).empty());
  EXPECT_EQ(ReadMessageLog(Log()).back().Text, "Unsupported subtitles file type");
  EXPECT_EQ(SubtitleState().CurrentFileName, (Dir() / "dropped.srt").string());
  EXPECT_EQ(ThePlaylist().Count(), 1);
  // Full screen takes no drops.
  CommandVisualsMenuItem("Fullscreen Display");
  fs::remove(Log());
  EXPECT_FALSE(drop({(Dir() / "notes.txt").string()}));
  EXPECT_TRUE(ReadMessageLog(Log()).empty());
}

TEST_F(VideoWindow, TheFullScreenControlsGoAwayWhenTheyLoseTheFocus) {
  Add(RedThenBlue());
  DeckPlay();
  CommandVisualsMenuItem("Fullscreen Display");
  const QRect screen = windows->Visuals.screen()->geometry();
  VisualsScreenMouseMovedTo(QPoint(screen.center().x(), screen.bottom()));
  ASSERT_TRUE(windows->FullScreen.isVisible());
  ASSERT_TRUE(QTest::qWaitForWindowActive(&windows->FullScreen)) << "the controls take the focus when shown";
  // The user clicks into another window: the controls hide.
  windows->Deck.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&windows->Deck));
  EXPECT_TRUE(TickUntil([] { return !windows->FullScreen.isVisible(); }, 2000));
  // Coming back below their top edge shows them again.
  VisualsScreenMouseMovedTo(QPoint(screen.center().x(), screen.bottom()));
  EXPECT_TRUE(windows->FullScreen.isVisible());
}

}  // namespace
