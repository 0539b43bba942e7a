// Our own setting beside the described ones: the sound output device by name, empty for the
// default device. Kept last in the settings table (SettingsFunctionsToINIFiles.cpp).
#pragma once

#include "settings/SettingsFunctionsToINIFiles.h"

extern SettingsVariableStringRecord Options_OutputDeviceName;
