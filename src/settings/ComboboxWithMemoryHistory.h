// The recent entries of the history-combo dialogs, kept in their own sections of the settings
// file as keys "H0", "H1", ... Loading and saving never bother the user: a history that cannot
// be read or written is simply empty or not kept.
#pragma once

#include <string>
#include <vector>

// Reads "H0" to "H<capacity-1>" of the section, keeping the non-empty values in order.
std::vector<std::string> LoadHistoryList(const std::string& section, int capacity);
// Writes entry i to "H<i>" and drops older keys up to the capacity that no entry fills any
// more, so a shorter list does not bring back stale entries on the next load.
void SaveHistoryList(const std::string& section, int capacity,
                     const std::vector<std::string>& items);
// A new search text goes to the top unless the list already holds it exactly; the list is
// then cut to the capacity from the end. Empty text is not kept.
void InsertIntoHistoryList(std::vector<std::string>& items, const std::string& text,
                           int capacity);
