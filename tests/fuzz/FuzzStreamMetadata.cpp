// What an internet station sends about itself: ICY and HTTP header blocks, META titles, Ogg
// and WMA comment blocks, and the ICY stream splitter of the audio library.
#include "audio/IcyParser.h"
#include "FuzzInput.h"
#include "engine/KELDAR_StreamMetadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Tag blocks are NUL-separated strings ended by an empty one: always terminate twice.
  std::string block = fuzz::Text(data, size);
  block.append(2, '\0');
  TStreamMetadata metadata;
  ParseICYHeaders(block.data(), metadata);
  ParseHTTPHeaders(block.data(), metadata);
  ParseMetaTags(block.data(), metadata);
  ParseOggTags(block.data(), metadata);
  ParseWMATags(block.data(), metadata);
  std::string value;
  MatchHeaderLine("icy-name:", fuzz::Text(data, size), value);

  if (size < 2) return 0;
  // The first byte is the metadata interval, the rest the stream in chunks of varying size.
  size_t audio = 0, texts = 0;
  kaudio::IcyParser icy(1 + data[0], [&](const uint8_t*, size_t n) { audio += n; },
                        [&](const std::string&) { ++texts; });
  for (size_t at = 1; at < size;) {
    const size_t chunk = std::min<size_t>(size - at, 1 + data[at] % 37);
    icy.Feed(data + at, chunk);
    at += chunk;
  }
  if (audio > size) __builtin_trap();
  return 0;
}
