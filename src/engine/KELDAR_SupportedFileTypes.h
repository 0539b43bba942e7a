// The table of supported file types: which extensions the player handles, by which handler,
// as which media type; the classification of names, archive path splitting and the filter
// strings of the open and playlist dialogs. Built once at start-up on the UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/KELDAR_AUDIOVIDEO_API.h"

struct KAUDIO_PLUGININFO;

struct TSupportedFileTypeStructure {
  std::string FileExtension;  // with its dot, upper case
  KELDAR_AUDIOVIDEO_API_MediaFileType FileMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  std::string FilePlaybackDLL;
  std::uint32_t FilePlaybackDLLHandle = 0;
  std::string FilePlaybackDLLVersion;
  std::string FileDescription;
};

struct TSupportedFileTypes {
  std::vector<std::unique_ptr<TSupportedFileTypeStructure>> Rows;
  int Count() const { return static_cast<int>(Rows.size()); }
};
TSupportedFileTypes& SupportedFileTypes();

// One format announced by an input plug-in, as its info record gives it.
struct TInputPluginFormat {
  std::string FormatExtension;  // ".xyz"
  std::string FormatDescription;
  int Type = 0;  // 0 stream, 1 playlist, 2 archive
};
struct TInputPluginFormats {
  std::string FileName;  // the plug-in's file name
  std::string Version;   // its version number in decimal
  std::vector<TInputPluginFormat> Formats;
};
// Filled by the input plug-in loader: lists the formats of every input plug-in it can load.
// Empty: no plug-in rows.
std::function<std::vector<TInputPluginFormats>()>& InputPluginFormatsProvider();
// Filled by the video engine: true when it can render the named file. Empty: it cannot.
std::function<bool(const std::string&)>& VideoRenderTest();

// Version bytes in decimal, most significant first, joined by "." (0x01000000 -> "1.0.0.0").
std::string AudioLibraryVersionText(std::uint32_t version);

// Adds a row without looking for duplicates (built-in rows).
void AddSupportedFileType(const std::string& extension, KELDAR_AUDIOVIDEO_API_MediaFileType type,
                          const std::string& handler, const std::string& version,
                          const std::string& description);
// Adds a row only when no row has the same extension (ASCII case ignored); true when added.
bool AddSupportedFileTypeChecked(const std::string& extension,
                                 KELDAR_AUDIOVIDEO_API_MediaFileType type,
                                 const std::string& handler, const std::string& version,
                                 const std::string& description);
// Rows for the formats an audio add-on announces (masks cut at ";", duplicates skipped).
void AddAudioAddOnFormats(const std::string& fileName, const KAUDIO_PLUGININFO& info);
// Rows for an input plug-in's formats (duplicates skipped, unknown types ignored).
void AddInputPluginFormats(const TInputPluginFormats& plugin);

void BuildSupportedFileTypes();
void ClearSupportedFileTypes();

KELDAR_AUDIOVIDEO_API_MediaFileType GetMediaFileType(const std::string& name);
// Splits a path running through an archive into the archive and the member; both empty
// when the path runs through no registered archive type.
void SplitCompressedFilePath(const std::string& path, std::string& archive, std::string& member);

std::string BuildOpenFileFilter(bool withAll);
std::string BuildPlaylistFileFilter(bool withAll);
void GetSupportedFileDescriptions(std::vector<std::string>& list);
bool IsFileExtensionSupported(const std::string& extension);
