// The codec chooser of the internal encoder: the formats the audio library offers in a list;
// Cancel records nothing. Installed into the library at start-up.
#pragma once

void InstallCodecChooserDialog();
