// The state of the test visualization plug-in, shared by the plug-in and the host tests
// (both reach the same instance: the tests open the same library the host loads).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "SoniqueVisPlugin_API.h"

struct TTestVisPluginState {
  // What QueryModule declares.
  uint32_t Version = 1;
  int32_t RequiredData = 7;
  bool WithInitialize = true;
  bool WithRender = true;
  bool QueryReturnsNull = false;
  bool UnterminatedName = false;
  // How RenderProc behaves.
  std::atomic<int32_t> RenderResult{1};
  std::atomic<bool> CrashInRender{false};
  std::atomic<uint32_t> Fill{0x00FF0000};  // painted over the whole picture each frame
  // What happened.
  std::mutex CallsMutex;  // clicks (UI thread) and frames (render thread) log side by side
  std::string Calls;      // "Q O I R C S D" letters, in order
  std::atomic<int> RenderCount{0};
  int Width = 0, Height = 0, Pitch = 0;
  VisRenderData LastData{};
  uint32_t FirstPixelBeforeDrawing = 0;
  uint32_t Milliseconds[64] = {};
  std::string SettingsPathSeen;
  int ClickX = -1, ClickY = -1, ClickButtons = -1;
  int StoredValue = 0;  // written by SaveSettingsProc, read by OpenSettingsProc
  int RestoredValue = -1;

  std::string CallsSoFar() {
    std::lock_guard lock(CallsMutex);
    return Calls;
  }
  void Reset() {
    Version = 1, RequiredData = 7, WithInitialize = true, WithRender = true;
    QueryReturnsNull = false, UnterminatedName = false, RenderResult = 1, CrashInRender = false;
    Fill = 0x00FF0000;
    {
      std::lock_guard lock(CallsMutex);
      Calls.clear();
    }
    RenderCount = 0;
    Width = Height = Pitch = 0;
    LastData = {};
    FirstPixelBeforeDrawing = 0;
    for (auto& m : Milliseconds) m = 0;
    SettingsPathSeen.clear();
    ClickX = ClickY = ClickButtons = -1;
    StoredValue = 0;
    RestoredValue = -1;
  }
};

using TTestVisPluginStateProc = TTestVisPluginState* (*)();
