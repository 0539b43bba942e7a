// The visuals window's side of the visualization host: the paint box the plug-in's frames
// are drawn into, starting the chosen plug-in when the window shows and stopping it when it
// hides, clicks and resizes passed on, and the text the window's timer shows. Video shares
// the paint box later; while a video plays the plug-in draws nothing and gets no clicks.
#pragma once

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// VisualsScreenDrawingPaintBox: fills the drawing panel; shows the last frame at (0, 0).
class TVisualsScreenDrawingPaintBox : public QWidget {
  Q_OBJECT
 public:
  explicit TVisualsScreenDrawingPaintBox(QWidget* parent);
  // UI thread: takes the frame waiting in the host (if any) and repaints.
  void TakeFrame();
  const QImage& Frame() const { return m_frame; }
  // Forgets the last frame (the area shows black again).
  void ClearFrame();
  // UI thread: the video engine has a new picture.
  void VideoFrameArrived();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // An image over m_pixels as it is now, made once for each of the buffers that go round.
  QImage ImageOverPixels(int width, int height);
  // Copies the frame straight into the window's backing store and shows it; false when the
  // window or the area is in a state only the widget repaint handles.
  bool CopyFrameIntoWindow();

  std::vector<uint32_t> m_pixels;  // the last frame taken from the host
  std::vector<uint32_t> m_spare;   // handed back to the host at the next take
  QImage m_frame;                  // drawn from m_pixels
  std::array<QImage, 3> m_images;  // images over the buffers seen lately, never drawn unless current
  size_t m_nextImage = 0;
};

// Installs the host's hooks (data, rate, video, main-window visibility, frame hand-over)
// onto the paint box. Once, after the windows exist.
void InstallVisualsScreenPlugins(TVisualsScreenDrawingPaintBox& paintBox);
// UI thread, from a timer that ticks every 20 ms: takes and draws the newest finished frame.
// While such ticks come, the render thread leaves its frames to them.
void TakeVisualsFrameOnTick();
// Starts the plug-in named by Options_VisExCurrentPluginName on the paint box; true when it
// gave its information record.
bool StartVisualsScreenPlugin();
// Hint off, plug-in stopped.
void StopVisualsScreenPlugin();
// A new item while the visuals window shows plug-ins: a video stops the plug-in (the video
// takes the drawing area), an audio item after a video starts it again as on showing.
void SwitchVisualsScreenToVideo(bool video);
// Publishes for the render thread which channel plays and whether the main window shows.
// The player calls it on its main tick and, with wake, when its state changes: a render
// thread that rests while nothing plays then looks again at once (it is also woken whenever
// a channel plays, for streams that learn their format after they started).
void PublishVisualsScreenSource(bool wake);
// The text the visuals window's timer writes into its text display: the plug-in's name.
std::string VisualizationText();
