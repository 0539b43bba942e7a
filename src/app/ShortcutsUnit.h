// Keyboard commands: the shortcut matching rule, the shortcut table and the application-wide
// key handler that runs it for every key press before the focused window sees it.
// UI thread only.
#pragma once

#include <QObject>

#include <span>
#include <string>

struct TShortcutModifiers {
  bool Ctrl = false;
  bool Alt = false;
  bool Shift = false;
  bool operator==(const TShortcutModifiers&) const = default;
};

// CTRL, ALT and SHIFT as far as the upper-cased text contains their names.
TShortcutModifiers RequiredShortcutModifiers(const std::string& shortcutText);
// The modifier keys held at this moment (the keyboard state, not the last event's).
TShortcutModifiers PressedShortcutModifiers();

// Equal modifier sets, and the key code is the character code of the text's last character
// ("CTRL+ALT+Z" matches key code 90 with exactly CTRL and ALT held). Empty text never matches.
bool ShortcutMatches(int keyCode, const std::string& shortcutText, TShortcutModifiers pressed);
// The same with the modifiers read from the keyboard now.
bool ShortcutMatches(int keyCode, const std::string& shortcutText);

enum class TShortcutCommand {
  Previous,
  Play,
  Pause,
  PauseOrPlay,
  Stop,
  Next,
  AddFiles,
  RecordingDialog,
  VolumeUp,
  VolumeDown,
  Nothing,
  HelpPage,
  ClickEQButton,
  ClickPLButton,
  ClickVisExButton,
  ClickDBButton,
};

struct TShortcutRow {
  const char* Shortcut;         // empty: the row has no shortcut text
  int KeyCodeWithHotkeysOff;    // 0: none; matched on the key code alone while no hot keys are registered
  TShortcutCommand Command;
};
std::span<const TShortcutRow> ShortcutTable();

void RunShortcutCommand(TShortcutCommand command);
// Runs every row that matches, in table order; true when any matched (the key is handled).
bool RunMatchingShortcuts(int keyCode, bool hotkeysRegistered, TShortcutModifiers pressed);

// The application-wide key handler: key code (virtual-key number), handled flag.
void ApplicationEvents1ShortCut(int keyCode, bool& handled);

// Runs ApplicationEvents1ShortCut for key presses delivered to widgets; a handled key goes
// no further.
class TApplicationShortcutFilter : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// One filter on the application object; installing twice keeps one.
void InstallApplicationShortcutFilter();
void RemoveApplicationShortcutFilter();
