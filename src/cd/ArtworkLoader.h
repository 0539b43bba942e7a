// Finding and decoding the artwork of a song through the loaded picture input plug-in.
#pragma once

#include <QImage>

#include <string>

#include "plugins/InputPluginPictures.h"

// Decodes the artwork file of path, artist and album into picture; without one, decodes
// fallback instead (when given). True when an artwork file was found, also when it could
// not be decoded (picture is then left empty).
bool LoadArtwork(const std::string& path, const std::string& artist, const std::string& album,
                 const std::string& fallback, TInputPluginPicture& picture);

// The decoded picture as an image (32-bit ARGB rows); a null image when there is none.
QImage ArtworkImage(const TInputPluginPicture& picture);
