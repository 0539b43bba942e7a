#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "TestSupport.h"
#include "plugins/ZorvanePlayerApiClient.h"
#include "plugins/ZorvanePlayerApiVariables.h"
#include "plugins/zorvaneplayerapiunit.h"

namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "keldar_plugins_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// Runs the event loop until the client work on another thread is done.
template <typename F>
void RunClient(F work) {
  App();
  std::atomic<bool> done{false};
  std::thread client([&] {
    work();
    done = true;
  });
  QElapsedTimer timer;
  timer.start();
  while (!done && timer.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  client.join();
}

int RawConnect(const std::string& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

class ControlChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(server.Listen(dir / "api.sock"));
    server.SetParameterHandler([this](const std::string& p) { parameters.push_back(p); });
    server.SetMessageHandler([this](uint32_t message, int64_t, int64_t lparam) -> int64_t {
      messages.push_back(message);
      return message == 0x9411 ? 78 : lparam;
    });
  }
  // A record of the test's own, named before the server opens it, so a player of this user
  // keeps its record: the server marks its record stopped and removes it when it goes.
  struct TOwnRecord {
    std::string name = "keldar-test-channel-" + std::to_string(::getpid());
    TOwnRecord() { ::setenv("ZORVANEPLAYERAPI_RECORD", name.c_str(), 1); }
    ~TOwnRecord() { ::unsetenv("ZORVANEPLAYERAPI_RECORD"); }
  } record;
  TTempFolder dir;
  Tzorvaneplayerapi server;
  std::vector<std::string> parameters;
  std::vector<uint32_t> messages;
};

}  // namespace

TEST(HandOverRecord, OneArgumentHasNoLineBreakAndSeveralEndInCrLf) {
  THandOverRecord one = BuildHandOverRecord({"/a b/c.mp3"});
  EXPECT_EQ(one.DataTag, 1u);
  EXPECT_EQ(one.Payload, "/a b/c.mp3");
  THandOverRecord three = BuildHandOverRecord({"a.mp3", "b.mp3", "c.mp3"});
  EXPECT_EQ(three.DataTag, 3u);
  EXPECT_EQ(three.Payload, "a.mp3\r\nb.mp3\r\nc.mp3\r\n");

  std::string wire = SerializeHandOverRecord(three);
  ASSERT_EQ(wire.size(), 8 + three.Payload.size() + 1);
  EXPECT_EQ(static_cast<unsigned char>(wire[4]), three.Payload.size() + 1);  // byte count includes the zero
  THandOverRecord back;
  ASSERT_TRUE(ParseHandOverRecord(wire, back));
  EXPECT_EQ(back.DataTag, 3u);
  EXPECT_EQ(back.Payload, three.Payload);
  EXPECT_FALSE(ParseHandOverRecord(wire.substr(0, wire.size() - 1), back));
  EXPECT_FALSE(ParseHandOverRecord("abc", back));
}

TEST(HandOverRecord, ProcessHandOverSplitsLinesUnlessTheTagIsOne) {
  std::vector<std::string> got;
  auto collect = [&](const std::string& s) { got.push_back(s); };
  ProcessHandOver({3, "a.mp3\r\nb.mp3\r\nc.mp3\r\n"}, collect);
  EXPECT_EQ(got, (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
  got.clear();
  // With tag 1 the payload is one argument even if it holds a line break.
  ProcessHandOver({1, "odd\r\nname"}, collect);
  EXPECT_EQ(got, (std::vector<std::string>{"odd\r\nname"}));
}

TEST_F(ControlChannel, CopyDataDeliversArgumentsInOrderAndMessagesGetResults) {
  zpapi_reply reply{};
  int64_t volume = -1;
  RunClient([&] {
    TPlayerApiClient client;
    ASSERT_TRUE(client.Connect(dir / "api.sock"));
    std::string payload = SerializeHandOverRecord(BuildHandOverRecord({"one.mp3", "two.ogg", "three.wav"}));
    ASSERT_TRUE(client.Request(ZPAPI_MSG_COPYDATA, 0, 0, payload, reply, 5000));
    zpapi_reply get{};
    ASSERT_TRUE(client.Request(0x9411, 0, 0, "", get, 5000));
    volume = get.result;
  });
  EXPECT_EQ(reply.status, ZPAPI_STATUS_OK);
  EXPECT_EQ(parameters, (std::vector<std::string>{"one.mp3", "two.ogg", "three.wav"}));
  EXPECT_EQ(volume, 78);
  EXPECT_EQ(messages, (std::vector<uint32_t>{0x9411}));
}

TEST_F(ControlChannel, SilentClientDoesNotBlockOthers) {
  int idle = RawConnect(dir / "api.sock");
  ASSERT_GE(idle, 0);
  // Half a header from the idle client, then nothing.
  ASSERT_EQ(::send(idle, "KZPA1234", 8, 0), 8);
  zpapi_reply reply{};
  bool ok = false;
  RunClient([&] {
    TPlayerApiClient client;
    ASSERT_TRUE(client.Connect(dir / "api.sock"));
    ok = client.Request(0x9405, 0, 0, "", reply, 3000);
  });
  ::close(idle);
  EXPECT_TRUE(ok);
  EXPECT_EQ(messages, (std::vector<uint32_t>{0x9405}));
}

TEST_F(ControlChannel, MalformedAndOversizedRequestsAreRefusedAndTheServerGoesOn) {
  int32_t badMagicStatus = -1, oversizedStatus = -1, badRecordStatus = -1;
  bool nextOk = false;
  RunClient([&] {
    {
      int fd = RawConnect(dir / "api.sock");
      zpapi_request_header h{0xDEADBEEF, 0x9401, 0, 0, 0, 0};
      ::send(fd, &h, sizeof(h), 0);
      zpapi_reply r{};
      if (::recv(fd, &r, sizeof(r), MSG_WAITALL) == sizeof(r)) badMagicStatus = r.status;
      // The connection is dropped after the error.
      char byte;
      EXPECT_EQ(::recv(fd, &byte, 1, 0), 0);
      ::close(fd);
    }
    {
      // A 10 MiB request is refused from its header alone.
      int fd = RawConnect(dir / "api.sock");
      zpapi_request_header h{ZPAPI_MAGIC, ZPAPI_MSG_COPYDATA, 0, 0, 10u << 20, 0};
      ::send(fd, &h, sizeof(h), 0);
      std::string junk(1 << 16, 'x');
      ::send(fd, junk.data(), junk.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      zpapi_reply r{};
      if (::recv(fd, &r, sizeof(r), MSG_WAITALL) == sizeof(r)) oversizedStatus = r.status;
      ::close(fd);
    }
    {
      TPlayerApiClient client;
      ASSERT_TRUE(client.Connect(dir / "api.sock"));
      zpapi_reply r{};
      // Byte count disagrees with the data.
      std::string record("\x01\x00\x00\x00\x09\x00\x00\x00" "ab", 10);
      if (client.Request(ZPAPI_MSG_COPYDATA, 0, 0, record, r, 3000)) badRecordStatus = r.status;
    }
    TPlayerApiClient client;
    ASSERT_TRUE(client.Connect(dir / "api.sock"));
    zpapi_reply r{};
    nextOk = client.Request(0x9407, 0, 0, "", r, 3000) && r.status == ZPAPI_STATUS_OK;
  });
  EXPECT_EQ(badMagicStatus, ZPAPI_STATUS_MALFORMED);
  EXPECT_EQ(oversizedStatus, ZPAPI_STATUS_TOO_LARGE);
  EXPECT_EQ(badRecordStatus, ZPAPI_STATUS_MALFORMED);
  EXPECT_TRUE(nextOk);
  EXPECT_TRUE(parameters.empty());
  EXPECT_EQ(messages, (std::vector<uint32_t>{0x9407}));
}

TEST_F(ControlChannel, TenMebibytePayloadIsRefusedUnreadWhileOthersAreServed) {
  constexpr size_t kPayload = size_t{10} << 20;
  int32_t status = -1;
  size_t accepted = 0;
  int sendError = 0;
  bool droppedAfterReply = false;
  std::atomic<bool> uploading{true};
  std::vector<int64_t> othersGot;
  TPlayerApiClient other;  // stays connected after the run
  RunClient([&] {
    ASSERT_TRUE(other.Connect(dir / "api.sock"));
    std::thread big([&] {
      int fd = RawConnect(dir / "api.sock");
      if (fd < 0) { uploading = false; return; }
      // A small send buffer keeps what the kernel holds in flight well under the payload.
      int sndbuf = 16 << 10;
      ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof(sndbuf));
      timeval limit{5, 0};  // a server that neither reads nor drops fails the test, not hangs it
      ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
      zpapi_request_header h{ZPAPI_MAGIC, ZPAPI_MSG_COPYDATA, 0, 0, static_cast<uint32_t>(kPayload), 0};
      ::send(fd, &h, sizeof(h), MSG_NOSIGNAL);
      const std::string chunk(16 << 10, 'x');
      while (accepted < kPayload) {
        ssize_t n = ::send(fd, chunk.data(), std::min(chunk.size(), kPayload - accepted), MSG_NOSIGNAL);
        if (n <= 0) {
          sendError = errno;
          break;
        }
        accepted += static_cast<size_t>(n);
      }
      zpapi_reply r{};
      if (::recv(fd, &r, sizeof(r), MSG_WAITALL) == sizeof(r)) status = r.status;
      char byte;
      droppedAfterReply = ::recv(fd, &byte, 1, 0) <= 0;
      ::close(fd);
      uploading = false;
    });
    // Requests of another client go on while the upload is under way and after it.
    int64_t value = 0;
    do {
      zpapi_reply r{};
      if (!other.Request(0x9412, 0, value, "", r, 3000) || r.status != ZPAPI_STATUS_OK) break;
      othersGot.push_back(r.result);
      ++value;
    } while (uploading && value < 10000);
    big.join();
    zpapi_reply r{};
    if (other.Request(0x9412, 0, value, "", r, 3000)) othersGot.push_back(r.result);
  });
  EXPECT_EQ(status, ZPAPI_STATUS_TOO_LARGE);
  EXPECT_TRUE(droppedAfterReply);
  // The server stopped taking the body soon after its header: far less than a full request.
  EXPECT_TRUE(sendError == EPIPE || sendError == ECONNRESET) << sendError;
  EXPECT_LT(accepted, size_t{256} << 10) << accepted << " bytes accepted";
  ASSERT_GE(othersGot.size(), 2u);
  for (size_t i = 0; i < othersGot.size(); ++i) ASSERT_EQ(othersGot[i], static_cast<int64_t>(i));
  EXPECT_TRUE(parameters.empty());
  EXPECT_EQ(messages.size(), othersGot.size());
  // Only the other client is still connected.
  QElapsedTimer timer;
  timer.start();
  while (server.ClientCount() != 1 && timer.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(server.ClientCount(), 1u);
}

TEST_F(ControlChannel, RequestSentJustBeforeClosingIsStillHandled) {
  RunClient([&] {
    int fd = RawConnect(dir / "api.sock");
    std::string payload = SerializeHandOverRecord(BuildHandOverRecord({"last.mp3"}));
    zpapi_request_header h{ZPAPI_MAGIC, ZPAPI_MSG_COPYDATA, 0, 0, static_cast<uint32_t>(payload.size()), 0};
    ::send(fd, &h, sizeof(h), 0);
    ::send(fd, payload.data(), payload.size(), 0);
    ::shutdown(fd, SHUT_WR);
    zpapi_reply r{};
    ::recv(fd, &r, sizeof(r), MSG_WAITALL);
    ::close(fd);
  });
  EXPECT_EQ(parameters, (std::vector<std::string>{"last.mp3"}));
}

TEST_F(ControlChannel, ManyPipelinedRequestsAreHandledInOrder) {
  RunClient([&] {
    TPlayerApiClient client;
    ASSERT_TRUE(client.Connect(dir / "api.sock"));
    for (uint32_t m = 0x9401; m <= 0x9464; ++m) {
      zpapi_reply r{};
      ASSERT_TRUE(client.Request(m, 0, m, "", r, 3000));
      ASSERT_EQ(r.result, m == 0x9411 ? 78 : static_cast<int64_t>(m));
    }
  });
  ASSERT_EQ(messages.size(), 100u);
  for (size_t i = 0; i < messages.size(); ++i) EXPECT_EQ(messages[i], 0x9401 + i);
}

TEST_F(ControlChannel, RepliesThatDoNotFitTheSocketWaitInsteadOfBeingLost) {
  // Far more replies than a socket queue holds, all requested before any is read.
  constexpr int kRequests = 2000;
  std::vector<zpapi_reply> got;
  RunClient([&] {
    int fd = RawConnect(dir / "api.sock");
    ASSERT_GE(fd, 0);
    timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    std::vector<zpapi_request_header> requests;
    for (int i = 0; i < kRequests; ++i) requests.push_back({ZPAPI_MAGIC, 0x9412, 0, i, 0, 0});
    const size_t bytes = requests.size() * sizeof(zpapi_request_header);
    ASSERT_EQ(::send(fd, requests.data(), bytes, MSG_NOSIGNAL), static_cast<ssize_t>(bytes));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let the replies pile up
    for (int i = 0; i < kRequests; ++i) {
      zpapi_reply r{};
      if (::recv(fd, &r, sizeof(r), MSG_WAITALL) != sizeof(r)) break;
      got.push_back(r);
    }
    ::close(fd);
  });
  ASSERT_EQ(got.size(), static_cast<size_t>(kRequests));
  for (int i = 0; i < kRequests; ++i) {
    ASSERT_EQ(got[i].magic, ZPAPI_MAGIC) << i;
    ASSERT_EQ(got[i].result, i) << i;
  }
  ASSERT_EQ(messages.size(), static_cast<size_t>(kRequests));
}

TEST(ControlChannelClient, RefusesMissingSocketsAndNonSockets) {
  TTempFolder dir;
  TPlayerApiClient client;
  EXPECT_FALSE(client.Connect(dir / "nothing.sock"));
  WriteTextFile(dir / "file.sock", "x");
  EXPECT_FALSE(client.Connect(dir / "file.sock"));
}

TEST(RuntimeFolder, TheTmpFallbackIsCreatedPrivateAndRefusedWhenNotOurs) {
  const std::string base = ::testing::TempDir() + "keldar_runtime_" + std::to_string(::getpid());
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base);
  const mode_t oldMask = ::umask(0277);  // a narrow umask must not leave it at 0500
  const std::string fresh = base + "/fresh";
  EXPECT_TRUE(MakePrivateRuntimeFolder(fresh));
  ::umask(oldMask);
  struct stat st {};
  ASSERT_EQ(::lstat(fresh.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_TRUE(MakePrivateRuntimeFolder(fresh)) << "our own folder from an earlier run";

  const std::string open = base + "/open";
  ::mkdir(open.c_str(), 0777);
  ::chmod(open.c_str(), 0777);
  EXPECT_FALSE(MakePrivateRuntimeFolder(open));
  const std::string link = base + "/link";
  ::symlink(fresh.c_str(), link.c_str());
  EXPECT_FALSE(MakePrivateRuntimeFolder(link));
  const std::string file = base + "/file";
  std::ofstream(file) << "x";
  EXPECT_FALSE(MakePrivateRuntimeFolder(file));
  if (::getuid() == 0) {
    const std::string foreign = base + "/foreign";
    ::mkdir(foreign.c_str(), 0700);
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(MakePrivateRuntimeFolder(foreign));
  }

  // Without a session folder the player uses the fallback only when it is private.
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved ? saved : "";
  ::unsetenv("XDG_RUNTIME_DIR");
  const std::string fallback = "/tmp/keldar3-runtime-" + std::to_string(::getuid());
  const bool existed = std::filesystem::exists(fallback);
  if (!existed || MakePrivateRuntimeFolder(fallback)) {
    EXPECT_EQ(PlayerRuntimeFolder(), fallback);
    EXPECT_EQ(PlayerApiSocketPath(), fallback + "/zorvaneplayerapi-" + std::to_string(::getuid()) + ".sock");
    ::chmod(fallback.c_str(), 0755);
    EXPECT_EQ(PlayerRuntimeFolder(), "");
    EXPECT_EQ(PlayerApiSocketPath(), "");
    ::chmod(fallback.c_str(), 0700);
    if (!existed) ::rmdir(fallback.c_str());
  }
  if (saved) ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
  std::filesystem::remove_all(base);
}
