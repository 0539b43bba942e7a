// One opened disc: a cue/bin image read directly, or a drive through libcdio, with
// libcdio-paranoia reading the audio of real drives. A disc serves one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/CdToc.h"

namespace kaudio {

class CdDisc {
 public:
  virtual ~CdDisc() = default;
  // nullptr with *error set when there is no readable disc at path.
  static std::unique_ptr<CdDisc> Open(const std::string& path, int* error);
  const CdToc& Toc() const { return toc_; }
  // count audio sectors from logical sector start into out (count * kCdSectorBytes bytes of
  // little-endian 16-bit stereo samples); false on a read error.
  virtual bool ReadAudio(int64_t start, uint32_t count, uint8_t* out) = 0;

 protected:
  CdToc toc_;
};

// True for the image kind that stands as a drive (".cue"), by extension.
bool IsCdImagePath(const std::string& path);

}  // namespace kaudio
