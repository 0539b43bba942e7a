#include "audio/CdDisc.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <kaudio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <fstream>
#include <sstream>
#include <vector>

#include "audio/CueSheet.h"

namespace kaudio {

namespace {

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

// Sheets already read, so that listing a disc's tracks and their lengths reads its sheet
// once. An entry counts while the sheet and the files it names keep their size and time.
struct SheetStamp {
  std::uintmax_t size = 0;
  std::filesystem::file_time_type time{};
  bool operator==(const SheetStamp&) const = default;
};

bool Stamp(const std::filesystem::path& file, SheetStamp* stamp) {
  std::error_code ec;
  stamp->size = std::filesystem::file_size(file, ec);
  if (ec) return false;
  stamp->time = std::filesystem::last_write_time(file, ec);
  return !ec;
}

struct CachedImage {
  SheetStamp sheet;
  std::vector<SheetStamp> files;
  std::shared_ptr<const CueImage> image;
};

std::shared_ptr<const CueImage> CachedSheet(const std::string& path, const std::filesystem::path& folder,
                                            int* error) {
  static std::mutex mutex;
  static std::map<std::string, CachedImage> cache;
  SheetStamp sheet;
  if (!Stamp(path, &sheet)) {
    *error = KAUDIO_ERROR_FILEOPEN;
    return nullptr;
  }
  {
    std::lock_guard lock(mutex);
    auto it = cache.find(path);
    if (it != cache.end() && it->second.sheet == sheet) {
      bool same = it->second.files.size() == it->second.image->files.size();
      for (size_t i = 0; same && i < it->second.files.size(); ++i) {
        SheetStamp now;
        same = Stamp(folder / it->second.image->files[i], &now) && now == it->second.files[i];
      }
      if (same) return it->second.image;
    }
  }
  if (sheet.size > kCueSheetMaxBytes) {
    *error = KAUDIO_ERROR_FILEFORM;
    return nullptr;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = KAUDIO_ERROR_FILEOPEN;
    return nullptr;
  }
  std::stringstream text;
  text << in.rdbuf();
  CachedImage entry;
  entry.sheet = sheet;
  auto image = ParseCueSheet(text.str(), [&](const std::string& name) -> int64_t {
    const std::filesystem::path file = folder / name;
    std::error_code fec;
    SheetStamp stamp;
    if (!std::filesystem::is_regular_file(file, fec) || !Stamp(file, &stamp)) return -1;
    entry.files.push_back(stamp);
    return static_cast<int64_t>(stamp.size / kCdSectorBytes);
  });
  if (!image) {
    *error = KAUDIO_ERROR_FILEFORM;
    return nullptr;
  }
  entry.image = std::make_shared<const CueImage>(std::move(*image));
  std::lock_guard lock(mutex);
  // A long session with many images keeps only the recent ones.
  if (cache.size() >= 64) cache.clear();
  cache[path] = entry;
  return entry.image;
}

class CueDisc final : public CdDisc {
 public:
  static std::unique_ptr<CdDisc> Open(const std::string& path, int* error) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    auto image = CachedSheet(path, folder, error);
    if (!image) return nullptr;
    auto disc = std::unique_ptr<CueDisc>(new CueDisc);
    disc->toc_ = image->toc;
    disc->segments_ = image->segments;
    for (const std::string& name : image->files) {
      std::FILE* f = std::fopen((folder / name).string().c_str(), "rb");
      if (!f) {
        *error = KAUDIO_ERROR_FILEOPEN;
        return nullptr;
      }
      disc->files_.emplace_back(f);
    }
    return disc;
  }

  bool ReadAudio(int64_t start, uint32_t count, uint8_t* out) override {
    int64_t sector = start;
    const int64_t end = start + count;
    // Segments are in disc order; find the one holding the first sector.
    auto it = std::upper_bound(segments_.begin(), segments_.end(), sector,
                               [](int64_t s, const CueSegment& seg) { return s < seg.start; });
    if (it == segments_.begin()) return false;
    --it;
    while (sector < end) {
      if (it == segments_.end() || sector < it->start || sector >= it->start + it->count) return false;
      const int64_t run = std::min(end, it->start + it->count) - sector;
      uint8_t* dst = out + (sector - start) * kCdSectorBytes;
      const size_t bytes = static_cast<size_t>(run) * kCdSectorBytes;
      if (it->file < 0) {
        std::memset(dst, 0, bytes);
      } else {
        std::FILE* f = files_[static_cast<size_t>(it->file)].get();
        const int64_t offset = (it->fileSector + (sector - it->start)) * kCdSectorBytes;
        if (fseeko(f, offset, SEEK_SET) != 0) return false;
        const size_t got = std::fread(dst, 1, bytes, f);
        // A file that shrank since it was opened reads as silence rather than garbage.
        if (got < bytes) std::memset(dst + got, 0, bytes - got);
      }
      sector += run;
      ++it;
    }
    return true;
  }

 private:
  std::vector<CueSegment> segments_;
  std::vector<std::unique_ptr<std::FILE, FileCloser>> files_;
};

class CdioDisc final : public CdDisc {
 public:
  static std::unique_ptr<CdDisc> Open(const std::string& path, int* error) {
    CdIo_t* cdio = cdio_open(path.c_str(), DRIVER_UNKNOWN);
    if (!cdio) {
      *error = KAUDIO_ERROR_DEVICE;
      return nullptr;
    }
    auto disc = std::unique_ptr<CdioDisc>(new CdioDisc(cdio));
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 ||
        count > kCdMaxTracks) {
      *error = KAUDIO_ERROR_NOTAVAIL;
      return nullptr;
    }
    for (track_t t = first; t < first + count; ++t) {
      const lsn_t lsn = cdio_get_track_lsn(cdio, t);
      if (lsn == CDIO_INVALID_LSN) {
        *error = KAUDIO_ERROR_NOTAVAIL;
        return nullptr;
      }
      disc->toc_.tracks.push_back({t, cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO, lsn});
    }
    disc->toc_.leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (disc->toc_.leadout == CDIO_INVALID_LSN || disc->toc_.leadout <= disc->toc_.tracks.back().start) {
      *error = KAUDIO_ERROR_NOTAVAIL;
      return nullptr;
    }
    // A real drive reads through paranoia; an image through libcdio's own reader.
    if (cdio_get_driver_id(cdio) != DRIVER_BINCUE && cdio_get_driver_id(cdio) != DRIVER_CDRDAO &&
        cdio_get_driver_id(cdio) != DRIVER_NRG) {
      disc->drive_ = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
      if (disc->drive_ && cdio_cddap_open(disc->drive_) == 0) {
        disc->paranoia_ = cdio_paranoia_init(disc->drive_);
        if (disc->paranoia_) cdio_paranoia_modeset(disc->paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
      }
    }
    return disc;
  }

  ~CdioDisc() override {
    if (paranoia_) cdio_paranoia_free(paranoia_);
    if (drive_) cdio_cddap_close_no_free_cdio(drive_);
    cdio_destroy(cdio_);
  }

  bool ReadAudio(int64_t start, uint32_t count, uint8_t* out) override {
    if (paranoia_) {
      if (next_ != start) cdio_paranoia_seek(paranoia_, static_cast<int32_t>(start), SEEK_SET);
      for (uint32_t i = 0; i < count; ++i) {
        const int16_t* sector = cdio_paranoia_read(paranoia_, nullptr);
        if (!sector) {
          next_ = -1;
          return false;
        }
        std::memcpy(out + static_cast<size_t>(i) * kCdSectorBytes, sector, kCdSectorBytes);
      }
      next_ = start + count;
      return true;
    }
    return cdio_read_audio_sectors(cdio_, out, static_cast<lsn_t>(start), count) == DRIVER_OP_SUCCESS;
  }

 private:
  explicit CdioDisc(CdIo_t* cdio) : cdio_(cdio) {}
  CdIo_t* cdio_;
  cdrom_drive_t* drive_ = nullptr;
  cdrom_paranoia_t* paranoia_ = nullptr;
  int64_t next_ = -1;
};

}  // namespace

bool IsCdImagePath(const std::string& path) {
  const std::string ext = LowerExtension(path);
  return ext == ".cue";
}

std::unique_ptr<CdDisc> CdDisc::Open(const std::string& path, int* error) {
  *error = 0;
  if (LowerExtension(path) == ".cue") return CueDisc::Open(path, error);
  return CdioDisc::Open(path, error);
}

}  // namespace kaudio
