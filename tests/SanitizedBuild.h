// Whether the tests and the programs they start are built with AddressSanitizer, which makes
// every program about twice as slow: a limit that includes the player's own work (opening the
// next song) allows for it there.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif
