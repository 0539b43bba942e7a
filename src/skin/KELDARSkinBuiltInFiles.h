// The files of the built-in Default skin, embedded in the program.
#pragma once
#include <QByteArray>
#include <string>

// The built-in copy of a skin file by its file name ("Deck_FontSmall.bmp"); empty when
// there is none (the three masks, unknown names).
QByteArray BuiltInKELDARSkinFile(const std::string& fileName);
bool HasBuiltInKELDARSkinFile(const std::string& fileName);
