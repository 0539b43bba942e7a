// SIGTERM, SIGINT and SIGHUP ask the main window to close, so they run the regular exit
// sequence on the UI thread (settings, lists and playlist saved) instead of killing us.
#pragma once

#include <functional>

void InstallExitSignalHandlers(std::function<void()> onExitRequest);
