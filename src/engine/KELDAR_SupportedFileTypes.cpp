#include "engine/KELDAR_SupportedFileTypes.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "kaudio.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"

namespace {

// Our audio library stands where the original handler names were.
const char kLibraryHandler[] = "libkaudio.so";
const char kVideoHandler[] = "GStreamer";
const char kPlaylistHandler[] = "Built-in plugin ";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string UpperExtension(const std::string& name) { return Upper(ExtractFileExt(name)); }

std::string Masks(const std::vector<int>& types) {
  std::string out;
  for (int t : types)
    for (const auto& row : SupportedFileTypes().Rows)
      if (row->FileMediaType == t) out += "*" + row->FileExtension + ";";
  return out;
}

std::string List(const std::vector<int>& types) {
  std::string out;
  for (int t : types)
    for (const auto& row : SupportedFileTypes().Rows)
      if (row->FileMediaType == t) out += row->FileDescription + "|*" + row->FileExtension + "|";
  return out;
}

}  // namespace

TSupportedFileTypes& SupportedFileTypes() {
  static TSupportedFileTypes table;
  return table;
}

std::function<std::vector<TInputPluginFormats>()>& InputPluginFormatsProvider() {
  static std::function<std::vector<TInputPluginFormats>()> provider;
  return provider;
}

std::function<bool(const std::string&)>& VideoRenderTest() {
  static std::function<bool(const std::string&)> test;
  return test;
}

std::string AudioLibraryVersionText(std::uint32_t version) {
  return std::to_string((version >> 24) & 0xFF) + "." + std::to_string((version >> 16) & 0xFF) +
         "." + std::to_string((version >> 8) & 0xFF) + "." + std::to_string(version & 0xFF);
}

void AddSupportedFileType(const std::string& extension, KELDAR_AUDIOVIDEO_API_MediaFileType type,
                          const std::string& handler, const std::string& version,
                          const std::string& description) {
  auto row = std::make_unique<TSupportedFileTypeStructure>();
  row->FileExtension = extension;
  row->FileMediaType = type;
  row->FilePlaybackDLL = handler;
  row->FilePlaybackDLLVersion = version;
  row->FileDescription = description;
  SupportedFileTypes().Rows.push_back(std::move(row));
}

bool AddSupportedFileTypeChecked(const std::string& extension,
                                 KELDAR_AUDIOVIDEO_API_MediaFileType type,
                                 const std::string& handler, const std::string& version,
                                 const std::string& description) {
  if (IsFileExtensionSupported(extension)) return false;
  AddSupportedFileType(extension, type, handler, version, description);
  return true;
}

void AddAudioAddOnFormats(const std::string& fileName, const KAUDIO_PLUGININFO& info) {
  const std::string version = AudioLibraryVersionText(info.version);
  for (KAUDIO_DWORD f = 0; f < info.formatc && info.formats; ++f) {
    const KAUDIO_PLUGINFORM& form = info.formats[f];
    const std::string name = form.name ? form.name : "";
    std::string list = std::string(form.exts ? form.exts : "") + ";";
    size_t start = 0;
    for (size_t cut = list.find(';'); cut != std::string::npos; cut = list.find(';', start)) {
      const std::string mask = list.substr(start, cut - start);
      start = cut + 1;
      const std::string extension = mask.empty() ? std::string() : Upper(mask.substr(1));
      if (extension.empty()) continue;
      AddSupportedFileTypeChecked(extension, KELDAR_AUDIOVIDEO_API_mtStream, fileName, version,
                                  name + " (" + mask + ")");
    }
  }
}

void AddInputPluginFormats(const TInputPluginFormats& plugin) {
  for (const auto& format : plugin.Formats) {
    KELDAR_AUDIOVIDEO_API_MediaFileType type;
    switch (format.Type) {
      case 0: type = KELDAR_AUDIOVIDEO_API_mtzpInputStream; break;
      case 1: type = KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST; break;
      case 2: type = KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES; break;
      default: continue;
    }
    const std::string extension = Upper(format.FormatExtension);
    if (extension.empty()) continue;
    AddSupportedFileTypeChecked(extension, type, plugin.FileName, plugin.Version,
                                format.FormatDescription + " (*" + format.FormatExtension + ")");
  }
}

void BuildSupportedFileTypes() {
  const std::string libVersion = AudioLibraryVersionText(KAUDIO_GetVersion());
  AddSupportedFileType(".CDA", KELDAR_AUDIOVIDEO_API_mtCDTrack, kLibraryHandler, " ",
                       "CDDA Audio Tracks (*.cda)");
  const std::pair<const char*, const char*> streams[] = {
      {".MP3", "MPEG Audio Files Layer III (*.mp3)"}, {".MP2", "MPEG Audio Files Layer II (*.mp2)"},
      {".MP1", "MPEG Audio Files Layer I (*.mp1)"},   {".OGG", "Ogg Vorbis Files (*.ogg)"},
      {".WAV", "Windows Audio Files (*.wav)"}};
  for (const auto& [ext, text] : streams)
    AddSupportedFileType(ext, KELDAR_AUDIOVIDEO_API_mtStream, kLibraryHandler, libVersion, text);

  // Audio add-ons beside the program: loaded only to read their format lists.
  std::error_code ec;
  std::vector<std::filesystem::path> addOns;
  for (const auto& entry : std::filesystem::directory_iterator(ExecutableFolder(), ec)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind("kaudio_", 0) == 0 && file.size() > 10 &&
        file.compare(file.size() - 3, 3, ".so") == 0)
      addOns.push_back(entry.path());
  }
  std::sort(addOns.begin(), addOns.end());
  for (const auto& path : addOns) {
    KAUDIO_HPLUGIN handle = KAUDIO_PluginLoad(path.string().c_str(), 0);
    if (!handle) continue;
    if (const KAUDIO_PLUGININFO* info = KAUDIO_PluginGetInfo(handle))
      AddAudioAddOnFormats(path.filename().string(), *info);
    KAUDIO_PluginFree(handle);
  }

  const std::pair<const char*, const char*> modules[] = {
      {".XM", "Fast Tracker Modules (*.xm)"},   {".MOD", "Protracker Modules (*.mod)"},
      {".S3M", "Scream Tracker Modules (*.s3m)"}, {".IT", "Impulse Tracker Modules (*.it)"},
      {".MO3", "MO3 Encoder Files (*.mo3)"},    {".MTM", "Multi Tracker Modules (*.mtm)"},
      {".UMX", "Unreal music Files (*.umx)"}};
  for (const auto& [ext, text] : modules)
    AddSupportedFileType(ext, KELDAR_AUDIOVIDEO_API_mtMOD, kLibraryHandler, libVersion, text);
  const std::pair<const char*, const char*> videos[] = {
      {".MIDI", "MIDI Files (*.MIDI)"},
      {".MID", "MIDI Files (*.MID)"},
      {".RMI", "RMID MIDI Files (*.RMI)"},
      {".KAR", "Karaoke MIDI Files (*.KAR)"},
      {".AIFF", "Macintosh Files (*.aiff)"},
      {".AIF", "Macintosh Files (*.aif)"},
      {".AU", "Sun Audio Files (*.au)"},
      {".SND", "Sun Audio Files (*.snd)"},
      {".AVI", "Audio-Video Interleaved (*.avi)"},
      {".MPG", "Motion Picture Experts Group (*.mpg)"},
      {".MPEG", "Motion Picture Experts Group (*.mpeg)"},
      {".MOV", "Quicktime Movie (version 2 and lower) (*.mov)"},
      {".ASF", "Advanced Streaming Format (*.asf)"},
      {".WMV", "Windows Media Video Files (*.wmv)"},
      {".VOB", "DVD Video Object Files (*.vob)"},
      {".AOB", "DVD Audio Object Files (*.aob)"},
      {".IFO", "DVD InFOrmation files (*.ifo)"},
      {".DAT", "Video CD Files (*.dat)"}};
  for (const auto& [ext, text] : videos)
    AddSupportedFileType(ext, KELDAR_AUDIOVIDEO_API_mtVIDEOStream, kVideoHandler, " ", text);

  AddSupportedFileType(".ZPL", KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST, kPlaylistHandler, " ",
                       "Zorvane Audio Player PlayList (*.zpl)");

  if (InputPluginFormatsProvider())
    for (const auto& plugin : InputPluginFormatsProvider()()) AddInputPluginFormats(plugin);
}

void ClearSupportedFileTypes() {
  auto& rows = SupportedFileTypes().Rows;
  while (!rows.empty()) rows.pop_back();
}

KELDAR_AUDIOVIDEO_API_MediaFileType GetMediaFileType(const std::string& name) {
  if (IsURL(name)) return KELDAR_AUDIOVIDEO_API_mtShoutcastStream;
  const std::string upperName = Upper(name);
  auto& rows = SupportedFileTypes().Rows;
  for (const auto& row : rows)
    if (row->FileMediaType == KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES &&
        upperName.find(row->FileExtension) != std::string::npos)
      return KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES;
  std::string extension = UpperExtension(name);
  if (extension == ".TEMP") extension = UpperExtension(name.substr(0, name.size() - 5));
  if (!rows.empty())
    rows.front()->FileMediaType = Options_CDPlaybackMethod.IntegerValue == 1
                                      ? KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack
                                      : KELDAR_AUDIOVIDEO_API_mtCDTrack;
  if (!extension.empty())
    for (const auto& row : rows)
      if (row->FileExtension == extension) return row->FileMediaType;
  if (VideoRenderTest() && VideoRenderTest()(name)) return KELDAR_AUDIOVIDEO_API_mtVIDEOStream;
  return KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
}

void SplitCompressedFilePath(const std::string& path, std::string& archive, std::string& member) {
  archive.clear();
  member.clear();
  const std::string upperPath = Upper(path);
  for (const auto& row : SupportedFileTypes().Rows) {
    if (row->FileMediaType != KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES) continue;
    if (upperPath.find(row->FileExtension) == std::string::npos) continue;
    // A name that merely contains the extension without a member after it is no archive path.
    const size_t p = upperPath.find(row->FileExtension + "/");
    if (p == std::string::npos) continue;
    archive = path.substr(0, p + row->FileExtension.size());
    member = path.substr(p + row->FileExtension.size() + 1);
    return;
  }
}

std::string BuildOpenFileFilter([[maybe_unused]] bool withAll) {
  std::string out;
  out += "All supported files|" + Masks({0, 1, 2, 3, 4, 5, 6, 8}) + "|";
  out += "All supported Audio stream files|" + Masks({0, 3, 4, 6}) + "|";
  out += "All supported Module files|" + Masks({2}) + "|";
  out += "All supported Video files|" + Masks({5}) + "|";
  out += "All supported Compressed files|" + Masks({8}) + "|";
  out += List({0, 1, 2, 3, 4, 5, 6, 8}) + "All Files (*.*)|*.*|";
  return out;
}

std::string BuildPlaylistFileFilter(bool withAll) {
  if (!withAll) return List({7});
  return "All supported Playlist files|" + Masks({7}) + "|" + List({7}) + "All Files (*.*)|*.*|";
}

void GetSupportedFileDescriptions(std::vector<std::string>& list) {
  for (const auto& row : SupportedFileTypes().Rows) list.push_back(row->FileDescription);
}

bool IsFileExtensionSupported(const std::string& extension) {
  const std::string upper = Upper(extension);
  for (const auto& row : SupportedFileTypes().Rows)
    if (Upper(row->FileExtension) == upper) return true;
  return false;
}
