// Wires recording and conversion into the program: the encoder list at the first show and
// at exit, the recording input, the recording dialog and the playlist's conversion.
#pragma once

class TApplicationForms;

void InstallRecordingAndConversion(TApplicationForms& forms);
