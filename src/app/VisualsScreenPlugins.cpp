#include "app/VisualsScreenPlugins.h"

#include <QBackingStore>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QWindow>

#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/DeckController.h"
#include "app/VisualsScreenForm.h"
#include "app/VisualsScreenVideo.h"
#include "engine/KELDAR_VideoEngine.h"
#include "app/deck.h"
#include "app/skinunitmouseclickprocedures.h"
#include "engine/KELDAR_VisualizationData.h"
#include "plugins/SoniqueVisPlugin_API.h"
#include "plugins/SoniqueVisPluginPreferences.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinEffectCanvas.h"

namespace {

QPointer<TVisualsScreenDrawingPaintBox> g_paintBox;
std::string g_text;

// The visuals window's timer rests while its text display shows this text; a new text wakes it.
void SetVisualizationText(std::string text) {
  if (text == g_text) return;
  g_text = std::move(text);
  if (TVisualsScreenForm* visuals = VisualsScreenForm()) visuals->Timer1().Wake();
}

// Written by the UI thread when it publishes the source, read by the render thread.
std::atomic<bool> g_mainWindowVisible{true};
// While the UI thread ticks every 20 ms anyway, that tick takes the newest frame: the render
// thread then does not wake the UI thread once more for each of its frames.
constexpr std::int64_t kFrameTickFreshNs = 40'000'000;
std::atomic<std::int64_t> g_lastFrameTickNs{0};
std::atomic<bool> g_frameTakePosted{false};

std::int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool VideoPlaying() { return KELDAR_AUDIOVIDEO_API_VisualizationVideoPlaying(); }

// Automated runs (KELDAR_VISUALS_SNAPSHOT=<file.png>) see what the drawing area shows: a grab
// of it at most four times a second, written under a temporary name and renamed.
void WriteSnapshot(QWidget& paintBox) {
  static const char* path = std::getenv("KELDAR_VISUALS_SNAPSHOT");
  static QElapsedTimer last;
  if (path == nullptr || *path == 0) return;
  if (last.isValid() && last.elapsed() < 250) return;
  last.start();
  const QString target = QString::fromLocal8Bit(path);
  const QString temporary = target + ".part.png";
  if (paintBox.grab().save(temporary, "PNG")) {
    QFile::remove(target);
    QFile::rename(temporary, target);
  }
}

// The governing effect canvas put just before (6) or on (7) the visuals mode and pressed, so
// the press moves it across and the visuals window follows.
void PressCanvasFrom(int mode) {
  const KELDARSkinControls_IDs canvas = GoverningGraphicsEffectsCanvas();
  SetKELDARSkinEffectMode(canvas, mode);
  if (DeckControllerWindows().PressGraphicsCanvas) DeckControllerWindows().PressGraphicsCanvas(canvas);
}

void InstallVisPluginsPageHooks() {
  TVisPluginsPageHooks& page = VisPluginsPageHooks();
  page.HideVisualsWindow = [] {
    if (VisualsScreenForm() && VisualsScreenForm()->isVisible()) PressCanvasFrom(7);
  };
  page.ShowVisualsWindowThroughCanvas = [] { PressCanvasFrom(6); };
  page.RepaintDrawingArea = [] {
    if (g_paintBox) g_paintBox->ClearFrame();
  };
  page.VideoPlaying = [] {
    KELDAR_AUDIOVIDEO_API_PublishVisualizationSource();
    return VideoPlaying();
  };
  // The preferences dialog comes with its own hooks; until then the page is shown through them.
}

}  // namespace

TVisualsScreenDrawingPaintBox::TVisualsScreenDrawingPaintBox(QWidget* parent) : QWidget(parent) {
  setObjectName("VisualsScreenDrawingPaintBox");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TVisualsScreenDrawingPaintBox::TakeFrame() {
  int width = 0, height = 0;
  if (!TakePendingVisFrame(m_spare, width, height)) return;
  // The frame bitmap is the taken frame itself, not a copy. Three buffers go round: the host
  // gets back the one no image refers to any more.
  m_frame = QImage();
  m_pixels.swap(m_spare);
  if (width > 0 && height > 0 && m_pixels.size() >= size_t(width) * size_t(height))
    m_frame = ImageOverPixels(width, height);
  // Drawn at once rather than through a posted update: one pass of the event loop per frame.
  if (!CopyFrameIntoWindow()) repaint();
  WriteSnapshot(*this);
}

namespace {

// True when the whole box shows and no other widget draws over it: none of its own children
// is shown, no parent clips it, and no shown sibling of it or of a parent stacked above it
// reaches into it. (The visible region leaves in widgets that are not opaque.)
bool WholeAndUncovered(const QWidget& box) {
  for (const QObject* child : box.children())
    if (child->isWidgetType() && static_cast<const QWidget*>(child)->isVisible()) return false;
  QRect area = box.rect();
  for (const QWidget* w = &box; !w->isWindow(); w = w->parentWidget()) {
    area.translate(w->pos());  // into the parent's coordinates
    if (!w->parentWidget()->rect().contains(area)) return false;
    bool above = false;
    for (const QObject* sibling : w->parentWidget()->children()) {
      if (sibling == w) {
        above = true;
        continue;
      }
      if (!above || !sibling->isWidgetType()) continue;
      const auto* widget = static_cast<const QWidget*>(sibling);
      if (widget->isVisible() && !widget->isWindow() && widget->geometry().intersects(area)) return false;
    }
  }
  return true;
}

}  // namespace

bool TVisualsScreenDrawingPaintBox::CopyFrameIntoWindow() {
  if (m_frame.isNull() || m_frame.size() != size() || !isVisible() || VisualsScreenShowsVideo()) return false;
  QWidget* top = window();
  QBackingStore* store = top->backingStore();
  QWindow* handle = top->windowHandle();
  if (store == nullptr || handle == nullptr || !handle->isExposed()) return false;
  if (!WholeAndUncovered(*this)) return false;
  const QRect target(mapTo(top, QPoint(0, 0)), size());
  if (!QRect(QPoint(0, 0), store->size()).contains(target)) return false;
  store->beginPaint(target);
  auto* image = dynamic_cast<QImage*>(store->paintDevice());
  // At a pixel ratio of 1 the image is the store's size, which holds the target.
  const bool fits = image != nullptr && image->devicePixelRatio() == 1.0 &&
                    (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied ||
                     image->format() == QImage::Format_ARGB32);
  if (fits) {
    const size_t rowBytes = size_t(target.width()) * 4;
    uchar* row = image->bits() + qsizetype(target.y()) * image->bytesPerLine() + qsizetype(target.x()) * 4;
    for (int y = 0; y < target.height(); ++y, row += image->bytesPerLine())
      std::memcpy(row, m_frame.constScanLine(y), rowBytes);
  }
  store->endPaint();
  if (fits) store->flush(target, handle);
  return fits;
}

QImage TVisualsScreenDrawingPaintBox::ImageOverPixels(int width, int height) {
  // A new image for every frame cost an allocation and a look at the screen's resolution.
  const auto* bits = reinterpret_cast<const uchar*>(m_pixels.data());
  for (const QImage& image : m_images)
    if (image.constBits() == bits && image.width() == width && image.height() == height) return image;
  QImage& slot = m_images[m_nextImage++ % m_images.size()];
  slot = QImage(bits, width, height, width * 4, QImage::Format_RGB32);
  return slot;
}

void TVisualsScreenDrawingPaintBox::VideoFrameArrived() {
  update();
  WriteSnapshot(*this);
}

void TVisualsScreenDrawingPaintBox::ClearFrame() {
  m_frame = QImage();
  update();
}

void TVisualsScreenDrawingPaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (PaintVisualsScreenVideo(painter, rect())) return;
  // Black only where the frame does not reach: dozens of frames a second cover the rest.
  if (m_frame.width() < width() || m_frame.height() < height())
    for (const QRect& r : QRegion(rect()).subtracted(QRect(QPoint(0, 0), m_frame.size()))) painter.fillRect(r, Qt::black);
  if (!m_frame.isNull()) painter.drawImage(0, 0, m_frame);
}

void TVisualsScreenDrawingPaintBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !VideoPlaying()) {
    const QPoint at = event->position().toPoint();
    VisPluginClicked(at.x(), at.y(), 1);
  }
  // The window behind still sees the press (it starts moving the window), except over a
  // video, where the press belongs to the picture (DVD buttons).
  if (VisualsScreenShowsVideo())
    event->accept();
  else
    event->ignore();
}

void TVisualsScreenDrawingPaintBox::mouseMoveEvent(QMouseEvent* event) {
  VisualsScreenMouseMovedTo(event->globalPosition().toPoint());
  if (VisualsScreenShowsVideo() && VideoInDVDMode()) {
    const QPoint at = event->position().toPoint();
    DVDSelectAt(at.x(), at.y());
  }
  event->ignore();
}

void TVisualsScreenDrawingPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && VisualsScreenShowsVideo() && VideoInDVDMode()) {
    const QPoint at = event->position().toPoint();
    DVDActivateAt(at.x(), at.y());
  }
  event->ignore();
}

void TVisualsScreenDrawingPaintBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  BuildVisualsScreenContextMenu(menu);
  menu.exec(event->globalPos());
}

void TVisualsScreenDrawingPaintBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (width() > 0 && height() > 0) SetVisPictureSize(width(), height());
  LayoutSubtitlePanels();
}

void InstallVisualsScreenPlugins(TVisualsScreenDrawingPaintBox& paintBox) {
  g_paintBox = &paintBox;
  InstallVisPluginsPageHooks();
  TSoniqueVisPluginHooks& hooks = SoniqueVisPluginHooks();
  hooks.GetWaveformData = KELDAR_AUDIOVIDEO_API_GetVisualizationWaveform;
  hooks.GetSpectrumData = KELDAR_AUDIOVIDEO_API_GetVisualizationSpectrum;
  hooks.SamplingRate = KELDAR_AUDIOVIDEO_API_VisualizationSamplingRate;
  hooks.VideoPlaying = VideoPlaying;
  hooks.MainWindowVisible = [] { return g_mainWindowVisible.load(); };
  // Render thread: the drawing itself happens on the UI thread, on its 20 ms tick while that
  // runs, otherwise on a call posted for the frame.
  TVisualsScreenDrawingPaintBox* box = &paintBox;
  g_frameTakePosted = false;  // a call posted to an earlier paint box went with it
  hooks.FrameReady = [box] {
    if (SteadyNs() - g_lastFrameTickNs.load(std::memory_order_relaxed) < kFrameTickFreshNs) return;
    if (g_frameTakePosted.exchange(true)) return;
    QMetaObject::invokeMethod(
        box,
        [box] {
          g_frameTakePosted = false;
          box->TakeFrame();
        },
        Qt::QueuedConnection);
  };
}

void TakeVisualsFrameOnTick() {
  g_lastFrameTickNs.store(SteadyNs(), std::memory_order_relaxed);
  if (g_paintBox) g_paintBox->TakeFrame();
}

bool StartVisualsScreenPlugin() {
  PublishVisualsScreenSource(false);
  if (g_paintBox) SetVisPictureSize(std::max(1, g_paintBox->width()), std::max(1, g_paintBox->height()));
  StartVisPlugin(VisPluginFullPath(Options_VisExCurrentPluginName.StringValue));
  const TSoniqueVisPluginStatus status = SoniqueVisPluginStatus();
  if (!status.InfoPresent) return false;
  ResetVisTimeStamp();
  SetVisualizationText(status.PluginName);
  if (g_paintBox) g_paintBox->setToolTip(QString::fromStdString(status.PluginName));
  return true;
}

void StopVisualsScreenPlugin() {
  if (g_paintBox) g_paintBox->setToolTip({});
  StopVisPlugin();
  SetVisualizationText({});
}

void SwitchVisualsScreenToVideo(bool video) {
  if (video) {
    StopVisualsScreenPlugin();
    return;
  }
  const TVisualsScreenForm* visuals = VisualsScreenForm();
  if (visuals && visuals->isVisible() && !SoniqueVisPluginStatus().Running) StartVisualsScreenPlugin();
}

std::string VisualizationText() { return g_text; }

void PublishVisualsScreenSource(bool wake) {
  KELDAR_AUDIOVIDEO_API_PublishVisualizationSource();
  const TDeckForm* deck = DeckForm();
  g_mainWindowVisible = deck == nullptr || deck->isVisible();
  // A stream that tells its format late starts playing only now, seen by a resting thread too.
  if (wake || KELDAR_AUDIOVIDEO_API_VisualizationSamplingRate() > 0) WakeVisPlugin();
}
