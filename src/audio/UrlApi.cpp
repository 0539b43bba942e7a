// Internet streams.
#include <kaudio.h>

#include <strings.h>

#include "audio/Errors.h"
#include "audio/Library.h"
#include "audio/UrlSource.h"

using namespace kaudio;

extern "C" {

KAUDIO_HSTREAM KAUDIO_StreamCreateURL(const char* url, KAUDIO_DWORD, KAUDIO_DWORD flags,
                                      KAUDIO_DOWNLOADPROC* proc, void* user) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  if (!url) return Fail(KAUDIO_ERROR_FILEOPEN);
  const bool known = strncasecmp(url, "http://", 7) == 0 || strncasecmp(url, "https://", 8) == 0 ||
                     strncasecmp(url, "ftp://", 6) == 0 || strncasecmp(url, "mms", 3) == 0;
  if (!known) return Fail(KAUDIO_ERROR_FILEOPEN);
  int error = 0;
  auto src = UrlSource::Open(url, proc, user, (flags & KAUDIO_STREAM_STATUS) != 0, &error);
  if (!src) return Fail(error ? error : KAUDIO_ERROR_NONET);
  const uint32_t h = NewHandle();
  auto ch = std::make_shared<Channel>(h, std::move(src), flags & ~KAUDIO_UNICODE, KAUDIO_CTYPE_STREAM_URL);
  ch->filename = url;
  ch->source->Attach(ch.get());
  RegisterChannel(ch);
  SetError(0);
  return h;
}

}  // extern "C"
