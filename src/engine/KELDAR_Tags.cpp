#include "engine/KELDAR_Tags.h"

#include "engine/BASSAPI.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "kaudio.h"

#include <algorithm>

namespace {
constexpr KAUDIO_DWORD kUnicode = 0x80000000u;

std::string Tag(KAUDIO_DWORD handle, const char* format) {
  const char* text = KAUDIO_TAGS_Read(handle, format);
  return text ? text : "";
}

// Names of instruments (or samples) 0, 1, ... until the module has no more.
void ListNames(KAUDIO_DWORD handle, KAUDIO_DWORD firstTag, std::vector<std::string>& list) {
  for (KAUDIO_DWORD i = 0;; ++i) {
    const char* name = KAUDIO_ChannelGetTags(handle, firstTag + i);
    if (!name) break;
    list.push_back(std::to_string(i + 1) + " " + name);
  }
}
}  // namespace

TKELDAR_AUDIOVIDEO_API_AudioFileTags ReadFileTags(const std::string& fileName) {
  return ReadFileTags(fileName, nullptr);
}

TKELDAR_AUDIOVIDEO_API_AudioFileTags ReadFileTags(const std::string& fileName, std::int64_t* lengthSeconds) {
  TKELDAR_AUDIOVIDEO_API_AudioFileTags tags;
  tags.FullPathAndFilename = fileName;
  if (GetMediaFileType(fileName) != KELDAR_AUDIOVIDEO_API_mtStream) return tags;
  const KAUDIO_DWORD h = KAUDIO_StreamCreateFile(0, fileName.c_str(), 0, 0, kUnicode | KAUDIO_STREAM_DECODE);
  if (lengthSeconds) *lengthSeconds = 0;
  if (!h) return tags;
  if (lengthSeconds) *lengthSeconds = std::max<std::int64_t>(0, BASSAPI_LengthSeconds(h));
  tags.TitleName = Tag(h, "%TITL");
  tags.ArtistName = Tag(h, "%ARTI");
  tags.AlbumName = Tag(h, "%ALBM");
  tags.TitleAlbumGenre = Tag(h, "%GNRE");
  tags.TitleAlbumYear = Tag(h, "%YEAR");
  tags.TitleComment = Tag(h, "%CMNT");
  tags.TrackNumber = Tag(h, "%TRCK");
  tags.ComposerName = Tag(h, "%COMP");
  tags.CopyrightText = Tag(h, "%COPY");
  tags.SubtitleText = Tag(h, "%SUBT");
  tags.AlbumArtistName = Tag(h, "%AART");
  tags.DiscNumber = Tag(h, "%DISC");
  KAUDIO_StreamFree(h);
  return tags;
}

TKELDAR_AUDIOVIDEO_API_ModuleInfo GetModuleInfo(const std::string& fileName) {
  TKELDAR_AUDIOVIDEO_API_ModuleInfo info;
  if (GetMediaFileType(fileName) != KELDAR_AUDIOVIDEO_API_mtMOD) return info;
  const KAUDIO_DWORD h = KAUDIO_MusicLoad(0, fileName.c_str(), 0, 0, kUnicode, 0);
  if (!h) return info;
  if (const char* name = KAUDIO_ChannelGetTags(h, KAUDIO_TAG_MUSIC_NAME)) info.ModuleName = name;
  if (const char* message = KAUDIO_ChannelGetTags(h, KAUDIO_TAG_MUSIC_MESSAGE)) info.ModuleMessage = message;
  ListNames(h, KAUDIO_TAG_MUSIC_INST, info.Instruments);
  ListNames(h, KAUDIO_TAG_MUSIC_SAMPLE, info.Samples);
  KAUDIO_MusicFree(h);
  return info;
}
