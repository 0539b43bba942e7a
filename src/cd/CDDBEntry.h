// One CD entry (TCDDBEntry) and the xmcd text in which entries travel to and from freedb
// servers and lie in the local store. Core code: no GUI; the editor is reached through
// CDDialogHooks.
#pragma once

#include <string>
#include <vector>

// The freedb categories in their fixed order (folder search and the editor's list).
const std::vector<std::string>& CDDBCategories();

class TCDDBEntry {
 public:
  std::string CDID;        // disc ID, 8 hexadecimal digits
  std::string CDID_CDDB;   // query string: disc ID, N, N offsets, disc seconds
  std::string CDTitle;
  std::string ArtistTitle;
  std::vector<std::string> Tracks;  // index 0 = track 1
  // Extended data as the user reads it (line feeds, tabs, "/"): the record's escapes are
  // undone when it is read and made again when it is written, so reading and writing a
  // record leaves it as it was.
  std::string ExtendedCDInfo;
  std::vector<std::string> ExtendedTracksData;
  std::vector<std::string> XMCDRecordRawData;
  std::string Revision;
  std::string SubmittedVia;
  std::string Category;
  std::string Year;
  std::string Genre;
  // Where the editor finds the album artwork.
  std::string ArtworkFolder;

  // Placeholders for a disc nobody knows: "Unknown Title", "Unknown Artist", "Track 1"...
  void FillFromCDInfo();
  // Word AIndex (0-based) of a line of words separated by single spaces; with
  // ReturnEntireLine the rest of the line from that word on.
  static std::string GetItemFromResponse(const std::string& AResponseLine, int AIndex, bool ReturnEntireLine);
  // Reads a record (a server read response, a built record or a local file) with this disc ID.
  void ParseXMCDRecord(const std::vector<std::string>& lines, const std::string& discId);
  // The record of this entry as written (no status line, no terminating ".").
  std::vector<std::string> BuildXMCDRecord() const;
  // Shows the "Edit CD" editor; true when the user confirmed.
  bool Edit();
};

// Escaping of extended data: line feed <-> "\n", tab <-> "\t", "/" <-> "\\".
std::string EscapeXMCDText(const std::string& text);
std::string UnescapeXMCDText(const std::string& text);

// The program's one entry object, reused for every disc.
TCDDBEntry& TheCDDBEntry();
