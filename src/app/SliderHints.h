// The hint texts of the volume, balance, pitch, tempo, rate, preamp and band sliders: after
// every setter the engine's texts become the sliders' hints, and while a track is pressed the
// deck artist display shows the same text for the value under the mouse. UI thread only.
#pragma once

// Copies the engine's current hint texts into the sliders' texts (their hints); texts the
// engine has not built yet leave the slider's text alone.
void ShowEngineSliderHints();
// The readouts of those tracks (the position and scroll tracks have their own).
void InstallSliderReadouts();
