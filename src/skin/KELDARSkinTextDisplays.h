// The text displays: the deck's kbps, kHz, status, artist and title lines (small font, cell
// by cell), the two time displays (numbers font, left-padded to their cells) and the
// counters of the playlist, visuals and library windows (the window's own font). Each draws
// its Control_ProcessedTextString. UI thread only.
#pragma once
#include <QPainter>

#include "skin/KELDARSkinLoader.h"
#include "skin/MultimediaSkinStructure.h"

void PaintKELDARSkinDeckTextDisplay(QPainter& painter, KELDARSkinControls_IDs id,
                                    const MultimediaSkinStructure& skin = MultimediaSkin(),
                                    const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
void PaintKELDARSkinTimeDisplay(QPainter& painter, KELDARSkinControls_IDs id,
                                const MultimediaSkinStructure& skin = MultimediaSkin(),
                                const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
void PaintKELDARSkinWindowCounter(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id,
                                  const MultimediaSkinStructure& skin = MultimediaSkin(),
                                  const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
