// The deck and playlist entry formatters.
#include <gtest/gtest.h>

#include "skin/KELDARSkinTextFormats.h"

namespace {

TPlayListBoxItem Entry() {
  TPlayListBoxItem e;
  e.FullPathAndFilename = "/music/Band/Song Name.mp3";
  e.ArtistName = "A";
  e.TitleName = "T";
  e.AlbumName = "Al";
  e.TitleAlbumYear = "1999";
  e.TitleAlbumGenre = "Rock";
  e.TitleCDIndex = 4;
  return e;
}

TEST(KELDARSkinTextFormats, ArtistLineWithPosition) {
  EXPECT_EQ(FormatKELDARSkinDeckEntry("%08. %02 - %01", Entry(), 3), "3. A - T");
}

TEST(KELDARSkinTextFormats, DeckPlaceholdersEveryOccurrence) {
  EXPECT_EQ(FormatKELDARSkinDeckEntry("%01|%02|%03|%04|%05|%06|%07|%08|%09", Entry(), 12),
            "T|A|Al|1999|Rock|Song Name.mp3|/music/Band/Song Name.mp3|12|4");
  EXPECT_EQ(FormatKELDARSkinDeckEntry("%02%02 %01%01", Entry(), 1), "AA TT");
  EXPECT_EQ(FormatKELDARSkinDeckEntry("100% %0 %10 %0", Entry(), 1), "100% %0 %10 %0");
}

TEST(KELDARSkinTextFormats, TagTextsAreNotExpandedAgain) {
  TPlayListBoxItem e = Entry();
  e.ArtistName = "%01 fan";
  EXPECT_EQ(FormatKELDARSkinDeckEntry("%02 - %01", e, 1), "%01 fan - T");
}

TEST(KELDARSkinTextFormats, PlaylistFormatterDiffers) {
  EXPECT_EQ(FormatKELDARSkinPlaylistEntry("%06 %07 %08", Entry()), "Song Name %07 %08");
  TPlayListBoxItem cd = Entry();
  cd.FullPathAndFilename = "/dev/sr0/Track07.cda";
  EXPECT_EQ(FormatKELDARSkinPlaylistEntry("%09. %02", cd), "07. A");
  cd.FullPathAndFilename = "/dev/sr0/Track12.cda";
  EXPECT_EQ(FormatKELDARSkinPlaylistEntry("%09", cd), "12");
  EXPECT_EQ(KELDARSkinCDTrackNumberText("/dev/sr0/Track3.cda"), "03");
  EXPECT_EQ(KELDARSkinCDTrackNumberText("/music/x.mp3"), "");
  EXPECT_EQ(KELDARSkinCDTrackNumberText("/music/Trackxy.mp3"), "");
}

}  // namespace
