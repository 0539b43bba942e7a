// Printing the library grid as it is shown: the shown columns in their order, the rows in
// their current order, a title with the date, the header row on every page, page numbers.
// Pages turn to landscape when the columns are wider than a portrait page.
#pragma once

class QPrinter;
class QTableView;

// The number of pages printed.
int PrintLibraryGrid(QPrinter& printer, const QTableView& grid);
