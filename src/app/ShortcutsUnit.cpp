#include "app/ShortcutsUnit.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>
#include <cctype>
#include <memory>

#include "app/CommandActions.h"
#include "app/GlobalHotkeys.h"
#include "app/VirtualKeyCodes.h"

namespace {

constexpr TShortcutRow kShortcutRows[] = {
    {"CTRL+ALT+Z", VK_MEDIA_PREV_TRACK_KEY, TShortcutCommand::Previous},
    {"CTRL+ALT+X", 0, TShortcutCommand::Play},
    {"CTRL+ALT+C", 0, TShortcutCommand::Pause},
    {"", VK_MEDIA_PLAY_PAUSE_KEY, TShortcutCommand::PauseOrPlay},
    {"CTRL+ALT+V", VK_MEDIA_STOP_KEY, TShortcutCommand::Stop},
    {"CTRL+ALT+B", VK_MEDIA_NEXT_TRACK_KEY, TShortcutCommand::Next},
    {"CTRL+ALT+N", 0, TShortcutCommand::AddFiles},
    {"CTRL+ALT+R", 0, TShortcutCommand::RecordingDialog},
    {"CTRL+ALT+Q", VK_VOLUME_UP_KEY, TShortcutCommand::VolumeUp},
    {"CTRL+ALT+A", VK_VOLUME_DOWN_KEY, TShortcutCommand::VolumeDown},
    {"", VK_VOLUME_MUTE_KEY, TShortcutCommand::Nothing},
    {"", VK_F1_KEY, TShortcutCommand::HelpPage},
    {"CTRL+E", 0, TShortcutCommand::ClickEQButton},
    {"CTRL+P", 0, TShortcutCommand::ClickPLButton},
    {"CTRL+G", 0, TShortcutCommand::ClickVisExButton},
    {"CTRL+D", 0, TShortcutCommand::ClickDBButton},
};

std::unique_ptr<TApplicationShortcutFilter>& InstalledFilter() {
  static std::unique_ptr<TApplicationShortcutFilter> filter;
  return filter;
}

// The application object the filter sits on (a later application object needs it again).
QPointer<QCoreApplication>& FilteredApplication() {
  static QPointer<QCoreApplication> app;
  return app;
}

}  // namespace

TShortcutModifiers RequiredShortcutModifiers(const std::string& shortcutText) {
  std::string upper = shortcutText;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  TShortcutModifiers required;
  required.Ctrl = upper.find("CTRL") != std::string::npos;
  required.Alt = upper.find("ALT") != std::string::npos;
  required.Shift = upper.find("SHIFT") != std::string::npos;
  return required;
}

TShortcutModifiers PressedShortcutModifiers() {
  const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
  TShortcutModifiers pressed;
  pressed.Ctrl = held.testFlag(Qt::ControlModifier);
  pressed.Alt = held.testFlag(Qt::AltModifier);
  pressed.Shift = held.testFlag(Qt::ShiftModifier);
  return pressed;
}

bool ShortcutMatches(int keyCode, const std::string& shortcutText, TShortcutModifiers pressed) {
  if (shortcutText.empty()) return false;
  if (RequiredShortcutModifiers(shortcutText) != pressed) return false;
  return keyCode == static_cast<unsigned char>(shortcutText.back());
}

bool ShortcutMatches(int keyCode, const std::string& shortcutText) {
  return ShortcutMatches(keyCode, shortcutText, PressedShortcutModifiers());
}

std::span<const TShortcutRow> ShortcutTable() { return kShortcutRows; }

void RunShortcutCommand(TShortcutCommand command) {
  switch (command) {
    case TShortcutCommand::Previous: CommandPrevious(); break;
    case TShortcutCommand::Play: CommandPlay(); break;
    case TShortcutCommand::Pause: CommandPause(); break;
    case TShortcutCommand::PauseOrPlay: CommandPauseOrPlay(); break;
    case TShortcutCommand::Stop: CommandStop(); break;
    case TShortcutCommand::Next: CommandNext(); break;
    case TShortcutCommand::AddFiles: CommandAddFiles(); break;
    case TShortcutCommand::RecordingDialog: CommandShowRecordingDialog(); break;
    case TShortcutCommand::VolumeUp: StepVolumeSlider(+5); break;
    case TShortcutCommand::VolumeDown: StepVolumeSlider(-5); break;
    case TShortcutCommand::Nothing: break;  // the key is only taken away from the windows
    case TShortcutCommand::HelpPage: CommandShowPreferencesPage("Help"); break;
    case TShortcutCommand::ClickEQButton: CommandClickDeckControl(DeckForm_EQButton); break;
    case TShortcutCommand::ClickPLButton: CommandClickDeckControl(DeckForm_PLButton); break;
    case TShortcutCommand::ClickVisExButton: CommandClickDeckControl(DeckForm_VisExButton); break;
    case TShortcutCommand::ClickDBButton: CommandClickDeckControl(DeckForm_DBButton); break;
  }
}

bool RunMatchingShortcuts(int keyCode, bool hotkeysRegistered, TShortcutModifiers pressed) {
  bool handled = false;
  for (const TShortcutRow& row : kShortcutRows) {
    const bool byText = ShortcutMatches(keyCode, row.Shortcut, pressed);
    const bool byKey = !hotkeysRegistered && row.KeyCodeWithHotkeysOff != 0 && keyCode == row.KeyCodeWithHotkeysOff;
    if (!byText && !byKey) continue;
    handled = true;
    RunShortcutCommand(row.Command);
  }
  return handled;
}

void ApplicationEvents1ShortCut(int keyCode, bool& handled) {
  if (RunMatchingShortcuts(keyCode, GlobalHotkeysRegistered(), PressedShortcutModifiers())) handled = true;
}

bool TApplicationShortcutFilter::eventFilter(QObject* watched, QEvent* event) {
  // A key press reaches the top-level window first and then the focused widget; acting on
  // the widget delivery alone runs each press once. A press that the widget leaves to its
  // parents comes back here unmatched, so it cannot act twice either.
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const int keyCode = QtKeyToVirtualKey(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
  if (keyCode == 0) return false;
  bool handled = false;
  ApplicationEvents1ShortCut(keyCode, handled);
  return handled;
}

void InstallApplicationShortcutFilter() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || (InstalledFilter() && FilteredApplication() == app)) return;
  RemoveApplicationShortcutFilter();
  InstalledFilter() = std::make_unique<TApplicationShortcutFilter>();
  app->installEventFilter(InstalledFilter().get());
  FilteredApplication() = app;
}

void RemoveApplicationShortcutFilter() {
  if (FilteredApplication()) FilteredApplication()->removeEventFilter(InstalledFilter().get());
  FilteredApplication() = nullptr;
  InstalledFilter().reset();
}
