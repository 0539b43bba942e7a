// Helpers that look at the names the player is given: is it an address, what artist and
// title does a file name suggest, and what is the path's spelling on disk.
// Stateless; may be called from any thread.
#pragma once

#include <string>

// True when the text contains "http://", "https://", "ftp://" or "mms://" anywhere, ASCII
// case ignored.
bool IsURL(const std::string& text);

struct TArtistAndTitle {
  std::string Artist;
  std::string Title;
};
// From the file name without its extension: the text before the first "-" is the artist,
// the text after it the title (no "-": no artist, the whole name is the title). Each part is
// trimmed and a leading ASCII lower-case letter is capitalised; an empty artist becomes
// "Unknown Artist", an empty title "Untitled".
TArtistAndTitle ArtistAndTitleFromFileName(const std::string& path);

// The path with every component after the first spelled as it is stored on disk. A
// component whose exact name is missing is looked up ignoring ASCII case (the first name in
// byte order wins when several differ only in case). The result has no trailing separator.
// An address, a text without any separator, or a path with a component that cannot be found
// comes back unchanged.
std::string ExpandToLongPathName(const std::string& path);
