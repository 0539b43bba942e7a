// The engine interface: a table of operation slots that the chosen audio back-end fills,
// the back-end registration table, and the engine state shared with its callers.
// Every slot may be empty until a back-end is initialised; callers check before calling.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TConversionProgress;

// Media type of a file name or address; decides which engine path opens it. One byte, fixed order.
enum KELDAR_AUDIOVIDEO_API_MediaFileType : std::uint8_t {
  KELDAR_AUDIOVIDEO_API_mtStream = 0,
  KELDAR_AUDIOVIDEO_API_mtShoutcastStream = 1,
  KELDAR_AUDIOVIDEO_API_mtMOD = 2,
  KELDAR_AUDIOVIDEO_API_mtCDTrack = 3,
  KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack = 4,
  KELDAR_AUDIOVIDEO_API_mtVIDEOStream = 5,
  KELDAR_AUDIOVIDEO_API_mtzpInputStream = 6,
  KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST = 7,
  KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES = 8,
  KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE = 9,
};

// One registered back-end.
struct KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord {
  // Binds the operation slots and starts the library; true on success.
  std::function<bool()> KELDAR_AUDIOVIDEO_API_InitializeFunction;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIDeveloper;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIName;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIVersion;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIDLLFileName;
};

// Ten slots (1-based as the program counts them; slot 0 unused), a count and the choice.
struct KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure {
  static constexpr int kSlots = 10;
  KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord Slots[kSlots + 1];
  int Count = 0;
  int Chosen = -1;
};

KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure& KELDAR_AUDIOVIDEO_API_AudioAPIToLoad();
// Registers a back-end in the next free slot; returns its slot index or -1 when full.
int RegisterAudioAPI(KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord record);
// Copies the slot into the current back-end and remembers it; false when it has no initialiser.
bool SelectAudioAPI(int slot);
const KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord& KELDAR_AUDIOVIDEO_API_CurrentAudioAPI();

// Engine copies of the settings, filled before the back-end is initialised.
struct KELDAR_AUDIOVIDEO_API_EngineSettings {
  uint32_t OutputSamplingRate = 48000;
  int32_t RecordingSamplingRate = 44100;
  int32_t RecordingChannels = 2;
  int32_t CDPlaybackMethod = 0;
  bool NonInterpolatedMixing = false;
  int32_t BufferLengthMs = 500;
  int32_t FadeInOutMs = 0;
  int32_t RampingMode = 1;
  int32_t SurroundMode = 0;
  int32_t MODPlaybackMode = 0;
  int32_t MODPanSeparationLevel = 50;
};
KELDAR_AUDIOVIDEO_API_EngineSettings& KELDAR_AUDIOVIDEO_API_Settings();

// The current internet station, from the stream's headers and in-stream tags.
struct ShoutcastStationNameType {
  std::string ServerURLStream;
  std::string ServerNotice1;
  std::string ServerNotice2;
  std::string ServerName;
  std::string ServerGenre;
  std::string ServerURL;
  std::string ServerPublicOrPrivate;
  std::string ServerMetaint;
  std::string ServerBitrate;
  std::string ServerICEAudioInfo;
  std::string ServerDescription;
  std::string ServerType;
  bool ServerDataUpdated = false;  // set when a station name arrives; cleared by the deck
};

struct ShoutcastMETARecord {
  std::string StreamTitle;
  std::string StreamURL;
  bool METADataAvailable = false;
};

// The tag texts of one file, in this order.
struct TKELDAR_AUDIOVIDEO_API_AudioFileTags {
  std::string FullPathAndFilename;
  std::string TitleName;
  std::string ArtistName;
  std::string AlbumName;
  std::string TitleAlbumGenre;
  std::string TitleAlbumYear;
  std::string TitleComment;
  std::string TrackNumber;
  std::string ComposerName;
  std::string CopyrightText;
  std::string SubtitleText;
  std::string AlbumArtistName;
  std::string DiscNumber;
};

// A file's tags with its playing time, both from one open of the file.
struct TKELDAR_AUDIOVIDEO_API_FileTagsAndLength {
  TKELDAR_AUDIOVIDEO_API_AudioFileTags Tags;
  // Whole seconds as GetFilePlaybackLength gives them (0 when unknown).
  std::int64_t LengthSeconds = 0;
};

// What a tracker module tells about itself.
struct TKELDAR_AUDIOVIDEO_API_ModuleInfo {
  std::string ModuleName;
  std::string ModuleMessage;
  std::vector<std::string> Instruments;  // "1 name", "2 name", ...
  std::vector<std::string> Samples;
};

// Operation slots filled by the back-end's initialiser. All run on the UI thread.
struct KELDAR_AUDIOVIDEO_API_Operations {
  std::function<void()> UnloadAudioAPI;
  std::function<bool()> CreateStream;
  std::function<void()> Play;
  std::function<void()> Pause;
  std::function<void()> Resume;
  std::function<void()> Stop;
  std::function<void()> FreeStreams;
  std::function<void()> UpdatePosition;
  std::function<void()> SeekToPercent;
  std::function<void()> CheckEndOfStream;
  std::function<std::int64_t(const std::string&)> GetFilePlaybackLength;
  std::function<void()> GetFFTData;
  std::function<void()> GetFFTChannelData;
  std::function<void()> GetWaveformData;
  std::function<void()> GetMixedWaveformData;
  std::function<void()> GetLevel;
  std::function<void()> GetCPUUsage;
  std::function<void()> SetBufferLength;
  std::function<void()> SetMODPanSeparation;
  std::function<KELDAR_AUDIOVIDEO_API_MediaFileType(const std::string&)> GetMediaFileType;
  std::function<void()> BuildSupportedFileTypes;
  std::function<void()> ShowSoundDeviceInfo;
  std::function<void()> ShowCDDrivesInfo;
  // The disc id of the drive of a ".CDA" name, "" without a disc; the whole disc-id text
  // (the freedb query) is kept in EngineState::CDDiscIDText.
  std::function<std::string(const std::string&)> GetCDDiscID;
  // Track names of the drive of a ".CDA" name appended to the list; true when the disc has a
  // data track (left out of the list).
  std::function<bool(const std::string&, std::vector<std::string>&)> ListCDTracks;
  // Effects: each reads its stored slider value (EngineState::Sliders).
  std::function<void()> SetVolume;
  std::function<void()> SetBalance;
  std::function<void()> SetPitch;
  std::function<void()> SetTempo;
  std::function<void()> SetSampleRate;
  std::function<void()> UpdateEQ;
  // Attach the effect to the current channel when its switch (EngineState::Effects) is on,
  // detach it when off.
  std::function<void()> ApplyEQState;
  std::function<void()> ApplyFadeState;
  std::function<void()> ApplyAutoAmplifyState;
  std::function<void()> ApplyDSPState;
  std::function<TKELDAR_AUDIOVIDEO_API_AudioFileTags(const std::string&)> ReadFileTags;
  // ReadFileTags and GetFilePlaybackLength of the same file with one decoder open: what a
  // playlist line needs when it is first shown.
  std::function<TKELDAR_AUDIOVIDEO_API_FileTagsAndLength(const std::string&)> ReadFileTagsAndLength;
  std::function<TKELDAR_AUDIOVIDEO_API_ModuleInfo(const std::string&)> GetModuleInfo;
  // Recording and conversion (see KELDAR_Conversion.h for the arguments of ConvertFile).
  std::function<void()> ShowRecordingDialog;
  std::function<void()> SelectRecordingInput;
  std::function<bool(const std::string& source, const std::string& outputTemplate, const std::string& destFolder,
                     const std::atomic<bool>* cancel, const TKELDAR_AUDIOVIDEO_API_AudioFileTags& tags, bool keepSubfolder,
                     TConversionProgress* progress, int encoderIndex, bool useDestination)>
      ConvertFile;
};
KELDAR_AUDIOVIDEO_API_Operations& KELDAR_AUDIOVIDEO_API_Slots();

struct KELDAR_AUDIOVIDEO_API_DSPOutputInfoRecord {
  std::uint32_t DSPSamplingRate = 44100;
  std::uint8_t DSPOutputChannels = 2;
  std::string SoundDeviceDescription;
};

struct KELDAR_AUDIOVIDEO_API_ChannelInfo {
  std::uint32_t SamplingRate = 0;
  std::uint8_t Channels = 0;
  std::uint8_t Bits = 0;
  std::uint8_t BytesPerSample = 0;
};

// Player states.
enum : int {
  KELDAR_AUDIOVIDEO_API_psPlaying = 0,
  KELDAR_AUDIOVIDEO_API_psPaused = 1,
  KELDAR_AUDIOVIDEO_API_psStopped = 2,
  KELDAR_AUDIOVIDEO_API_psEnded = 3,
};

// Slider values 0..100 (50 neutral) that the effect operations read.
struct KELDAR_AUDIOVIDEO_API_SliderValues {
  int Volume = 100;
  int Balance = 50;
  int Pitch = 50;
  int Tempo = 50;
  int SampleRate = 50;
  int PreAmp = 50;
  std::array<int, 10> Bands{50, 50, 50, 50, 50, 50, 50, 50, 50, 50};
};

// The hint texts the effect operations build for their sliders.
struct KELDAR_AUDIOVIDEO_API_SliderHints {
  std::string Volume, Balance, Pitch, Tempo, SampleRate, PreAmp;
  std::array<std::string, 10> Bands;
};

// Which effects the caller wants on the current channel.
struct KELDAR_AUDIOVIDEO_API_EffectSwitches {
  bool EQ = false;
  bool Fade = false;
  bool AutoAmplify = false;
  bool DSP = false;
};

// The engine state shared with the callers; written on the UI thread unless marked atomic.
struct KELDAR_AUDIOVIDEO_API_EngineState {
  std::string CurrentFileName;
  KELDAR_AUDIOVIDEO_API_MediaFileType CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  std::int32_t StartMarker = 0;  // seconds
  std::int32_t EndMarker = 0;
  std::uint32_t StreamHandle = 0;
  std::uint32_t InternetStreamHandle = 0;
  std::uint32_t MusicHandle = 0;
  std::uint32_t CDStreamHandle = 0;
  std::string CDDiscIDText;  // the library's last disc-id text
  int PlayerState = KELDAR_AUDIOVIDEO_API_psStopped;
  std::atomic<int> SongEnded{0};
  std::int64_t TotalSeconds = 0;
  std::int64_t PositionSeconds = 0;
  std::int64_t PositionMinutes = 0;
  std::int64_t PositionSecondsOfMinute = 0;
  std::int64_t PositionPercent = 0;
  std::int64_t SeekPercent = 0;  // set by the caller before SeekToPercent
  std::int16_t Bitrate = 0;
  int TempoMode = 0;
  int FloatSupport = 0;
  std::atomic<int> ConnectionState{0};
  bool ShowErrors = true;
  float CPUUsage = 0;
  KELDAR_AUDIOVIDEO_API_ChannelInfo ChannelInfo;
  KELDAR_AUDIOVIDEO_API_DSPOutputInfoRecord DSPOutputInfo;
  std::array<float, 512> FFTData{};
  std::array<float, 512> FFTChannelData{};
  std::array<std::uint8_t, 2048> WaveformData{};
  std::array<float, 512> MixedWaveformData{};
  std::uint32_t Level = 0;
  // Internet streams: copies on the UI thread of what the library threads delivered,
  // refreshed by UpdatePosition and while a connection is pending.
  ShoutcastStationNameType Station;
  ShoutcastMETARecord META;
  std::string StatusText;
  KELDAR_AUDIOVIDEO_API_SliderValues Sliders;
  KELDAR_AUDIOVIDEO_API_SliderHints Hints;
  KELDAR_AUDIOVIDEO_API_EffectSwitches Effects;
  std::vector<std::string> RecordingInputs;

  // Markers count only when they differ.
  bool MarkersCount() const { return StartMarker != EndMarker; }
};
KELDAR_AUDIOVIDEO_API_EngineState& KELDAR_AUDIOVIDEO_API_State();
