// Turning the audio library's last error code into the engine's error boxes.
#pragma once

#include <string>

// Message text of a library error code 0..46 (empty for codes without one or out of range).
const char* KELDAR_EngineErrorMessage(int code);
// The box text for a context and code, as ReportEngineError shows it.
std::string KELDAR_EngineErrorText(const std::string& context, int code);
// Code 0: true, nothing shown. Otherwise with errors shown: stops playback, shows the box,
// true (the playlist keeps the entry); with errors hidden: false (the playlist moves on).
bool ReportEngineError(const std::string& context);
// The same for a code read earlier (a failure on another thread).
bool ReportEngineErrorCode(const std::string& context, int code);
// Encoder failures: "%s\n(error code: %d)" in a plain box titled "Error".
void ReportEncoderError(const std::string& text);
