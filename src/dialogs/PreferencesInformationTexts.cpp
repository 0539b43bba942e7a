#include "dialogs/PreferencesInformationTexts.h"

namespace {

constexpr char kAbout[] = R"(Zorvane Audio Player plays audio files, tracker modules, audio CDs and internet radio,
keeps playlists and a song library, names CD tracks from freedb servers, records the sound
input and converts files through command-line encoders.

Every window is drawn from an exchangeable skin: our own skins are read directly, Winamp and
K-Jofol skins are converted each time they are loaded.

It hosts Sonique visualization plug-ins (among them the bundled all-in-one plug-in that shows
the artwork of what is playing), and its own input, DSP and general plug-ins.

Other programs drive the player through its control socket; keldarctl is the command-line
remote that comes with it.)";

constexpr char kCredits[] = R"(Zorvane Audio Player is built on:

  Qt 6                      windows, dialogs and drawing
  FFmpeg                    decoding of audio files
  libopenmpt                tracker modules
  PortAudio / PulseAudio    sound output and recording
  libcdio                   audio CDs and disc images
  libcurl                   internet radio, freedb and the update check
  libarchive                skin packages and archives (through its input plug-in)
  GStreamer                 video
  TagLib                    file tags
  SoundTouch                tempo and pitch
  libsndfile                the internal encoder's formats

Thanks to the freedb and gnudb volunteers who keep CD information free, and to everyone who
drew skins and wrote visualization plug-ins.)";

constexpr char kFAQ[] = R"(Q: Where are my settings kept?
A: In keldar3.ini in the program folder. When that folder is not writable (an installed
   player), every working file lives in ~/.local/share/keldar3 instead.

Q: How do I use a Winamp or K-Jofol skin?
A: Copy the .wsz or .zip file into the "skins" folder, open "Skins", choose the format and
   press "Load Skin". It is converted each time it is loaded; the original stays untouched.

Q: An encoder does nothing when I convert a file.
A: Check its command line under "Encoders Options": the program must be on your PATH and read
   the sound from standard input (usually written as -).

Q: CD tracks get no names.
A: Turn on "Use freedb Support" under "freedb Options", enter an e-mail address and choose a
   server; "Get Servers List" fetches the current mirrors.

Q: Internet radio stops after a few seconds.
A: Raise the buffer length under "Audio Library Options" (the default is 500 ms).)";

constexpr char kHelp[] = R"(Keys
  CTRL+ALT+Z  previous          CTRL+ALT+X  play          CTRL+ALT+C  pause
  CTRL+ALT+V  stop              CTRL+ALT+B  next          CTRL+ALT+N  add files
  CTRL+ALT+R  recording dialog  CTRL+ALT+Q  volume up     CTRL+ALT+A  volume down
  CTRL+E  equalizer   CTRL+P  playlist   CTRL+G  visuals window   CTRL+D  song library
  F1  this page
The media keys of the keyboard work too when "Global Hotkeys support" is on.

Playlist
  Drop files, folders, playlists or skin packages on any window. A right click on a line
  opens its menu; "File Information" shows the tags and the artwork of a file, or the CD
  entry of a CD track.

Internet radio
  "Add URL" opens "Add URL to Playlist": type an address or keep your stations in the
  favourites grid (type into the empty last row to add one).

Preferences
  Every option takes effect the moment you change it. "Default Options" restores every
  option at the next start; "Default Sliders" centres the sliders now.)";

constexpr char kMakingSkins[] = R"(A skin is a folder holding keldarskin.ini and its bitmaps, or the
same folder packed into a .ksk file. Start from a copy of a bundled skin, change the bitmaps
and the positions in keldarskin.ini, and load it from this page to see the result.
Questions and finished skins are welcome at keldar@zorvane.example.)";

}  // namespace

const char* InformationPageText(const std::string& caption) {
  if (caption == "About") return kAbout;
  if (caption == "Credits") return kCredits;
  if (caption == "FAQ") return kFAQ;
  if (caption == "Help") return kHelp;
  return "";
}

const char* MakingSkinsNoteText() { return kMakingSkins; }
