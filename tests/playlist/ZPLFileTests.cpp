#include <gtest/gtest.h>
#include <sys/resource.h>

#include "TestSupport.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "util/ShowMessage.h"

namespace {

TPlayListBoxItem SampleItem() {
  TPlayListBoxItem item;
  item.FullPathAndFilename = "/music/Äpfel – 𝄞.mp3";
  item.ArtistName = "Artist";
  item.TitleName = "Title";
  item.AlbumName = "Album";
  item.TitleAlbumGenre = "Genre";
  item.TitleAlbumYear = "1999";
  item.TitleCDIndex = 3;
  item.PlaybackStartPos = 10;
  item.PlaybackEndpos = 20;
  item.FilePlaybackLength = 245;
  item.FileSize = 0x123456789LL;
  item.FileDate = -7;
  item.PitchValue = 1;
  item.TempoValue = 2;
  item.EQSamplerate = 3;
  item.PreampValue = 4;
  for (int i = 0; i < 10; ++i) item.EQBandValues[i] = 90 + i;
  item.TagIDDataRetrieved = true;
  return item;
}

}  // namespace

TEST(ZPLSerialization, ItemWithEightCharacterPathTakes125Bytes) {
  TPlaylist list;
  TPlayListBoxItem item;
  item.FullPathAndFilename = "/a/b.mp3";
  list.Add(item);
  std::string stream;
  WritePlaylistItemsToStream(list, stream);
  ASSERT_EQ(stream.size(), 125u);
  // Count then UTF-16LE code units, then the neutral slider values at their offsets.
  EXPECT_EQ(stream.substr(0, 6), std::string("\x08\x00\x00\x00/\x00", 6));
  size_t pitchOffset = 4 + 16 + 5 * 4 + 4 * 4 + 8 + 4;
  EXPECT_EQ(static_cast<unsigned char>(stream[pitchOffset]), 50);
  EXPECT_EQ(stream.back(), '\0');
}

TEST(ZPLSerialization, RoundTripKeepsEveryFieldIncludingNonBmpText) {
  TPlaylist list;
  list.Add(SampleItem());
  TPlayListBoxItem second;
  second.FullPathAndFilename = "http://radio.example/stream";
  list.Add(second);
  std::string stream;
  WritePlaylistItemsToStream(list, stream);

  TPlaylist back;
  ReadPlaylistItemsFromStream(back, stream, true);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Item(0), SampleItem());
  EXPECT_EQ(back.Item(1), second);
  EXPECT_EQ(back.TotalPlaybackSeconds(), 245);
}

TEST(ZPLSerialization, TruncatedDataAppendsThePartialItemAndStops) {
  TPlaylist list;
  list.Add(SampleItem());
  list.Add(SampleItem());
  std::string stream;
  WritePlaylistItemsToStream(list, stream);
  // Cut inside the second item's path, and also in the middle of a count.
  for (size_t cut : {stream.size() / 2 + 6, stream.size() / 2 + 2, stream.size() - 1}) {
    TPlaylist back;
    ReadPlaylistItemsFromStream(back, stream.substr(0, cut), true);
    EXPECT_EQ(back.Count(), 2) << "cut at " << cut;
    EXPECT_EQ(back.Item(0), SampleItem());
  }
}

TEST(ZPLSerialization, TruncatedItemKeepsWhatWasReadAndThePreviousItemsRest) {
  TPlaylist list;
  list.Add(SampleItem());
  TPlayListBoxItem second;
  second.FullPathAndFilename = "/b.mp3";
  second.ArtistName = "B";
  second.FilePlaybackLength = 7;
  second.PitchValue = 11;
  list.Add(second);
  std::string stream;
  WritePlaylistItemsToStream(list, stream);
  const size_t secondStart = stream.size() - (85 + 6 * 4 + 2 * (6 + 1));
  // Cut two bytes into the second item's pitch: strings and the fields before it are read.
  const size_t pitchOffset = secondStart + 6 * 4 + 2 * 7 + 4 * 4 + 8 + 4;
  TPlaylist back;
  ReadPlaylistItemsFromStream(back, stream.substr(0, pitchOffset + 2), true);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Item(1).FullPathAndFilename, "/b.mp3");
  EXPECT_EQ(back.Item(1).ArtistName, "B");
  EXPECT_EQ(back.Item(1).TitleName, "");
  EXPECT_EQ(back.Item(1).FilePlaybackLength, 7);
  EXPECT_EQ(back.Item(1).PitchValue, SampleItem().PitchValue);  // unread: the previous item's
  EXPECT_EQ(back.Item(1).EQBandValues[9], SampleItem().EQBandValues[9]);
  EXPECT_EQ(back.TotalPlaybackSeconds(), 245 + 7);
}

TEST(ZPLSerialization, PiecesOfAnySizeReadAsTheWholeStream) {
  TPlaylist list;
  list.Add(SampleItem());
  TPlayListBoxItem second;
  second.FullPathAndFilename = "/b.mp3";
  second.FilePlaybackLength = 7;
  second.PitchValue = 11;
  list.Add(second);
  list.Add(SampleItem());
  std::string stream;
  WritePlaylistItemsToStream(list, stream);
  // Whole, and cut in the third item's fields: a reader fed in pieces of every size must end
  // with the same entries, the cut one filled from the item before it.
  for (const std::string& data : {stream, stream.substr(0, stream.size() - 30)}) {
    TPlaylist whole;
    ReadPlaylistItemsFromStream(whole, data, true);
    ASSERT_EQ(whole.Count(), 3);
    for (size_t piece : {size_t(1), size_t(3), size_t(50), size_t(127), data.size()}) {
      SCOPED_TRACE("pieces of " + std::to_string(piece) + ", data " + std::to_string(data.size()));
      TPlaylist pieces;
      TPlaylistItemStreamReader reader(pieces);
      for (size_t at = 0; at < data.size(); at += piece)
        reader.Feed(data.data() + at, std::min(piece, data.size() - at));
      reader.Finish();
      ASSERT_EQ(pieces.Count(), whole.Count());
      for (int i = 0; i < whole.Count(); ++i) EXPECT_EQ(pieces.Item(i), whole.Item(i)) << i;
      EXPECT_EQ(pieces.TotalPlaybackSeconds(), whole.TotalPlaybackSeconds());
    }
  }
}

TEST(ZPLSerialization, HostileCountsAreRefusedWithoutAllocating) {
  struct rusage before {};
  getrusage(RUSAGE_SELF, &before);
  // A count of 2^31-1 code units followed by a few bytes: refused, the data ends there.
  std::string stream("\xFF\xFF\xFF\x7F" "a\0b\0c", 9);
  TPlaylist back;
  ReadPlaylistItemsFromStream(back, stream, true);
  ASSERT_EQ(back.Count(), 1);
  EXPECT_EQ(back.Item(0), TPlayListBoxItem());
  // A negative count likewise.
  TPlaylist other;
  ReadPlaylistItemsFromStream(other, std::string("\xFF\xFF\xFF\xFF" "abcdefgh", 12), true);
  ASSERT_EQ(other.Count(), 1);
  EXPECT_EQ(other.Item(0).FullPathAndFilename, "");
  struct rusage after {};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kilobytes: far below 4 GiB

  // Inside the second item: the first stays intact, the second keeps the first one's values
  // for everything it could not read, and nothing after the bad count is taken.
  TPlaylist two;
  two.Add(SampleItem());
  std::string data;
  WritePlaylistItemsToStream(two, data);
  data += std::string("\x00\x00\x00\x80", 4) + std::string(300, 'x');
  TPlaylist read;
  ReadPlaylistItemsFromStream(read, data, true);
  ASSERT_EQ(read.Count(), 2);
  EXPECT_EQ(read.Item(0), SampleItem());
  EXPECT_EQ(read.Item(1), SampleItem());
}

TEST(ZPLSerialization, CountsAddedAcrossAppendsAndClearFirst) {
  TPlaylist list;
  list.Add(SampleItem());
  std::string stream;
  WritePlaylistItemsToStream(list, stream);
  TPlaylist target;
  target.Add(SampleItem());
  ReadPlaylistItemsFromStream(target, stream, false);
  EXPECT_EQ(target.Count(), 2);
  EXPECT_EQ(target.TotalPlaybackSeconds(), 490);
  ReadPlaylistItemsFromStream(target, stream, true);
  EXPECT_EQ(target.Count(), 1);
  EXPECT_EQ(target.TotalPlaybackSeconds(), 245);
  ReadPlaylistItemsFromStream(target, std::string(), true);
  EXPECT_EQ(target.Count(), 0);
}

TEST(ZPLFile, EmptyPlaylistIsAnEmptyFileAndLoadingItClears) {
  TTempFolder dir;
  TPlaylist empty;
  ASSERT_TRUE(SaveZPLFile(empty, dir / "empty.ZPL"));
  EXPECT_EQ(ReadTextFile(dir / "empty.ZPL").size(), 0u);
  TPlaylist list;
  list.Add(SampleItem());
  ASSERT_TRUE(LoadZPLFile(list, dir / "empty.ZPL", true));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.TotalPlaybackSeconds(), 0);
}

TEST(ZPLFile, FailuresShowTheirMessagesAndKeepThePlaylist) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  TPlaylist list;
  list.Add(SampleItem());
  EXPECT_FALSE(LoadZPLFile(list, dir / "missing.ZPL", true));
  EXPECT_EQ(list.Count(), 1);
  // A folder where the file should be cannot be replaced.
  std::filesystem::create_directory(dir / "taken.ZPL");
  EXPECT_FALSE(SaveZPLFile(list, dir / "taken.ZPL"));
  auto messages = ReadMessageLog(log.Path());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].Text, "Loading Playlist Failed...");
  EXPECT_EQ(messages[1].Text, "Saving Playlist Failed...");
  // A failed save leaves no temporary file behind.
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);  // the message log only
}
