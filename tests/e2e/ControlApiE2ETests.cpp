// The control channel and the now-playing record of the real player, driven by keldarctl.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
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

  // A player that has exited leaves no record behind and is reported as not running.
  EXPECT_EQ(zpapi_record_open(0), nullptr);
  EXPECT_EQ(Ctl("status").Exit, 1);
  EXPECT_EQ(Ctl("status --json").Exit, 1);
}

TEST_F(ControlApiE2E, StatusPrintsHostileTagTextsEscaped) {
  // Stands in for the player: a listening socket and a record whose title and artist come
  // from a hostile file's tags.
  const std::string socketPath = PlayerApiSocketPath();
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, socketPath.c_str());
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  uint8_t* record = zpapi_record_open(1);
  ASSERT_NE(record, nullptr);
  const auto put = [&](int offset, const std::string& text) {
    std::memcpy(record + offset + 1, text.data(), text.size());
    record[offset] = static_cast<uint8_t>(text.size());
  };
  put(ZPAPI_OFS_TitleName, "Song\x1b]0;owned\x07\x1b[2J\rfake\nline\x7f\xc2\x9b" "31m");
  put(ZPAPI_OFS_ArtistName, "Bj\xc3\xb6rk \\ \xff");

  const TKeldarctlResult plain = Ctl("status");
  EXPECT_EQ(plain.Exit, 0);
  for (char control : {'\x1b', '\x07', '\r', '\x7f'})
    EXPECT_EQ(plain.Output.find(control), std::string::npos) << int(control);
  EXPECT_EQ(plain.Output.find("\xc2\x9b"), std::string::npos);
  EXPECT_NE(plain.Output.find("TitleName             Song\\x1B]0;owned\\x07\\x1B[2J\\x0Dfake\\x0Aline\\x7F\\xC2\\x9B31m\n"),
            std::string::npos)
      << plain.Output;
  // Printable UTF-8 stays as it is; a backslash is doubled, a stray byte escaped.
  EXPECT_NE(plain.Output.find("ArtistName            Bj\xc3\xb6rk \\\\ \\xFF\n"), std::string::npos) << plain.Output;
  // Every line is one field: no line break of the tag survived.
  EXPECT_EQ(std::count(plain.Output.begin(), plain.Output.end(), '\n'), 16);
  const TKeldarctlResult json = Ctl("status --json");
  EXPECT_NE(json.Output.find("\"TitleName\":\"Song\\u001b]0;owned\\u0007"), std::string::npos) << json.Output;

  zpapi_record_close(record);
  ::close(listener);
  ::unlink(socketPath.c_str());
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
