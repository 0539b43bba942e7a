// The built-in catalogue of the program's own skins. Its geometry is that of the built-in
// Default skin; the Winamp and K-Jofol catalogues start from it and change what differs.
#pragma once

#include <array>
#include <string_view>

#include "skin/KELDARSkinCatalogueRow.h"
#include "util/VersionInfo.h"

namespace KELDARSkinOwnCatalogueDetail {

// The first text of the artist line: "Welcome to " + product name + " v" + version.
inline constexpr auto WelcomeText = [] {
  std::array<char, sizeof(KELDAR_PRODUCT_NAME) + sizeof(KELDAR_PRODUCT_VERSION) + 14> text{};
  std::size_t n = 0;
  for (std::string_view part : {std::string_view("Welcome to "), std::string_view(KELDAR_PRODUCT_NAME),
                                std::string_view(" v"), std::string_view(KELDAR_PRODUCT_VERSION)})
    for (char ch : part) text[n++] = ch;
  return text;
}();

using W = TSkinWindowOfControl;

constexpr TKELDARSkinCatalogueRow Row(KELDARSkinControlTypes kind, int parent, int child, const char* hint, W window,
                                      std::int32_t images, std::int32_t left, std::int32_t top, std::int32_t width,
                                      std::int32_t height, bool vertical = false) {
  TKELDARSkinCatalogueRow row;
  row.Kind = kind;
  row.Parent = SkinId(parent);
  row.Child = SkinId(child);
  row.Hint = hint;
  row.Window = window;
  row.NumberOfImages = images;
  SetRect(row, left, top, width, height);
  row.Direction = vertical;
  return row;
}

// The frame of a resizable window (background and the nine tiles), laid out for its
// minimum size of 300 x 130: title parts 25 x 20 (main part 100 x 20, centred over the
// fillers), sides 25 x 26, bottom left 150 x 32, bottom right 125 x 32, bottom filler 25 x 32.
constexpr void PutResizableFrame(TKELDARSkinCatalogue& c, int background, const char* titleHint, W window) {
  const int b = background;
  c[b] = Row(KELDARSkinMainImageResizableControl, b, b, "", window, 1, 0, 0, 300, 130);
  c[b + 1] = Row(KELDARSkinResizableBorderControl, b, b + 1, titleHint, window, 2, 0, 0, 25, 20);     // title left
  c[b + 2] = Row(KELDARSkinResizableBorderControl, b, b + 2, titleHint, window, 2, 275, 0, 25, 20);   // title right
  c[b + 3] = Row(KELDARSkinResizableBorderControl, b, b + 3, titleHint, window, 2, 25, 0, 25, 20);    // filler
  c[b + 4] = Row(KELDARSkinResizableBorderControl, b, b + 4, titleHint, window, 2, 100, 0, 100, 20);  // title main
  c[b + 5] = Row(KELDARSkinResizableBorderControl, b, b + 5, "", window, 1, 0, 20, 25, 26);           // left side
  c[b + 6] = Row(KELDARSkinResizableBorderControl, b, b + 6, "", window, 1, 275, 20, 25, 26);         // right side
  c[b + 7] = Row(KELDARSkinResizableBorderControl, b, b + 7, "", window, 1, 0, 98, 150, 32);          // bottom left
  c[b + 8] = Row(KELDARSkinResizableBorderControl, b, b + 8, "", window, 1, 175, 98, 125, 32);        // bottom right
  c[b + 9] = Row(KELDARSkinResizableBorderControl, b, b + 9, "", window, 1, 150, 98, 25, 32);         // bottom filler
}

// A slider: the knob at `knob`, its track at the next identifier.
constexpr void PutSlider(TKELDARSkinCatalogue& c, int knob, int trackParent, const char* knobHint,
                         const char* trackHint, W window, std::int32_t frames, std::int32_t left, std::int32_t top,
                         std::int32_t width, std::int32_t height, std::int32_t knobLeft, std::int32_t knobTop,
                         std::int32_t knobWidth, std::int32_t knobHeight, bool vertical) {
  c[knob] = Row(KELDARSkinSliderButtonControl, knob + 1, knob, knobHint, window, 2, knobLeft, knobTop, knobWidth,
                knobHeight, vertical);
  c[knob + 1] = Row(KELDARSkinSliderControl, trackParent, knob, trackHint, window, frames, left, top, width, height,
                    vertical);
}

constexpr TKELDARSkinCatalogue MakeKELDARSkinOwnCatalogue() {
  TKELDARSkinCatalogue c{};

  // Markers and the "no control" value belong to no window.
  c[ZorvaneAudioPlayerControls_START] =
      Row(KELDARSkinMarkStartAndEndControl, Form_NullControl, Form_NullControl, "", W::Global, 0, 0, 0, 0, 0);
  c[ZorvaneAudioPlayerControls_END] = c[ZorvaneAudioPlayerControls_START];
  c[Form_NullControl] = Row(KELDARSkinEmptyControl, Form_NullControl, Form_NullControl, "", W::Global, 1, 0, 0, 0, 0);

  // Deck, 300 x 130. The display area between the window toggles and the volume slider
  // holds four 13-pixel rows: times and status, rates and channel lamps, artist, title.
  constexpr W D = W::Deck;
  c[1] = Row(KELDARSkinMainImageControl, 1, 1, "", D, 4, 0, 0, 300, 130);
  c[2] = Row(KELDARSkinTitleBarControl, 1, 2, "Deck Title Bar", D, 2, 0, 0, 300, 15);
  c[3] = Row(KELDARSkinAppButtonControl, 2, 3, "Open Preferences Dialog", D, 2, 3, 3, 9, 9);
  c[4] = Row(KELDARSkinAppButtonControl, 2, 4, "Minimize", D, 2, 276, 3, 9, 9);
  c[5] = Row(KELDARSkinAppButtonControl, 2, 5, "Close", D, 2, 288, 3, 9, 9);
  constexpr const char* transportHints[] = {"Previous File", "Play Current File", "Pause", "Stop", "Next File",
                                            "Add Files"};
  constexpr std::int32_t transportX[] = {57, 88, 119, 150, 181, 213};
  for (int i = 0; i < 6; ++i) c[6 + i] = Row(KELDARSkinButtonControl, 1, 6 + i, transportHints[i], D, 2, transportX[i], 108, 30, 20);
  c[12] = Row(KELDARSkinButtonControl, 1, 12, "Record", D, 2, 257, 108, 30, 20);
  c[13] = Row(KELDARSkinButtonToggleControl, 1, 13, "Repeat", D, 4, 0, 112, 25, 16);
  c[14] = Row(KELDARSkinButtonToggleControl, 1, 14, "Shuffle", D, 4, 30, 112, 25, 16);
  constexpr const char* windowHints[] = {"EQ Window", "PL Window", "Visuals Window", "CD Database Window"};
  for (int i = 0; i < 4; ++i) c[15 + i] = Row(KELDARSkinButtonToggleControl, 1, 15 + i, windowHints[i], D, 4, 5, 15 + 16 * i, 45, 16);
  c[19] = Row(KELDARSkinDigitalDisplayGlyphControl, 1, 19, "Mono Output", D, 2, 190, 33, 28, 9);
  c[20] = Row(KELDARSkinDigitalDisplayGlyphControl, 1, 20, "Stereo Output", D, 2, 222, 33, 36, 9);
  constexpr const char* lampHints[] = {"Stream File Type", "Module File Type", "CD Track", "Video File Type",
                                       "URL Stream"};
  for (int i = 0; i < 5; ++i) c[21 + i] = Row(KELDARSkinDigitalDisplayGlyphControl, 1, 21 + i, lampHints[i], D, 2, 55 + 36 * i, 72, 36, 16);
  c[26] = Row(KELDARSkinComplementalControl, 1, 26, "", D, 2, 121, 19, 3, 9);
  c[27] = Row(KELDARSkinDigitalDisplayGlyphPlayerStateControl, 1, 26, "", D, 4, 110, 19, 9, 9);
  c[27].NEWMouseState = meMouseClicked;
  PutSlider(c, 28, 1, "Volume Control", "Volume Control", D, 20, 266, 20, 11, 60, 0, 0, 11, 5, true);
  PutSlider(c, 30, 1, "Balance Control", "Balance Control", D, 20, 238, 82, 60, 11, 0, 0, 5, 11, false);
  PutSlider(c, 32, 1, "Pitch Control", "Pitch Control", D, 20, 238, 95, 60, 11, 0, 0, 5, 11, false);
  PutSlider(c, 34, 1, "Position Control", "Position Control", D, 20, 55, 92, 164, 13, 0, 2, 26, 9, false);
  c[36] = Row(KELDARSkinDigitalDisplayNumbersControl, 1, 36, "Played Time", D, 1, 58, 17, 48, 13);
  c[37] = Row(KELDARSkinDigitalDisplayNumbersControl, 1, 37, "Total Time", D, 1, 206, 17, 48, 13);
  c[38] = Row(KELDARSkinDigitalDisplayTextControl, 1, 38, "000", D, 1, 58, 31, 24, 13);
  c[39] = Row(KELDARSkinDigitalDisplayTextControl, 1, 39, "44100", D, 1, 112, 31, 40, 13);
  c[40] = Row(KELDARSkinDigitalDisplayTextControl, 1, 40, "Player Status", D, 1, 128, 17, 56, 13);
  c[41] = Row(KELDARSkinDigitalDisplayTextControl, 1, 41, WelcomeText.data(), D, 1, 58, 45, 200, 13);
  c[42] = Row(KELDARSkinDigitalDisplayTextControl, 1, 42, KELDAR_LEGAL_COPYRIGHT, D, 1, 58, 58, 200, 13);
  c[43] = Row(KELDARSkinDigitalDisplayEffects, 1, EqualizerForm_EQFFT128VisualEffects, "Visuals", D, 1, 58, 31, 160, 37);
  c[43].Enabled = false;  // the Default skin shows its effects on the equalizer only
  c[44] = Row(KELDARSkinAssistantControl, 1, 44, "", W::Global, 16, 0, 0, 8, 13);
  c[45] = Row(KELDARSkinAssistantControl, 1, 45, "", W::Global, 94, 0, 0, 8, 13);

  // Equalizer, 300 x 130: thirteen 11 x 60 sliders standing on y 63, the effects canvas
  // centred over the ten bands, the level meters at the right.
  constexpr W E = W::Equalizer;
  c[46] = Row(KELDARSkinMainImageControl, 46, 46, "", E, 4, 0, 0, 300, 130);
  c[47] = Row(KELDARSkinTitleBarControl, 46, 47, "EQ Title Bar", E, 2, 0, 0, 300, 15);
  c[48] = Row(KELDARSkinAppButtonControl, 47, 48, "DSP Plugins", E, 2, 3, 3, 9, 9);
  c[49] = Row(KELDARSkinAppButtonControl, 47, 49, "Close Window", E, 2, 288, 3, 9, 9);
  c[50] = Row(KELDARSkinButtonToggleControl, 46, 50, "Enable/Disable EQ", E, 4, 8, 20, 28, 14);
  c[51] = Row(KELDARSkinButtonToggleControl, 46, 51, "Auto Amp Control", E, 4, 40, 20, 28, 14);
  c[52] = Row(KELDARSkinButtonControl, 46, 52, "EQ Presets", E, 2, 250, 20, 42, 14);
  PutSlider(c, 53, 46, "Tempo Control", "Tempo Control", E, 20, 8, 63, 11, 60, 0, 0, 11, 5, true);
  PutSlider(c, 55, 46, "Samplerate Control ", "Samplerate Control", E, 20, 26, 63, 11, 60, 0, 0, 11, 5, true);
  PutSlider(c, 57, 46, "EQ PreAmp", "EQ PreAmp", E, 20, 48, 63, 11, 60, 0, 0, 11, 5, true);
  constexpr const char* bandHints[] = {"EQ Band 31 Hz",   "EQ Band 62 Hz",   "EQ Band 125 Hz",  "EQ Band 250 Hz",
                                       "EQ Band 500 Hz",  "EQ Band 1000 Hz", "EQ Band 2000 Hz", "EQ Band 4000 Hz",
                                       "EQ Band 8000 Hz", "EQ Band 16000 Hz"};
  for (int k = 1; k <= 10; ++k)
    PutSlider(c, 57 + 2 * k, 46, bandHints[k - 1], bandHints[k - 1], E, 20, 72 + 18 * (k - 1), 63, 11, 60, 0, 0, 11, 5,
              true);
  c[79] = Row(KELDARSkinDigitalDisplayEffects, 46, 79, "Left Volume Level", E, 32, 258, 58, 13, 65, true);
  c[80] = Row(KELDARSkinDigitalDisplayEffects, 46, 80, "Right Volume Level", E, 32, 276, 58, 13, 65, true);
  c[79].CLICKEDMouseState = meMouseClicked;
  c[80].CLICKEDMouseState = meMouseClicked;
  c[81] = Row(KELDARSkinDigitalDisplayEffects, 46, EqualizerForm_EQFFT128VisualEffects, "Visual Effects", E, 1, 78, 19, 160, 37);
  c[82] = Row(KELDARSkinAssistantControl, 81, 82, "PreAmp Line", E, 1, 0, 0, 160, 1);
  c[83] = Row(KELDARSkinAssistantControl, 81, 83, "Left Channel", E, 1, 0, 0, 64, 37);
  c[84] = Row(KELDARSkinAssistantControl, 81, 84, "Right Channel", E, 1, 96, 0, 64, 37);
  c[85] = Row(KELDARSkinAssistantControl, 81, 85, "FFT 10 Band Visuals", E, 20, 0, 0, 16, 37);
  c[86] = Row(KELDARSkinAssistantControl, 81, 86, "FFT 128 Band Visuals", E, 1, 0, 0, 160, 1);

  // Playlist editor.
  constexpr W P = W::PlayListEditor;
  PutResizableFrame(c, 87, "PL Title Bar", P);
  c[97] = Row(KELDARSkinAppButtonControl, 89, 97, "Close Window", P, 2, 14, 6, 9, 9);
  c[98] = Row(KELDARSkinAppButtonControl, 88, 98, "Preferences Dialog", P, 2, 5, 6, 9, 9);
  PutSlider(c, 99, 89, "Scroll Playlist", "Scroll Playlist", P, 1, 0, 20, 25, 26, 8, 0, 9, 18, true);
  c[100].Tile = PlayListEditorForm_PLVerticalRightImage;
  c[101] = Row(KELDARSkinButtonControl, 89, 101, "Select Previous File", P, 2, 3, 6, 9, 9);
  c[102] = Row(KELDARSkinButtonControl, 95, 102, "Select Next File", P, 2, 103, 4, 9, 9);
  constexpr const char* menuHints[] = {"Add Files To Playlist", "Remove Files From Playlist", "Select Files Of Playlist",
                                       "Playlist Options", "Playlists Handling"};
  constexpr const char* panelButtonHints[] = {
      "Add Files",          "Add Dir",          "Add URL",          "Remove Selected Files", "Crop Selected Files",
      "Remove All Files",   "Select All Files", "Unselect All files", "Inverse Selected Files", "Misc Options",
      "File Information",   "Sort Playlist",    "Load Playlist",    "Save Playlist",         "New Playlist"};
  for (int k = 0; k < 5; ++k) {
    c[103 + k] = Row(KELDARSkinResizableFormButtonOfControl, 94, 108 + k, menuHints[k], P, 2, 1 + 30 * k, 8, 28, 20);
    c[108 + k] = Row(KELDARSkinPanelControl, 103 + k, 108 + k, "", P, 1, 0, -60, 28, 60);
    // The first button of a panel sits at its bottom, next to the menu button.
    for (int r = 0; r < 3; ++r)
      c[113 + 3 * k + r] = Row(KELDARSkinResizableFormButtonOfControl, 108 + k, 113 + 3 * k + r,
                               panelButtonHints[3 * k + r], P, 2, 0, 40 - 20 * r, 28, 20);
  }
  c[128] = Row(KELDARSkinDigitalDisplayTextControl, 95, 128, "Total Playlist Files", P, 1, 8, 16, 50, 12);
  c[129] = Row(KELDARSkinDigitalDisplayTextControl, 95, 129, "Total Playlist Time", P, 1, 62, 16, 50, 12);

  // Visuals screen.
  constexpr W V = W::VisualsScreen;
  PutResizableFrame(c, 130, "Visuals Title Bar", V);
  c[140] = Row(KELDARSkinAppButtonControl, 132, 140, "Close Window", V, 2, 14, 6, 9, 9);
  c[141] = Row(KELDARSkinAppButtonControl, 131, 141, "Visualization Plugins", V, 2, 5, 6, 9, 9);
  c[142] = Row(KELDARSkinDigitalDisplayTextControl, 138, 142, "Currect Visual", V, 1, 8, 16, 100, 12);

  // CD database / library window.
  constexpr W L = W::CDDatabase;
  PutResizableFrame(c, 143, "CD Database Title Bar", L);
  c[153] = Row(KELDARSkinAppButtonControl, 145, 153, "Close Window", L, 2, 14, 6, 9, 9);
  c[154] = Row(KELDARSkinAppButtonControl, 144, 154, "Preferences Dialog", L, 2, 5, 6, 9, 9);
  PutSlider(c, 155, 145, "Scroll CD Database", "Scroll CD Database", L, 1, 0, 20, 25, 26, 8, 0, 9, 18, true);
  c[155].Direction = false;  // the runtime reads the track's flag
  c[156].Tile = CDDatabaseForm_DBVerticalRightImage;
  for (int k = 0; k < 5; ++k)
    c[157 + k] = Row(KELDARSkinResizableFormButtonOfControl, 150, 157 + k, "", L, 2, 1 + 30 * k, 8, 28, 20);
  c[162] = Row(KELDARSkinDigitalDisplayTextControl, 151, 162, "Total Songs", L, 1, 8, 16, 100, 12);

  // Full-screen control bar, 484 x 44: the position track along the top, the transport
  // buttons centred below it.
  constexpr W F = W::FullScreen;
  c[163] = Row(KELDARSkinMainImageControl, 163, 163, "", F, 2, 0, 0, 484, 44);
  c[164] = Row(KELDARSkinTitleBarControl, 163, 164, "Fullscreen Title Bar", F, 2, 0, 0, 484, 17);
  for (int i = 0; i < 5; ++i)
    c[165 + i] = Row(KELDARSkinButtonControl, 163, 165 + i, transportHints[i], F, 2, 165 + 31 * i, 23, 30, 20);
  PutSlider(c, 170, 163, "Position Control", "Position Control", F, 20, 1, 1, 482, 15, 0, 1, 26, 13, false);
  return c;
}

}  // namespace KELDARSkinOwnCatalogueDetail

// The own catalogue (the built-in Default skin's geometry).
const TKELDARSkinCatalogue& KELDARSkinOwnCatalogue();
