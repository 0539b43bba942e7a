// Audio CDs: naming a 99-track disc image from the local store (target: under 20 ms), and
// the CPU the digital track path takes against a WAV file of the same sound (target: no
// more than the WAV). Exit status 1 when a target is missed.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "cd/CDTrackNaming.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "kaudio.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"

namespace fs = std::filesystem;

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Milliseconds(const std::function<void()>& work) {
  const auto t0 = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Decodes a whole channel as float samples; returns the CPU seconds it took.
double DecodeCpu(KAUDIO_DWORD handle) {
  std::vector<float> buffer(44100);
  const double start = CpuSeconds();
  while (KAUDIO_ChannelGetData(handle, buffer.data(), static_cast<KAUDIO_DWORD>(buffer.size() * 4) | KAUDIO_DATA_FLOAT) !=
         static_cast<KAUDIO_DWORD>(-1)) {
  }
  return CpuSeconds() - start;
}

}  // namespace

int main() {
  TTempFolder folder;
  SetProgramFolderForTesting(folder.Path());
  setenv("KELDAR_MESSAGE_LOG", (folder / "messages.log").c_str(), 1);
  BASSAPI_SetOutputDevice(0);
  RegisterBASSAPIBackend();
  SelectAudioAPI(1);
  KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction();
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
  InstallCDPlaylistHooks();
  Options_freedbUserEmail.StringValue = "bench@example.org";
  bool ok = true;

  // A 99-track disc: one second a track, its entry in the store.
  const std::string bin = folder / "big.bin";
  { std::ofstream(bin, std::ios::binary); }
  fs::resize_file(bin, 99ull * 75 * 2352);
  std::string cue = "FILE \"big.bin\" BINARY\n";
  for (int t = 0; t < 99; ++t) {
    char line[80];
    std::snprintf(line, sizeof line, "TRACK %02d AUDIO\nINDEX 01 %02d:%02d:00\n", t + 1, t / 60, t % 60);
    cue += line;
  }
  WriteTextFile(folder / "big.cue", cue);
  const std::string disc = folder / "big.cue";
  const std::string id = KELDAR_AUDIOVIDEO_API_Slots().GetCDDiscID(disc + "/Track00.CDA");
  const std::string query = KELDAR_AUDIOVIDEO_API_State().CDDiscIDText;
  {
    TCDDBEntry entry;
    entry.CDID = id;
    entry.CDID_CDDB = query;
    entry.ArtistTitle = "Bench Artist";
    entry.CDTitle = "Bench Album";
    for (int t = 0; t < 99; ++t) entry.Tracks.push_back("Title " + std::to_string(t + 1));
    entry.Category = "rock";
    auto record = entry.BuildXMCDRecord();
    record.insert(record.begin(), "200 rock " + id);
    record.push_back(".");
    entry.XMCDRecordRawData = record;
    TCDDBConnect store;
    store.LocalCDDBPath = folder / "localcddatabase";
    store.SaveCurrentCDDataLocal(entry);
  }
  std::vector<std::string> tracks;
  KELDAR_AUDIOVIDEO_API_Slots().ListCDTracks(disc + "/Track00.CDA", tracks);
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    TPlaylist list;
    for (const std::string& t : tracks) {
      TPlayListBoxItem item;
      item.FullPathAndFilename = t;
      list.Add(std::move(item));
    }
    best = std::min(best, Milliseconds([&] { NameCDTrackEntries(list, false); }));
    if (list.Item(98).TitleName != "Title 99" || list.Item(98).FilePlaybackLength != 1) {
      std::printf("naming: wrong result (%s)\n", list.Item(98).TitleName.c_str());
      ok = false;
    }
  }
  std::printf("naming a 99-track disc from the local store: %.2f ms (target < 20 ms)\n", best);
  ok = ok && best < 20;

  // The same minute of sound as a CD track and as a WAV file.
  const std::string images = folder / "img";
  std::system(("'" + std::string(KELDAR_SOURCE_DIR) + "/scripts/make-cd-image' '" + images + "' tone plain").c_str());
  const std::string wav = folder / "tone.wav";
  std::system(("sox -q -t raw -r 44100 -c 2 -b 16 -e signed-integer -L '" + images + "/tone.bin' '" + wav + "'").c_str());
  double cdCpu = 0, wavCpu = 0;
  for (int round = 0; round < 20; ++round) {
    const int drive = KAUDIO_CD_DriveFromPath((images + "/tone.cue").c_str());
    for (KAUDIO_DWORD t = 0; t < 3; ++t) {
      const KAUDIO_DWORD cd = KAUDIO_CD_StreamCreate(drive, t, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
      cdCpu += DecodeCpu(cd);
      KAUDIO_StreamFree(cd);
    }
    const KAUDIO_DWORD file = KAUDIO_StreamCreateFile(0, wav.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
    wavCpu += DecodeCpu(file);
    KAUDIO_StreamFree(file);
  }
  std::printf("decoding 20 x 12.6 s: CD tracks %.1f ms CPU, WAV file %.1f ms CPU (target: CD <= WAV)\n",
              cdCpu * 1000, wavCpu * 1000);
  ok = ok && cdCpu <= wavCpu * 1.05;
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  return ok ? 0 : 1;
}
