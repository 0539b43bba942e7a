// The visuals window's video side: pictures from the video engine painted into the drawing
// area by the aspect mode, the subtitle panels laid over them, the drawing area's context
// menu (full screen, subtitles, aspect ratio, DVD controls), full screen with its controls
// window, and DVD menu buttons under the mouse. The plug-in side lives in
// VisualsScreenPlugins; the two share the paint box. UI thread only.
#pragma once

#include <QLabel>
#include <QMenu>
#include <QPainter>

#include <functional>
#include <string>

#include "app/PlaylistDialogs.h"

class TVisualsScreenForm;
class TFullScreenControlsForm;

// Once, after the windows exist: installs the engine's video and subtitle hooks and the
// window's video actions.
void InstallVisualsScreenVideo(TVisualsScreenForm& visuals, TFullScreenControlsForm* fullScreen);

// True while a video (not a plug-in) owns the drawing area.
bool VisualsScreenShowsVideo();
// Paints the newest picture by the aspect mode over black; false when there is none to paint.
bool PaintVisualsScreenVideo(QPainter& painter, const QRect& area);
// The drawing area's menu, in its fixed order; the check marks reflect the current state.
void BuildVisualsScreenContextMenu(QMenu& menu);
// Runs one of the menu's items by its text ("Fullscreen Display", "Letter Box", ...).
void RunVisualsScreenMenuItem(const std::string& item);

bool VisualsScreenInFullscreen();
void ToggleVisualsScreenFullscreen();
// Full screen: the controls window shows while the mouse is below its top edge.
void VisualsScreenMouseMovedTo(const QPoint& globalPosition);

// The subtitle panels (null before installing).
QLabel* SubtitlesPanel1a();
QLabel* SubtitlesPanel2a();
void LayoutSubtitlePanels();
// The deck's tick: the two texts into the panels while subtitles are on and loaded.
void ShowSubtitleLinesOnPanels();

// ChooseSubtitleFile's open dialog (replaceable for automated runs).
TPlaylistFileDialogRunner& SubtitleFileDialogRunner();
// With ask, the open dialog; otherwise the given name. A supported file replaces the loaded
// subtitles; another shows "Unsupported subtitles file type".
void ChooseSubtitleFile(const std::string& fileName, bool ask);
// "Load Subtitles..." and "Show Subtitles".
void LoadsubtitlesClick();
void ShowHideSubtitlesClick();
