// The text files of the built-in Default skin.
#pragma once
#include <string>
#include <vector>

struct TDefaultSkinTextFile {
  std::string FileName;
  std::string Content;
};
std::vector<TDefaultSkinTextFile> DefaultSkinTextFiles();
