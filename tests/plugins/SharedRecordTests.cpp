#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstring>

#include "plugins/ZorvanePlayerApiSharedRecord.h"

namespace {

std::string Text(const uint8_t* record, int offset) {
  char buffer[ZPAPI_TEXT_FIELD_SIZE];
  zpapi_record_text(record, offset, buffer);
  return buffer;
}

class SharedRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    name = "keldar-test-record-" + std::to_string(::getpid());
    ::setenv("ZORVANEPLAYERAPI_RECORD", name.c_str(), 1);
    ASSERT_TRUE(OpenApiSharedMemory());
    reader = zpapi_record_open(0);
    ASSERT_NE(reader, nullptr);
  }
  void TearDown() override {
    zpapi_record_close(reader);
    CloseApiSharedMemory();
    ::shm_unlink(("/" + name).c_str());
    ::unsetenv("ZORVANEPLAYERAPI_RECORD");
  }
  std::string name;
  uint8_t* reader = nullptr;
};

}  // namespace

TEST_F(SharedRecord, FirstTickBlanksThenTheNextFillsEveryFieldAtItsOffset) {
  TNowPlayingValues v;
  v.ProgramPath = "/opt/keldar3/keldar3";
  v.ProgramVersion = "3.0";
  v.TitleName = "Title";
  v.ArtistName = "Artist";
  v.SampleRateText = "48000";
  v.BackgroundColor = 0x00FFA54A;
  v.TextColor = 0x00FF0000;
  // Something left from an earlier run must be blanked by the first tick.
  std::memset(reader + ZPAPI_OFS_TitleName, 5, 6);
  RequestBlankNowPlayingTick();
  PublishNowPlaying(v);
  EXPECT_EQ(zpapi_record_int(reader, ZPAPI_OFS_RecordSize), 3344);
  for (int offset = ZPAPI_OFS_ProgramPath; offset <= ZPAPI_OFS_SampleRateText; offset += 256)
    EXPECT_EQ(reader[offset], 0) << offset;
  EXPECT_EQ(zpapi_record_int(reader, ZPAPI_OFS_BackgroundColor), 0);

  PublishNowPlaying(v);
  EXPECT_EQ(Text(reader, ZPAPI_OFS_ProgramPath), "/opt/keldar3/keldar3");
  EXPECT_EQ(Text(reader, ZPAPI_OFS_ProgramVersion), "3.0");
  EXPECT_EQ(Text(reader, ZPAPI_OFS_CurrentTimeText), "00:00");
  EXPECT_EQ(Text(reader, ZPAPI_OFS_TitleName), "Title");
  EXPECT_EQ(Text(reader, ZPAPI_OFS_ArtistName), "Artist");
  EXPECT_EQ(Text(reader, ZPAPI_OFS_BitrateText), "000");
  EXPECT_EQ(Text(reader, ZPAPI_OFS_SampleRateText), "48000");
  EXPECT_EQ(zpapi_record_int(reader, ZPAPI_OFS_BackgroundColor), 0x00FFA54A);
  EXPECT_EQ(zpapi_record_int(reader, ZPAPI_OFS_TextColor), 0x00FF0000);
}

TEST_F(SharedRecord, LongTextsAreCutTo255BytesAtACharacterBoundary) {
  RequestBlankNowPlayingTick();
  PublishNowPlaying({});
  TNowPlayingValues v;
  v.TitleName = std::string(254, 'a');
  for (int i = 0; i < 46; ++i) v.TitleName += "é";  // 300 characters, 346 bytes
  v.ArtistName = std::string(300, 'b');
  PublishNowPlaying(v);
  EXPECT_EQ(reader[ZPAPI_OFS_TitleName], 254);  // 255 would split the first é
  EXPECT_EQ(Text(reader, ZPAPI_OFS_TitleName), std::string(254, 'a'));
  EXPECT_EQ(Text(reader, ZPAPI_OFS_ArtistName), std::string(255, 'b'));
  // The neighbouring field is untouched by the long one.
  EXPECT_EQ(Text(reader, ZPAPI_OFS_AlbumName), "");
}

TEST(SharedRecordClosed, PublishingWithoutTheRecordDoesNothing) {
  CloseApiSharedMemory();
  EXPECT_FALSE(ApiSharedMemoryOpened());
  PublishNowPlaying({});  // must not crash
}
