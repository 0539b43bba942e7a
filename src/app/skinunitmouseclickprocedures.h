// The click procedure of every skin control: transport, window switches, toggles, sliders
// into the engine, effect canvases, displays, the playlist's buttons and panels, the
// library's menu buttons and the full-screen bar. Installed once after the first skin load;
// skin switches keep the procedures. UI thread only.
#pragma once

#include <QWidget>

#include "skin/KELDARSkinControls_IDs.h"

class TSkinnedWindowSet;

// Installs the whole action table; the procedures reach the windows through `windows`,
// which must outlive them.
void BindSkinControlActions(TSkinnedWindowSet& windows);

// The effect canvas whose mode governs the visuals window: the equalizer's when the skin
// has one, else the main window's.
KELDARSkinControls_IDs GoverningGraphicsEffectsCanvas();

// The library print row: a new preview of the library grid (an earlier preview is released
// first) with the resize hint; without a printer the no-printer message instead. Returns the
// preview window, or null.
QWidget* OpenLibraryPrintPreview(QWidget* grid, bool printerAvailable);
bool DefaultPrinterAvailable();

extern const char* const kLibraryPrintPreviewHintText;
extern const char* const kNoDefaultPrinterText;
