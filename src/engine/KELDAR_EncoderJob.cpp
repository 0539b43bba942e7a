#include "engine/KELDAR_EncoderJob.h"

#include <kaudio.h>

#include "util/TextFunctions.h"

BASSAPI_Encoder_Structure EncoderJobFrom(const EncoderStructure& e, const std::string& outputFilename) {
  return {e.EncName, e.EncCmdLine, outputFilename, e.EncOutputFileExt, e.EncInputBits};
}

bool IsPlatformCodecEncoder(const std::string& name) { return SameText(name, "ACM (Internal)"); }
bool IsWavWriterEncoder(const std::string& name) { return SameText(name, "WAV Writer"); }

int EncoderInputBitsValue(const std::string& bits) {
  const std::string t = TrimText(bits);
  if (t == "8") return 8;
  if (t == "16") return 16;
  if (t == "24") return 24;
  return 32;
}

std::uint32_t PrepareEncoderCommandLine(BASSAPI_Encoder_Structure& job, const std::string& outputFile) {
  std::uint32_t flags = KAUDIO_ENCODE_AUTOFREE;
  if (IsWavWriterEncoder(job.EncoderName)) {
    flags |= KAUDIO_ENCODE_PCM;
    job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%outputfile%", outputFile, false);
  } else {
    job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%outputfile%", "\"" + outputFile + "\"", false);
  }
  switch (EncoderInputBitsValue(job.EncoderInputBits)) {
    case 8: flags |= KAUDIO_ENCODE_FP_8BIT; break;
    case 16: flags |= KAUDIO_ENCODE_FP_16BIT; break;
    case 24: flags |= KAUDIO_ENCODE_FP_24BIT; break;
    default: break;
  }
  return flags;
}

std::string EncoderStartFailureReasons() {
  return "Possible reasons are:\r1. You haven't donwloaded the encoder files.\r2. You haven't installed these files "
         "to the same path with libkaudio.so.\r3. The command line string you have created for encoder is wrong.";
}
