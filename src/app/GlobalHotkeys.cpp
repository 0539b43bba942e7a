#include "app/GlobalHotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>

#include <X11/XF86keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/CommandActions.h"
#include "app/VirtualKeyCodes.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ShowMessage.h"

const char* const kGlobalHotkeysFailedText = "Unable to assign All Wide Hotkeys.\r    Local Hotkeys Enabled";

namespace {

constexpr TGlobalHotkey kHotkeys[] = {
    {1, VK_MEDIA_PREV_TRACK_KEY, XF86XK_AudioPrev},
    {2, VK_MEDIA_PLAY_PAUSE_KEY, XF86XK_AudioPlay},
    {3, VK_MEDIA_STOP_KEY, XF86XK_AudioStop},
    {4, VK_MEDIA_NEXT_TRACK_KEY, XF86XK_AudioNext},
    {5, VK_VOLUME_UP_KEY, XF86XK_AudioRaiseVolume},
    {6, VK_VOLUME_DOWN_KEY, XF86XK_AudioLowerVolume},
};

// A grab without modifiers would not fire while Caps Lock or Num Lock is on.
constexpr std::uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kIgnoredModifiers = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;
constexpr std::uint16_t kModifierBits = 0xFF;

struct TGrab {
  xcb_keycode_t KeyCode;
  std::uint16_t Modifiers;
};

struct THotkeyState {
  bool Registered = false;
  xcb_connection_t* Connection = nullptr;
  xcb_window_t Root = XCB_NONE;
  xcb_keycode_t KeyCodes[6] = {};  // per id - 1
  std::vector<TGrab> Grabs;
};

THotkeyState& State() {
  static THotkeyState state;
  return state;
}

xcb_connection_t* QtX11Connection() {
  auto* app = qGuiApp;
  if (!app || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootWindowOf(xcb_connection_t* connection, QWidget* window) {
  if (window) {
    const xcb_query_tree_cookie_t cookie = xcb_query_tree(connection, static_cast<xcb_window_t>(window->winId()));
    if (xcb_query_tree_reply_t* reply = xcb_query_tree_reply(connection, cookie, nullptr)) {
      const xcb_window_t root = reply->root;
      std::free(reply);
      return root;
    }
  }
  const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  return screens.rem > 0 ? screens.data->root : XCB_NONE;
}

// The key codes that carry each hot key's symbol on this keyboard (0 where none does).
void FindKeyCodes(xcb_connection_t* connection, xcb_keycode_t (&keyCodes)[6]) {
  for (xcb_keycode_t& code : keyCodes) code = 0;
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int first = setup->min_keycode;
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const xcb_get_keyboard_mapping_cookie_t cookie =
      xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<std::uint8_t>(count));
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(connection, cookie, nullptr);
  if (!reply) return;
  const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply);
  const int perKey = reply->keysyms_per_keycode;
  const int length = xcb_get_keyboard_mapping_keysyms_length(reply);
  for (int i = 0; i < 6; ++i) {
    // The unshifted column first: that is what a plain press produces.
    for (int column = 0; column < perKey && keyCodes[i] == 0; ++column)
      for (int key = 0; key < count; ++key) {
        const int at = key * perKey + column;
        if (at < length && symbols[at] == kHotkeys[i].KeySym) {
          keyCodes[i] = static_cast<xcb_keycode_t>(first + key);
          break;
        }
      }
  }
  std::free(reply);
}

bool Grab(THotkeyState& state, xcb_keycode_t keyCode, std::uint16_t modifiers) {
  const xcb_void_cookie_t cookie = xcb_grab_key_checked(state.Connection, 0, state.Root, modifiers, keyCode,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  if (xcb_generic_error_t* error = xcb_request_check(state.Connection, cookie)) {
    std::free(error);
    return false;
  }
  state.Grabs.push_back({keyCode, modifiers});
  return true;
}

void ReleaseGrabs(THotkeyState& state) {
  if (state.Connection) {
    for (const TGrab& grab : state.Grabs) xcb_ungrab_key(state.Connection, grab.KeyCode, state.Root, grab.Modifiers);
    xcb_flush(state.Connection);
  }
  state.Grabs.clear();
}

// The id of a grabbed key event, 0 for any other event.
int GrabbedHotkeyId(const xcb_key_press_event_t& event) {
  const THotkeyState& state = State();
  if (!state.Registered || event.event != state.Root) return 0;
  if ((event.state & kModifierBits & ~kIgnoredModifiers) != 0) return 0;
  for (int i = 0; i < 6; ++i)
    if (state.KeyCodes[i] == event.detail) return kHotkeys[i].Id;
  return 0;
}

class TGlobalHotkeyEventFilter : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t" || !message) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    const int id = GrabbedHotkeyId(*reinterpret_cast<const xcb_key_press_event_t*>(event));
    if (id == 0) return false;
    // The press acts; press and release both stay away from the windows.
    if (type == XCB_KEY_PRESS) HandleGlobalHotkey(id);
    return true;
  }
};

std::unique_ptr<TGlobalHotkeyEventFilter>& InstalledFilter() {
  static std::unique_ptr<TGlobalHotkeyEventFilter> filter;
  return filter;
}

QPointer<QCoreApplication>& FilteredApplication() {
  static QPointer<QCoreApplication> app;
  return app;
}

}  // namespace

std::span<const TGlobalHotkey> GlobalHotkeyTable() { return kHotkeys; }

bool RegisterGlobalHotkeys(QWidget* window) {
  if (!Options_EnableWideHotkeysSupport.BooleanValue) return false;
  THotkeyState& state = State();
  if (state.Registered) return true;
  state.Connection = QtX11Connection();
  bool all = state.Connection != nullptr;
  if (all) {
    state.Root = RootWindowOf(state.Connection, window);
    FindKeyCodes(state.Connection, state.KeyCodes);
    all = state.Root != XCB_NONE;
    for (int i = 0; i < 6 && all; ++i) {
      all = state.KeyCodes[i] != 0;
      for (std::uint16_t modifiers : kLockVariants) all = all && Grab(state, state.KeyCodes[i], modifiers);
    }
  }
  if (!all) {
    ReleaseGrabs(state);
    state.Connection = nullptr;
    ShowMessage(kGlobalHotkeysFailedText, {}, TMessageIcon::Warning);
    return false;
  }
  xcb_flush(state.Connection);
  state.Registered = true;
  return true;
}

void UnregisterGlobalHotkeys(QWidget*) {
  THotkeyState& state = State();
  if (!state.Registered) return;
  // The connection goes away with the application object; nothing is left to release then.
  if (QtX11Connection() == state.Connection) ReleaseGrabs(state);
  state.Grabs.clear();
  state.Registered = false;
  state.Connection = nullptr;
}

bool GlobalHotkeysRegistered() { return State().Registered; }

void HandleGlobalHotkey(int id) {
  switch (id) {
    case 1: CommandPrevious(); break;
    case 2: CommandPauseOrPlay(); break;
    case 3: CommandStop(); break;
    case 4: CommandNext(); break;
    case 5: StepVolumeSlider(+5); break;
    case 6: StepVolumeSlider(-5); break;
    default: break;
  }
}

void InstallGlobalHotkeyEventFilter() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || (InstalledFilter() && FilteredApplication() == app)) return;
  RemoveGlobalHotkeyEventFilter();
  InstalledFilter() = std::make_unique<TGlobalHotkeyEventFilter>();
  app->installNativeEventFilter(InstalledFilter().get());
  FilteredApplication() = app;
}

void RemoveGlobalHotkeyEventFilter() {
  if (FilteredApplication()) FilteredApplication()->removeNativeEventFilter(InstalledFilter().get());
  FilteredApplication() = nullptr;
  InstalledFilter().reset();
}
