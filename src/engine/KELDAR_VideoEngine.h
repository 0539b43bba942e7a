// The video engine: files of media type 5 (video, MIDI, whatever GStreamer can play) and DVDs
// opened by an ".IFO" file, played through one GStreamer pipeline at a time. Decoded pictures
// go to the app layer through KELDAR_VideoHooks; the engine never touches a widget.
// Everything here runs on the UI thread unless a hook says otherwise; the pipeline's bus is
// read on the UI thread whenever the deck asks for the state or the position.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// A decoded picture, 32-bit BGRx rows (QImage::Format_RGB32 on little-endian machines),
// held by the decoder's own buffer until the last reference goes: nothing is copied.
struct TVideoFrame {
  const std::uint8_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0;
  // The width the picture is meant to be shown at (pixel aspect ratio applied).
  int DisplayWidth = 0;
  std::shared_ptr<void> Keep;
};

struct TVideoRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TVideoRect&) const = default;
};

// Installed by the app layer at start-up; empty hooks are skipped.
struct KELDAR_VideoHooks {
  // Any thread (the decoder's): a new picture waits in TakeVideoFrame.
  std::function<void()> FrameReady;
  // The drawing area's size in pixels (the video window's destination).
  std::function<void(int& width, int& height)> DrawingAreaSize;
  // The picture is gone (closed or a new aspect mode): repaint the drawing area.
  std::function<void()> PictureChanged;
  // Bring the subtitle panels in front of the picture.
  std::function<void()> SubtitlePanelsToFront;
};
KELDAR_VideoHooks& VideoHooks();

// Aspect modes.
enum : int { kVideoStretched = 0, kVideoLetterBox = 1, kVideoCrop = 2 };
// Video states.
enum : int { kVideoStopped = 0, kVideoPlaying = 1, kVideoPaused = 3 };

// The operations the playback engine and the visuals window call.
bool OpenVideo(const std::string& fileName, std::uint32_t flags);
void CloseVideo();
std::int64_t GetVideoLength();
std::int64_t GetVideoFileLength(const std::string& fileName);
bool VideoCanRender(const std::string& fileName);
bool PlayVideo();
void PauseVideo();
void ResumeVideo();
void StopVideo();
int IsVideoActive();
// kind 2 volume, kind 3 balance; value is the audio path's volume (0..1) or pan (-1..1, to the
// right when positive, as for audio).
void SetVideoAttribute(int kind, double value);
void SeekVideo(std::int64_t seconds);
std::int64_t GetVideoPosition();
std::int64_t GetVideoBitrate();
void SetAspectMode(int mode);
int VideoAspectMode();
void DVDNextChapter();
void DVDPreviousChapter();
void DVDNormalSpeed();
void DVDFastForward();
void DVDRewind();
void DVDTitleMenu();
void DVDRootMenu();
// Points in the drawing area's coordinates.
void DVDSelectAt(int x, int y);
void DVDActivateAt(int x, int y);
// The native picture size and the rectangle the picture occupies in the drawing area.
void GetVideoDisplayRect(int& nativeWidth, int& nativeHeight, TVideoRect& rect);
bool ReportVideoError(const std::string& text);

// The latest decoded picture (null when none); the app paints it.
std::shared_ptr<const TVideoFrame> TakeVideoFrame();
// Where a picture of this shown size goes in an area for an aspect mode (crop may overflow).
TVideoRect VideoPictureRect(int mode, int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

// What the engine holds, for the deck and for tests.
struct TVideoEngineStatus {
  bool GraphExists = false;
  bool Active = false;
  bool DVDMode = false;
  int State = kVideoStopped;
  std::int64_t Duration = 0;
  std::int64_t Position = 0;
  int GraphVolume = 10000;   // 0..10000
  int GraphBalance = 0;      // -10000 (left only)..10000 (right only)
  double PipelineVolume = 1;  // read back from the pipeline
  double PipelinePanorama = 0;
  std::uint64_t FramesRendered = 0;
  std::uint64_t FramesDropped = 0;  // the sink's QoS statistics
};
TVideoEngineStatus VideoEngineStatus();
bool VideoGraphActive();
// The length last read (whole seconds); a DVD's changes with its title.
std::int64_t VideoLengthSeconds();
bool VideoInDVDMode();
