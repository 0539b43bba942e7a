// The control channel and the now-playing record of the real player, driven by keldarctl.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include <random>

#include "PlayerProcess.h"
#include "PlayerTestFolders.h"
#include "TestSupport.h"
#include "plugins/ZorvanePlayerApiClient.h"
#include "plugins/ZorvanePlayerApiVariables.h"
#include "zorvaneplayerapi_record.h"

namespace fs = std::filesystem;

namespace {

class ControlApiE2E : public PlayerControlTest {
 protected:
  ControlApiE2E() : PlayerControlTest("keldar-e2e-record-") {}
  static TKeldarctlResult Ctl(const std::string& arguments) { return RunKeldarctl(arguments); }
};

}  // namespace

TEST_F(ControlApiE2E, ExitCodesWithoutAPlayerAndForBadArguments) {
  EXPECT_EQ(Ctl("volume").Exit, 1);
  EXPECT_EQ(Ctl("status").Exit, 1);
  EXPECT_EQ(Ctl("").Exit, 2);
  EXPECT_EQ(Ctl("volume loud").Exit, 2);
  EXPECT_EQ(Ctl("eq band 11").Exit, 2);
  EXPECT_EQ(Ctl("frobnicate").Exit, 2);
  TKeldarctlResult help = Ctl("--help");
  EXPECT_EQ(help.Exit, 0);
  EXPECT_NE(help.Output.find("status [--json]"), std::string::npos);
}

TEST_F(ControlApiE2E, SetIsLimitedGetReadsBackAndClicksAnswerZero) {
  TPlayerProcess player(program, runtime, log);
  ASSERT_TRUE(player.Start({}));
  EXPECT_EQ(Ctl("volume 250").Exit, 0);
  EXPECT_EQ(Ctl("volume").Output, "100\n");
  EXPECT_EQ(Ctl("volume -5").Exit, 0);
  EXPECT_EQ(Ctl("volume").Output, "0\n");
  EXPECT_EQ(Ctl("eq band 3 77").Exit, 0);
  EXPECT_EQ(Ctl("send 0x942C").Output, "77\n");  // band 3's get
  EXPECT_EQ(Ctl("send 0x9405").Output, "0\n");   // a click
  EXPECT_EQ(Ctl("send 0x1234").Output, "0\n");   // outside the range: default handling only
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(ControlApiE2E, AddAndStatusShowTheRecordAfterItsBlankTick) {
  TPlayerProcess player(program, runtime, log);
  ASSERT_TRUE(player.Start({}));
  ASSERT_EQ(Ctl("add one.mp3 /music/two.ogg").Exit, 0);
  uint8_t* record = nullptr;
  for (int i = 0; i < 50 && !record; ++i) {
    record = zpapi_record_open(0);
    if (!record) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_NE(record, nullptr);
  // Within two ticks the program path is filled.
  char text[256] = {0};
  for (int i = 0; i < 60; ++i) {
    zpapi_record_text(record, ZPAPI_OFS_ProgramPath, text);
    if (*text) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(std::string(text), TPlayerProcess::Executable());
  zpapi_record_close(record);

  TKeldarctlResult json = Ctl("status --json");
  EXPECT_EQ(json.Exit, 0);
  ASSERT_FALSE(json.Output.empty());
  EXPECT_EQ(json.Output.front(), '{');
  // The deck's tick writes the times with the skin's elapsed prefix and the bitrate in decimal.
  for (const char* key : {"\"ProgramPath\":", "\"ProgramVersion\":\"3.0\"", "\"CurrentTimeText\":\" 00:00\"",
                          "\"BitrateText\":\"0\"", "\"TextColor\":"})
    EXPECT_NE(json.Output.find(key), std::string::npos) << key << " in " << json.Output;
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(ControlApiE2E, HostileTrafficNeverStopsThePlayer) {
  TPlayerProcess player(program, runtime, log);
  ASSERT_TRUE(player.Start({}));
  std::string socketPath = PlayerApiSocketPath();
  std::mt19937 random(12345);
  auto connectRaw = [&] {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, socketPath.c_str());
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    return fd;
  };
  for (int round = 0; round < 40; ++round) {
    int fd = connectRaw();
    std::string junk(random() % 200, '\0');
    for (char& c : junk) c = static_cast<char>(random());
    if (round % 4 == 1 && junk.size() >= 32) std::memcpy(junk.data(), "KZPA", 4);  // plausible magic, junk rest
    ::send(fd, junk.data(), junk.size(), MSG_NOSIGNAL);
    ::close(fd);
  }
  {
    // A truncated request left hanging, and a 10 MiB copy-data announced and partly sent.
    int hanging = connectRaw();
    zpapi_request_header h{ZPAPI_MAGIC, 0x9411, 0, 0, 16, 0};
    ::send(hanging, &h, sizeof(h), MSG_NOSIGNAL);
    int big = connectRaw();
    zpapi_request_header bigHeader{ZPAPI_MAGIC, ZPAPI_MSG_COPYDATA, 0, 0, 10u << 20, 0};
    ::send(big, &bigHeader, sizeof(bigHeader), MSG_NOSIGNAL);
    std::string chunk(1 << 20, 'x');
    ::send(big, chunk.data(), chunk.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    EXPECT_EQ(Ctl("volume 42").Exit, 0);
    EXPECT_EQ(Ctl("volume").Output, "42\n");
    ::close(hanging);
    ::close(big);
  }
  // 1000 requests in a row on one connection are all answered, in order.
  TPlayerApiClient client;
  ASSERT_TRUE(client.Connect(socketPath));
  for (int i = 0; i < 1000; ++i) {
    zpapi_reply reply{};
    ASSERT_TRUE(client.Request(0x9414, 0, i % 101, "", reply, 5000)) << i;  // balance set
    ASSERT_TRUE(client.Request(0x9413, 0, 0, "", reply, 5000)) << i;
    ASSERT_EQ(reply.result, i % 101) << i;
  }
  EXPECT_EQ(player.Terminate(), 0);
}
