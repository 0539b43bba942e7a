/* Zorvane Audio Player now-playing record.
 *
 * The running player writes what it plays into a block of POSIX shared memory named
 * "/zorvaneplayerapimappingfile-<uid>" (ZPAPI_RECORD_SIZE bytes) on every tick of its main
 * timer (400 ms). Text fields are one length byte followed by at most 255 bytes of UTF-8
 * (bytes after the length are not cleared); colours are 0x00BBGGRR. The player writes
 * without a lock, so a reader may see a record in the middle of an update: read each field
 * on its own. The player creates the block (only this user may read or write it) and removes
 * it when it exits; readers map it only when it is this user's and whole. Every party maps the
 * whole block and writes 3344 into RecordSize after mapping. Each side unmaps only its own view.
 *
 * The helpers below are header-only so that readers need no library.
 */
#ifndef ZORVANEPLAYERAPI_RECORD_H
#define ZORVANEPLAYERAPI_RECORD_H

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZPAPI_RECORD_NAME "zorvaneplayerapimappingfile"
#define ZPAPI_RECORD_SIZE 3345
#define ZPAPI_RECORD_SIZE_FIELD_VALUE 3344
#define ZPAPI_TEXT_FIELD_SIZE 256

/* Byte offsets of the fields. */
enum zpapi_record_offset {
  ZPAPI_OFS_RecordSize = 0,
  ZPAPI_OFS_ProgramPath = 4,
  ZPAPI_OFS_ProgramVersion = 260,
  ZPAPI_OFS_CurrentTimeText = 516,
  ZPAPI_OFS_TotalTimeText = 772,
  ZPAPI_OFS_TitleName = 1028,
  ZPAPI_OFS_ArtistName = 1284,
  ZPAPI_OFS_AlbumName = 1540,
  ZPAPI_OFS_PlaylistPositionText = 1796,
  ZPAPI_OFS_FullPathAndFilename = 2052,
  ZPAPI_OFS_PlayerStatusText = 2308,
  ZPAPI_OFS_OutputChannelsText = 2564,
  ZPAPI_OFS_BitrateText = 2820,
  ZPAPI_OFS_SampleRateText = 3076,
  ZPAPI_OFS_BackgroundColor = 3332,
  ZPAPI_OFS_CurrentColor = 3336,
  ZPAPI_OFS_TextColor = 3340
};

/* "/zorvaneplayerapimappingfile-<uid>" into buf. ZORVANEPLAYERAPI_RECORD in the environment
 * names another block (tests run several players side by side). */
static inline void zpapi_record_name(char* buf, size_t size) {
  const char* forced = getenv("ZORVANEPLAYERAPI_RECORD");
  if (forced && *forced)
    snprintf(buf, size, "/%s", forced);
  else
    snprintf(buf, size, "/%s-%u", ZPAPI_RECORD_NAME, (unsigned)getuid());
}

/* Whether an open block is one we can trust: a regular object of this user, mode 0600, of the
 * record's size. Anything else may be another user's trap (read by them, or cut short so a
 * write into our mapping dies of SIGBUS). */
static inline int zpapi_record_trusted(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == getuid() &&
         (st.st_mode & 07777) == 0600 && st.st_size == ZPAPI_RECORD_SIZE;
}

static inline uint8_t* zpapi_record_map(int fd) {
  void* view = mmap(NULL, ZPAPI_RECORD_SIZE, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (view == MAP_FAILED) return NULL;
  int32_t size = ZPAPI_RECORD_SIZE_FIELD_VALUE;
  memcpy(view, &size, sizeof size);
  return (uint8_t*)view;
}

/* Maps the record; NULL when it cannot be had. A reader (create zero) maps only a trusted
 * block. The player (create non-zero) creates the block exclusively; an existing one is
 * reused when trusted, else removed and created anew. */
static inline uint8_t* zpapi_record_open(int create) {
  char name[96];
  zpapi_record_name(name, sizeof name);
  if (!create) {
    int fd = shm_open(name, O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0) return NULL;
    if (!zpapi_record_trusted(fd)) {
      close(fd);
      return NULL;
    }
    return zpapi_record_map(fd);
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = shm_open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      /* The umask may have narrowed the mode; the size is ours to set. */
      if (fchmod(fd, 0600) != 0 || ftruncate(fd, ZPAPI_RECORD_SIZE) != 0) {
        close(fd);
        shm_unlink(name);
        return NULL;
      }
      return zpapi_record_map(fd);
    }
    fd = shm_open(name, O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd >= 0) {
      if (zpapi_record_trusted(fd)) return zpapi_record_map(fd);
      close(fd);
    }
    shm_unlink(name);
  }
  return NULL;
}

/* The player at exit: the block goes away, so no reader takes a dead player for a live one. */
static inline void zpapi_record_unlink(void) {
  char name[96];
  zpapi_record_name(name, sizeof name);
  shm_unlink(name);
}

static inline void zpapi_record_close(uint8_t* record) {
  if (record) munmap(record, ZPAPI_RECORD_SIZE);
}

/* Copies a text field as a zero-terminated string into out (at least 256 bytes). */
static inline void zpapi_record_text(const uint8_t* record, int offset, char* out) {
  uint8_t length = record[offset];
  memcpy(out, record + offset + 1, length);
  out[length] = 0;
}

static inline int32_t zpapi_record_int(const uint8_t* record, int offset) {
  int32_t v;
  memcpy(&v, record + offset, sizeof v);
  return v;
}

#ifdef __cplusplus
}
#endif

#endif
