// File tags and module information, read through our audio library. UI thread.
#pragma once

#include <string>

#include "engine/KELDAR_AUDIOVIDEO_API.h"

// The thirteen tag texts of a plain audio file; other media types give only the name.
TKELDAR_AUDIOVIDEO_API_AudioFileTags ReadFileTags(const std::string& fileName);
// The same tags, and for a plain audio file the playing time of the stream they were read
// from (0 when it cannot be opened or its length is unknown); other media types give no
// length here and leave *lengthSeconds alone.
TKELDAR_AUDIOVIDEO_API_AudioFileTags ReadFileTags(const std::string& fileName, std::int64_t* lengthSeconds);
// Name, message, instrument and sample names of a tracker module; empty for anything else.
TKELDAR_AUDIOVIDEO_API_ModuleInfo GetModuleInfo(const std::string& fileName);
