#include "app/VisualsScreenVideo.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QMimeData>
#include <QPointer>
#include <QScreen>

#include <filesystem>

#include "app/CommandActions.h"
#include "app/DeckController.h"
#include "app/DroppedFiles.h"
#include "app/FullScreenControlsForm.h"
#include "app/VisualsScreenForm.h"
#include "app/VisualsScreenPlugins.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Subtitles.h"
#include "engine/KELDAR_VideoEngine.h"
#include "util/ShowMessage.h"

namespace {

QPointer<TVisualsScreenForm> g_visuals;
QPointer<TFullScreenControlsForm> g_fullScreen;
QPointer<QLabel> g_panel1, g_panel2;
QRect g_normalGeometry;

QWidget* PaintBox() { return g_visuals ? static_cast<QWidget*>(g_visuals->DrawingPaintBox()) : nullptr; }

QLabel* MakePanel(QWidget& parent, const char* name) {
  auto* panel = new QLabel(&parent);
  panel->setObjectName(name);
  panel->setAlignment(Qt::AlignCenter);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::WindowText, QColor(0xFF, 0xFF, 0xFF));
  panel->setPalette(palette);
  QFont font("Arial");
  font.setStyle(QFont::StyleNormal);
  font.setWeight(QFont::Normal);
  panel->setFont(font);
  // Clicks go through to the drawing area (DVD buttons, the menu).
  panel->setAttribute(Qt::WA_TransparentForMouseEvents);
  panel->hide();
  return panel;
}

void SetMenuCheck(bool checked) {
  // The enabled flag follows the menu's check.
  SubtitleState().Enabled = checked;
}

// A drop on the drawing area is a subtitle file: only its first path counts, and anything
// but a subtitle file is refused with its message. Only in normal (not full-screen) mode.
void DropSubtitleFile(const std::string& path) {
  ChooseSubtitleFile(path, false);
  // Loaded subtitles are shown: "Show Subtitles" is ticked.
  if (SubtitleState().Loaded) SetMenuCheck(true);
}

class TVisualsDropFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (VisualsScreenInFullscreen() || !g_visuals || !g_visuals->isVisible() || !drop->mimeData() ||
        !drop->mimeData()->hasUrls()) {
      drop->ignore();
      return true;
    }
    drop->acceptProposedAction();
    if (type != QEvent::Drop) return true;
    const std::vector<std::string> paths = DroppedPaths(*drop->mimeData());
    if (!paths.empty()) DropSubtitleFile(paths.front());
    return true;
  }
};

QAction* AddItem(QMenu& menu, const char* text) {
  QAction* action = menu.addAction(QString::fromUtf8(text));
  const std::string item = text;
  QObject::connect(action, &QAction::triggered, [item] { CommandVisualsMenuItem(item); });
  return action;
}

void PlaceFullScreenControls() {
  if (!g_fullScreen) return;
  const QScreen* screen = g_visuals && g_visuals->screen() ? g_visuals->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  g_fullScreen->move(area.left() + (area.width() - g_fullScreen->width()) / 2,
                     area.bottom() + 1 - 2 - g_fullScreen->height());
}

}  // namespace

void InstallVisualsScreenVideo(TVisualsScreenForm& visuals, TFullScreenControlsForm* fullScreen) {
  g_visuals = &visuals;
  g_fullScreen = fullScreen;
  QWidget* box = PaintBox();
  if (!box) return;
  g_panel1 = MakePanel(*box, "SubtitlesPanel1a");
  g_panel2 = MakePanel(*box, "SubtitlesPanel2a");
  box->setMouseTracking(true);
  box->setAcceptDrops(true);
  box->installEventFilter(new TVisualsDropFilter(box));

  KELDAR_VideoHooks& video = VideoHooks();
  QPointer<QWidget> target = box;
  video.FrameReady = [target] {
    QMetaObject::invokeMethod(
        target, [target] {
          if (target && VisualsScreenShowsVideo()) static_cast<TVisualsScreenDrawingPaintBox*>(target.data())->VideoFrameArrived();
        },
        Qt::QueuedConnection);
  };
  video.DrawingAreaSize = [target](int& w, int& h) {
    w = target ? target->width() : 0;
    h = target ? target->height() : 0;
  };
  video.PictureChanged = [target] {
    if (target) target->update();
    LayoutSubtitlePanels();
  };
  video.SubtitlePanelsToFront = [] {
    if (g_panel1) g_panel1->raise();
    if (g_panel2) g_panel2->raise();
  };
  KELDAR_SubtitlePanelHooks& panels = SubtitlePanelHooks();
  panels.SetVisible = [](bool visible) {
    for (QLabel* panel : {g_panel1.data(), g_panel2.data()})
      if (panel) panel->setVisible(visible);
  };
  panels.Layout = LayoutSubtitlePanels;
  DeckControllerWindows().ShowSubtitleLines = ShowSubtitleLinesOnPanels;
  CommandActions().VisualsMenuItem = RunVisualsScreenMenuItem;
}

bool VisualsScreenShowsVideo() {
  return KELDAR_AUDIOVIDEO_API_State().CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream && VideoGraphActive();
}

bool PaintVisualsScreenVideo(QPainter& painter, const QRect& area) {
  if (!VisualsScreenShowsVideo()) return false;
  const std::shared_ptr<const TVideoFrame> frame = TakeVideoFrame();
  painter.fillRect(area, Qt::black);
  if (!frame || !frame->Pixels || frame->Width <= 0 || frame->Height <= 0) return true;
  // The decoder's own buffer, painted straight from where it lies.
  const QImage picture(frame->Pixels, frame->Width, frame->Height, frame->Stride, QImage::Format_RGB32);
  const TVideoRect r =
      VideoPictureRect(VideoAspectMode(), frame->DisplayWidth, frame->Height, area.width(), area.height());
  painter.save();
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(QRect(area.left() + r.Left, area.top() + r.Top, r.Width, r.Height), picture);
  painter.restore();
  return true;
}

void BuildVisualsScreenContextMenu(QMenu& menu) {
  menu.clear();
  QAction* full = AddItem(menu, "Fullscreen Display");
  full->setCheckable(true);
  full->setChecked(VisualsScreenInFullscreen());
  menu.addSeparator();
  QMenu* subtitles = menu.addMenu("Subtitles Options");
  AddItem(*subtitles, "Load Subtitles...");
  QAction* show = AddItem(*subtitles, "Show Subtitles");
  show->setCheckable(true);
  show->setChecked(SubtitleState().Enabled);
  menu.addSeparator();
  QMenu* aspect = menu.addMenu("Aspect Ratio");
  const int mode = VideoAspectMode();
  for (const auto& [text, value] : {std::pair{"Letter Box", kVideoLetterBox}, std::pair{"Stretched", kVideoStretched},
                                    std::pair{"Crop", kVideoCrop}}) {
    QAction* a = AddItem(*aspect, text);
    a->setCheckable(true);
    a->setChecked(mode == value);
  }
  menu.addSeparator();
  QMenu* dvd = menu.addMenu("DVD Controls");
  QMenu* goTo = dvd->addMenu("Go To");
  AddItem(*goTo, "Next Chapter");
  AddItem(*goTo, "Previous Chapter");
  QMenu* speed = dvd->addMenu("Play Speed");
  AddItem(*speed, "Normal Speed");
  AddItem(*speed, "Fast Forward");
  AddItem(*speed, "Rewind");
  dvd->addSeparator();
  AddItem(*dvd, "Title Menu");
  AddItem(*dvd, "Root Menu");
}

void RunVisualsScreenMenuItem(const std::string& item) {
  if (item == "Fullscreen Display") return ToggleVisualsScreenFullscreen();
  if (item == "Load Subtitles...") return LoadsubtitlesClick();
  if (item == "Show Subtitles") return ShowHideSubtitlesClick();
  const int mode = item == "Letter Box" ? kVideoLetterBox : item == "Stretched" ? kVideoStretched
                                                          : item == "Crop"      ? kVideoCrop
                                                                                : -1;
  if (mode >= 0) {
    SetAspectMode(mode);
    LayoutSubtitlePanels();
    return;
  }
  if (item == "Next Chapter") return DVDNextChapter();
  if (item == "Previous Chapter") return DVDPreviousChapter();
  if (item == "Normal Speed") return DVDNormalSpeed();
  if (item == "Fast Forward") return DVDFastForward();
  if (item == "Rewind") return DVDRewind();
  if (item == "Title Menu") return DVDTitleMenu();
  if (item == "Root Menu") return DVDRootMenu();
}

bool VisualsScreenInFullscreen() { return g_visuals && g_visuals->CheckIfInFullscreen; }

void ToggleVisualsScreenFullscreen() {
  if (!g_visuals) return;
  g_visuals->CheckIfInFullscreen = !g_visuals->CheckIfInFullscreen;
  if (g_visuals->CheckIfInFullscreen) {
    g_normalGeometry = g_visuals->geometry();
    g_visuals->showFullScreen();
  } else {
    if (g_fullScreen) g_fullScreen->hide();
    g_visuals->showNormal();
    if (g_normalGeometry.isValid()) g_visuals->setGeometry(g_normalGeometry);
  }
  if (QWidget* box = PaintBox()) box->setAcceptDrops(!g_visuals->CheckIfInFullscreen);
  g_visuals->RestoreDrawingPanel();
}

void VisualsScreenMouseMovedTo(const QPoint& globalPosition) {
  if (!VisualsScreenInFullscreen() || !g_fullScreen) return;
  PlaceFullScreenControls();
  const bool below = globalPosition.y() >= g_fullScreen->y();
  if (below && !g_fullScreen->isVisible()) {
    g_fullScreen->show();
    g_fullScreen->raise();
    g_fullScreen->activateWindow();
  } else if (!below && g_fullScreen->isVisible()) {
    g_fullScreen->hide();
  }
}

QLabel* SubtitlesPanel1a() { return g_panel1; }
QLabel* SubtitlesPanel2a() { return g_panel2; }

void LayoutSubtitlePanels() {
  if (!g_panel1 || !g_panel2) return;
  if (!VideoGraphActive()) {
    g_panel1->hide();
    g_panel2->hide();
    return;
  }
  if (!SubtitleState().Loaded) return;
  int nativeW = 0, nativeH = 0;
  TVideoRect r;
  GetVideoDisplayRect(nativeW, nativeH, r);
  const TSubtitlePanelPlaces p = SubtitlePanelPlaces(r.Left, r.Top, r.Width, r.Height);
  g_panel1->setGeometry(p.Left, p.Top1, p.Width, std::max(0, p.Height));
  g_panel2->setGeometry(p.Left, p.Top2, p.Width, std::max(0, p.Height));
  g_panel1->raise();
  g_panel2->raise();
  if (p.Height > 0)
    for (QLabel* panel : {g_panel1.data(), g_panel2.data()}) {
      QFont font = panel->font();
      font.setPixelSize(p.Height);
      panel->setFont(font);
    }
}

void ShowSubtitleLinesOnPanels() {
  const TSubtitleState& s = SubtitleState();
  if (!s.Enabled || !s.Loaded || !g_panel1 || !g_panel2) return;
  if (g_panel1->text().toStdString() != s.Text1) g_panel1->setText(QString::fromStdString(s.Text1));
  if (g_panel2->text().toStdString() != s.Text2) g_panel2->setText(QString::fromStdString(s.Text2));
}

TPlaylistFileDialogRunner& SubtitleFileDialogRunner() {
  static TPlaylistFileDialogRunner runner = RunQtPlaylistFileDialog;
  return runner;
}

void ChooseSubtitleFile(const std::string& fileName, bool ask) {
  std::string chosen = fileName;
  if (ask) {
    TPlaylistFileDialogRequest request;
    request.Kind = TPlaylistFileDialogRequest::TKind::OpenFile;
    request.Title = "Load Subtitles";
    request.StartFolder = std::filesystem::path(KELDAR_AUDIOVIDEO_API_State().CurrentFileName).parent_path().string();
    request.Filter = "All supported subtitles files (*.srt)|*.srt;|SubRip text files (*.srt)|*.srt";
    const TPlaylistFileDialogAnswer answer = SubtitleFileDialogRunner()(request);
    if (!answer.Accepted || answer.Files.empty()) return;
    chosen = answer.Files.front();
  }
  if (chosen.empty()) return;
  if (!IsSupportedSubtitleFile(chosen)) {
    ShowMessage("Unsupported subtitles file type");
    return;
  }
  UnloadSubtitles();
  LoadSubtitles(chosen, false);
}

void LoadsubtitlesClick() {
  ChooseSubtitleFile("", true);
  if (SubtitleState().Loaded) SetMenuCheck(true);
}

void ShowHideSubtitlesClick() {
  if (SubtitleState().Enabled) {
    UnloadSubtitles();
    SetMenuCheck(false);
  } else {
    LoadSubtitles(SubtitleState().PreviousFileName, false);
    SetMenuCheck(true);
  }
}
