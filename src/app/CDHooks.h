// Wires the audio CD parts into the program: the playlist's naming and track listing, the
// CD dialogs, the freedb server list at start and exit, and the playlist's CD track info.
#pragma once

class QWidget;

void InstallCDHooks(QWidget* dialogParent);
void ClearCDHooks();
