// The audio CD calls: the drive table, tables of contents, disc IDs, digital tracks and the
// drives' analog playback.
#include <cdio/cdio.h>
#include <cdio/audio.h>
#include <cdio/device.h>
#include <cdio/mmc.h>
#include <kaudio.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

#include "audio/CdDisc.h"
#include "audio/CdSource.h"
#include "audio/ChannelPublish.h"
#include "audio/Errors.h"
#include "audio/Library.h"

using namespace kaudio;

namespace {

struct DriveTable {
  std::mutex mutex;
  bool scanned = false;
  std::vector<std::string> paths;
  std::map<uint32_t, CdIo_t*> analog;  // drives opened for analog playback
};

DriveTable& Drives() {
  static DriveTable table;
  return table;
}

// The system's drives, found once: /dev/sr0, /dev/sr1, ... in number order.
void ScanSystemDrives(DriveTable& t) {
  if (t.scanned) return;
  t.scanned = true;
  std::vector<std::pair<int, std::string>> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() < 3 || name.compare(0, 2, "sr") != 0) continue;
    if (!std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
    if (name.size() > 6) continue;
    found.emplace_back(std::stoi(name.substr(2)), entry.path().string());
  }
  std::sort(found.begin(), found.end());
  for (auto& f : found) t.paths.push_back(f.second);
}

bool DrivePath(uint32_t drive, std::string* path) {
  DriveTable& t = Drives();
  std::lock_guard lock(t.mutex);
  ScanSystemDrives(t);
  if (drive >= t.paths.size()) return false;
  *path = t.paths[drive];
  return true;
}

std::unique_ptr<CdDisc> OpenDrive(uint32_t drive) {
  std::string path;
  if (!DrivePath(drive, &path)) return Fail(KAUDIO_ERROR_DEVICE);
  int error = 0;
  auto disc = CdDisc::Open(path, &error);
  if (!disc) {
    // A device that answers but holds no readable disc.
    SetError(error == KAUDIO_ERROR_FILEFORM || error == KAUDIO_ERROR_FILEOPEN ? error : KAUDIO_ERROR_NOCD);
    return nullptr;
  }
  SetError(0);
  return disc;
}

thread_local std::string g_text[4];

// The drive's handle for analog playback, opened on first use; images have none.
CdIo_t* AnalogHandle(uint32_t drive) {
  std::string path;
  if (!DrivePath(drive, &path)) return Fail(KAUDIO_ERROR_DEVICE);
  if (IsCdImagePath(path)) return Fail(KAUDIO_ERROR_NOTAVAIL);
  DriveTable& t = Drives();
  std::lock_guard lock(t.mutex);
  auto it = t.analog.find(drive);
  if (it != t.analog.end()) return it->second;
  CdIo_t* cdio = cdio_open(path.c_str(), DRIVER_DEVICE);
  if (!cdio) return Fail(KAUDIO_ERROR_DEVICE);
  t.analog[drive] = cdio;
  return cdio;
}

}  // namespace

extern "C" {

KAUDIO_BOOL KAUDIO_CD_GetInfo(KAUDIO_DWORD drive, KAUDIO_CD_INFO* info) {
  std::string path;
  if (!info || !DrivePath(drive, &path)) return Fail(KAUDIO_ERROR_DEVICE);
  *info = {};
  g_text[0] = path;
  g_text[1].clear();
  g_text[2].clear();
  g_text[3].clear();
  info->image = IsCdImagePath(path);
  if (info->image) {
    g_text[1] = "Keldar";
    g_text[2] = "Disc image";
    g_text[3] = "1.0";
    info->rwflags = 0x1 | 0x2 | 0x1000000;
  } else {
    cdio_drive_read_cap_t read = 0;
    cdio_drive_write_cap_t write = 0;
    cdio_drive_misc_cap_t misc = 0;
    cdio_get_drive_cap_dev(path.c_str(), &read, &write, &misc);
    if (read & CDIO_DRIVE_CAP_READ_CD_R) info->rwflags |= 0x1;
    if (read & CDIO_DRIVE_CAP_READ_CD_RW) info->rwflags |= 0x2;
    if (read & CDIO_DRIVE_CAP_READ_DVD_ROM) info->rwflags |= 0x8;
    if (read & CDIO_DRIVE_CAP_READ_DVD_R) info->rwflags |= 0x10;
    if (read & CDIO_DRIVE_CAP_READ_DVD_RAM) info->rwflags |= 0x20;
    if (read & CDIO_DRIVE_CAP_READ_MODE2_FORM1) info->rwflags |= 0x100000;
    if (read & CDIO_DRIVE_CAP_READ_MODE2_FORM2) info->rwflags |= 0x200000;
    if (misc & CDIO_DRIVE_CAP_MISC_MULTI_SESSION) info->rwflags |= 0x400000;
    if (read & CDIO_DRIVE_CAP_READ_CD_DA) info->rwflags |= 0x1000000;
    if (read & CDIO_DRIVE_CAP_READ_MCN) info->rwflags |= 0x40000000;
    info->analog = (read & CDIO_DRIVE_CAP_READ_AUDIO) != 0;
    if (CdIo_t* cdio = cdio_open(path.c_str(), DRIVER_DEVICE)) {
      cdio_hwinfo_t hw{};
      if (cdio_get_hwinfo(cdio, &hw)) {
        g_text[1] = hw.psz_vendor;
        g_text[2] = hw.psz_model;
        g_text[3] = hw.psz_revision;
      }
      cdio_destroy(cdio);
    }
  }
  info->path = g_text[0].c_str();
  info->vendor = g_text[1].c_str();
  info->product = g_text[2].c_str();
  info->rev = g_text[3].c_str();
  SetError(0);
  return 1;
}

int KAUDIO_CD_DriveFromPath(const char* path) {
  if (!path || !*path) { SetError(KAUDIO_ERROR_ILLPARAM); return -1; }
  std::string wanted(path);
  while (wanted.size() > 1 && wanted.back() == '/') wanted.pop_back();
  DriveTable& t = Drives();
  std::lock_guard lock(t.mutex);
  ScanSystemDrives(t);
  for (size_t i = 0; i < t.paths.size(); ++i)
    if (t.paths[i] == wanted) return static_cast<int>(i);
  std::error_code ec;
  const bool image = IsCdImagePath(wanted) && std::filesystem::is_regular_file(wanted, ec);
  const bool device = std::filesystem::is_block_file(wanted, ec);
  if (!image && !device) {
    SetError(KAUDIO_ERROR_DEVICE);
    return -1;
  }
  // Enough for any session; a runaway caller cannot grow the table without bound.
  if (t.paths.size() >= 1024) {
    SetError(KAUDIO_ERROR_MEM);
    return -1;
  }
  t.paths.push_back(wanted);
  SetError(0);
  return static_cast<int>(t.paths.size() - 1);
}

KAUDIO_BOOL KAUDIO_CD_IsReady(KAUDIO_DWORD drive) { return OpenDrive(drive) ? 1 : 0; }

KAUDIO_DWORD KAUDIO_CD_GetTracks(KAUDIO_DWORD drive) {
  auto disc = OpenDrive(drive);
  if (!disc) return static_cast<KAUDIO_DWORD>(-1);
  return static_cast<KAUDIO_DWORD>(disc->Toc().tracks.size());
}

KAUDIO_DWORD KAUDIO_CD_GetTrackLength(KAUDIO_DWORD drive, KAUDIO_DWORD track) {
  auto disc = OpenDrive(drive);
  if (!disc) return static_cast<KAUDIO_DWORD>(-1);
  const CdToc& toc = disc->Toc();
  if (track >= toc.tracks.size()) { SetError(KAUDIO_ERROR_CDTRACK); return static_cast<KAUDIO_DWORD>(-1); }
  if (!toc.tracks[track].audio) { SetError(KAUDIO_ERROR_NOTAUDIO); return static_cast<KAUDIO_DWORD>(-1); }
  return static_cast<KAUDIO_DWORD>(toc.TrackSectors(track) * kCdSectorBytes);
}

const char* KAUDIO_CD_GetID(KAUDIO_DWORD drive, KAUDIO_DWORD id) {
  if (id != KAUDIO_CDID_CDDB) { SetError(KAUDIO_ERROR_ILLPARAM); return nullptr; }
  auto disc = OpenDrive(drive);
  if (!disc) return nullptr;
  g_text[0] = disc->Toc().FreedbQuery();
  return g_text[0].c_str();
}

KAUDIO_HSTREAM KAUDIO_CD_StreamCreate(KAUDIO_DWORD drive, KAUDIO_DWORD track, KAUDIO_DWORD flags) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  std::string path;
  if (!DrivePath(drive, &path)) return Fail(KAUDIO_ERROR_DEVICE);
  int error = 0;
  auto src = CdSource::Open(path, track, &error);
  if (!src) return Fail(error == KAUDIO_ERROR_ILLPARAM ? KAUDIO_ERROR_CDTRACK : error);
  char name[16];
  std::snprintf(name, sizeof name, "/Track%02u.cda", track + 1);
  return PublishChannel(std::move(src), flags, KAUDIO_CTYPE_STREAM_CD, path + name, 0);
}

KAUDIO_BOOL KAUDIO_CD_Analog_Play(KAUDIO_DWORD drive, KAUDIO_DWORD track, KAUDIO_DWORD pos) {
  auto disc = OpenDrive(drive);
  if (!disc) return 0;
  const CdToc& toc = disc->Toc();
  if (track >= toc.tracks.size()) return Fail(KAUDIO_ERROR_CDTRACK);
  if (!toc.tracks[track].audio) return Fail(KAUDIO_ERROR_NOTAUDIO);
  if (pos >= toc.TrackSectors(track)) return Fail(KAUDIO_ERROR_POSITION);
  CdIo_t* cdio = AnalogHandle(drive);
  if (!cdio) return 0;
  msf_t start{}, end{};
  cdio_lsn_to_msf(static_cast<lsn_t>(toc.tracks[track].start + pos), &start);
  cdio_lsn_to_msf(static_cast<lsn_t>(toc.tracks[track].start + toc.TrackSectors(track) - 1), &end);
  if (cdio_audio_play_msf(cdio, &start, &end) != DRIVER_OP_SUCCESS) return Fail(KAUDIO_ERROR_NOTAVAIL);
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_CD_Analog_Stop(KAUDIO_DWORD drive) {
  CdIo_t* cdio = AnalogHandle(drive);
  if (!cdio) return 0;
  if (cdio_audio_stop(cdio) != DRIVER_OP_SUCCESS) return Fail(KAUDIO_ERROR_NOTAVAIL);
  SetError(0);
  return 1;
}

KAUDIO_DWORD KAUDIO_CD_Analog_IsActive(KAUDIO_DWORD drive) {
  CdIo_t* cdio = AnalogHandle(drive);
  if (!cdio) return KAUDIO_ACTIVE_STOPPED;
  cdio_subchannel_t sub{};
  if (cdio_audio_read_subchannel(cdio, &sub) != DRIVER_OP_SUCCESS) return KAUDIO_ACTIVE_STOPPED;
  if (sub.audio_status == CDIO_MMC_READ_SUB_ST_PLAY) return KAUDIO_ACTIVE_PLAYING;
  if (sub.audio_status == CDIO_MMC_READ_SUB_ST_PAUSED) return KAUDIO_ACTIVE_PAUSED;
  return KAUDIO_ACTIVE_STOPPED;
}

KAUDIO_DWORD KAUDIO_CD_Analog_GetPosition(KAUDIO_DWORD drive) {
  CdIo_t* cdio = AnalogHandle(drive);
  if (!cdio) return static_cast<KAUDIO_DWORD>(-1);
  cdio_subchannel_t sub{};
  if (cdio_audio_read_subchannel(cdio, &sub) != DRIVER_OP_SUCCESS)
    { SetError(KAUDIO_ERROR_NOTAVAIL); return static_cast<KAUDIO_DWORD>(-1); }
  const lba_t frames = cdio_msf_to_lba(&sub.rel_addr);
  const KAUDIO_DWORD track = sub.track > 0 ? static_cast<KAUDIO_DWORD>(sub.track - 1) : 0;
  SetError(0);
  return (track << 16) | (static_cast<KAUDIO_DWORD>(frames) & 0xffff);
}

}  // extern "C"
