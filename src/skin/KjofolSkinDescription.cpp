#include "skin/KjofolSkinDescription.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "skin/SkinFilesNoCase.h"

namespace {

struct TRowSpec {
  const char* Keyword;
  KJOFOL_SkinCommandStructure Structure;
  std::int32_t Params;
  KELDARSkinControls_IDs Control;
};

constexpr auto N = Form_NullControl;
// The order matters: commands are applied row by row.
constexpr std::array<TRowSpec, KjofolSkinCommandCount> kRows = {{
    {"About", csNullStructure, 0, N},
    {"BackgroundImage", csNullStructure, 1, N},
    {"BackgroundImageInactive", csNullStructure, 1, N},
    {"BackgroundImagePressed1", csNullStructure, 1, N},
    {"BackgroundImagePressed2", csNullStructure, 1, N},
    {"BackgroundImagePressed3", csNullStructure, 1, N},
    {"FontImage", csNullStructure, 1, N},
    {"FontSize", csFontSizeStructure, 2, DeckForm_FontSmall},
    {"FontSpacing", csNullStructure, 1, N},
    {"FontTransparent", csFontTransparentStructure, 1, DeckForm_FontSmall},
    {"TimeFontImage", csNullStructure, 1, N},
    {"TimeFontSize", csFontSizeStructure, 2, DeckForm_NumbersFont},
    {"TimeFontSpacing", csNullStructure, 1, N},
    {"TimeFontTransparent", csFontTransparentStructure, 1, DeckForm_NumbersFont},
    {"VolumeControlType", csNullStructure, 1, N},
    {"VolumeControlImage", csNullStructure, 1, N},
    {"VolumeControlImagePosition", csNullStructure, 1, N},
    {"VolumeControlImageXSize", csSliderImageXSizeStructure, 1, DeckForm_VolumeImage},
    {"VolumeControlImageNb", csSliderImageNbStructure, 1, DeckForm_VolumeImage},
    {"VolumeControlButton", csSliderStructure, 5, DeckForm_VolumeImage},
    {"SeekImage", csNullStructure, 1, N},
    {"SeekRegion", csPosSliderStructure, 4, DeckForm_PosBarImage},
    {"PitchText", csNullStructure, 4, N},
    {"PitchControlImage", csNullStructure, 1, N},
    {"PitchControlImageXSize", csSliderImageXSizeStructure, 1, DeckForm_PitchImage},
    {"PitchControlImageNb", csSliderImageNbStructure, 1, DeckForm_PitchImage},
    {"PitchControlButton", csSliderStructure, 5, DeckForm_PitchImage},
    {"PitchControlImagePosition", csNullStructure, 1, N},
    {"PitchFontImage", csNullStructure, 1, N},
    {"PitchFontSize", csNullStructure, 2, N},
    {"PitchFontSpacing", csNullStructure, 1, N},
    {"PitchFontTransparent", csNullStructure, 1, N},
    {"CloseButton", csButtonStructure, 6, DeckForm_CloseWindowButton},
    {"MinimizeButton", csButtonStructure, 6, DeckForm_MinimizeWindowButton},
    {"OpenFileButton", csButtonStructure, 6, DeckForm_EjectButton},
    {"StopButton", csButtonStructure, 6, DeckForm_StopButton},
    {"PlayButton", csButtonStructure, 6, DeckForm_PlayButton},
    {"PreviousSongButton", csButtonStructure, 6, DeckForm_BackwardButton},
    {"NextSongButton", csButtonStructure, 6, DeckForm_ForwardButton},
    {"PauseButton", csButtonStructure, 6, DeckForm_PauseButton},
    {"PreferencesButton", csButtonStructure, 6, DeckForm_MainMenuButton},
    {"EqualizerOnButton", csButtonStructure, 6, EqualizerForm_EQOnButton},
    {"RepeatButton", csButtonStructure, 6, DeckForm_RepeatButton},
    {"ShuffleButton", csButtonStructure, 6, DeckForm_ShuffleButton},
    {"PlaylistButton", csButtonStructure, 6, DeckForm_PLButton},
    {"AboutButton", csButtonStructure, 6, N},
    {"RewindButton", csButtonStructure, 6, N},
    {"ForwardButton", csButtonStructure, 6, N},
    {"EqualizerButton", csButtonStructure, 6, N},
    {"EqualizerResetButton", csButtonStructure, 6, N},
    {"EqualizerOffButton", csButtonStructure, 6, N},
    {"EqualizerWindow", csEqualizerBandImagesLeftTopStructure, 7, EqualizerForm_EQBand1Image},
    {"EqualizerBmp", csEqualizerBandImagesWidthAndNumImagesStructure, 3, EqualizerForm_EQBand1Image},
    {"InactiveZone", csNullStructure, 4, N},
    {"SpectrumAnalyzerButton", csNullStructure, 5, N},
    {"OscilloscopeButton", csNullStructure, 5, N},
    {"FilenameWindow", csTextWindowStructure, 4, DeckForm_SongArtistWindow},
    {"MP3KbpsWindow", csTextWindowStructure, 4, DeckForm_KbpsTextWindow},
    {"MP3KhzWindow", csTextWindowStructure, 4, DeckForm_KHzTextWindow},
    {"MP3TimeWindow", csTextWindowStructure, 4, DeckForm_SongCurrectPlayingTimeWindow},
    {"CurrentTrackWindow", csTextWindowStructure, 4, DeckForm_SongTitleWindow},
    {"MP3KbpsString", csNullStructure, 0, N},
    {"Mp3KhzString", csNullStructure, 0, N},
    {"AnalyzerWindow", csTextWindowStructure, 5, DeckForm_GraphicsEffectsCanvas},
    {"AnalyzerColor", csEqualizerAnalyzerColorStructure, 3, DeckForm_GraphicsEffectsCanvas},
    {"VolumeFontImage", csNullStructure, 1, N},
    {"VolumeFontSize", csNullStructure, 2, N},
    {"VolumeFontSpacing", csNullStructure, 1, N},
    {"VolumeFontTransparent", csNullStructure, 1, N},
    {"VolumeText", csNullStructure, 4, N},
    {"PlaylistBmp", csNullStructure, 1, N},
    {"PlaylistBmpPressed", csNullStructure, 1, N},
    {"PlaylistWindowText", csPlaylistListBoxStructure, 4, PlayListEditorForm_PLTitleBarLeftImage},
    {"PlaylistWindowFontName", csNullStructure, 1, N},
    {"PlaylistWindowFontSize", csNullStructure, 1, N},
    {"PlaylistWindowFontYSpacing", csNullStructure, 1, N},
    {"PlaylistWindowNbSelectedTrack", csTextWindowStructure, 4, PlayListEditorForm_PLTextWindow1},
    {"PlaylistWindowNbTotalTracks", csTextWindowStructure, 4, PlayListEditorForm_PLTextWindow2},
    {"PlaylistWindowLinkButton", csNullStructure, 4, N},
    {"PlaylistWindowCloseButton", csButtonStructure, 4, PlayListEditorForm_PLCloseWindowButton},
    {"PlaylistWindowUpButton", csNullStructure, 4, N},
    {"PlaylistWindowDownButton", csNullStructure, 4, N},
    {"PlaylistWindowShuffleButton", csNullStructure, 4, N},
    {"PlaylistWindowSortButton", csButtonStructure, 4, PlayListEditorForm_PLSortListButton},
    {"PlaylistWindowSortInverseButton", csNullStructure, 4, N},
    {"PlaylistWindowMinimizeButton", csNullStructure, 4, N},
    {"PlaylistWindowAddButton", csButtonStructure, 4, PlayListEditorForm_PLAddFilesButton},
    {"PlaylistWindowDelButton", csButtonStructure, 4, PlayListEditorForm_PLRemSelectedFilesButton},
    {"PlaylistWindowResetButton", csButtonStructure, 4, PlayListEditorForm_PLRemAllFilesButton},
    {"PlaylistWindowLoadPlaylistButton", csButtonStructure, 4, PlayListEditorForm_PLLoadListButton},
    {"PlaylistWindowSavePlaylistButton", csButtonStructure, 4, PlayListEditorForm_PLSaveListButton},
    {"PlaylistWindowSelectionUpButton", csButtonStructure, 4, PlayListEditorForm_PLListScrollUpButton},
    {"PlaylistWindowSelectionDownButton", csButtonStructure, 4, PlayListEditorForm_PLListScrollDownButton},
    {"PlaylistWindowAboutButton", csNullStructure, 4, N},
    {"PlaylistWindowPlayButton", csNullStructure, 4, N},
    {"PlaylistWindowPreviousButton", csNullStructure, 4, N},
    {"PlaylistWindowNextButton", csNullStructure, 4, N},
    {"PlaylistWindowPauseButton", csNullStructure, 4, N},
    {"PlaylistWindowStopButton", csNullStructure, 4, N},
    {"PlaylistWindowOpenButton", csNullStructure, 4, N},
    {"PlaylistWindowColor", csNullStructure, 3, N},
    {"PlaylistWindowCurrentTrackColor", csNullStructure, 3, N},
    {"PlaylistWindowCurrentSelectionColor", csNullStructure, 3, N},
}};

static_assert(kRows[KjofolSkinCommandCount - 1].Keyword != nullptr, "every row of the table is filled");

constexpr std::size_t kMaxAboutLines = 6;

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Parameters from the text with one blank appended: each is the text before the next
// blank; the blanks after it are skipped.
void SplitParameters(KJOFOL_SkinCommandRecord& row) {
  row.ParamsArray = {};
  std::string_view rest = row.CommandParameters;
  for (std::int32_t i = 0; i < row.ParamsNum && i < 7; ++i) {
    const auto blank = rest.find(' ');
    row.ParamsArray[static_cast<std::size_t>(i)] = std::string(rest.substr(0, blank));
    if (blank == std::string_view::npos) break;  // the appended blank ends the text
    rest.remove_prefix(blank + 1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.empty()) break;
  }
}

std::string ReadCapped(const std::string& path, std::size_t cap, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  if (!ok) return {};
  std::string text(cap, '\0');
  in.read(text.data(), static_cast<std::streamsize>(cap));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace

TKjofolSkinCommandTable NewKjofolSkinCommandTable() {
  TKjofolSkinCommandTable table;
  for (std::size_t i = 0; i < KjofolSkinCommandCount; ++i) {
    table[i].CommandString = kRows[i].Keyword;
    table[i].CommandStructure = kRows[i].Structure;
    table[i].KELDARSkinAffectedControl = kRows[i].Control;
    table[i].ParamsNum = kRows[i].Params;
  }
  return table;
}

TKjofolSkinCommandTable ParseKjofolSkinDescription(const std::vector<std::string>& lines) {
  TKjofolSkinCommandTable table = NewKjofolSkinCommandTable();
  std::array<std::string, KjofolSkinCommandCount> keys;
  for (std::size_t i = 0; i < KjofolSkinCommandCount; ++i) keys[i] = Upper(kRows[i].Keyword) + " ";
  std::vector<std::string> about;
  for (const std::string& line : lines) {
    const std::string upper = Upper(line) + " ";
    for (std::size_t i = 0; i < KjofolSkinCommandCount; ++i) {
      if (upper.compare(0, keys[i].size(), keys[i]) != 0) continue;
      std::string params = upper.substr(keys[i].size());
      if (!params.empty()) params.pop_back();  // the blank appended for matching (a bare keyword has none left)
      std::replace(params.begin(), params.end(), '\t', ' ');
      KJOFOL_SkinCommandRecord& row = table[i];
      row.CommandParameters = params;
      if (i == 0) {
        if (about.size() < kMaxAboutLines) about.push_back(params);
        row.ParamsNum = static_cast<std::int32_t>(about.size());
        for (std::size_t k = 0; k < about.size(); ++k) row.ParamsArray[k] = about[k];
      } else {
        row.CommandParameters += ' ';
        SplitParameters(row);
      }
    }
  }
  return table;
}

const KJOFOL_SkinCommandRecord* FindKjofolSkinCommand(const TKjofolSkinCommandTable& table, std::string_view keyword) {
  const std::string key = Upper(keyword);
  for (const auto& row : table)
    if (Upper(row.CommandString) == key) return &row;
  return nullptr;
}

void AppendKjofolLines(std::string_view text, std::vector<std::string>& lines) {
  while (!text.empty() && lines.size() < KjofolMaxLines) {
    const auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line.substr(0, KjofolMaxLineLength));
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
}

std::vector<std::string> ReadKjofolSkinDescriptionLines(const std::string& rcPath) {
  std::vector<std::string> lines;
  bool ok = false;
  const std::string text = ReadCapped(rcPath, KjofolMaxDescriptionBytes, ok);
  if (!ok) return lines;
  AppendKjofolLines(text, lines);
  const std::size_t own = lines.size();
  const auto slash = rcPath.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string("./") : rcPath.substr(0, slash + 1);
  std::size_t budget = KjofolMaxDescriptionBytes;  // all includes together
  for (std::size_t i = 0; i < own; ++i) {
    if (Upper(lines[i]).find("INCLUDERCFILE") == std::string::npos) continue;
    const std::string upper = Upper(lines[i]);
    const auto blank = upper.find(' ');
    if (blank == std::string::npos) continue;
    std::string name = upper.substr(blank + 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    const std::string path = FindSkinFileNoCase(folder, name);
    if (path.empty() || budget == 0) continue;
    bool read = false;
    const std::string included = ReadCapped(path, budget, read);
    if (!read) continue;
    budget -= included.size();
    AppendKjofolLines(included, lines);
  }
  return lines;
}
