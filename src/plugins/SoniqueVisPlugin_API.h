// Host of the visualization plug-ins (".svp"): one active plug-in at a time, its render
// thread, and the guarded calls into it. Start, stop, query, clicks and resize requests
// come from the UI thread; the render thread only converts data, calls RenderProc and
// hands the finished frame over. The window side installs the hooks below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The SDK header of the same name (angle brackets: not this file).
#include <SoniqueVisPlugin_API.h>

// What the host needs from the player. Every hook may be empty (then: no data, rate 0,
// audio playing, main window visible, no drawing).
struct TSoniqueVisPluginHooks {
  // Render thread. 512 floats: interleaved left/right samples, full scale +-1.0 (mono: 512
  // samples, split the same way); zeros when nothing suitable plays.
  std::function<void(float* samples512)> GetWaveformData;
  // Render thread. 512 floats: interleaved left/right FFT magnitudes, full scale 1.0.
  std::function<void(float* magnitudes512)> GetSpectrumData;
  // Render thread. The current channel's sampling rate in Hz, 0 when nothing plays.
  std::function<uint32_t()> SamplingRate;
  // Render thread. While a video plays the thread ticks without drawing.
  std::function<bool()> VideoPlaying;
  // Render thread. Hidden main window: frames are skipped, the time stamp still runs.
  std::function<bool()> MainWindowVisible;
  // Render thread, after each finished frame: the UI thread is to call TakePendingVisFrame.
  // The render thread goes on; a newer frame replaces one that was not drawn yet.
  std::function<void()> FrameReady;
};
TSoniqueVisPluginHooks& SoniqueVisPluginHooks();

// ---- the active plug-in ----
// Stops any active plug-in, loads the one at path, initialises it and starts the render
// thread. The plug-in's settings come from "vis.ini" in the program folder.
void StartVisPlugin(const std::string& path);
// Joins the render thread, saves the plug-in's settings, de-initialises and unloads it.
void StopVisPlugin();
// Forwards a click to the active plug-in (only when it wants clicks).
void VisPluginClicked(int32_t x, int32_t y, int32_t buttons);
// Wakes a render thread that rests because nothing played for a while, so that it looks at
// the playing rate again (the player calls this when its state changes).
void WakeVisPlugin();
// Records a new picture size; the render thread takes it after its next shown frame.
void SetVisPictureSize(int32_t width, int32_t height);
// UI thread: takes the newest finished frame not yet taken into pixels (opaque 0xFFRRGGBB,
// rows width pixels apart); what pixels held goes back to the host for a later frame. False,
// with pixels untouched, when no new frame waits.
bool TakePendingVisFrame(std::vector<uint32_t>& pixels, int& width, int& height);
// Copies plug-in pixels (top byte unused) as opaque 0xFFRRGGBB pixels.
void CopyVisPixelsOpaque(uint32_t* to, const uint32_t* from, size_t count);

// What the host knows about the active plug-in (UI thread).
struct TSoniqueVisPluginStatus {
  bool Loaded = false;         // a library is loaded
  bool InfoPresent = false;    // QueryModule gave a record
  bool Initialized = false;
  bool Running = false;        // the render thread exists (it may have ended on its own)
  bool ThreadAlive = false;    // the render thread is still looping
  bool LastResult = false;
  bool Unusable = false;       // a call crashed inside the plug-in: it is called no more
  std::string PluginName;
  uint32_t Version = 0;
  int32_t RequiredData = 0;
  int32_t PictureWidth = 256;
  int32_t PictureHeight = 256;
  uint64_t FramesShown = 0;    // frames RenderProc accepted this activation
};
TSoniqueVisPluginStatus SoniqueVisPluginStatus();
// Resets the time accumulator (and so Milliseconds) to 0; done when the window shows.
void ResetVisTimeStamp();

// ---- information for the preferences page ----
struct TQueriedVisPluginInfo {
  std::string PluginName;  // empty without QueryModule
  uint32_t Version = 0;
  int32_t RequiredData = 0;
};
// Loads the library only to read its record, then releases it; the active plug-in stays.
TQueriedVisPluginInfo QueryVisPluginInfo(const std::string& path);

// ---- names ----
// The "visplugins" folders, existing ones only: the program folder's, then the executable
// folder's when it differs (bundled plug-ins stay beside the executable).
std::vector<std::string> VisPluginsFolders();
// The first of those folders holding the relative name + "/" + the name, without trailing
// separator; the program folder's when none holds it.
std::string VisPluginFullPath(const std::string& relativeName);
// The full path without its "visplugins" folder and the separator after it, without
// trailing separator.
std::string VisPluginRelativeName(const std::string& fullPath);
// Every "*.SVP" under the folders, recursively, in folder order; a relative name found in
// an earlier folder hides the same name in a later one.
std::vector<std::string> FindVisPluginFiles();
// "vis.ini" in the program folder.
std::string VisPluginSettingsPath();
