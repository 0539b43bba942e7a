#include "plugins/ZorvanePlayerApiSharedRecord.h"

#include <cstring>

#include "util/TextEncoding.h"

namespace {

uint8_t* g_view = nullptr;
bool g_blankOnce = true;

constexpr int kTextOffsets[] = {
    ZPAPI_OFS_ProgramPath,          ZPAPI_OFS_ProgramVersion,      ZPAPI_OFS_CurrentTimeText,
    ZPAPI_OFS_TotalTimeText,        ZPAPI_OFS_TitleName,           ZPAPI_OFS_ArtistName,
    ZPAPI_OFS_AlbumName,            ZPAPI_OFS_PlaylistPositionText, ZPAPI_OFS_FullPathAndFilename,
    ZPAPI_OFS_PlayerStatusText,     ZPAPI_OFS_OutputChannelsText,  ZPAPI_OFS_BitrateText,
    ZPAPI_OFS_SampleRateText};

void PutText(int offset, const std::string& text) {
  std::string cut = CutUtf8(text, 255);
  // The characters first, then the length, so a reader never sees a length past the text.
  std::memcpy(g_view + offset + 1, cut.data(), cut.size());
  g_view[offset] = static_cast<uint8_t>(cut.size());
}

void PutInt(int offset, int32_t value) { std::memcpy(g_view + offset, &value, sizeof(value)); }

}  // namespace

bool OpenApiSharedMemory() {
  if (!g_view) g_view = zpapi_record_open(1);
  return g_view != nullptr;
}

void CloseApiSharedMemory() {
  if (!g_view) return;
  // A reader that mapped the block before it goes sees a stopped player, never a live one.
  PutText(ZPAPI_OFS_PlayerStatusText, "Stopped");
  zpapi_record_close(g_view);
  g_view = nullptr;
  zpapi_record_unlink();
}

bool ApiSharedMemoryOpened() { return g_view != nullptr; }

void RequestBlankNowPlayingTick() { g_blankOnce = true; }

void PublishNowPlaying(const TNowPlayingValues& v) {
  if (!g_view) return;
  if (g_blankOnce) {
    for (int offset : kTextOffsets) g_view[offset] = 0;
    PutInt(ZPAPI_OFS_BackgroundColor, 0);
    PutInt(ZPAPI_OFS_CurrentColor, 0);
    PutInt(ZPAPI_OFS_TextColor, 0);
    g_blankOnce = false;
    return;
  }
  const std::string* texts[] = {&v.ProgramPath,        &v.ProgramVersion,      &v.CurrentTimeText, &v.TotalTimeText,
                                &v.TitleName,          &v.ArtistName,          &v.AlbumName,       &v.PlaylistPositionText,
                                &v.FullPathAndFilename, &v.PlayerStatusText,   &v.OutputChannelsText, &v.BitrateText,
                                &v.SampleRateText};
  for (size_t i = 0; i < std::size(kTextOffsets); ++i) PutText(kTextOffsets[i], *texts[i]);
  PutInt(ZPAPI_OFS_BackgroundColor, v.BackgroundColor);
  PutInt(ZPAPI_OFS_CurrentColor, v.CurrentColor);
  PutInt(ZPAPI_OFS_TextColor, v.TextColor);
}
