#include "DefaultSkinTextFiles.h"

std::vector<TDefaultSkinTextFile> DefaultSkinTextFiles() {
  return {
      {"Deck_Text.ini",
       "[Text]\r\nNormal=#0000FF\r\nFont=Arial\r\nFontHeight=11\r\nFontStyle=None\r\nBitmapFontEnabled=1\r\n"},
      {"Playlist_Text.ini",
       "[Text]\r\nNormal=#0000FF\r\nCurrent=#CDECFE\r\nNormalBG=#4AA5FF\r\nSelectedBG=#2992E7\r\nFont=Arial\r\n"
       "FontHeight=12\r\nFontStyle=None\r\nItemHeight=16\r\nBitmapEnabled=0\r\n"},
      {"DB_Text.ini",
       "[Text]\r\nNormal=#0000FF\r\nCurrent=#CDECFE\r\nNormalBG=#4AA5FF\r\nSelectedBG=#2992E7\r\n"
       "Headers=#c8d0d4\r\nFont=Arial\r\nFontHeight=12\r\nItemHeight=16\r\n"},
      {"Regions_Text.ini",
       "// Window shapes. Every window of the Default skin is a plain rectangle; remove the\r\n"
       "// slashes of a section to cut its window to the polygon given (client pixels).\r\n"
       "//[DeckForm]\r\n"
       "//PolygonPointsNumber=8\r\n"
       "//PolygonPoints=0,0 ,300,0, 300,130, 245,130, 245,128, 55,128, 55,130, 0,130\r\n"
       "//[EqualizerForm]\r\n"
       "//PolygonPointsNumber=4\r\n"
       "//PolygonPoints=0,0, 300,0, 300,130, 0,130\r\n"},
      {"readme.txt",
       "Zorvane Audio Player - Default skin\r\n"
       "\r\n"
       "The skin every installation starts with: sky blue frames, pale display panels and\r\n"
       "blue text, drawn pixel by pixel by the skin generator that ships with the program.\r\n"
       "\r\n"
       "Copy the folder skins\\Default-source to a new folder under skins, edit the bitmaps\r\n"
       "and keldarskin.ini, and pick the new skin in the preferences to start your own.\r\n"},
  };
}
