#include "engine/KELDAR_VideoEngine.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <gst/video/navigation.h>
#include <gst/video/video.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>

#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Subtitles.h"
#include "util/ShowMessage.h"

namespace {

// Building a graph waits for the first picture (or an error) at most this long.
constexpr GstClockTime kOpenTimeout = 15 * GST_SECOND;
constexpr GstClockTime kDetectTimeout = 10 * GST_SECOND;
// A named pipe's writer must have sent something by then.
constexpr int kPipeWaitMs = 3000;

struct TGraph {
  GstElement* pipeline = nullptr;
  GstElement* sink = nullptr;
  GstElement* panorama = nullptr;
  GstBus* bus = nullptr;
  bool dvd = false;
  bool active = false;
  std::string fileName;
  std::int64_t bitrate = 0;  // bits per second, from the stream's tags
  int pipeFd = -1;           // a named pipe read through its descriptor (ours to close)
};

struct TVideoEngine {
  TGraph graph;
  bool exists = false;
  int state = kVideoStopped;
  std::int64_t duration = 0;
  bool durationKnown = false;
  std::int64_t position = 0;
  int aspectMode = kVideoLetterBox;
  int volume = 10000;
  int balance = 0;
  int nativeWidth = 0, nativeHeight = 0, displayWidth = 0;
  std::uint64_t rendered = 0, dropped = 0;
  // DVD title and chapter last seen; a change re-reads the length.
  gint64 dvdTitle = -1, dvdChapter = -1;
  // DVD fast forward / rewind: title seconds at the start, the rate and when it began.
  double scanRate = 0;
  std::int64_t scanFrom = 0, scanTarget = 0;
  GstClockTime scanStartedAt = 0;
};

TVideoEngine& E() {
  static TVideoEngine engine;
  return engine;
}

// The newest picture, handed from the decoder's thread to the UI thread.
std::mutex g_frameLock;
std::shared_ptr<const TVideoFrame> g_frame;

bool GstReady() {
  static const bool ready = [] {
    GError* error = nullptr;
    const bool ok = gst_init_check(nullptr, nullptr, &error);
    if (error) g_error_free(error);
    return ok;
  }();
  return ready;
}

std::string FileUri(const std::string& fileName) {
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(fileName, ec);
  gchar* uri = gst_filename_to_uri(ec ? fileName.c_str() : absolute.c_str(), nullptr);
  std::string out = uri ? uri : "";
  g_free(uri);
  return out;
}

// The picture from a sample: mapped once, kept mapped until the last reference goes.
struct TMappedSample {
  GstSample* sample = nullptr;
  GstVideoFrame frame{};
  bool mapped = false;
  ~TMappedSample() {
    if (mapped) gst_video_frame_unmap(&frame);
    if (sample) gst_sample_unref(sample);
  }
};

std::shared_ptr<const TVideoFrame> FrameFromSample(GstSample* sample) {
  auto mapped = std::make_shared<TMappedSample>();
  mapped->sample = sample;
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  if (!caps || !buffer || !gst_video_info_from_caps(&info, caps)) return nullptr;
  if (!gst_video_frame_map(&mapped->frame, &info, buffer, GST_MAP_READ)) return nullptr;
  mapped->mapped = true;
  auto frame = std::make_shared<TVideoFrame>();
  frame->Pixels = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped->frame, 0));
  frame->Width = GST_VIDEO_INFO_WIDTH(&info);
  frame->Height = GST_VIDEO_INFO_HEIGHT(&info);
  frame->Stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped->frame, 0);
  const int parN = std::max(1, GST_VIDEO_INFO_PAR_N(&info)), parD = std::max(1, GST_VIDEO_INFO_PAR_D(&info));
  frame->DisplayWidth = static_cast<int>(static_cast<std::int64_t>(frame->Width) * parN / parD);
  frame->Keep = mapped;
  return frame;
}

// Decoder thread.
GstFlowReturn TakeSample(GstSample* sample) {
  if (!sample) return GST_FLOW_OK;
  auto frame = FrameFromSample(sample);
  if (!frame) return GST_FLOW_OK;
  {
    std::lock_guard<std::mutex> lock(g_frameLock);
    g_frame = std::move(frame);
  }
  if (VideoHooks().FrameReady) VideoHooks().FrameReady();
  return GST_FLOW_OK;
}

GstFlowReturn OnNewSample(GstAppSink* sink, gpointer) { return TakeSample(gst_app_sink_pull_sample(sink)); }
GstFlowReturn OnNewPreroll(GstAppSink* sink, gpointer) { return TakeSample(gst_app_sink_pull_preroll(sink)); }

// MIDI needs a General MIDI sound font; Debian puts them here.
void SetUpElement(GstElement*, GstElement* element, gpointer) {
  GstElementFactory* factory = gst_element_get_factory(element);
  if (!factory || std::string(GST_OBJECT_NAME(factory)) != "fluiddec") return;
  for (const char* font : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                           "/usr/share/sounds/sf2/FluidR3_GM.sf2"}) {
    std::error_code ec;
    if (std::filesystem::exists(font, ec)) {
      g_object_set(element, "soundfont", font, nullptr);
      return;
    }
  }
}

void SetUpDVDSource(GstElement*, GstElement* source, gpointer data) {
  const auto* folder = static_cast<const std::string*>(data);
  if (g_object_class_find_property(G_OBJECT_GET_CLASS(source), "device"))
    g_object_set(source, "device", folder->c_str(), nullptr);
}

void ApplyAudioAttributes() {
  auto& e = E();
  if (!e.graph.pipeline) return;
  g_object_set(e.graph.pipeline, "volume", e.volume / 10000.0, nullptr);
  if (e.graph.panorama) g_object_set(e.graph.panorama, "panorama", static_cast<float>(e.balance / 10000.0), nullptr);
}

void FreeGraph() {
  auto& g = E().graph;
  if (g.pipeline) {
    gst_element_set_state(g.pipeline, GST_STATE_NULL);
    gst_object_unref(g.pipeline);
  }
  if (g.bus) gst_object_unref(g.bus);
  if (g.pipeFd >= 0) ::close(g.pipeFd);
  g = TGraph{};
  E().exists = false;
  std::lock_guard<std::mutex> lock(g_frameLock);
  g_frame.reset();
}

// Clear and deactivate: the pipeline stops and holds no picture; it stays built.
void DeactivateGraph() {
  auto& g = E().graph;
  if (g.pipeline) gst_element_set_state(g.pipeline, GST_STATE_READY);
  g.active = false;
}

bool CreateGraph() {
  auto& g = E().graph;
  g.pipeline = gst_element_factory_make("playbin", nullptr);
  g.sink = gst_element_factory_make("appsink", nullptr);
  if (!g.pipeline || !g.sink) {
    if (g.sink) gst_object_unref(g.sink);
    g.sink = nullptr;
    FreeGraph();
    return false;
  }
  GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx");
  g_object_set(g.sink, "caps", caps, "sync", TRUE, "max-buffers", 2u, "qos", TRUE, nullptr);
  gst_caps_unref(caps);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnNewSample;
  callbacks.new_preroll = OnNewPreroll;
  gst_app_sink_set_callbacks(GST_APP_SINK(g.sink), &callbacks, nullptr, nullptr);
  g_object_set(g.pipeline, "video-sink", g.sink, nullptr);
  if ((g.panorama = gst_element_factory_make("audiopanorama", nullptr)))
    g_object_set(g.pipeline, "audio-filter", g.panorama, nullptr);
  g_signal_connect(g.pipeline, "element-setup", G_CALLBACK(SetUpElement), nullptr);
  g.bus = gst_element_get_bus(g.pipeline);
  E().exists = true;
  return true;
}

struct TBuildResult {
  bool ok = false;
  GQuark domain = 0;
  int code = 0;
};

void ReadBitrateTag(GstMessage* message) {
  GstTagList* tags = nullptr;
  gst_message_parse_tag(message, &tags);
  guint bitrate = 0;
  if (tags && (gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate) ||
               gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate)) &&
      bitrate > 0)
    E().graph.bitrate += bitrate;
  if (tags) gst_tag_list_unref(tags);
}

// A named pipe (a live source: a capture or encoder program writing into it). Opening one
// for reading blocks until a writer comes, which would freeze the program on a pipe nobody
// writes into; so it is opened without blocking and read through its descriptor once data
// has come. -1 when nothing came in time.
int OpenPipeWithData(const std::string& fileName) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  pollfd ready{fd, POLLIN, 0};
  if (::poll(&ready, 1, kPipeWaitMs) != 1 || !(ready.revents & POLLIN)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool IsNamedPipe(const std::string& fileName) {
  struct stat info {};
  return ::stat(fileName.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// Paused and prerolled, or the first error.
TBuildResult Render(const std::string& uri) {
  auto& g = E().graph;
  g_object_set(g.pipeline, "uri", uri.c_str(), nullptr);
  TBuildResult result;
  if (gst_element_set_state(g.pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    // The error that caused it is on the bus.
  }
  const GstClockTime deadline = gst_util_get_timestamp() + kOpenTimeout;
  for (;;) {
    const GstClockTime now = gst_util_get_timestamp();
    if (now >= deadline) break;
    GstMessage* message = gst_bus_timed_pop_filtered(
        g.bus, deadline - now,
        static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_TAG));
    if (!message) break;
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    if (type == GST_MESSAGE_TAG) {
      ReadBitrateTag(message);
      gst_message_unref(message);
      continue;
    }
    if (type == GST_MESSAGE_ERROR) {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      if (error) {
        result.domain = error->domain;
        result.code = error->code;
        g_error_free(error);
      }
      gst_message_unref(message);
      return result;
    }
    gst_message_unref(message);
    result.ok = true;
    return result;
  }
  result.domain = GST_CORE_ERROR;
  result.code = GST_CORE_ERROR_STATE_CHANGE;
  return result;
}

// The texts a failed DVD build reports, in the order they are checked.
std::string DVDFailureText(const std::string& ifo, const TBuildResult& r) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(ifo, ec)) return "The specified DVD volume to be played does not exist.";
  if (r.domain == GST_RESOURCE_ERROR) return "No DVD volume is specified or isn't found.";
  if (r.domain == GST_STREAM_ERROR || (r.domain == GST_CORE_ERROR && r.code == GST_CORE_ERROR_MISSING_PLUGIN))
    return "Can't render one or more stream.";
  return "Some basic error occurred in building the graph.\rPossibilities include the DVD Navigator filter or the "
         "video or audio renderer not instantiating,\ra trivial connection or pin enumeration failing, or none of "
         "the streams rendering.";
}

void ReadNativeSize() {
  auto& e = E();
  e.nativeWidth = e.nativeHeight = e.displayWidth = 0;
  if (!e.graph.sink) return;
  GstPad* pad = gst_element_get_static_pad(e.graph.sink, "sink");
  if (!pad) return;
  if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
    GstVideoInfo info;
    if (gst_video_info_from_caps(&info, caps)) {
      e.nativeWidth = GST_VIDEO_INFO_WIDTH(&info);
      e.nativeHeight = GST_VIDEO_INFO_HEIGHT(&info);
      e.displayWidth = static_cast<int>(static_cast<std::int64_t>(e.nativeWidth) *
                                        std::max(1, GST_VIDEO_INFO_PAR_N(&info)) /
                                        std::max(1, GST_VIDEO_INFO_PAR_D(&info)));
    }
    gst_caps_unref(caps);
  }
  gst_object_unref(pad);
}

void ReadQoS(GstMessage* message) {
  guint64 processed = 0, dropped = 0;
  GstFormat format;
  gst_message_parse_qos_stats(message, &format, &processed, &dropped);
  if (GST_MESSAGE_SRC(message) == GST_OBJECT(E().graph.sink) && format == GST_FORMAT_BUFFERS) {
    E().rendered = processed;
    E().dropped = dropped;
  }
}

// The graph's events, read on the UI thread.
void PumpEvents() {
  auto& e = E();
  if (!e.graph.bus) return;
  while (GstMessage* message = gst_bus_pop(e.graph.bus)) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_EOS: e.state = kVideoStopped; break;
      case GST_MESSAGE_ERROR:
        // A picture that breaks while playing ends the item as completion would.
        e.state = kVideoStopped;
        break;
      case GST_MESSAGE_QOS: ReadQoS(message); break;
      case GST_MESSAGE_TAG: ReadBitrateTag(message); break;
      case GST_MESSAGE_DURATION_CHANGED:
        // A DVD's title or chapter changed: its length is read again.
        if (e.graph.dvd) GetVideoLength();
        break;
      default: break;
    }
    gst_message_unref(message);
  }
}

bool QueryNanoseconds(bool duration, gint64& value) {
  auto& g = E().graph;
  if (!g.pipeline) return false;
  value = -1;
  const bool ok = duration ? gst_element_query_duration(g.pipeline, GST_FORMAT_TIME, &value)
                           : gst_element_query_position(g.pipeline, GST_FORMAT_TIME, &value);
  return ok && value >= 0;
}

bool DVDReady() { return E().graph.dvd && E().graph.active && E().graph.pipeline; }

void SendToVideoSink(GstEvent* event) {
  if (!E().graph.sink) {
    gst_event_unref(event);
    return;
  }
  gst_element_send_event(E().graph.sink, event);
}

// The DVD source reads forwards at the normal rate only (it neither reverses nor paces a
// faster rate), so fast forward and rewind walk the title by time seeks instead: the target
// moves rate x the wall-clock time since the scan began, one seek per position query (the
// deck asks every 400 ms), and the picture of each place shows as it is reached.
void StopScan() { E().scanRate = 0; }

void StartScan(double rate) {
  auto& e = E();
  gst_element_set_state(e.graph.pipeline, GST_STATE_PLAYING);
  gint64 ns = 0;
  e.scanFrom = e.scanTarget = QueryNanoseconds(false, ns) ? ns / GST_SECOND : e.position;
  e.scanStartedAt = gst_util_get_timestamp();
  e.scanRate = rate;
}

void TimeSeek(std::int64_t seconds) {
  gst_element_seek_simple(E().graph.pipeline, GST_FORMAT_TIME,
                          static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                          static_cast<gint64>(seconds) * static_cast<gint64>(GST_SECOND));
}

void StepScan() {
  auto& e = E();
  if (e.scanRate == 0) return;
  const double elapsed = static_cast<double>(gst_util_get_timestamp() - e.scanStartedAt) / GST_SECOND;
  std::int64_t target = e.scanFrom + static_cast<std::int64_t>(std::floor(e.scanRate * elapsed));
  // The title's start ends a rewind; its last seconds end a fast forward, and it plays out.
  const std::int64_t last = std::max<std::int64_t>(0, e.duration - 2);
  if (target <= 0 || (e.duration > 0 && target >= last)) {
    target = std::clamp<std::int64_t>(target, 0, last);
    StopScan();
  }
  if (target != e.scanTarget || e.scanRate == 0) TimeSeek(target);
  e.scanTarget = target;
  e.position = target;
}

// A new title or chapter re-reads the title's length.
void WatchTitleAndChapter() {
  auto& e = E();
  // Formats that plug-ins register lie past GstFormat's declared values: keep them as numbers.
  static const int titleFormat = gst_format_get_by_nick("title");
  static const int chapterFormat = gst_format_get_by_nick("chapter");
  gint64 title = -1, chapter = -1;
  if (titleFormat != GST_FORMAT_UNDEFINED)
    gst_element_query_position(e.graph.pipeline, static_cast<GstFormat>(titleFormat), &title);
  if (chapterFormat != GST_FORMAT_UNDEFINED)
    gst_element_query_position(e.graph.pipeline, static_cast<GstFormat>(chapterFormat), &chapter);
  if (title == e.dvdTitle && chapter == e.dvdChapter) return;
  e.dvdTitle = title;
  e.dvdChapter = chapter;
  GetVideoLength();
}

void StepChapter(int delta) {
  StopScan();
  auto& g = E().graph;
  const int chapter = gst_format_get_by_nick("chapter");
  gint64 current = 0;
  if (chapter == GST_FORMAT_UNDEFINED ||
      !gst_element_query_position(g.pipeline, static_cast<GstFormat>(chapter), &current))
    return;
  const gint64 target = std::max<gint64>(0, current + delta);
  gst_element_seek_simple(g.pipeline, static_cast<GstFormat>(chapter), GST_SEEK_FLAG_FLUSH, target);
}

// A point of the drawing area in the picture's own pixels.
bool PicturePoint(int x, int y, double& px, double& py) {
  int w = 0, h = 0;
  TVideoRect rect;
  GetVideoDisplayRect(w, h, rect);
  if (w <= 0 || h <= 0 || rect.Width <= 0 || rect.Height <= 0) return false;
  px = (x - rect.Left) * static_cast<double>(w) / rect.Width;
  py = (y - rect.Top) * static_cast<double>(h) / rect.Height;
  return true;
}

}  // namespace

KELDAR_VideoHooks& VideoHooks() {
  static KELDAR_VideoHooks hooks;
  return hooks;
}

bool OpenVideo(const std::string& fileName, std::uint32_t) {
  auto& e = E();
  SetSubtitlePanelsVisible(false);
  try {
    if (!GstReady()) return false;
    FreeGraph();
    e.graph.dvd = false;
    e.state = kVideoStopped;
    e.duration = 0;
    e.durationKnown = false;
    e.position = 0;
    e.rendered = e.dropped = 0;
    e.dvdTitle = e.dvdChapter = -1;
    StopScan();
    if (!CreateGraph()) return false;
    auto& g = e.graph;
    g.fileName = fileName;
    g.active = true;
    ApplyAudioAttributes();
    if (std::filesystem::path(fileName).extension().string() != ".IFO") {
      std::string uri = FileUri(fileName);
      if (IsNamedPipe(fileName)) {
        g.pipeFd = OpenPipeWithData(fileName);
        if (g.pipeFd < 0) {
          DeactivateGraph();
          return false;
        }
        uri = "fd://" + std::to_string(g.pipeFd);
      }
      const TBuildResult result = Render(uri);
      if (!result.ok) {
        DeactivateGraph();
        return false;
      }
      ReadNativeSize();
      if (SubtitleState().Enabled) LoadSubtitles(fileName, true);
      return true;
    }
    g.dvd = true;
    e.position = 0;
    // The disc is the folder above VIDEO_TS (or the folder holding the ".IFO").
    std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    std::string device = folder.string();
    g_signal_connect(g.pipeline, "source-setup", G_CALLBACK(SetUpDVDSource), &e.graph.fileName);
    g.fileName = device;
    const TBuildResult result = Render("dvd://");
    g.fileName = fileName;
    if (result.ok) {
      ReadNativeSize();
      return true;
    }
    ReportVideoError(DVDFailureText(fileName, result));
    return false;
  } catch (...) {
    e.graph.dvd = false;
    return false;
  }
}

void CloseVideo() {
  try {
    StopScan();
    E().graph.dvd = false;
    FreeGraph();
    E().state = kVideoStopped;
    E().nativeWidth = E().nativeHeight = E().displayWidth = 0;
    UnloadSubtitles();
    if (VideoHooks().PictureChanged) VideoHooks().PictureChanged();
  } catch (...) {
  }
}

std::int64_t GetVideoLength() {
  auto& e = E();
  gint64 ns = 0;
  if (!e.graph.pipeline || !QueryNanoseconds(true, ns)) {
    e.durationKnown = false;
    if (!e.graph.dvd) e.duration = 0;
    return 0;
  }
  e.durationKnown = true;
  // A DVD title's time counts whole seconds of hours, minutes and seconds alike.
  const std::int64_t seconds = static_cast<std::int64_t>(ns / GST_SECOND);
  e.duration = seconds;
  return seconds;
}

std::int64_t GetVideoFileLength(const std::string& fileName) {
  if (!GstReady()) return 0;
  GstDiscoverer* discoverer = gst_discoverer_new(kDetectTimeout, nullptr);
  if (!discoverer) return 0;
  std::int64_t seconds = 0;
  GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, FileUri(fileName).c_str(), nullptr);
  if (info) {
    if (gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK) {
      const GstClockTime duration = gst_discoverer_info_get_duration(info);
      if (GST_CLOCK_TIME_IS_VALID(duration)) seconds = static_cast<std::int64_t>(duration / GST_SECOND);
    }
    gst_discoverer_info_unref(info);
  }
  g_object_unref(discoverer);
  return seconds;
}

bool VideoCanRender(const std::string& fileName) {
  std::error_code ec;
  if (!GstReady() || !std::filesystem::is_regular_file(fileName, ec)) return false;
  GstDiscoverer* discoverer = gst_discoverer_new(kDetectTimeout, nullptr);
  if (!discoverer) return false;
  bool can = false;
  GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, FileUri(fileName).c_str(), nullptr);
  if (info) {
    if (gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK) {
      GList* streams = gst_discoverer_info_get_stream_list(info);
      for (GList* s = streams; s && !can; s = s->next) {
        auto* stream = static_cast<GstDiscovererStreamInfo*>(s->data);
        can = GST_IS_DISCOVERER_VIDEO_INFO(stream) || GST_IS_DISCOVERER_AUDIO_INFO(stream);
      }
      gst_discoverer_stream_info_list_free(streams);
    }
    gst_discoverer_info_unref(info);
  }
  g_object_unref(discoverer);
  return can;
}

bool PlayVideo() {
  auto& e = E();
  e.state = kVideoPlaying;
  bool ok = false;
  StopScan();
  if (e.graph.active && e.graph.pipeline)
    ok = gst_element_set_state(e.graph.pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
  if (VideoHooks().SubtitlePanelsToFront) VideoHooks().SubtitlePanelsToFront();
  return ok;
}

void PauseVideo() {
  StopScan();
  E().state = kVideoPaused;
  if (E().graph.pipeline) gst_element_set_state(E().graph.pipeline, GST_STATE_PAUSED);
}

void ResumeVideo() {
  E().state = kVideoPlaying;
  if (E().graph.pipeline && E().graph.active) gst_element_set_state(E().graph.pipeline, GST_STATE_PLAYING);
}

void StopVideo() {
  StopScan();
  E().state = kVideoStopped;
  // Stopped keeps the last picture and the place, as a paused graph does.
  if (E().graph.pipeline) gst_element_set_state(E().graph.pipeline, GST_STATE_PAUSED);
}

int IsVideoActive() {
  auto& e = E();
  PumpEvents();
  // A sub-second file (its length reads 0) that has run past 3 s is over. A pipeline that
  // cannot tell its length at all (a live or unsized source) is left to its own end.
  if (!e.graph.dvd && e.durationKnown && e.duration == 0 && e.state == kVideoPlaying) {
    gint64 ns = 0;
    if (QueryNanoseconds(false, ns) && ns / GST_SECOND > 3) StopVideo();
  }
  return e.state;
}

void SetVideoAttribute(int kind, double value) {
  auto& e = E();
  if (kind == 2) e.volume = std::clamp(static_cast<int>(std::lround(value * 10000)), 0, 10000);
  // Balance keeps the audio pan's direction: slider to the right, sound to the right.
  if (kind == 3) e.balance = std::clamp(static_cast<int>(std::lround(value * 10000)), -10000, 10000);
  ApplyAudioAttributes();
}

void SeekVideo(std::int64_t seconds) {
  auto& e = E();
  if (!e.graph.pipeline) return;
  if (seconds < 0) seconds = 0;
  if (e.graph.dvd) {
    StopScan();
    const std::int64_t h = seconds / 3600, m = (seconds % 3600) / 60, s = seconds % 60;
    e.position = h * 3600 + m * 60 + s;
    gst_element_seek_simple(e.graph.pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH,
                            static_cast<gint64>(e.position) * GST_SECOND);
    return;
  }
  gst_element_seek(e.graph.pipeline, 1.0, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                   static_cast<gint64>(seconds) * static_cast<gint64>(GST_SECOND), GST_SEEK_TYPE_NONE, -1);
}

std::int64_t GetVideoPosition() {
  auto& e = E();
  PumpEvents();
  if (!e.graph.active || !e.graph.pipeline) return 0;
  gint64 ns = 0;
  if (e.graph.dvd) {
    WatchTitleAndChapter();
    if (e.scanRate != 0) {
      StepScan();
      return e.position;
    }
    // The title's running time, as hours, minutes and seconds.
    if (QueryNanoseconds(false, ns)) {
      const std::int64_t s = ns / GST_SECOND;
      e.position = (s / 3600) * 3600 + ((s % 3600) / 60) * 60 + s % 60;
    }
    return e.position;
  }
  if (!QueryNanoseconds(false, ns)) return e.position;
  e.position = ns / GST_SECOND;
  // A film playing past the length it told knows more of it by now (fragmented films and
  // recordings tell only what has been read).
  if (e.position >= e.duration) GetVideoLength();
  if (SubtitleState().Enabled) UpdateSubtitleTexts(ns / 100);
  return e.position;
}

std::int64_t GetVideoBitrate() {
  auto& e = E();
  if (!e.graph.pipeline) return 0;
  if (e.graph.bitrate > 0) return e.graph.bitrate;
  // Without a tag, the file's size over its length.
  std::error_code ec;
  const auto size = std::filesystem::file_size(e.graph.fileName, ec);
  if (ec || e.duration <= 0) return 0;
  return static_cast<std::int64_t>(size * 8 / static_cast<std::uint64_t>(e.duration));
}

void SetAspectMode(int mode) {
  E().aspectMode = std::clamp(mode, 0, 2);
  if (VideoHooks().PictureChanged) VideoHooks().PictureChanged();
}

int VideoAspectMode() { return E().aspectMode; }

void DVDNextChapter() {
  if (DVDReady()) StepChapter(1);
}
void DVDPreviousChapter() {
  if (DVDReady()) StepChapter(-1);
}
void DVDNormalSpeed() {
  if (!DVDReady()) return;
  StopScan();
  gst_element_set_state(E().graph.pipeline, GST_STATE_PLAYING);
}
void DVDFastForward() {
  if (DVDReady()) StartScan(8.0);
}
void DVDRewind() {
  if (DVDReady()) StartScan(-8.0);
}
void DVDTitleMenu() {
  StopScan();
  if (DVDReady()) SendToVideoSink(gst_navigation_event_new_command(GST_NAVIGATION_COMMAND_DVD_TITLE_MENU));
}
void DVDRootMenu() {
  StopScan();
  if (DVDReady()) SendToVideoSink(gst_navigation_event_new_command(GST_NAVIGATION_COMMAND_DVD_ROOT_MENU));
}
void DVDSelectAt(int x, int y) {
  double px = 0, py = 0;
  if (DVDReady() && PicturePoint(x, y, px, py))
    SendToVideoSink(gst_navigation_event_new_mouse_move(px, py, GST_NAVIGATION_MODIFIER_NONE));
}
void DVDActivateAt(int x, int y) {
  double px = 0, py = 0;
  if (DVDReady() && PicturePoint(x, y, px, py))
    SendToVideoSink(gst_navigation_event_new_mouse_button_release(1, px, py, GST_NAVIGATION_MODIFIER_NONE));
}

TVideoRect VideoPictureRect(int mode, int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
  const TVideoRect area{0, 0, areaWidth, areaHeight};
  if (mode == kVideoStretched || pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
    return area;
  // Letter box fits the whole picture; crop fills the area and lets the overflow go.
  const double sx = static_cast<double>(areaWidth) / pictureWidth;
  const double sy = static_cast<double>(areaHeight) / pictureHeight;
  const double scale = mode == kVideoCrop ? std::max(sx, sy) : std::min(sx, sy);
  const int w = static_cast<int>(std::lround(pictureWidth * scale));
  const int h = static_cast<int>(std::lround(pictureHeight * scale));
  return {(areaWidth - w) / 2, (areaHeight - h) / 2, w, h};
}

void GetVideoDisplayRect(int& nativeWidth, int& nativeHeight, TVideoRect& rect) {
  auto& e = E();
  // A DVD's menus and titles may differ in size: the size of what is shown now.
  if (e.graph.sink) ReadNativeSize();
  nativeWidth = e.nativeWidth;
  nativeHeight = e.nativeHeight;
  int w = 0, h = 0;
  if (VideoHooks().DrawingAreaSize) VideoHooks().DrawingAreaSize(w, h);
  rect = e.aspectMode == kVideoLetterBox ? VideoPictureRect(kVideoLetterBox, e.displayWidth, e.nativeHeight, w, h)
                                         : TVideoRect{0, 0, w, h};
}

bool ReportVideoError(const std::string& text) {
  if (!KELDAR_AUDIOVIDEO_API_State().ShowErrors) return false;
  StopVideo();
  DeactivateGraph();
  ShowMessage(text + "\r\n" + "(error code: " + "0" + ")", "Error", TMessageIcon::Error);
  return true;
}

std::shared_ptr<const TVideoFrame> TakeVideoFrame() {
  std::lock_guard<std::mutex> lock(g_frameLock);
  return g_frame;
}

TVideoEngineStatus VideoEngineStatus() {
  auto& e = E();
  TVideoEngineStatus s;
  s.GraphExists = e.exists;
  s.Active = e.graph.active;
  s.DVDMode = e.graph.dvd;
  s.State = e.state;
  s.Duration = e.duration;
  s.Position = e.position;
  s.GraphVolume = e.volume;
  s.GraphBalance = e.balance;
  if (e.graph.pipeline) {
    gdouble volume = 0;
    g_object_get(e.graph.pipeline, "volume", &volume, nullptr);
    s.PipelineVolume = volume;
  }
  if (e.graph.panorama) {
    gfloat panorama = 0;
    g_object_get(e.graph.panorama, "panorama", &panorama, nullptr);
    s.PipelinePanorama = panorama;
  }
  s.FramesRendered = e.rendered;
  s.FramesDropped = e.dropped;
  // The sink's own counters, when it keeps them.
  if (e.graph.sink && g_object_class_find_property(G_OBJECT_GET_CLASS(e.graph.sink), "stats")) {
    GstStructure* stats = nullptr;
    g_object_get(e.graph.sink, "stats", &stats, nullptr);
    guint64 rendered = 0, dropped = 0;
    if (stats && gst_structure_get_uint64(stats, "rendered", &rendered) &&
        gst_structure_get_uint64(stats, "dropped", &dropped)) {
      s.FramesRendered = rendered;
      s.FramesDropped = dropped;
    }
    if (stats) gst_structure_free(stats);
  }
  return s;
}

std::int64_t VideoLengthSeconds() { return E().duration; }

bool VideoGraphActive() { return E().graph.active && E().graph.pipeline; }
bool VideoInDVDMode() { return E().graph.dvd; }
