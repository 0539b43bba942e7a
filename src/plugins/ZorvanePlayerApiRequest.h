// The control channel's request framing: a header, then payload_size bytes. Pure functions
// over a client's receive buffer, so the socket code and the fuzzer read requests the same way.
#pragma once

#include <string>

#include "zorvaneplayerapi.h"

enum class TApiRequestState { Incomplete, Malformed, TooLarge, Complete };

// What the front of the buffer holds. A header with the wrong magic or a reserved field set is
// malformed; one announcing more than ZPAPI_MAX_PAYLOAD is too large; both are known as soon as
// the header is in, before any of the body.
TApiRequestState ExamineApiRequest(const std::string& buffer);
// Takes the complete request at the front of the buffer out; false when there is none.
bool TakeApiRequest(std::string& buffer, zpapi_request_header& header, std::string& payload);
