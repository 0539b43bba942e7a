// The list itself and the window's operations on it: ownership, current index, total
// time, selection, moving, sorting, shuffling, reversing, searching, advanced mode and
// the texts of the status displays and lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "PlaylistTestSupport.h"
#include "SanitizedBuild.h"
#include "playlist/AdvancedPlaylist.h"
#include "playlist/PlaylistDisplayTexts.h"
#include "playlist/PlaylistOperations.h"

using namespace playlist_test;

namespace {

// Entries /0.mp3 ... /<n-1>.mp3 with lengths 10, 11, ...
void Fill(TPlaylist& list, int n) {
  for (int i = 0; i < n; ++i) list.Add(Entry("/" + std::to_string(i) + ".mp3", 10 + i));
}

std::vector<std::string> Names(const TPlaylist& list) {
  std::vector<std::string> out;
  for (const auto& item : list.Items()) out.push_back(item.FullPathAndFilename.substr(1, item.FullPathAndFilename.size() - 5));
  return out;
}

std::vector<std::string> Expect(std::initializer_list<int> order) {
  std::vector<std::string> out;
  for (int i : order) out.push_back(std::to_string(i));
  return out;
}

}  // namespace

TEST(PlaylistModel, TotalTimeFollowsAddsRemovesLengthChangesAndClear) {
  TPlaylist list;
  Fill(list, 3);  // 10 + 11 + 12
  list.Add(Entry("/unknown.mp3", -1));
  EXPECT_EQ(list.TotalPlaybackSeconds(), 33);
  list.Remove(3);  // the unknown length never counted, so it takes nothing away
  EXPECT_EQ(list.TotalPlaybackSeconds(), 33);
  list.Remove(0);
  EXPECT_EQ(list.TotalPlaybackSeconds(), 23);
  list.SetItemLength(list.Item(0), 100);  // 11 -> 100
  EXPECT_EQ(list.TotalPlaybackSeconds(), 112);
  list.SetItemLength(list.Item(0), -5);
  EXPECT_EQ(list.TotalPlaybackSeconds(), 12);
  list.Clear();
  EXPECT_EQ(list.TotalPlaybackSeconds(), 0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(PlaylistModel, EntriesKeepTheirAddressWhileOtherLinesChange) {
  TPlaylist list;
  Fill(list, 5);
  TPlayListBoxItem* third = list.ItemPointer(2);
  list.Remove(0);
  ReversePlaylist(list);
  SortPlaylist(list, TPlaylistSortKey::PathAndFilename);
  EXPECT_EQ(list.ItemPointer(1), third);
  EXPECT_EQ(third->FullPathAndFilename, "/2.mp3");
  EXPECT_EQ(list.ItemPointer(4), nullptr);
  EXPECT_EQ(list.ItemPointer(-1), nullptr);
}

TEST(PlaylistModel, AppendingAnotherListMovesItsEntriesAndTheirTime) {
  TPlaylist list;
  Fill(list, 2);  // 10 + 11
  list.SetCurrentIndex(1);
  list.SetSelected(0, true);
  TPlaylist other;
  other.Add(Entry("/a.mp3", 5));
  other.Add(Entry("/b.mp3", -1));  // unknown: never counted
  other.SetSelected(0, true);
  TPlayListBoxItem* moved = other.ItemPointer(0);
  list.AppendLinesOf(other);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"0", "1", "a", "b"}));
  EXPECT_EQ(list.ItemPointer(2), moved);
  EXPECT_EQ(list.TotalPlaybackSeconds(), 26);
  EXPECT_EQ(list.CurrentIndex(), 1);
  EXPECT_TRUE(list.Selected(0));
  EXPECT_FALSE(list.Selected(2));
  EXPECT_EQ(other.Count(), 0);
  EXPECT_EQ(other.TotalPlaybackSeconds(), 0);
  list.AppendLinesOf(list);  // itself: nothing happens
  EXPECT_EQ(list.Count(), 4);
}

TEST(PlaylistModel, EntriesOfLongListsSurviveTheRemovalOfEverythingAroundThem) {
  // Many thousands of entries fill several storage blocks; emptied blocks go back to the
  // system while the entries left in others must stay where they are, intact.
  TPlaylist list;
  Fill(list, 30000);
  std::vector<TPlayListBoxItem*> kept;
  for (int i = 0; i < list.Count(); ++i) {
    const bool keep = i % 5000 == 4999;
    list.SetSelected(i, !keep);
    if (keep) kept.push_back(list.ItemPointer(i));
  }
  list.RemoveLinesWithSelection(true);
  ASSERT_EQ(list.Count(), 6);
  for (size_t k = 0; k < kept.size(); ++k) {
    EXPECT_EQ(list.ItemPointer(static_cast<int>(k)), kept[k]);
    EXPECT_EQ(kept[k]->FullPathAndFilename, "/" + std::to_string(5000 * k + 4999) + ".mp3");
  }
  // Freed room is used again, and nothing written there reaches the kept entries.
  TPlaylist other;
  for (int i = 0; i < 30000; ++i) other.Add(Entry("/other/" + std::to_string(i) + ".mp3", 1));
  for (size_t k = 0; k < kept.size(); ++k) {
    EXPECT_EQ(kept[k]->FullPathAndFilename, "/" + std::to_string(5000 * k + 4999) + ".mp3");
    EXPECT_EQ(kept[k]->FilePlaybackLength, static_cast<int32_t>(10 + 5000 * k + 4999));
  }
  EXPECT_EQ(other.Item(29999).FullPathAndFilename, "/other/29999.mp3");
  EXPECT_EQ(other.TotalPlaybackSeconds(), 30000);
  other.Clear();
  list.Clear();
  EXPECT_EQ(list.TotalPlaybackSeconds(), 0);
}

// Entries share storage blocks; in the sanitized build an entry's room is poisoned once it is
// removed, so a stale pointer into the list is caught like any use after free.
TEST(PlaylistModelDeathTest, AStalePointerToARemovedEntryIsCaughtInTheSanitizedBuild) {
  if (!kSanitizedBuild) GTEST_SKIP() << "only the sanitized build checks memory";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        TPlaylist list;
        Fill(list, 3);
        TPlayListBoxItem* stale = list.ItemPointer(1);
        list.Remove(1);
        volatile int32_t length = stale->FilePlaybackLength;
        (void)length;
      },
      "use-after-poison");
}

TEST(PlaylistModel, CurrentIndexThroughRemovals) {
  TPlaylist list;
  Fill(list, 6);
  list.SetCurrentIndex(3);
  list.Remove(5);  // after the current entry: unchanged
  EXPECT_EQ(list.CurrentIndex(), 3);
  list.Remove(1);  // before it: one up
  EXPECT_EQ(list.CurrentIndex(), 2);
  EXPECT_EQ(list.Item(2).FullPathAndFilename, "/3.mp3");
  list.Remove(2);  // the current entry itself
  EXPECT_EQ(list.CurrentIndex(), -1);

  // Removing the selection in one pass gives what line-by-line removal gives.
  TPlaylist other;
  Fill(other, 8);
  other.SetCurrentIndex(5);
  for (int i : {0, 2, 6}) other.SetSelected(i, true);
  RemoveSelectedEntries(other);
  EXPECT_EQ(Names(other), Expect({1, 3, 4, 5, 7}));
  EXPECT_EQ(other.CurrentIndex(), 3);
  EXPECT_EQ(other.TotalPlaybackSeconds(), 11 + 13 + 14 + 15 + 17);
  EXPECT_EQ(other.SelectedCount(), 0);

  other.SetSelected(3, true);  // the current entry "5"
  other.SetSelected(4, true);
  CropSelectedEntries(other);
  EXPECT_EQ(Names(other), Expect({5, 7}));
  EXPECT_EQ(other.CurrentIndex(), 0);
  RemoveSelectedEntries(other);
  EXPECT_EQ(other.Count(), 0);
  EXPECT_EQ(other.CurrentIndex(), -1);
}

TEST(PlaylistModel, ClearLeavesNoCurrentEntry) {
  TPlaylist list;
  Fill(list, 4);
  list.SetCurrentIndex(2);
  list.SetItemIndex(3);
  ClearPlaylist(list);
  EXPECT_EQ(list.CurrentIndex(), -1);
  EXPECT_EQ(list.ItemIndex(), -1);
  ClearPlaylist(list);  // an empty list stays as it is
  EXPECT_EQ(list.CurrentIndex(), -1);
}

TEST(PlaylistModel, TheProcessWidePlaylistKeepsItsCurrentIndexInTheSetting) {
  ThePlaylist().Clear();
  ThePlaylist().Add(Entry("/a.mp3"));
  ThePlaylist().Add(Entry("/b.mp3"));
  Options_PlayListBoxCurrentSongIndex.IntegerValue = 1;
  EXPECT_EQ(ThePlaylist().CurrentIndex(), 1);
  ThePlaylist().Remove(0);
  EXPECT_EQ(Options_PlayListBoxCurrentSongIndex.IntegerValue, 0);
  ThePlaylist().Clear();
  EXPECT_EQ(Options_PlayListBoxCurrentSongIndex.IntegerValue, -1);
  // A list of its own never touches the setting.
  TPlaylist own;
  Fill(own, 2);
  own.SetCurrentIndex(1);
  own.Remove(1);
  EXPECT_EQ(own.CurrentIndex(), -1);
  Options_PlayListBoxCurrentSongIndex.IntegerValue = 7;
  own.Clear();
  EXPECT_EQ(Options_PlayListBoxCurrentSongIndex.IntegerValue, 7);
}

TEST(PlaylistModel, SelectionOperationsAndItemIndex) {
  TPlaylist list;
  Fill(list, 4);
  SelectAllEntries(list);
  EXPECT_EQ(list.SelectedCount(), 4);
  list.SetSelected(1, false);
  InvertSelection(list);
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(list.FirstSelected(), 1);
  SelectNoEntries(list);
  EXPECT_EQ(list.FirstSelected(), -1);
  list.SetItemIndex(3);
  EXPECT_EQ(list.ItemIndex(), 3);
  EXPECT_FALSE(list.Selected(3));  // the focused line is no selection
  list.Remove(3);
  EXPECT_EQ(list.ItemIndex(), 2);
  list.SetItemIndex(9);
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(PlaylistMove, CurrentEntryFollowsMovesInBothDirections) {
  TPlaylist list;
  Fill(list, 6);
  list.SetCurrentIndex(2);
  list.SetSelected(2, true);
  MoveSelectedEntries(list, 1);  // the current entry one line down stays current
  EXPECT_EQ(Names(list), Expect({0, 1, 3, 2, 4, 5}));
  EXPECT_EQ(list.CurrentIndex(), 3);
  EXPECT_TRUE(list.Selected(3));
  EXPECT_FALSE(list.Selected(2));

  SelectNoEntries(list);
  list.SetSelected(5, true);  // a line from below onto the current entry's place
  MoveSelectedEntries(list, -2);
  EXPECT_EQ(Names(list), Expect({0, 1, 3, 5, 2, 4}));
  EXPECT_EQ(list.CurrentIndex(), 4);
  EXPECT_EQ(list.Item(list.CurrentIndex()).FullPathAndFilename, "/2.mp3");

  SelectNoEntries(list);
  list.SetSelected(0, true);  // a line from above past it
  MoveSelectedEntries(list, 5);
  EXPECT_EQ(Names(list), Expect({1, 3, 5, 2, 4, 0}));
  EXPECT_EQ(list.Item(list.CurrentIndex()).FullPathAndFilename, "/2.mp3");
}

TEST(PlaylistMove, MovingStopsAtTheFirstTargetOutsideTheList) {
  TPlaylist list;
  Fill(list, 6);
  for (int i : {1, 2, 5}) list.SetSelected(i, true);
  MoveSelectedEntries(list, -1);  // 1 and 2 move, 5 follows: all fit
  EXPECT_EQ(Names(list), Expect({1, 2, 0, 3, 5, 4}));
  MoveSelectedEntries(list, -1);  // "1" would go before line 0: nothing moves
  EXPECT_EQ(Names(list), Expect({1, 2, 0, 3, 5, 4}));

  TPlaylist down;
  Fill(down, 5);
  for (int i : {0, 3}) down.SetSelected(i, true);
  MoveSelectedEntries(down, 2);  // "3" would pass the end: the scan stops before "0"
  EXPECT_EQ(Names(down), Expect({0, 1, 2, 3, 4}));
  MoveSelectedEntries(down, 1);
  EXPECT_EQ(Names(down), Expect({1, 0, 2, 4, 3}));
  EXPECT_TRUE(down.Selected(1));
  EXPECT_TRUE(down.Selected(4));
  TPlaylist empty;
  MoveSelectedEntries(empty, 3);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(PlaylistSort, KeysAreComparedAsTextIgnoringCase) {
  TPlaylist list;
  for (auto [path, size] : std::vector<std::pair<std::string, int64_t>>{{"/z/b.OGG", 3}, {"/a/C.mp3", 100}, {"/m/a.Wav", 20}}) {
    TPlayListBoxItem item = Entry(path);
    item.FileSize = size;
    item.ArtistName = path.substr(3, 1);
    list.Add(item);
  }
  list.SetCurrentIndex(1);
  SortPlaylist(list, TPlaylistSortKey::FileSize);
  std::vector<int64_t> sizes;
  for (const auto& item : list.Items()) sizes.push_back(item.FileSize);
  EXPECT_EQ(sizes, (std::vector<int64_t>{100, 20, 3}));
  EXPECT_EQ(list.CurrentIndex(), 1);  // the position, not the entry

  SortPlaylist(list, TPlaylistSortKey::FileName);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/m/a.Wav", "/z/b.OGG", "/a/C.mp3"}));
  SortPlaylist(list, TPlaylistSortKey::FileExtension);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/a/C.mp3", "/z/b.OGG", "/m/a.Wav"}));
  SortPlaylist(list, TPlaylistSortKey::PathAndFilename);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/a/C.mp3", "/m/a.Wav", "/z/b.OGG"}));
  SortPlaylist(list, TPlaylistSortKey::Artist);  // "b", "C", "a" -> a, b, C
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/m/a.Wav", "/z/b.OGG", "/a/C.mp3"}));
  // Dates as text as well: -1 sorts before 10, 10 before 9.
  TPlaylist dates;
  for (int32_t d : {9, -1, 10}) {
    TPlayListBoxItem item = Entry("/" + std::to_string(d));
    item.FileDate = d;
    dates.Add(item);
  }
  SortPlaylist(dates, TPlaylistSortKey::FileDate);
  EXPECT_EQ(Locators(dates), (std::vector<std::string>{"/-1", "/10", "/9"}));
}

TEST(PlaylistReorder, ReverseAndRandomize) {
  TPlaylist list;
  Fill(list, 5);
  list.SetCurrentIndex(1);
  ReversePlaylist(list);
  EXPECT_EQ(Names(list), Expect({4, 3, 2, 1, 0}));
  EXPECT_EQ(list.CurrentIndex(), 1);
  TPlaylist four;
  Fill(four, 4);
  ReversePlaylist(four);
  EXPECT_EQ(Names(four), Expect({3, 2, 1, 0}));

  TPlaylist empty;
  RandomizePlaylist(empty);
  EXPECT_EQ(empty.Count(), 0);

  TPlaylist big;
  Fill(big, 50);
  big.SetCurrentIndex(7);
  std::mt19937 random(1234);
  RandomizePlaylist(big, random);
  auto names = Names(big);
  EXPECT_EQ(big.CurrentIndex(), 7);
  EXPECT_EQ(big.TotalPlaybackSeconds(), 50 * 10 + 49 * 50 / 2);
  auto sorted = names;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::string> all;
  for (int i = 0; i < 50; ++i) all.push_back(std::to_string(i));
  std::sort(all.begin(), all.end());
  EXPECT_EQ(sorted, all);  // the same entries
  int inPlace = 0;
  for (int i = 0; i < 50; ++i) inPlace += names[static_cast<size_t>(i)] == std::to_string(i);
  EXPECT_LT(inPlace, 25);  // and really shuffled (seeded, so this cannot flicker)
}

TEST(PlaylistFind, FromStartFromCurrentAndWrapping) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  TPlaylist list;
  for (const char* artist : {"Queen", "Abba", "queen tribute", "Yes"}) {
    TPlayListBoxItem item = Entry(std::string("/") + artist + ".mp3");
    item.ArtistName = artist;
    item.AlbumName = "Album of " + std::string(artist);
    list.Add(item);
  }
  EXPECT_EQ(FindInPlaylist(list, TPlaylistFindField::ArtistName, "QUEEN", false), 0);
  EXPECT_TRUE(list.Selected(0));
  EXPECT_EQ(FindInPlaylist(list, TPlaylistFindField::ArtistName, "queen", true), 2);
  EXPECT_FALSE(list.Selected(0));
  EXPECT_TRUE(list.Selected(2));
  // From the last line selected the search starts at line 0.
  SelectNoEntries(list);
  list.SetSelected(3, true);
  EXPECT_EQ(FindInPlaylist(list, TPlaylistFindField::AlbumName, "of", true), 0);
  EXPECT_FALSE(list.Selected(3));
  // Without a selection too.
  SelectNoEntries(list);
  EXPECT_EQ(FindInPlaylist(list, TPlaylistFindField::Filename, "abba.MP3", true), 1);
  // No wrap-around: from line 2 on there is no "Abba".
  EXPECT_EQ(FindInPlaylist(list, TPlaylistFindField::ArtistName, "abba", true), -1);
  EXPECT_TRUE(list.Selected(1));
  TPlaylist empty;
  EXPECT_EQ(FindInPlaylist(empty, TPlaylistFindField::SongName, "x", false), -1);
  auto messages = ReadMessageLog(log.Path());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "Search String 'abba' NOT Found");
  EXPECT_EQ(messages[0].Title, "Information");
}

TEST(AdvancedPlaylist, SlidersReachTheCurrentEntryOnlyInAdvancedMode) {
  InitSettingsDefaults();
  TPlaylist list;
  Fill(list, 3);
  list.SetCurrentIndex(1);
  Options_PlaylistAdvancedMode.BooleanValue = false;
  EXPECT_FALSE(AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(list, TAdvancedPlaylistSlider::Pitch, 80));
  EXPECT_EQ(list.Item(1).PitchValue, 50);
  TAdvancedPlaylistSliderValues values{};
  EXPECT_FALSE(AdvancedPlaylist_SetALLValuesToPlayerFromCurrentPlayListBoxItem(list, values));

  Options_PlaylistAdvancedMode.BooleanValue = true;
  EXPECT_TRUE(AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(list, TAdvancedPlaylistSlider::Pitch, 80));
  EXPECT_TRUE(AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(
      list, static_cast<TAdvancedPlaylistSlider>(static_cast<int>(TAdvancedPlaylistSlider::EQBand1) + 9), 7));
  EXPECT_TRUE(AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(list, TAdvancedPlaylistSlider::Preamp, 250));
  EXPECT_EQ(list.Item(1).PitchValue, 80);
  EXPECT_EQ(list.Item(1).EQBandValues[9], 7);
  EXPECT_EQ(list.Item(1).PreampValue, 100);
  EXPECT_EQ(list.Item(0).PitchValue, 50);
  list.Item(1).TempoValue = -40;  // as a hostile playlist file could hold it
  ASSERT_TRUE(AdvancedPlaylist_SetALLValuesToPlayerFromCurrentPlayListBoxItem(list, values));
  EXPECT_EQ(values[0], 80);
  EXPECT_EQ(values[1], 0);
  EXPECT_EQ(values[3], 100);
  EXPECT_EQ(values[13], 7);
  EXPECT_EQ(values[4], 50);
  list.SetCurrentIndex(3);  // outside the list
  EXPECT_FALSE(AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(list, TAdvancedPlaylistSlider::Pitch, 1));
  Options_PlaylistAdvancedMode.BooleanValue = false;
}

TEST(PlaylistTexts, StatusDisplays) {
  TPlaylist list;
  Fill(list, 12);
  list.SetItemLength(list.Item(0), 100 * 3600 + 2 * 60 + 3 - (11 * 10 + 66));
  auto texts = PlaylistStatusTexts(list, "", "/", 5);
  EXPECT_EQ(texts.Window1, "00012");
  EXPECT_EQ(texts.Window2, "/100:02:03");
  texts = PlaylistStatusTexts(list, "#", "", 3);
  EXPECT_EQ(texts.Window1, "#12");
  texts = PlaylistStatusTexts(list, "entries ", "", 2);  // never cut
  EXPECT_EQ(texts.Window1, "entries 12");
  list.SetTagReadingInProgress(true);
  texts = PlaylistStatusTexts(list, "", "/", 5);
  EXPECT_EQ(texts.Window1, "Getting ");
  EXPECT_EQ(texts.Window2, "Tag IDs...");
}

TEST(PlaylistTexts, LinePartsAndScrolling) {
  TPlayListBoxItem item = Entry("/music/Queen - Bohemian.mp3", 3 * 60 + 7);
  item.ArtistName = "Queen";
  item.TitleName = "Bohemian";
  EXPECT_EQ(PlaylistLineTimeTag(item), " [03:07] ");
  item.FilePlaybackLength = -3;
  EXPECT_EQ(PlaylistLineTimeTag(item), " [00:00] ");
  item.FilePlaybackLength = 125 * 60;
  EXPECT_EQ(PlaylistLineTimeTag(item), " [125:00] ");
  EXPECT_EQ(PlaylistLineCounterPrefix(11, true), "12. ");
  EXPECT_EQ(PlaylistLineCounterPrefix(11, false), "");
  EXPECT_EQ(PlaylistLineText(item, 0), "/music/Queen - Bohemian.mp3");
  EXPECT_EQ(PlaylistLineText(item, 1), "Queen - Bohemian.mp3");
  EXPECT_EQ(PlaylistLineText(item, 2), "Queen - Bohemian");
  EXPECT_EQ(PlaylistLineText(Entry("http://radio.example/live/stream"), 1), "http://radio.example/live/stream");
  EXPECT_EQ(PlaylistTopLineForScrollValue(100, 40), 0);
  EXPECT_EQ(PlaylistTopLineForScrollValue(50, 40), 20);
  EXPECT_EQ(PlaylistTopLineForScrollValue(0, 40), 39);
  EXPECT_EQ(PlaylistTopLineForScrollValue(0, 0), 0);
}
