// Folder and file helpers shared by every layer: searching folders for media files,
// deleting files, file size and date stamp, splitting times. The text helpers come along
// (TextFunctions.h) because almost every caller of these needs them too.
//
// Names inside a folder are visited in byte order of their names, so every search gives the
// same order on every run. Masks ("*.mp3", "*.*", "bass*.so") are matched ignoring ASCII case,
// since file extensions are compared upper-cased throughout the program. Stateless; may be
// called from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/TextFunctions.h"

// True when name matches mask: "*" any run of characters, "?" one character, ASCII case
// ignored. As on the program's original platform, "*.*" matches every name and a mask ending
// in ".*" also matches the name without any extension.
bool MatchesFileMask(const std::string& name, const std::string& mask);

// Appends folder + "/" + name for every file (not sub-folder) directly in folder that
// matches pattern, hidden files included. In a DVD folder (its path, with a trailing
// separator, ends in "VIDEO_TS/", any case) that holds a "VIDEO_TS.IFO", only that file is
// appended, so a DVD contributes its one entry file. Otherwise, when the pattern names a
// plain extension, a match must also carry exactly that extension.
void FindFilesInFolder(const std::string& folder, const std::string& pattern,
                       std::vector<std::string>& list);
// FindFilesInFolder on folder, then on each sub-folder, depth first: all matches of a folder
// come before those of its sub-folders. Hidden sub-folders (name starting with ".") are not
// entered; a folder reached twice through symbolic links is searched once.
void FindFilesInFolderTree(const std::string& folder, const std::string& pattern,
                           std::vector<std::string>& list);
// Name (without folder) of the first file in folder matching pattern, or empty.
std::string FindFirstFileName(const std::string& folder, const std::string& pattern);

// True when the file did not exist or was deleted; false when deleting failed.
bool DeleteFileIfExists(const std::string& path);
// Deletes every file (and symbolic link) directly in folder; sub-folders stay. Single
// failures are ignored; an empty folder argument does nothing.
void DeleteAllFilesInFolder(const std::string& folder);

// Size of a regular file in bytes, or -1 when there is no such file.
std::int64_t GetFileSize64(const std::string& path);
// The file's last modification time, local time, packed as a DOS date/time stamp (date in
// the high 16 bits: day, month, year - 1980; time in the low 16 bits: seconds / 2, minutes,
// hours), or -1 when there is no such file. Times before 1980 give 1980-01-01 00:00:00,
// times after 2107 give 2107-12-31 23:59:58. Stamps from 2044 on are negative as 32-bit
// values; only -1 means "no file".
std::int32_t GetFileDateStamp(const std::string& path);
// Both of the above from one look at the file; false (and -1 in both) when it is not a
// regular file.
bool GetFileSizeAndDateStamp(const std::string& path, std::int64_t& size, std::int32_t& date);

struct TMinutesAndSeconds {
  std::int64_t Minutes = 0;
  std::int64_t Seconds = 0;
};
// Minutes are not limited to 59; a negative input gives (0, 0).
TMinutesAndSeconds SplitSecondsToMinutesAndSeconds(std::int64_t seconds);
// minutes * 60 + seconds; a negative input gives 0.
std::int64_t MinutesAndSecondsToSeconds(std::int64_t minutes, std::int64_t seconds);
