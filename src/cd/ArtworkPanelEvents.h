// What the artwork panels of the CD editor and the tag editor share: the picture shown, the file
// dialog's filter and a picture dropped on the panel.
#pragma once

#include <QString>

#include <functional>
#include <string>

class QEvent;
class QLabel;

// "description|patterns|..." (the artwork functions' form) as Qt's "description (patterns);;...".
QString ArtworkFileDialogFilter(const std::string& filter);

// For a panel's event filter: accepts a drag of files and hands the first local file of a drop
// to install. True when the event was such a drag or drop (the filter then stops it).
bool HandleArtworkPanelDrop(QEvent* event, const std::function<void(const std::string&)>& install);

// Shows the album's artwork (or the "no artwork" picture) scaled into panel; empty when neither
// can be read.
void ShowArtworkOnPanel(QLabel& panel, const std::string& place, const std::string& artist, const std::string& album);
