#include <gtest/gtest.h>

#include <sys/mman.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "plugins/ZorvanePlayerApiVariables.h"

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

namespace {

// A block planted under our record's name before the player starts, as another local user
// (or a broken earlier run) could leave it.
class PlantedRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    name = "keldar-test-planted-" + std::to_string(::getpid());
    ::setenv("ZORVANEPLAYERAPI_RECORD", name.c_str(), 1);
    ::shm_unlink(("/" + name).c_str());
  }
  void TearDown() override {
    CloseApiSharedMemory();
    ::shm_unlink(("/" + name).c_str());
    ::unsetenv("ZORVANEPLAYERAPI_RECORD");
  }
  void Plant(mode_t mode, off_t size, uid_t owner) {
    int fd = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, mode);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::fchmod(fd, mode), 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ASSERT_EQ(::fchown(fd, owner, static_cast<gid_t>(-1)), 0);
    ::close(fd);
  }
  struct stat Stat() {
    struct stat st {};
    int fd = ::shm_open(("/" + name).c_str(), O_RDONLY, 0);
    EXPECT_GE(fd, 0);
    ::fstat(fd, &st);
    ::close(fd);
    return st;
  }
  std::string name;
};

}  // namespace

TEST_F(PlantedRecord, ReadersRefuseBlocksThatAreNotOursOrNotWhole) {
  const std::vector<std::pair<mode_t, off_t>> planted = {{0666, ZPAPI_RECORD_SIZE}, {0600, 16}, {0600, 1 << 20}};
  for (auto [mode, size] : planted) {
    SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(size));
    Plant(mode, size, ::getuid());
    EXPECT_EQ(zpapi_record_open(0), nullptr);
    ::shm_unlink(("/" + name).c_str());
  }
  if (::getuid() == 0) {
    Plant(0600, ZPAPI_RECORD_SIZE, 65534);
    EXPECT_EQ(zpapi_record_open(0), nullptr);
  }
}

TEST_F(PlantedRecord, ThePlayerReplacesAPlantedBlockWithItsOwn) {
  // Open to everyone, cut short (a write past its end would raise SIGBUS), or someone else's.
  std::vector<std::tuple<mode_t, off_t, uid_t>> planted = {{0666, ZPAPI_RECORD_SIZE, ::getuid()},
                                                           {0600, 1, ::getuid()}};
  if (::getuid() == 0) planted.emplace_back(0600, ZPAPI_RECORD_SIZE, 65534);
  for (auto [mode, size, owner] : planted) {
    SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(size) + " " + std::to_string(owner));
    Plant(mode, size, owner);
    ASSERT_TRUE(OpenApiSharedMemory());
    const struct stat st = Stat();
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_size, ZPAPI_RECORD_SIZE);
    EXPECT_EQ(st.st_uid, ::getuid());
    TNowPlayingValues v;
    v.TitleName = "Mine";
    PublishNowPlaying(v);
    PublishNowPlaying(v);  // the whole block is writable: no SIGBUS
    uint8_t* reader = zpapi_record_open(0);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(Text(reader, ZPAPI_OFS_TitleName), "Mine");
    zpapi_record_close(reader);
    CloseApiSharedMemory();
  }
  // Our own block from an earlier run is simply taken over.
  Plant(0600, ZPAPI_RECORD_SIZE, ::getuid());
  EXPECT_TRUE(OpenApiSharedMemory());
}

TEST_F(PlantedRecord, ClosingMarksTheRecordStoppedAndRemovesIt) {
  ASSERT_TRUE(OpenApiSharedMemory());
  TNowPlayingValues v;
  v.PlayerStatusText = "Playing";
  PublishNowPlaying(v);
  PublishNowPlaying(v);
  uint8_t* reader = zpapi_record_open(0);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(Text(reader, ZPAPI_OFS_PlayerStatusText), "Playing");
  CloseApiSharedMemory();
  // A reader that still holds its view sees a stopped player; a new reader finds nothing.
  EXPECT_EQ(Text(reader, ZPAPI_OFS_PlayerStatusText), "Stopped");
  zpapi_record_close(reader);
  EXPECT_EQ(zpapi_record_open(0), nullptr);
  EXPECT_EQ(::shm_open(("/" + name).c_str(), O_RDONLY, 0), -1);
}
