// Internet streams against a real icecast2 server fed by ezstream, and against local
// sockets that misbehave.
#include <strings.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>

#include "AudioTestSupport.h"
#include "LoopbackPeers.h"

using namespace audiotest;
using loopback::FreePort;
using Clock = std::chrono::steady_clock;
using LocalServer = loopback::TOneConnectionServer;

namespace {

class NetworkTest : public AudioTest {};
class BrokenInputNetworkTest : public AudioTest {};

struct MetaLog {
  std::mutex mutex;
  std::vector<std::string> titles;
  KAUDIO_HSTREAM handle = 0;
};

TEST_F(NetworkTest, IcecastStreamDeliversHeadersAndTitleChanges) {
  if (!loopback::TIcecastStation::ToolsInstalled()) GTEST_SKIP() << "icecast2, ezstream, sox or lame not installed";
  loopback::TIcecastStation radio("Keldar Test Radio", {{"Artist", "Song"}, {"Other", "Tune"}});
  const std::string failure = radio.Start();
  ASSERT_EQ(failure, "");
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));

  static std::atomic<int> headerCalls{0};
  headerCalls = 0;
  KAUDIO_SetConfig(KAUDIO_CONFIG_NET_TIMEOUT, 5000);
  const std::string url = radio.Url();
  KAUDIO_HSTREAM h = 0;
  for (int attempt = 0; attempt < 20 && !h; ++attempt) {
    h = KAUDIO_StreamCreateURL(url.c_str(), 0, KAUDIO_STREAM_STATUS,
                               [](const void* buf, KAUDIO_DWORD len, void*) {
                                 if (buf && len == 0) ++headerCalls;
                               }, nullptr);
    if (!h) std::this_thread::sleep_for(std::chrono::milliseconds(250));  // mount not up yet
  }
  ASSERT_NE(h, 0u) << KAUDIO_ErrorGetCode();
  EXPECT_GE(headerCalls.load(), 1);
  auto hasLine = [](const char* block, const std::string& prefix) {
    for (const char* p = block; p && *p; p += std::strlen(p) + 1)
      if (strncasecmp(p, prefix.c_str(), prefix.size()) == 0) return true;
    return false;
  };
  const char* icy = KAUDIO_ChannelGetTags(h, KAUDIO_TAG_ICY);
  const char* http = KAUDIO_ChannelGetTags(h, KAUDIO_TAG_HTTP);
  ASSERT_NE(icy, nullptr);
  ASSERT_NE(http, nullptr);
  EXPECT_TRUE(hasLine(icy, "icy-name:Keldar Test Radio") || hasLine(icy, "icy-name: Keldar Test Radio"));
  EXPECT_TRUE(hasLine(icy, "icy-metaint:"));
  EXPECT_TRUE(hasLine(http, "HTTP/"));
  EXPECT_TRUE(hasLine(http, "Server:"));

  MetaLog log;
  log.handle = h;
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_META, 0,
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD ch, KAUDIO_DWORD, void* u) {
                                    auto* l = static_cast<MetaLog*>(u);
                                    const char* meta = KAUDIO_ChannelGetTags(ch, KAUDIO_TAG_META);
                                    std::lock_guard lock(l->mutex);
                                    if (meta) l->titles.push_back(meta);
                                  }, &log), 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  const auto start = Clock::now();
  bool seen = false;
  while (!seen && std::chrono::duration<double>(Clock::now() - start).count() < 10.0) {
    {
      std::lock_guard lock(log.mutex);
      for (auto& t : log.titles) seen = seen || t.find("StreamTitle='Artist - Song';") != std::string::npos;
    }
    const char* meta = KAUDIO_ChannelGetTags(h, KAUDIO_TAG_META);
    if (meta && std::string(meta).find("StreamTitle='Other - Tune';") != std::string::npos) {
      // Already past the first song: the change to it must have come through the sync too.
      std::lock_guard lock(log.mutex);
      seen = !log.titles.empty();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(seen);
  EXPECT_NE(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_STOPPED));
  EXPECT_TRUE(KAUDIO_StreamFree(h));
}

TEST_F(BrokenInputNetworkTest, UrlThatNeverAnswersTimesOut) {
  LocalServer silent([](int c) {
    char buf[1024];
    recv(c, buf, sizeof buf, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  });
  // The time-out comes from the configuration (the player sets 10 s; a short one keeps this quick).
  ASSERT_TRUE(KAUDIO_SetConfig(KAUDIO_CONFIG_NET_TIMEOUT, 1000));
  const auto start = Clock::now();
  EXPECT_EQ(KAUDIO_StreamCreateURL(silent.Url("/radio").c_str(), 0, 0, nullptr, nullptr), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_TIMEOUT);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.4);  // not a hang
}

TEST_F(BrokenInputNetworkTest, RefusedConnectionAndHttpErrors) {
  const int port = FreePort();
  const std::string refused = "http://127.0.0.1:" + std::to_string(port) + "/x.mp3";
  EXPECT_EQ(KAUDIO_StreamCreateURL(refused.c_str(), 0, 0, nullptr, nullptr), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_NONET);
  LocalServer missing([](int c) {
    char buf[1024];
    recv(c, buf, sizeof buf, 0);
    const char* r = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    send(c, r, std::strlen(r), MSG_NOSIGNAL);
  });
  EXPECT_EQ(KAUDIO_StreamCreateURL(missing.Url("/nothing.mp3").c_str(), 0, 0, nullptr, nullptr), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_FILEOPEN);
  EXPECT_EQ(KAUDIO_StreamCreateURL("gopher://127.0.0.1/x", 0, 0, nullptr, nullptr), 0u);
}

TEST_F(BrokenInputNetworkTest, ServerClosingMidStreamEndsTheChannel) {
  const std::string mp3 = dir_.File("radio.mp3");
  ASSERT_TRUE(MakeTone(mp3, 3.0));
  std::ifstream f(mp3, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const std::string half = data.substr(0, data.size() / 3);  // about one second, then the server goes
  LocalServer server([half](int c) {
    char buf[1024];
    recv(c, buf, sizeof buf, 0);
    const std::string head = "ICY 200 OK\r\nicy-name:Half Radio\r\nicy-br:128\r\n\r\n";
    send(c, head.data(), head.size(), MSG_NOSIGNAL);
    send(c, half.data(), half.size(), MSG_NOSIGNAL);
  });
  ASSERT_TRUE(KAUDIO_SetConfig(KAUDIO_CONFIG_NET_TIMEOUT, 3000));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateURL(server.Url("/half").c_str(), 0, 0, nullptr, nullptr);
  ASSERT_NE(h, 0u) << KAUDIO_ErrorGetCode();
  const char* icy = KAUDIO_ChannelGetTags(h, KAUDIO_TAG_ICY);
  ASSERT_NE(icy, nullptr);
  EXPECT_STREQ(icy, "icy-name:Half Radio");
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  const auto start = Clock::now();
  while (KAUDIO_ChannelIsActive(h) != KAUDIO_ACTIVE_STOPPED &&
         std::chrono::duration<double>(Clock::now() - start).count() < 6.0)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_STOPPED));
  EXPECT_FALSE(KAUDIO_ChannelSetPosition(h, 0, KAUDIO_POS_BYTE));
}

}  // namespace

namespace {

TEST_F(NetworkTest, IcyMetadataIsSplitFromTheAudioAndRaisesMetaSyncs) {
  const std::string mp3 = dir_.File("radio.mp3");
  ASSERT_TRUE(MakeTone(mp3, 2.0));
  std::ifstream f(mp3, std::ios::binary);
  const std::string audio((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  // Interleave a metadata block every 4000 bytes; the title changes half way.
  const size_t metaint = 4000;
  std::string body;
  size_t changeAt = 0;  // where the first block with the new title starts
  for (size_t at = 0, n = 0; at < audio.size(); at += metaint, ++n) {
    body += audio.substr(at, metaint);
    if (at + metaint >= audio.size()) break;
    if (n == 5) changeAt = body.size();
    std::string meta = n < 5 ? "StreamTitle='Artist - Song';" : "StreamTitle='Artist - Next';";
    meta.resize((meta.size() + 15) / 16 * 16, '\0');
    body += char(meta.size() / 16);
    body += meta;
  }
  static std::atomic<bool> syncSet{false};
  syncSet = false;
  LocalServer server([body, metaint, changeAt](int c) {
    char buf[1024];
    recv(c, buf, sizeof buf, 0);
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-name:Meta Radio\r\nicy-metaint:" +
                             std::to_string(metaint) + "\r\n\r\n";
    send(c, head.data(), head.size(), MSG_NOSIGNAL);
    // Paced like a station; the new title is held back until the sync is set, however long
    // opening the stream took.
    for (size_t at = 0; at < body.size(); at += 4096) {
      for (int i = 0; at + 4096 > changeAt && !syncSet && i < 1000; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      send(c, body.data() + at, std::min<size_t>(4096, body.size() - at), MSG_NOSIGNAL);
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
  });
  static std::atomic<long> bytes{0};
  bytes = 0;
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateURL(server.Url("/meta").c_str(), 0, 0,
                                                  [](const void* b, KAUDIO_DWORD len, void*) { if (b) bytes += len; },
                                                  nullptr);
  ASSERT_NE(h, 0u) << KAUDIO_ErrorGetCode();
  MetaLog log;
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_META | KAUDIO_SYNC_MIXTIME, 0,
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD ch, KAUDIO_DWORD, void* u) {
                                    auto* l = static_cast<MetaLog*>(u);
                                    std::lock_guard lock(l->mutex);
                                    l->titles.push_back(KAUDIO_ChannelGetTags(ch, KAUDIO_TAG_META));
                                  }, &log), 0u);
  syncSet = true;
  // The whole body decodes: no metadata byte reaches the decoder as audio.
  const KAUDIO_HSTREAM probe = KAUDIO_StreamCreateFile(0, mp3.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  ASSERT_NE(probe, 0u);
  static std::atomic<int> downloaded{0};
  downloaded = 0;
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_DOWNLOAD, 0,
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD, KAUDIO_DWORD, void*) { ++downloaded; }, nullptr), 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  const auto start = Clock::now();
  while (KAUDIO_ChannelIsActive(h) != KAUDIO_ACTIVE_STOPPED &&
         std::chrono::duration<double>(Clock::now() - start).count() < 5.0)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(downloaded.load(), 1);
  const double heard = KAUDIO_ChannelBytes2Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE));
  EXPECT_NEAR(heard, 2.0, 0.1);
  EXPECT_STREQ(KAUDIO_ChannelGetTags(h, KAUDIO_TAG_META), "StreamTitle='Artist - Next';");
  std::lock_guard lock(log.mutex);
  ASSERT_FALSE(log.titles.empty());
  EXPECT_EQ(log.titles.back(), "StreamTitle='Artist - Next';");
  EXPECT_EQ(bytes.load(), long(body.size()));
}

}  // namespace
