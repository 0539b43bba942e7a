// The encoder chosen for one recording or conversion, and how its command line and flags
// are made from the list entry and the output file.
#pragma once

#include <cstdint>
#include <string>

#include "engine/KELDAR_EncodersList.h"

struct BASSAPI_Encoder_Structure {
  std::string EncoderName;
  std::string EncoderCmdLine;         // expanded in place
  std::string EncoderOutputFilename;  // output path without extension
  std::string EncoderOutputFileExt;
  std::string EncoderInputBits;
};

BASSAPI_Encoder_Structure EncoderJobFrom(const EncoderStructure& encoder, const std::string& outputFilename);

// "ACM (Internal)" and "WAV Writer", matched ignoring case.
bool IsPlatformCodecEncoder(const std::string& name);
bool IsWavWriterEncoder(const std::string& name);

// The sample size the encoder wants: 8, 16, 24 or 32 (anything that is not one of the
// first three, "abc" included, counts as 32).
int EncoderInputBitsValue(const std::string& bits);

// For every encoder but the platform codec: replaces "%outputfile%" in EncoderCmdLine by
// the output file (in double quotes, except for the WAV writer) and returns the library
// flags (the encoder ends with its channel, plain WAV for the WAV writer, the sample size).
std::uint32_t PrepareEncoderCommandLine(BASSAPI_Encoder_Structure& job, const std::string& outputFile);

// The three possible reasons a command-line encoder did not start.
std::string EncoderStartFailureReasons();
