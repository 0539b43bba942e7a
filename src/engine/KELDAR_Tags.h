// File tags and module information, read through our audio library. UI thread.
#pragma once

#include <string>

#include "engine/KELDAR_AUDIOVIDEO_API.h"

// The thirteen tag texts of a plain audio file; other media types give only the name.
TKELDAR_AUDIOVIDEO_API_AudioFileTags ReadFileTags(const std::string& fileName);
// Name, message, instrument and sample names of a tracker module; empty for anything else.
TKELDAR_AUDIOVIDEO_API_ModuleInfo GetModuleInfo(const std::string& fileName);
