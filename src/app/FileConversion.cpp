#include "app/FileConversion.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Conversion.h"
#include "engine/KELDAR_EncodersList.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/PlaylistEditor.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

TConversionProgressForm::TConversionProgressForm(const std::string& sourceLine, const std::string& encoderLine,
                                                 const std::string& destLine) {
  setObjectName("TConversionProgressForm");
  setWindowTitle("Converting File: ");
  auto* layout = new QVBoxLayout(this);
  for (const std::string* line : {&sourceLine, &encoderLine, &destLine})
    layout->addWidget(new QLabel(QString::fromStdString(*line)));
  m_bar = new QProgressBar;
  m_bar->setRange(0, 100);
  layout->addWidget(m_bar);
  auto* cancel = new QPushButton("Cancel");
  layout->addWidget(cancel);
  connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });
}

void ConvertSelectedFile(TPlaylist& playlist) {
  const int index = playlist.ItemIndex();
  if (playlist.Count() == 0 || !playlist.ValidIndex(index)) {
    ShowMessage("Please Select a CD Track", "Error", TMessageIcon::Error);
    return;
  }
  const TPlayListBoxItem item = playlist.Item(index);
  TKELDAR_AUDIOVIDEO_API_AudioFileTags tags;
  tags.FullPathAndFilename = item.FullPathAndFilename;
  tags.TitleName = item.TitleName;
  tags.ArtistName = item.ArtistName;
  tags.AlbumName = item.AlbumName;
  tags.TitleAlbumGenre = item.TitleAlbumGenre;
  tags.TitleAlbumYear = item.TitleAlbumYear;
  tags.TrackNumber = std::to_string(item.TitleCDIndex + 1);

  const auto& convert = KELDAR_AUDIOVIDEO_API_Slots().ConvertFile;
  if (!convert) return;
  const int encoder = Options_LastUsedEncoder.IntegerValue;
  const EncoderStructure* chosen = EncoderAt(encoder);
  const std::string destFolder = Options_RecordingOutputDir.StringValue;
  const std::string& locator = item.FullPathAndFilename;
  const bool cdTrack = IsCDTrackLocator(locator);
  TConversionProgressForm dialog((cdTrack ? "Source file: " : "Source File: ") + locator,
                                 "Encoder : " + (chosen ? chosen->EncName : std::string()),
                                 "Dest Dir : " + IncludeTrailingPathDelimiter(destFolder));
  dialog.show();
  TConversionProgress progress;
  progress.SetPosition = [&dialog](int percent) { dialog.Bar()->setValue(percent); };

  std::string archive, member;
  SplitCompressedFilePath(locator, archive, member);
  if (cdTrack) {
    const std::string templ = CDTrackOutputTemplate(Options_CDTracksFormatting.StringValue, tags,
                                                    item.TitleCDIndex + 1, locator);
    convert(locator, templ, destFolder, dialog.CancelFlag(), tags, true, &progress, encoder, true);
  } else if (!archive.empty()) {
    // An archive member is converted from an extracted copy, which goes again afterwards.
    const std::string copy = ExtractArchiveEntry(locator, ProgramFolder() + "/tempunzipped/info");
    if (!copy.empty()) {
      convert(copy, copy, destFolder, dialog.CancelFlag(), tags, false, &progress, encoder, true);
      DeleteFileIfExists(copy);
    }
  } else {
    convert(locator, locator, destFolder, dialog.CancelFlag(), tags, false, &progress, encoder,
            Options_EncoderConvertUseOutputDir.BooleanValue);
  }
}
