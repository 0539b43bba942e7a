#include "app/RecordingAndConversionSetup.h"

#include "app/ApplicationForms.h"
#include "app/CodecChooserDialog.h"
#include "app/FileConversion.h"
#include "app/LaterDialogHooks.h"
#include "app/PlaylistWindowHooks.h"
#include "app/StartupHooks.h"
#include "app/TRecordingDialogForm.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Conversion.h"
#include "engine/KELDAR_EncodersList.h"
#include "engine/KELDAR_Recording.h"
#include "playlist/PlaylistCDTrackNaming.h"

namespace {

// Another list shares the hook (the freedb servers): both run.
void Chain(std::function<void()>& hook, std::function<void()> more) {
  hook = [first = hook, more = std::move(more)] {
    if (first) first();
    more();
  };
}

}  // namespace

void InstallRecordingAndConversion(TApplicationForms& forms) {
  InstallRecordingInputHooks();
  InstallCodecChooserDialog();
  Chain(StartupHooks().LoadServerAndEncoderLists, [] { LoadEncodersFromFile(); });
  Chain(StartupHooks().SaveServerAndEncoderLists, [] { SaveEncodersToFile(); });
  StartupHooks().ApplyRecordingInput = [] {
    if (auto& select = KELDAR_AUDIOVIDEO_API_Slots().SelectRecordingInput) select();
  };
  TRecordingDialogForm* dialog = forms.Recording();
  RecordingDialogHook() = [dialog] {
    if (!dialog) return;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
  };
  LaterDialogHooks().ShowRecordingDialog = [] {
    if (auto& show = KELDAR_AUDIOVIDEO_API_Slots().ShowRecordingDialog) show();
  };
  PlaylistWindowHooks().ConvertSelectedFiles = [](TPlaylist& playlist) { ConvertSelectedFile(playlist); };
  ConversionCDHooks().IsCDTrack = IsCDTrackLocator;
}
