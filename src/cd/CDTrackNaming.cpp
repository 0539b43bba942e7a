#include "cd/CDTrackNaming.h"

#include "cd/CDDialogHooks.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"
#include "util/VersionInfo.h"

void SetSomefreedbVariables(TCDDBConnect& connect, const std::string& InputClientName,
                            const std::string& InputClientVersion, std::string& InputUserEmail) {
  connect.ClientName = InputClientName;
  connect.ClientVersion = InputClientVersion;
  connect.SubmitMode = TSubmitMode::smHttpSubmit;
  const auto& ask = CDDialogHooks().InputText;
  while (InputUserEmail == KELDAR_FREEDB_DEFAULT_EMAIL || InputUserEmail.find('@') == std::string::npos) {
    const auto answer = ask ? ask("freedb User Login E-mail", "Enter a Valid E-mail for freedb user login", "")
                            : std::nullopt;
    // Cancel must end the prompt: an endless box would lock the user out of the player.
    if (!answer) break;
    InputUserEmail = *answer;
  }
  const size_t at = InputUserEmail.find('@');
  connect.UserName = TrimText(at == std::string::npos ? InputUserEmail : InputUserEmail.substr(0, at));
  connect.HostName = TrimText(at == std::string::npos ? std::string() : InputUserEmail.substr(at + 1));
}

void PrepareCDDBConnect(TCDDBConnect& connect) {
  std::string email = Options_freedbUserEmail.StringValue;
  SetSomefreedbVariables(connect, KELDAR_PRODUCT_NAME, KELDAR_PRODUCT_VERSION, email);
  Options_freedbUserEmail.StringValue = email;
  connect.LocalCDDBPath = IncludeTrailingPathDelimiter(ProgramFolder()) + "localcddatabase";
  connect.LocalCDArtWorkPath = IncludeTrailingPathDelimiter(ProgramFolder()) + "cdartwork/";
}

namespace {

// Disc ID and query of the drive into the entry; false without a disc.
bool ReadDiscIdentity(const std::string& locator, TCDDBEntry& entry) {
  const auto& slots = KELDAR_AUDIOVIDEO_API_Slots();
  if (!slots.GetCDDiscID) return false;
  entry.CDID = slots.GetCDDiscID(locator);
  entry.CDID_CDDB = KELDAR_AUDIOVIDEO_API_State().CDDiscIDText;
  return !entry.CDID.empty();
}

}  // namespace

bool NameCDTracksOfDrive(const std::string& driveRoot, bool freedbAllowed, TPlaylistCDDiscNames& names) {
  TCDDBEntry& entry = TheCDDBEntry();
  const std::string trackZero = IncludeTrailingPathDelimiter(driveRoot) + "Track00.CDA";
  if (!ReadDiscIdentity(trackZero, entry)) return false;
  TCDDBConnect& connect = TheCDDBConnect();
  PrepareCDDBConnect(connect);
  if (!connect.GetInfoForCurrentCDLocal(entry, true) && freedbAllowed && CDDialogHooks().RetrieveCDInformation)
    CDDialogHooks().RetrieveCDInformation();
  names.Artist = entry.ArtistTitle;
  names.Title = entry.CDTitle;
  names.Genre = entry.Genre;
  names.Year = entry.Year;
  names.TrackTitles = entry.Tracks;
  names.TrackLengths.clear();
  const auto& length = KELDAR_AUDIOVIDEO_API_Slots().GetFilePlaybackLength;
  const auto& list = KELDAR_AUDIOVIDEO_API_Slots().ListCDTracks;
  if (length && list) {
    std::vector<std::string> tracks;
    list(trackZero, tracks);
    for (const std::string& track : tracks) {
      const std::string file = ExtractFileName(track);
      int index = -1;
      if (file.size() >= 7) index = (file[5] - '0') * 10 + (file[6] - '0') - 1;
      if (index < 0 || index > 98) continue;
      if (names.TrackLengths.size() <= static_cast<size_t>(index)) names.TrackLengths.resize(static_cast<size_t>(index) + 1, 0);
      names.TrackLengths[static_cast<size_t>(index)] = static_cast<int32_t>(length(track));
    }
  }
  return true;
}

bool EditCDTrackInformation(const std::string& locator, bool freedbAllowed, const std::string& storedDiscId) {
  TCDDBEntry& entry = TheCDDBEntry();
  if (!storedDiscId.empty()) {
    entry.CDID = storedDiscId;
  } else if (!ReadDiscIdentity(locator, entry)) {
    entry.CDID.clear();
  }
  if (entry.CDID.empty()) {
    ShowMessage("NO CD in Drive");
    return false;
  }
  TCDDBConnect& connect = TheCDDBConnect();
  PrepareCDDBConnect(connect);
  if (connect.GetInfoForCurrentCDLocal(entry, false)) {
    if (entry.Edit()) {
      const std::string stored = connect.FindLocalEntryFile(entry.CDID);
      entry.CDID_CDDB = connect.CalculateCDID_CDDBFromXMCDFile(stored);
      connect.SubmitEntry(entry);
    }
    return false;
  }
  if (freedbAllowed && CDDialogHooks().RetrieveCDInformation) return CDDialogHooks().RetrieveCDInformation();
  return false;
}

void InstallCDPlaylistHooks() {
  PlaylistHooks().NameCDTracks = NameCDTracksOfDrive;
  PlaylistHooks().ListCDTracks = [](const std::string& trackZero) {
    std::vector<std::string> tracks;
    if (const auto& list = KELDAR_AUDIOVIDEO_API_Slots().ListCDTracks) list(trackZero, tracks);
    return tracks;
  };
}
