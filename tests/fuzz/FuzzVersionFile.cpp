// The update check's version file.
#include "FuzzInput.h"
#include "util/GeneralPurposeInternetFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::TScratchFile file(".xml");
  ReadServerVersion(file.Write(data, size));
  return 0;
}
