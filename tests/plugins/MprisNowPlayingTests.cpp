// What the MPRIS bridge derives from the now-playing record: times as the deck shows them
// (elapsed or left) and the artwork file it names for the song.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "zpgen_mpris/NowPlayingSnapshot.h"

namespace {

TEST(MprisNowPlaying, ShownTimesAreReadAsTheDeckWritesThem) {
  EXPECT_EQ(ShownTimeSeconds("00:00"), 0);
  EXPECT_EQ(ShownTimeSeconds(" 01:05"), 65);
  EXPECT_EQ(ShownTimeSeconds("-00:30"), 30);  // time left: the caller counts back from the length
  EXPECT_EQ(ShownTimeSeconds("123:59"), 123 * 60 + 59);
  for (const char* junk : {"", ":", "00:", ":12", "ab:cd", "1:2:3", "99999999999999999999:00", "00:99999"})
    EXPECT_EQ(ShownTimeSeconds(junk), -1) << junk;
}

TEST(MprisNowPlaying, ArtworkIsFoundBesideTheSongOrInTheCdFolder) {
  TTempFolder dir;
  const std::string music = dir / "music";
  const std::string program = dir / "program";
  std::filesystem::create_directories(music);
  std::filesystem::create_directories(program + "/cdartwork");
  std::ofstream(music + "/Band - Record.png") << "x";
  std::ofstream(music + "/single.BMP") << "x";
  std::ofstream(program + "/cdartwork/Band - Live.jpg") << "x";

  EXPECT_EQ(FindSongArtwork(music + "/song.mp3", "Band", "Record", program), music + "/Band - Record.png");
  // Without artist and album the song's own name is the base.
  EXPECT_EQ(FindSongArtwork(music + "/single.mp3", "", "", program), music + "/single.BMP");
  EXPECT_EQ(FindSongArtwork(music + "/single.mp3", "Band", "", program), music + "/single.BMP");
  EXPECT_EQ(FindSongArtwork(music + "/other.mp3", "", "", program), "");
  // CD tracks look in the program's artwork folder, and only by artist and album.
  EXPECT_EQ(FindSongArtwork("/dev/sr0/Track03.cda", "Band", "Live", program), program + "/cdartwork/Band - Live.jpg");
  EXPECT_EQ(FindSongArtwork("/dev/sr0/Track03.cda", "", "", program), "");
  // Streams have none.
  EXPECT_EQ(FindSongArtwork("http://radio.example/stream", "Band", "Record", program), "");
}

}  // namespace
