// Internet streams of the audio back-end: the connection thread, the metadata callbacks and
// the hand-over of their texts to the UI thread.
#pragma once

// CreateStream's path for media type 1: opens the current address on a connection thread
// while the UI thread keeps processing events; a second open while one is pending only
// beeps. Result as CreateStream's.
bool BASSAPI_CreateInternetStream();
// UI thread: copies the station record, stream title, status text and bitrate that the
// library's threads delivered into the engine state.
void BASSAPI_SyncStreamMetadata();
// Waits for a pending connection to end (unloading).
void BASSAPI_JoinConnectionThread();
