#include "engine/BASSAPIInternetStream.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "engine/BASSAPI.h"
#include "engine/BASSAPIEffects.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineErrorReports.h"
#include "engine/KELDAR_EngineHooks.h"
#include "engine/KELDAR_StreamMetadata.h"
#include "kaudio.h"

namespace {

enum : int { kIdle = 0, kConnecting = 1, kConnected = 2, kFailed = 3 };

std::thread g_thread;
std::atomic<bool> g_running{false};
std::atomic<KAUDIO_DWORD> g_handle{0};
std::atomic<int> g_error{0};

KELDAR_AUDIOVIDEO_API_EngineState& S() { return KELDAR_AUDIOVIDEO_API_State(); }

template <typename Parser>
void ParseBlock(KAUDIO_DWORD channel, KAUDIO_DWORD type, Parser parser) {
  const char* block = KAUDIO_ChannelGetTags(channel, type);
  StreamMetadataSlot().Update([&](TStreamMetadata& data) { parser(block, data); });
}

// Library threads: the header block while connecting, and the three change callbacks.
void DownloadProc(const void* buffer, KAUDIO_DWORD length, void*) {
  if (buffer && length == 0) StreamMetadataSlot().SetStatusText(static_cast<const char*>(buffer));
}
void MetaChanged(KAUDIO_HSYNC, KAUDIO_DWORD channel, KAUDIO_DWORD, void*) {
  ParseBlock(channel, KAUDIO_TAG_META, ParseMetaTags);
}
void WMAChanged(KAUDIO_HSYNC, KAUDIO_DWORD channel, KAUDIO_DWORD, void*) {
  ParseBlock(channel, KAUDIO_TAG_WMA, ParseWMATags);
}
void OggChanged(KAUDIO_HSYNC, KAUDIO_DWORD channel, KAUDIO_DWORD, void*) {
  ParseBlock(channel, KAUDIO_TAG_OGG, ParseOggTags);
}

void Connect(const std::string& address, bool floatSupport) {
  auto& slot = StreamMetadataSlot();
  S().ConnectionState = kConnecting;
  slot.Update([](TStreamMetadata& data) { data.Station.ServerName.clear(); });
  slot.SetStatusText("Connecting to " + address);
  const KAUDIO_DWORD flags = (floatSupport ? KAUDIO_SAMPLE_FLOAT : 0) | KAUDIO_STREAM_STATUS;
  const KAUDIO_DWORD h = KAUDIO_StreamCreateURL(address.c_str(), 0, flags, DownloadProc, nullptr);
  if (!h) {
    g_error = KAUDIO_ErrorGetCode();
    g_handle = 0;
    S().ConnectionState = kFailed;
  } else {
    slot.Reset(address);
    slot.SetStatusText(address);
    // A later block overwrites the title of an earlier one.
    ParseBlock(h, KAUDIO_TAG_ICY, ParseICYHeaders);
    ParseBlock(h, KAUDIO_TAG_META, ParseMetaTags);
    KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_META, 0, MetaChanged, nullptr);
    ParseBlock(h, KAUDIO_TAG_HTTP, ParseHTTPHeaders);
    ParseBlock(h, KAUDIO_TAG_WMA, ParseWMATags);
    KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_WMA_CHANGE, 0, WMAChanged, nullptr);
    ParseBlock(h, KAUDIO_TAG_OGG, ParseOggTags);
    KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_OGG_CHANGE, 0, OggChanged, nullptr);
    g_error = 0;
    g_handle = h;
    S().ConnectionState = kConnected;
  }
  g_running = false;
}

void WaitForConnection() {
  auto& hooks = EngineUIHooks();
  while (g_running.load()) {
    if (hooks.ProcessEvents) hooks.ProcessEvents();
    BASSAPI_SyncStreamMetadata();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (g_thread.joinable()) g_thread.join();
  BASSAPI_SyncStreamMetadata();
}

}  // namespace

void BASSAPI_SyncStreamMetadata() { StreamMetadataSlot().CopyTo(S()); }

void BASSAPI_JoinConnectionThread() {
  if (g_thread.joinable()) g_thread.join();
}

bool BASSAPI_CreateInternetStream() {
  auto& s = S();
  if (g_running.load()) {
    // One connection at a time.
    if (EngineUIHooks().Beep) EngineUIHooks().Beep();
  } else {
    BASSAPI_JoinConnectionThread();
    if (s.InternetStreamHandle) KAUDIO_StreamFree(s.InternetStreamHandle);
    s.InternetStreamHandle = 0;
    s.ConnectionState = kConnecting;
    g_running = true;
    g_thread = std::thread(Connect, s.CurrentFileName, s.FloatSupport == 1);
    WaitForConnection();
    if (const KAUDIO_DWORD h = g_handle.exchange(0)) {
      s.InternetStreamHandle = h;
      s.TotalSeconds = std::max<std::int64_t>(1, BASSAPI_LengthSeconds(h));
      BASSAPI_ReadChannelInfo(h);
      BASSAPI_SetUpFadeRanges(h);
    }
  }
  if (s.ConnectionState != kFailed) return true;
  s.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  const bool result = ReportEngineErrorCode("Can't create Internet stream", g_error.load());
  s.ConnectionState = kIdle;
  StreamMetadataSlot().Update([](TStreamMetadata& data) {
    data.Station.ServerDataUpdated = false;
    data.Station.ServerName.clear();
  });
  StreamMetadataSlot().SetStatusText("");
  BASSAPI_SyncStreamMetadata();
  s.Station.ServerDataUpdated = false;
  s.Station.ServerName.clear();
  s.StatusText.clear();
  return result;
}
