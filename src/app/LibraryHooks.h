// Connects the library window to the rest of the program: the playlist's "Add Selected Files
// To Library", and the library window's menu buttons and scroll track.
#pragma once

class TKELDAR_DatabaseForm;

void InstallLibraryHooks(TKELDAR_DatabaseForm& library);
void ClearLibraryHooks();
