// The program's version information: the texts a Windows build would carry in its version
// resource. The application title, the update check, the now-playing record and the freedb
// client identification all read them from here.
#pragma once

inline constexpr char KELDAR_PRODUCT_NAME[] = "Zorvane Audio Player";
inline constexpr char KELDAR_PRODUCT_VERSION[] = "3.0";
inline constexpr char KELDAR_FILE_VERSION[] = "3.0.0.0";
inline constexpr char KELDAR_FILE_NAME[] = "keldar3";
inline constexpr char KELDAR_COMMENTS[] =
    "A skinnable player for audio files, modules, CDs, internet radio and video";
inline constexpr char KELDAR_LEGAL_COPYRIGHT[] =
    "Copyright (C) 2026 The Zorvane Audio Player developers";
