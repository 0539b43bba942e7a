// The control socket's request reader: the framing of one client's byte stream, and the
// hand-over record a second instance sends.
#include "FuzzInput.h"
#include "plugins/ZorvanePlayerApiRequest.h"
#include "plugins/ZorvanePlayerApiVariables.h"
#include "plugins/zorvaneplayerapiunit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string buffer = fuzz::Text(data, size);
  zpapi_request_header header{};
  std::string payload;
  while (ExamineApiRequest(buffer) == TApiRequestState::Complete) {
    if (!TakeApiRequest(buffer, header, payload)) __builtin_trap();
    THandOverRecord record;
    if (ParseHandOverRecord(payload, record)) {
      size_t parts = 0;
      ProcessHandOver(record, [&](const std::string&) { ++parts; });
      SerializeHandOverRecord(record);
    }
  }
  // The raw bytes as a hand-over payload too.
  THandOverRecord record;
  ParseHandOverRecord(fuzz::Text(data, size), record);
  return 0;
}
