// The MPRIS bridge in the real player on a private session bus (the test runs under
// dbus-run-session), driven by the real playerctl and checked through the now-playing record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "DeckE2EFixture.h"

namespace {

struct TCommandResult {
  int Exit = -1;
  std::string Output;
};

TCommandResult RunCommand(const std::string& command) {
  TCommandResult r;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.Output.append(buffer, n);
  const int status = ::pclose(pipe);
  r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  while (!r.Output.empty() && (r.Output.back() == '\n' || r.Output.back() == '\r')) r.Output.pop_back();
  return r;
}

std::string Playerctl(const std::string& arguments) { return RunCommand("playerctl -p keldar3 " + arguments).Output; }

// A method call on the bridge with dbus-send; its exit code and what it printed.
TCommandResult Call(const std::string& member, const std::string& arguments = {}) {
  return RunCommand("dbus-send --session --print-reply --reply-timeout=8000 --dest=org.mpris.MediaPlayer2.keldar3 "
             "/org/mpris/MediaPlayer2 " + member + " " + arguments);
}

class MprisE2E : public DeckE2E {
 protected:
  void SetUp() override {
    DeckE2E::SetUp();
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) GTEST_SKIP() << "needs a session bus (run under dbus-run-session)";
    // The bridge is bundled: the player finds it in its executable's folder.
  }
  // The player with two 40-second songs, the first one playing, and the bridge on the bus.
  void StartPlaying() {
    ASSERT_TRUE(StartWith({Song("one.wav", 40, 440), Song("two.wav", 40, 550)}));
    Ctl("play");
    ASSERT_TRUE(WaitForState("Playing", "1"));
    ASSERT_TRUE(WaitFor([] { return RunCommand("playerctl -l").Output.find("keldar3") != std::string::npos; }, 8000));
  }
  void TearDown() override {
    if (player.Pid() > 0) {
      EXPECT_EQ(player.Terminate(), 0);
    }
    DeckE2E::TearDown();
  }
};

TEST_F(MprisE2E, PlayerctlReadsTheSongAndDrivesTheTransport) {
  // Artwork named after the song lies beside the first one only.
  WriteTextFile(dir / "one.JPG", "not decoded by the bridge, only named");
  StartPlaying();
  EXPECT_EQ(Playerctl("metadata title"), "One");
  EXPECT_EQ(Playerctl("metadata mpris:artUrl"), "file://" + (dir / "one.JPG"));
  EXPECT_EQ(Playerctl("metadata xesam:url"), "file://" + (dir / "one.wav"));
  EXPECT_EQ(Playerctl("metadata mpris:length"), "40000000");
  EXPECT_EQ(Playerctl("status"), "Playing");

  Playerctl("play-pause");
  EXPECT_TRUE(WaitFor([&] { return State() == "Paused"; }));
  EXPECT_TRUE(WaitFor([] { return Playerctl("status") == "Paused"; }));
  Playerctl("play-pause");
  EXPECT_TRUE(WaitFor([&] { return State() == "Playing"; }));

  Playerctl("next");
  EXPECT_TRUE(WaitForState("Playing", "2"));
  EXPECT_TRUE(WaitFor([] { return Playerctl("metadata title") == "Two"; }));
  EXPECT_EQ(Playerctl("metadata").find("mpris:artUrl"), std::string::npos);
  Playerctl("previous");
  EXPECT_TRUE(WaitForState("Playing", "1"));

  Playerctl("stop");
  EXPECT_TRUE(WaitFor([&] { return State() == "Stopped"; }));
  Playerctl("play");
  EXPECT_TRUE(WaitFor([&] { return State() == "Playing"; }));
}

TEST_F(MprisE2E, VolumeAndPositionMoveTheSliders) {
  StartPlaying();
  Playerctl("volume 0.3");
  EXPECT_EQ(Ctl("volume"), "30\n");
  EXPECT_TRUE(WaitFor([] { return Playerctl("volume") == "0.300000"; }));
  // The slider set from elsewhere shows on the bus too.
  Ctl("volume 80");
  EXPECT_TRUE(WaitFor([] { return Playerctl("volume") == "0.800000"; }));

  // 10 s of a 40 s song is a quarter of the position bar.
  Playerctl("position 10");
  EXPECT_TRUE(WaitFor([&] {
    const int shown = ShownSeconds();
    return shown >= 10 && shown <= 13;
  }));
  const double reported = std::atof(Playerctl("position").c_str());
  EXPECT_GE(reported, 10.0);
  EXPECT_LE(reported, 14.0);
  // A relative seek back.
  Playerctl("position 5-");
  EXPECT_TRUE(WaitFor([&] {
    const int shown = ShownSeconds();
    return shown >= 5 && shown <= 9;
  }));
}

TEST_F(MprisE2E, ASongChangeIsAnnouncedWithPropertiesChanged) {
  StartPlaying();
  const std::string signals = dir / "signals.txt";
  loopback::TChildProcess monitor({"sh", "-c",
                                   "exec dbus-monitor --session \"type='signal',interface='org.freedesktop.DBus.Properties',"
                                   "member='PropertiesChanged',path='/org/mpris/MediaPlayer2'\" > '" + signals + "'"});
  Sleep(1000);  // the monitor has subscribed
  Ctl("next");
  ASSERT_TRUE(WaitForState("Playing", "2"));
  EXPECT_TRUE(WaitFor([&] {
    const std::string seen = ReadTextFile(signals);
    return seen.find("org.mpris.MediaPlayer2.Player") != std::string::npos &&
           seen.find("\"Metadata\"") != std::string::npos && seen.find("string \"Two\"") != std::string::npos;
  }));
  Ctl("pause");
  EXPECT_TRUE(WaitFor([&] {
    const std::string seen = ReadTextFile(signals);
    return seen.find("\"PlaybackStatus\"") != std::string::npos && seen.find("string \"Paused\"") != std::string::npos;
  }));
}

TEST_F(MprisE2E, WrongCallsGetBusErrorsAndThePlayerCarriesOn) {
  StartPlaying();
  const TCommandResult wrongType = Call("org.mpris.MediaPlayer2.Player.Seek", "string:ten");
  EXPECT_NE(wrongType.Exit, 0);
  EXPECT_NE(wrongType.Output.find("InvalidArgs"), std::string::npos) << wrongType.Output;
  const TCommandResult badVolume = Call("org.freedesktop.DBus.Properties.Set",
                                        "string:org.mpris.MediaPlayer2.Player string:Volume variant:string:loud");
  EXPECT_NE(badVolume.Exit, 0);
  EXPECT_NE(badVolume.Output.find("InvalidArgs"), std::string::npos) << badVolume.Output;
  const TCommandResult readOnly = Call("org.freedesktop.DBus.Properties.Set",
                                       "string:org.mpris.MediaPlayer2.Player string:PlaybackStatus variant:string:Paused");
  EXPECT_NE(readOnly.Exit, 0);
  EXPECT_NE(readOnly.Output.find("PropertyReadOnly"), std::string::npos) << readOnly.Output;
  for (const std::string uri : {"not a uri", "file:///no/such/song.wav", "gopher://x/y", "http://", "file://otherhost/a.wav"}) {
    const TCommandResult r = Call("org.mpris.MediaPlayer2.Player.OpenUri", "string:'" + uri + "'");
    EXPECT_NE(r.Exit, 0) << uri;
    EXPECT_NE(r.Output.find("org.freedesktop.DBus.Error"), std::string::npos) << uri << ": " << r.Output;
  }
  EXPECT_EQ(Position(), "1");
  EXPECT_EQ(State(), "Playing");

  // A good URI lands in the playlist.
  const std::string third = Song("three wav.wav", 5, 660);
  const TCommandResult good = Call("org.mpris.MediaPlayer2.Player.OpenUri", "string:'file://" + dir / "three%20wav.wav" + "'");
  EXPECT_EQ(good.Exit, 0) << good.Output;
  Ctl("next");
  Ctl("next");
  EXPECT_TRUE(WaitFor([&] { return JsonText(Status(), "FullPathAndFilename") == third; }));
}

TEST_F(MprisE2E, QuitClosesThePlayerCleanly) {
  StartPlaying();
  EXPECT_EQ(Call("org.mpris.MediaPlayer2.Quit").Exit, 0);
  EXPECT_EQ(player.WaitForExit(15000), 0);
  // The bridge left the bus with the player.
  EXPECT_TRUE(WaitFor([] { return RunCommand("playerctl -l").Output.find("keldar3") == std::string::npos; }));
}

}  // namespace
