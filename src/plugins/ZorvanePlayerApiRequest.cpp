#include "plugins/ZorvanePlayerApiRequest.h"

#include <cstring>

TApiRequestState ExamineApiRequest(const std::string& buffer) {
  if (buffer.size() < sizeof(zpapi_request_header)) return TApiRequestState::Incomplete;
  zpapi_request_header h;
  std::memcpy(&h, buffer.data(), sizeof(h));
  if (h.magic != ZPAPI_MAGIC || h.reserved != 0) return TApiRequestState::Malformed;
  if (h.payload_size > ZPAPI_MAX_PAYLOAD) return TApiRequestState::TooLarge;
  if (buffer.size() - sizeof(h) < h.payload_size) return TApiRequestState::Incomplete;
  return TApiRequestState::Complete;
}

bool TakeApiRequest(std::string& buffer, zpapi_request_header& header, std::string& payload) {
  if (ExamineApiRequest(buffer) != TApiRequestState::Complete) return false;
  std::memcpy(&header, buffer.data(), sizeof(header));
  payload = buffer.substr(sizeof(header), header.payload_size);
  buffer.erase(0, sizeof(header) + header.payload_size);
  return true;
}
