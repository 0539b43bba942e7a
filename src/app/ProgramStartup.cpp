#include "app/ProgramStartup.h"

#include <filesystem>
#include <vector>

#include "playlist/PlaylistEditor.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"
#include "util/VersionInfo.h"

namespace {
const char* const kWorkingFolders[] = {"skins",     "dspplugins",    "genplugins",   "localcddatabase",
                                       "visplugins", "cdartwork",     "recordedfiles"};
const char* const kTemporaryFolders[] = {"tempunzipped", "tempunzipped/info", "tempunzipped/skins"};
}  // namespace

void CreateProgramFolders() {
  std::error_code ec;
  for (const char* folder : kWorkingFolders) std::filesystem::create_directories(ProgramFolder() + "/" + folder, ec);
  for (const char* folder : kTemporaryFolders) std::filesystem::create_directories(ProgramFolder() + "/" + folder, ec);
}

void EmptyTemporaryFolders() {
  for (const char* folder : kTemporaryFolders) DeleteAllFilesInFolder(ProgramFolder() + "/" + folder);
}

void HandleParameter(const std::string& argument) {
  ProccessAddedFiles({ExpandToLongPathName(argument)}, true);
}

std::string ApplicationTitleText() { return std::string("Zorvane Audio Player v") + KELDAR_PRODUCT_VERSION + "     "; }

std::string DefaultArtworkPicturePath() { return ProgramFolder() + "/cdartwork/NoArtworkSelected.bmp"; }

TStartupFlags& StartupFlags() {
  static TStartupFlags flags;
  return flags;
}
