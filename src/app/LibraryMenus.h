// The library grid's context menus and the column dialog "Select Library Columns to Display".
#pragma once

#include <array>

class QPoint;
class TKELDAR_DatabaseForm;

// The menu of a data row ("View File Info" ... "Remove Selected"), at a global position.
void ShowLibraryRowMenu(TKELDAR_DatabaseForm& library, const QPoint& at);
// The header's menu ("Select Visible Columns").
void ShowLibraryHeaderMenu(TKELDAR_DatabaseForm& library, const QPoint& at);

// The dialog's rule, apart from the dialog: ticked columns get their remembered width (64 when
// there is none), the others are hidden (-1) after their width is remembered. Indexed by id.
void ApplyLibraryColumnChoice(const std::array<bool, 16>& ticked, std::array<int, 16>& widths,
                              std::array<int, 16>& remembered);
// The dialog, modal; true when confirmed (the widths then are in the settings).
bool ShowLibraryColumnsDialog(TKELDAR_DatabaseForm& library);
