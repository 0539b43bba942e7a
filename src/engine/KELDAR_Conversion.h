// Converting a file (or a CD track) through the chosen encoder: the output name, the checks,
// and the pump that decodes block by block into the encoder on the UI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/KELDAR_AUDIOVIDEO_API.h"

// What the pump reports to the progress dialog; both may be empty.
struct TConversionProgress {
  std::function<void(int percent)> SetPosition;  // range 0..100
};

// Output path without extension: under destFolder (plus the template's folder part, created,
// when keepSubfolder) with useDestination, else beside the template.
std::string ConversionOutputPath(const std::string& outputTemplate, const std::string& destFolder,
                                 bool keepSubfolder, bool useDestination);

// The output name template of a CD track: format with "%09" the two-digit track number and
// "%01" title, "%02" artist, "%03" album, "%04" year, "%05" genre, "%06" the track's file
// name without extension.
std::string CDTrackOutputTemplate(const std::string& format, const TKELDAR_AUDIOVIDEO_API_AudioFileTags& tags,
                                  int trackNumber, const std::string& trackFileName);

// CD access that the CD support installs; while empty, CD tracks cannot be converted.
struct TConversionCDHooks {
  std::function<bool(const std::string& file)> IsCDTrack;
  // True while the player plays a CD track (empty: the engine's own media type and state).
  std::function<bool()> PlayingCDTrack;
};
TConversionCDHooks& ConversionCDHooks();

// The engine slot: see the playlist's conversion. cancel may be null.
bool ConvertFile(const std::string& source, const std::string& outputTemplate, const std::string& destFolder,
                 const std::atomic<bool>* cancel, const TKELDAR_AUDIOVIDEO_API_AudioFileTags& tags,
                 bool keepSubfolder, TConversionProgress* progress, int encoderIndex, bool useDestination);

// The inner pump; the block size it decodes at a time.
inline constexpr std::uint32_t kConversionBlockBytes = 8192;
bool EncodeFile(const std::string& source, const std::string& commandLine, std::uint32_t flags,
                const std::atomic<bool>* cancel, TConversionProgress* progress);
