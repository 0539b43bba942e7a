// Connects the preferences dialog, the tag editor, the "Add URL to Playlist" dialog and the
// system information dialog to the windows and actions that open them.
#pragma once

class TApplicationForms;
class TSkinnedWindowSet;

void InstallDialogs(TApplicationForms& forms);
void ClearDialogs();
