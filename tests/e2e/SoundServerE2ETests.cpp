// The real player through a real sound server (natively, and through PortAudio's ALSA device
// routed to PulseAudio by ALSA's pulse plug-in): songs end and the next one starts by itself, the time display
// keeps up with what is heard, and the server receives the songs one after the other; a MIDI
// file through FluidSynth is heard and hands on to the next song.
#include "DeckE2EFixture.h"
#include "MidiFixture.h"
#include "SanitizedBuild.h"
#include "SoundServerPeer.h"

#include <filesystem>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;

class SoundServerE2E : public DeckE2E {
 protected:
  // Two 3-second songs at 440 and 880 Hz, played from the first; checks the deck while they
  // play and the sound the server received.
  // startWithin: the most the first sound may come after the play command.
  void PlayTwoSongsAndListen(TSoundServer& server, double startWithin) {
    ASSERT_TRUE(server.Up());
    const std::vector<std::string> songs = {Song("low.wav", 3, 440), Song("high.wav", 3, 880)};
    ASSERT_TRUE(StartWith(songs));
    TSoundServer::TCapture capture(server, 8.0);
    const auto start = Clock::now();
    Ctl("play");
    double shownOne = -1, shownThree = -1, second = -1;
    Clock::time_point shownOneAt{};
    while (second < 0 && std::chrono::duration<double>(Clock::now() - start).count() < 6.0) {
      const std::string status = Status();
      const double at = std::chrono::duration<double>(Clock::now() - start).count();
      const int shown = Seconds(JsonText(status, "CurrentTimeText"));
      if (JsonText(status, "PlaylistPositionText") == "1") {
        if (shown >= 1 && shownOne < 0) {
          shownOne = at;
          shownOneAt = Clock::now();
        }
        if (shown == 3 && shownThree < 0) shownThree = at;
      } else if (JsonText(status, "PlaylistPositionText") == "2" && JsonText(status, "PlayerStatusText") == "Playing") {
        second = at;
      }
      Sleep(40);
    }
    EXPECT_GT(shownOne, 0) << "00:01 never shown";
    EXPECT_GT(shownThree, 2.0) << "00:03 never shown at the end of the first song";
    ASSERT_GT(second, 0) << "the second song never started: " << Status();
    EXPECT_GE(second, 2.9);

    const std::vector<float> s = capture.Left();
    const auto [first, last] = soundcheck::AudibleRange(s);
    ASSERT_LT(first, last) << "the server heard nothing";
    const size_t rate = TSoundServer::kRate;
    // The first sound comes at once, and 00:01 within 1.2 s of it.
    EXPECT_LT(std::chrono::duration<double>(capture.TimeOf(first) - start).count(), startWithin)
        << "the sound started late";
    EXPECT_LE(std::chrono::duration<double>(shownOneAt - capture.TimeOf(first)).count(), 1.2)
        << "the time display runs behind the sound";
    // The first song whole, then the second after no more than the end-of-song tick.
    EXPECT_NEAR(soundcheck::ToneFrequency(s, first + rate / 10, first + rate * 28 / 10), 440.0, 5.0);
    const size_t gap = soundcheck::LongestSilence(s, first, last);
    // The end-of-song tick (400 ms) and the opening of the next song.
    EXPECT_LT(gap, rate * (kSanitizedBuild ? 8 : 6) / 10) << "a long silence between the songs";
    const size_t secondStart = first + 3 * rate + gap;
    EXPECT_NEAR(soundcheck::ToneFrequency(s, secondStart + rate / 10, std::min(last, secondStart + 2 * rate)), 880.0, 5.0);
    EXPECT_EQ(player.Terminate(), 0);
  }
};

TEST_F(SoundServerE2E, TwoSongsPlayOneAfterTheOtherThroughAlsa) {
  // ALSA's pulse plug-in adds a buffer of its own before the server.
  TSoundServer server(/*nativeClients=*/false);
  PlayTwoSongsAndListen(server, 1.2);
}

TEST_F(SoundServerE2E, TwoSongsPlayOneAfterTheOtherThroughTheNativeOutput) {
  TSoundServer server;
  PlayTwoSongsAndListen(server, 0.6);
}


// A MIDI file in the real player: FluidSynth's piano reaches the sound server, the deck shows
// its length and position, and its end starts the next song.
TEST_F(SoundServerE2E, AMidiFileIsHeardItsTimeRunsAndTheNextSongFollows) {
  TSoundServer server;
  ASSERT_TRUE(server.Up());
  const std::string midi = dir / "tune.mid";
  WriteMidiFile(midi, 3);  // twelve notes, three seconds
  ASSERT_TRUE(StartWith({midi, Song("after.wav", 3, 660)}));
  TSoundServer::TCapture capture(server, 10.0);
  const auto start = Clock::now();
  Ctl("play");
  int shown = -1, total = -1;
  bool next = false;
  while (!next && std::chrono::duration<double>(Clock::now() - start).count() < 9.5) {
    const std::string status = Status();
    if (JsonText(status, "PlaylistPositionText") == "1") {
      shown = std::max(shown, Seconds(JsonText(status, "CurrentTimeText")));
      total = std::max(total, Seconds(JsonText(status, "TotalTimeText")));
    } else if (JsonText(status, "PlaylistPositionText") == "2" && JsonText(status, "PlayerStatusText") == "Playing") {
      next = true;
    }
    Sleep(40);
  }
  EXPECT_GE(total, 3) << "the tune's length";
  EXPECT_LE(total, 5);
  EXPECT_GE(shown, 2) << "the time runs while the tune plays";
  ASSERT_TRUE(next) << "the song after the tune never started: " << Status();

  const std::vector<float> s = capture.Left();
  const size_t rate = TSoundServer::kRate;
  const auto [first, last] = soundcheck::AudibleRange(s);
  ASSERT_LT(first, last) << "the server heard nothing";
  // The piano (soft: FluidSynth's own gain) sounds for most of its three seconds, then the
  // 660 Hz song follows.
  const std::vector<float> tune(s.begin() + first, s.begin() + std::min(last, first + 3 * rate));
  EXPECT_GT(soundcheck::AudibleSeconds(tune, 0.01f), 2.0);
  EXPECT_NEAR(soundcheck::Frequency(s, last - rate * 3 / 2, last - rate / 10), 660.0, 8.0) << "the next song is heard";
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(SoundServerE2E, AHundredThousandEntriesAddedWhilePlayingLeaveNoGap) {
  TSoundServer server;
  ASSERT_TRUE(server.Up());
  const std::string tone = Song("tone.wav", 8, 1000);
  const std::string list = dir / "big.m3u";
  {
    std::ofstream out(list);
    out << "#EXTM3U\n";
    for (int i = 0; i < 100000; ++i)
      out << "#EXTINF:" << 100 + i % 300 << ",Artist " << i % 997 << " - Song " << i << "\n/music/" << i % 89
          << "/" << i << ".mp3\n";
  }
  ASSERT_TRUE(StartWith({tone}));
  TSoundServer::TCapture capture(server, 6.0);
  Ctl("play");
  ASSERT_TRUE(WaitFor([&] { return State() == "Playing"; }));
  Sleep(1000);
  // The list takes the place of the playing one; the song goes on.
  const auto addStart = Clock::now();
  Ctl("add '" + list + "'");
  const auto addEnd = Clock::now();
  const std::vector<float> s = capture.Left();
  const auto [first, last] = soundcheck::AudibleRange(s);
  ASSERT_LT(first, last) << "the server heard nothing";
  ASSERT_LT(capture.TimeOf(first), addStart);
  ASSERT_GT(capture.TimeOf(last), addEnd) << "the sound stopped before the list was in";
  // A 1 kHz sine has no quiet stretch longer than a fraction of a millisecond.
  EXPECT_LT(soundcheck::LongestSilence(s, first, last), size_t(TSoundServer::kRate / 100))
      << "the sound dropped out while the list was added";
  EXPECT_NEAR(soundcheck::Frequency(s, first, last), 1000.0, 5.0);
  EXPECT_EQ(State(), "Playing");
  EXPECT_EQ(player.Terminate(), 0);
  // Every entry was added and saved: an entry takes at least 109 bytes in the default playlist.
  EXPECT_GE(std::filesystem::file_size(program + "/keldar3.ZPL"), 100000u * 109u);
}

}  // namespace
