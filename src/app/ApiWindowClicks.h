// Delivers the control messages' clicks and slider moves to the skinned windows: a real
// left press and release at the point, synchronously, through the windows' own handlers.
#pragma once

#include <QPoint>
#include <QWidget>

#include "app/ZorvanePlayerApiMessageTable.h"

class TSkinnedWindowSet;

// A left-button press and release at a client point of the widget, handled before return.
void SendSkinClick(QWidget& widget, const QPoint& at);

// Fills ApiWindowHooks() for these windows; ClearApiWindowHooks() empties it again.
void InstallApiWindowHooks(TSkinnedWindowSet& windows);
void ClearApiWindowHooks();
