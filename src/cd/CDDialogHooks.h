// What the CD core needs from the dialogs, installed at start-up by the dialog layer. An
// empty hook means no dialog is built in: the step answers "cancelled".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TCDDBEntry;

struct TCDDialogHooks {
  // "Edit CD" on the entry; true when the user confirmed (the entry then holds the edits).
  std::function<bool(TCDDBEntry& entry)> EditEntry;
  // "Multiple matches found": the chosen line's index, nothing on Cancel.
  std::function<std::optional<int>(const std::vector<std::string>& lines)> ChooseMatch;
  // An input box (title, prompt, default text); nothing on Cancel.
  std::function<std::optional<std::string>(const std::string& title, const std::string& prompt,
                                           const std::string& defaultText)>
      InputText;
  // "Retrieve CD Information", modal; true when it stored a result.
  std::function<bool()> RetrieveCDInformation;
  // Handles pending window events while a request is on the wire.
  std::function<void()> ProcessEvents;
};

TCDDialogHooks& CDDialogHooks();
