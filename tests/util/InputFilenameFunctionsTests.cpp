#include <gtest/gtest.h>

#include <filesystem>

#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "UtilTestHelpers.h"

namespace fs = std::filesystem;

TEST(IsURL, SchemesAnywhereAnyCase) {
  EXPECT_TRUE(IsURL("http://radio.example:8000/stream"));
  EXPECT_TRUE(IsURL("see HTTP://x.example/a.mp3 here"));
  EXPECT_TRUE(IsURL("Ftp://files.example/a.ogg"));
  EXPECT_TRUE(IsURL("mms://media.example/live"));
  EXPECT_TRUE(IsURL("https://secure.example/list.pls"));
  EXPECT_FALSE(IsURL("/home/user/http/song.mp3"));
  EXPECT_FALSE(IsURL("http:/broken"));
  EXPECT_FALSE(IsURL(""));
}

TEST(ArtistAndTitleFromFileName, SplitAtTheFirstHyphen) {
  auto a = ArtistAndTitleFromFileName("/music/the band - a song.mp3");
  EXPECT_EQ(a.Artist, "The band");
  EXPECT_EQ(a.Title, "A song");
  auto b = ArtistAndTitleFromFileName("/music/x-y/AC-DC-Back in black.flac");
  EXPECT_EQ(b.Artist, "AC");
  EXPECT_EQ(b.Title, "DC-Back in black");
}

TEST(ArtistAndTitleFromFileName, MissingPartsGetTheirDefaults) {
  auto a = ArtistAndTitleFromFileName("/music/ - song.ogg");
  EXPECT_EQ(a.Artist, "Unknown Artist");
  EXPECT_EQ(a.Title, "Song");
  auto b = ArtistAndTitleFromFileName("just a title.wav");
  EXPECT_EQ(b.Artist, "Unknown Artist");
  EXPECT_EQ(b.Title, "Just a title");
  auto c = ArtistAndTitleFromFileName("/music/someone - .mp3");
  EXPECT_EQ(c.Artist, "Someone");
  EXPECT_EQ(c.Title, "Untitled");
  auto d = ArtistAndTitleFromFileName("/music/\xC3\xA4rger - \xC3\xBC.mp3");  // only ASCII is capitalised
  EXPECT_EQ(d.Artist, "\xC3\xA4rger");
  EXPECT_EQ(d.Title, "\xC3\xBC");
}

class ExpandToLongPathNameTest : public ::testing::Test {
 protected:
  void SetUp() override { utiltest::WriteFile(dir_ / "Music/Best Of/Track One.MP3", "x"); }
  utiltest::TTempDir dir_;
};

TEST_F(ExpandToLongPathNameTest, StoredLetterCaseIsRestored) {
  EXPECT_EQ(ExpandToLongPathName(dir_ / "music/BEST OF/track one.mp3"),
            dir_ / "Music/Best Of/Track One.MP3");
  EXPECT_EQ(ExpandToLongPathName(dir_ / "Music/Best Of/Track One.MP3"),
            dir_ / "Music/Best Of/Track One.MP3");
  EXPECT_EQ(ExpandToLongPathName(dir_ / "music/best of/"), dir_ / "Music/Best Of");
  EXPECT_EQ(ExpandToLongPathName(dir_ / "music//best of"), dir_ / "Music/Best Of");
}

TEST_F(ExpandToLongPathNameTest, ExactNameWinsOverOtherSpellings) {
  utiltest::WriteFile(dir_ / "Music/best of/other.mp3", "y");
  EXPECT_EQ(ExpandToLongPathName(dir_ / "Music/best of/other.mp3"), dir_ / "Music/best of/other.mp3");
  // Two spellings differ only in case: the first in byte order is taken.
  EXPECT_EQ(ExpandToLongPathName(dir_ / "Music/BEST OF"), dir_ / "Music/Best Of");
}

TEST_F(ExpandToLongPathNameTest, WhatCannotBeExpandedComesBackUnchanged) {
  const std::string missing = dir_ / "music/nowhere/track one.mp3";
  EXPECT_EQ(ExpandToLongPathName(missing), missing);
  EXPECT_EQ(ExpandToLongPathName("http://radio.example/Stream"), "http://radio.example/Stream");
  EXPECT_EQ(ExpandToLongPathName("song.mp3"), "song.mp3");
  EXPECT_EQ(ExpandToLongPathName(""), "");
  EXPECT_EQ(ExpandToLongPathName("/"), "/");
}
