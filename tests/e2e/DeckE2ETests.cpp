// The deck of the real player, driven by keldarctl (add, play, pause, next, prev) and read
// through the now-playing record (status --json) and the message log. Songs are generated
// by sox at test time; the player runs off screen on the no-sound device.
#include "DeckE2EFixture.h"

namespace {

TEST_F(DeckE2E, PlayAdvancesByItselfAndNextPastTheLastStopsOnTheFirst) {
  const std::vector<std::string> songs = ThreeSongs(1.2, 6);
  ASSERT_TRUE(StartWith(songs));
  Ctl("play");
  EXPECT_TRUE(WaitForState("Playing", "1", 1500)) << Status();
  // At the end of song 1, song 2 starts by itself and its time runs.
  ASSERT_TRUE(WaitForState("Playing", "2", 4000)) << Status();
  EXPECT_EQ(JsonText(Status(), "FullPathAndFilename"), songs[1]);
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() >= 1; }, 2500)) << Status();
  const int earlier = ShownSeconds();
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() > earlier; }, 2500)) << Status();

  Ctl("next");
  EXPECT_TRUE(WaitForState("Playing", "3", 1500)) << Status();
  // Repeat is off: the first entry is loaded and shown, and nothing plays.
  Ctl("next");
  ASSERT_TRUE(WaitForState("Stopped", "1", 1500)) << Status();
  EXPECT_EQ(JsonText(Status(), "FullPathAndFilename"), songs[0]);
  Sleep(1000);
  const std::string still = Status();
  EXPECT_EQ(JsonText(still, "PlayerStatusText"), "Stopped");
  EXPECT_EQ(JsonText(still, "PlaylistPositionText"), "1");
  EXPECT_EQ(Seconds(JsonText(still, "CurrentTimeText")), 0);

  // Previous on the first entry plays the last one.
  Ctl("prev");
  EXPECT_TRUE(WaitForState("Playing", "3", 1500)) << Status();
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(DeckE2E, NextOnTheLastEntryWithRepeatOnPlaysTheFirst) {
  Settings("Options_RepeatButtonState=1\n");
  const std::vector<std::string> songs = ThreeSongs(6, 6);
  ASSERT_TRUE(StartWith(songs));
  Ctl("play");
  ASSERT_TRUE(WaitForState("Playing", "1", 1500)) << Status();
  Ctl("prev");
  ASSERT_TRUE(WaitForState("Playing", "3", 1500)) << Status();
  Ctl("next");
  EXPECT_TRUE(WaitForState("Playing", "1", 1500)) << Status();
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() >= 1; }, 2500)) << Status();
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(DeckE2E, ShuffleWithThreeEntriesNeverPlaysTheCurrentOneAgain) {
  Settings("Options_ShuffleButtonState=1\n");
  const std::vector<std::string> songs = ThreeSongs(8, 8);
  ASSERT_TRUE(StartWith(songs));
  Ctl("play");
  ASSERT_TRUE(WaitFor([&] { return State() == "Playing"; }, 1500)) << Status();
  std::string current = Position();
  for (int i = 0; i < 10; ++i) {
    Ctl(i % 2 ? "prev" : "next");
    // The record shows the new entry from the next tick on.
    ASSERT_TRUE(WaitFor([&] { return Position() != current; }, 1500)) << "step " << i << ": " << Status();
    current = Position();
    EXPECT_EQ(State(), "Playing");
  }
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(DeckE2E, PauseTwiceAndPlayWhilePausedResumeWhereTheSongWas) {
  const std::vector<std::string> songs = {Song("one.wav", 12, 440)};
  ASSERT_TRUE(StartWith(songs));
  Ctl("play");
  ASSERT_TRUE(WaitFor([&] { return ShownSeconds() >= 2; }, 4000)) << Status();
  Ctl("pause");
  ASSERT_TRUE(WaitForState("Paused", "1", 1500)) << Status();
  Sleep(1500);
  Ctl("pause");
  ASSERT_TRUE(WaitForState("Playing", "1", 1500)) << Status();
  // Resumed, not reopened: the time goes on from where it stood.
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() >= 2; }, 1500)) << Status();
  const int beforePause = ShownSeconds();
  Ctl("pause");
  ASSERT_TRUE(WaitForState("Paused", "1", 1500)) << Status();
  Ctl("play");
  ASSERT_TRUE(WaitForState("Playing", "1", 1500)) << Status();
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() >= beforePause && ShownSeconds() > 0; }, 1500)) << Status();
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(DeckE2E, BrokenFileStopsTheListWhenErrorsAreShown) {
  Settings("Options_PlaylistHaltOnDefectiveFile=1\n");
  const std::vector<std::string> songs = {Broken("broken.mp3"), Song("two.wav", 6, 550)};
  ASSERT_TRUE(StartWith(songs));
  Ctl("play");
  EXPECT_TRUE(WaitFor([&] { return CountMessagesStartingWith("Can't create stream") == 1; }, 3000));
  EXPECT_TRUE(WaitForState("Stopped", "1", 1500)) << Status();
  Sleep(1000);
  EXPECT_EQ(Position(), "1");
  EXPECT_EQ(State(), "Stopped");
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(DeckE2E, BrokenFileIsSkippedWhenErrorsAreHidden) {
  Settings("Options_PlaylistHaltOnDefectiveFile=0\n");
  const std::vector<std::string> songs = {Broken("broken.mp3"), Song("two.wav", 6, 550)};
  ASSERT_TRUE(StartWith(songs));
  Ctl("play");
  EXPECT_TRUE(WaitForState("Playing", "2", 2000)) << Status();
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() >= 1; }, 2500)) << Status();
  EXPECT_EQ(CountMessagesStartingWith("Can't create stream"), 0);
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(DeckE2E, AListOfOnlyBrokenFilesEndsWithoutLooping) {
  Settings("Options_PlaylistHaltOnDefectiveFile=0\nOptions_RepeatButtonState=1\n");
  const std::vector<std::string> songs = {Broken("a.mp3"), Broken("b.mp3"), Broken("c.mp3")};
  ASSERT_TRUE(StartWith(songs));
  Ctl("play");
  EXPECT_TRUE(WaitFor([&] { return State() == "Stopped"; }, 2000)) << Status();
  // Still answering, still stopped: nothing goes round the list in the background.
  Sleep(1200);
  const std::string status = Status();
  EXPECT_EQ(JsonText(status, "PlayerStatusText"), "Stopped");
  const std::string position = JsonText(status, "PlaylistPositionText");
  EXPECT_TRUE(position == "1" || position == "2" || position == "3") << position;
  Sleep(900);
  EXPECT_EQ(Position(), position);
  EXPECT_EQ(CountMessagesStartingWith("Can't create stream"), 0);
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(DeckE2E, ASongInsideAZipPlaysFromItsExtractedCopyUntilTheNextSong) {
  const std::string zip = dir / "album.zip";
  ASSERT_TRUE(WriteZip(zip, {{"Zipped - Song.wav", ReadTextFile(Song("inner.wav", 8, 440))}}));
  const std::string plain = Song("plain.wav", 8, 550);
  ASSERT_TRUE(StartWith({zip, plain}));
  ASSERT_TRUE(WaitFor([&] { return JsonText(Status(), "FullPathAndFilename") == zip + "/Zipped - Song.wav"; }, 2000))
      << Status();
  Ctl("play");
  ASSERT_TRUE(WaitForState("Playing", "1", 2000)) << Status();
  EXPECT_EQ(JsonText(Status(), "ArtistName"), "Zipped");
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() >= 1; }, 2500)) << Status();
  const std::string extracted = program + "/tempunzipped/Zipped - Song.wav";
  EXPECT_TRUE(fs::exists(extracted));
  Ctl("next");
  ASSERT_TRUE(WaitForState("Playing", "2", 2000)) << Status();
  EXPECT_FALSE(fs::exists(extracted));
  EXPECT_TRUE(fs::exists(zip));
  EXPECT_EQ(player.Terminate(), 0);
}

// A local HTTP server hands out an MP3: the player opens it as an internet stream.
TEST_F(DeckE2E, RemainingTimeModeShowsElapsedTimeForAnInternetStream) {
  Settings("Options_ShowTimeMode=1\n");
  const std::string served = dir / "served";
  fs::create_directories(served);
  ASSERT_TRUE(Shell("sox -n -r 22050 -c 2 -b 16 '" + std::string(dir / "radio.wav") +
                    "' synth 20 sine 500 gain -12 && lame --quiet -b 64 '" + std::string(dir / "radio.wav") + "' '" +
                    served + "/radio.mp3'"));
  THttpServer server(served);
  ASSERT_TRUE(server.WaitReady());
  const std::vector<std::string> entries = {server.Url("radio.mp3"), Song("file.wav", 20, 440)};
  ASSERT_TRUE(StartWith(entries));
  Ctl("play");
  ASSERT_TRUE(WaitForState("Playing", "1", 4000)) << Status();
  ASSERT_TRUE(WaitFor([&] { return ShownSeconds() >= 1; }, 4000)) << Status();
  const std::string streamTime = JsonText(Status(), "CurrentTimeText");
  EXPECT_EQ(streamTime.rfind(' ', 0), 0u) << streamTime;
  // The same mode on a file counts down.
  Ctl("next");
  ASSERT_TRUE(WaitForState("Playing", "2", 2000)) << Status();
  EXPECT_TRUE(WaitFor([&] { return JsonText(Status(), "CurrentTimeText").rfind('-', 0) == 0; }, 2000)) << Status();
  EXPECT_EQ(player.Terminate(), 0);
}

}  // namespace
