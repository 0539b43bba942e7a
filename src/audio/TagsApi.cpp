// Tag blocks of channels and formatted file tags.
#include <kaudio.h>

#include "audio/Errors.h"
#include "audio/FileTags.h"
#include "audio/Library.h"

using namespace kaudio;

extern "C" {

const char* KAUDIO_ChannelGetTags(KAUDIO_DWORD handle, KAUDIO_DWORD tags) {
  auto ch = FindChannel(handle);
  if (!ch) return nullptr;
  const char* block = ch->tags.Get(tags);
  if (!block) { SetError(KAUDIO_ERROR_NOTAVAIL); return nullptr; }
  SetError(0);
  return block;
}

const char* KAUDIO_TAGS_Read(KAUDIO_DWORD handle, const char* fmt) {
  thread_local std::string result;
  result.clear();
  auto ch = FindChannel(handle);
  if (!ch || !fmt) return result.c_str();
  std::map<std::string, std::string> values;
  if (ch->ctype == KAUDIO_CTYPE_MUSIC) {
    if (const char* name = ch->tags.Get(KAUDIO_TAG_MUSIC_NAME)) values["TITL"] = name;
  } else if (!ch->filename.empty()) {
    values = ch->FileTagValues();
  }
  result = FormatTags(fmt, values);
  SetError(0);
  return result.c_str();
}

}  // extern "C"
