#include "engine/KELDAR_EngineDeviceReports.h"

#include <cmath>

#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "util/ShowMessage.h"

namespace {

std::string Line(const std::string& text) { return text + "\r"; }

std::string Capability(std::uint32_t flags, std::uint32_t flag, const std::string& yes, const std::string& no) {
  return Line((flags & flag) ? yes : no);
}

std::string Mixing(std::uint32_t flags, std::uint32_t flag, const std::string& what) {
  return Capability(flags, flag, what + " are supported by hardware mixing.",
                    what + " are not supported by hardware mixing, but only by software mixing.");
}

struct TDriveCapability {
  std::uint32_t Flag;
  const char* Text;     // after "The drive can " / "The drive CANNOT "
  const char* WholeYes;  // whole lines instead, when given
  const char* WholeNo;
};

const TDriveCapability kDriveCapabilities[] = {
    {0x1, "read CD-R media.", nullptr, nullptr},
    {0x2, "read CD-RW media.", nullptr, nullptr},
    {0x4, "read CD-R/RW media where the addressing type is \"method 2\".", nullptr, nullptr},
    {0x8, "read DVD-ROM media.", nullptr, nullptr},
    {0x10, "read DVD-R media.", nullptr, nullptr},
    {0x20, "read DVD-RAM media.", nullptr, nullptr},
    {0x100000, "read in \"mode 2 form 1\" format.", nullptr, nullptr},
    {0x200000, "read in \"mode 2 form 2\" format.", nullptr, nullptr},
    {0x400000, "read multi-session discs.", nullptr, nullptr},
    {0x1000000, "read CD audio.", nullptr, nullptr},
    {0x2000000, nullptr, "The drive supports \"stream is accurate\".",
     "The drive doesn't support \"stream is accurate\"."},
    {0x4000000, "read sub-channel data.", nullptr, nullptr},
    {0x8000000, "read sub-channel data, and de-interleave it.", nullptr, nullptr},
    {0x40000000, "read UPC numbers.", nullptr, nullptr},
    {0x10000, nullptr, "The drive is capable of analog playback.", "The drive is NOT capable of analog playback."},
};

}  // namespace

std::string AudioOutputName(const std::string& driver) {
  // PortAudio names its host APIs at length; the report names the sound system plainly.
  if (driver.empty() || driver == "none") return "none";
  if (driver.find("JACK") != std::string::npos) return "JACK";
  if (driver.find("ALSA") != std::string::npos) return "ALSA";
  if (driver.find("Pulse") != std::string::npos || driver.find("pulse") != std::string::npos)
    return "PulseAudio";
  return driver;
}

const char* AudioLibraryVersionConflictText() {
  return "Error : KAUDIO Version Conflict (libkaudio.so).                                 \r"
         "        There is NO guarantee that Zorvane Audio Player will work normally with \r"
         "        this version of KAUDIO. It is suggested to use the DEFAULT libkaudio.so \r"
         "        which is included in the Zorvane Audio Player package.                  ";
}

std::string SoundDeviceInfoText(const std::string& description, const KAUDIO_INFO& info,
                                const std::string& output) {
  const std::uint32_t f = info.flags;
  std::string text;
  text += Line("Sound Device used by Zorvane Audio Player : " + description);
  text += Line("");
  text += Line("Device Capabilities");
  text += Line("------------------------------");
  text += Capability(f, 0x10, "The device supports all sampling rates between minimum and maximum sampling rate.",
                     "The device doesn't support all sampling rates between minimum and maximum sampling rate.");
  if (f & 0x20)
    text += Line("The device's drivers do NOT have " + output + " support, so it is being emulated.") +
            Line("Updated drivers should be installed.");
  else
    text += Line("The device's drivers have " + output + " support.");
  text += Capability(f, 0x40, "The device's drivers have been certified by Microsoft.",
                     "The device's drivers have not been certified by Microsoft.");
  text += Mixing(f, 0x100, "Mono samples");
  text += Mixing(f, 0x200, "Stereo samples");
  text += Mixing(f, 0x400, "8 bit samples");
  text += Mixing(f, 0x800, "16 bit samples");
  text += Line("");
  text += Line("Device Hardware Info");
  text += Line("-----------------------------------");
  text += Line("Sound Device total hardware memory = " + std::to_string(info.hwsize));
  text += Line("Sound Device free hardware memory = " + std::to_string(info.hwfree));
  text += Line("Free sample slots in hardware = " + std::to_string(info.freesam));
  text += Line("Free 3D sample slots in hardware = " + std::to_string(info.free3d));
  text += Line("Minimum sampling rate supported by the hardware = " + std::to_string(info.minrate));
  text += Line("Maximum sampling rate supported by the hardware = " + std::to_string(info.maxrate));
  text += Line("DirectX version = " + std::to_string(info.dsver));
  text += Line("Device Latency = " + std::to_string(info.latency) + "ms");
  text += "Minimum Recommended Buffer Length = " + std::to_string(info.minbuf) + "ms";
  return text;
}

void ShowSoundDeviceInfo() {
  auto& out = KELDAR_AUDIOVIDEO_API_State().DSPOutputInfo;
  KAUDIO_DEVICEINFO device{};
  out.SoundDeviceDescription = KAUDIO_GetDeviceInfo(1, &device) && device.name ? device.name : "";
  KAUDIO_INFO info{};
  KAUDIO_GetInfo(&info);
  const std::string output = AudioOutputName(device.driver ? device.driver : "");
  ShowMessage(SoundDeviceInfoText(out.SoundDeviceDescription, info, output), "KAUDIO INFO",
              TMessageIcon::Information);
}

std::function<std::optional<TCDDriveInfo>(int)>& CDDriveInfoProvider() {
  static std::function<std::optional<TCDDriveInfo>(int)> provider;
  return provider;
}

std::string CDDriveInfoText(int drive, const TCDDriveInfo& info) {
  std::string text;
  text += Line("CD/DVD Drive " + std::to_string(drive + 1));
  text += Line("Vendor: " + info.Vendor);
  text += Line("Product: " + info.Product);
  text += Line("Revision: " + info.Revision);
  for (const auto& c : kDriveCapabilities) {
    const bool set = (info.Capabilities & c.Flag) != 0;
    if (c.Text)
      text += Line(std::string(set ? "The drive can " : "The drive CANNOT ") + c.Text);
    else
      text += Line(set ? c.WholeYes : c.WholeNo);
  }
  const long long times = std::llround(info.MaxReadSpeed / 176.4);
  text += Line("Maximum Read Speed: " + std::to_string(info.MaxReadSpeed) + " (KB/s)" + ", (" +
               std::to_string(times) + "x speed)");
  text += Line("CD Drive Cache Size: " + std::to_string(info.CacheSize) + " KB");
  text += Line(std::string("Can the CD Drive read CD-TEXT: ") + (info.CanReadCDText ? "True" : "False"));
  return text;
}

void ShowCDDrivesInfo() {
  if (!CDDriveInfoProvider()) return;
  for (int drive = 0;; ++drive) {
    const auto info = CDDriveInfoProvider()(drive);
    if (!info) break;
    ShowMessage(CDDriveInfoText(drive, *info), "BASS CD Drives INFO", TMessageIcon::Information);
  }
}
