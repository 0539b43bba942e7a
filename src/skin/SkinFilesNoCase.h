// Finding the files of foreign skins on a file system that distinguishes letter case: their
// names come in any case (Winamp) or upper-cased (K-Jofol descriptions).
#pragma once
#include <string>

// The path of the file in the folder whose name equals name ignoring case (an exact match
// wins); empty when there is none. folder may end with a separator or not.
std::string FindSkinFileNoCase(const std::string& folder, const std::string& name);
// The first regular file (in name order) whose extension equals ext (".rc") ignoring case.
std::string FindFirstSkinFileWithExtension(const std::string& folder, const std::string& ext);
// Archives often hold the skin inside one top-level folder: the folder itself when it holds
// the marker file (found by the test), else its only sub-folder that does, else the folder.
// The result ends with a separator.
template <typename HasMarker>
std::string SkinSourceFolder(const std::string& folder, HasMarker hasMarker);
std::string SkinFolderWithSeparator(const std::string& folder);
std::string OnlySubFolder(const std::string& folder);

template <typename HasMarker>
std::string SkinSourceFolder(const std::string& folder, HasMarker hasMarker) {
  const std::string own = SkinFolderWithSeparator(folder);
  if (hasMarker(own)) return own;
  const std::string sub = OnlySubFolder(own);
  if (!sub.empty() && hasMarker(sub)) return sub;
  return own;
}
