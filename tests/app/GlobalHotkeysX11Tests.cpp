// The global hot keys on a real X server (run under Xvfb with Qt's xcb platform): keys are
// pressed through the XTest extension, as a keyboard would, and a second X client stands
// for another program that holds keys.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <cstdlib>
#include <functional>

#include "CommandTestSupport.h"
#include "TestSupport.h"
#include "app/GlobalHotkeys.h"
#include "app/ShortcutsUnit.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ShowMessage.h"

// Last: Xlib's macros (None, KeyPress, ...) would break the headers above.
#include <X11/XF86keysym.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

[[maybe_unused]] const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtApplicationEnvironment);

const KeySym kHotkeySyms[] = {XF86XK_AudioPrev, XF86XK_AudioPlay, XF86XK_AudioStop,
                              XF86XK_AudioNext, XF86XK_AudioRaiseVolume, XF86XK_AudioLowerVolume};

// Presses keys on the X server through the XTest extension.
class TKeyboard {
 public:
  TKeyboard() : m_display(XOpenDisplay(nullptr)) {}
  ~TKeyboard() {
    if (m_display) XCloseDisplay(m_display);
  }
  TKeyboard(const TKeyboard&) = delete;
  TKeyboard& operator=(const TKeyboard&) = delete;
  bool Ready() const { return m_display != nullptr; }
  unsigned KeyCode(KeySym sym) const { return XKeysymToKeycode(m_display, sym); }
  void Down(KeySym sym) { Send(sym, True); }
  void Up(KeySym sym) { Send(sym, False); }
  void Tap(KeySym sym) {
    Down(sym);
    Up(sym);
  }

 private:
  void Send(KeySym sym, Bool down) {
    XTestFakeKeyEvent(m_display, KeyCode(sym), down, CurrentTime);
    XFlush(m_display);
  }
  Display* m_display;
};

// Another program on the same display.
class TOtherClient {
 public:
  TOtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
  }
  ~TOtherClient() { xcb_disconnect(m_connection); }
  TOtherClient(const TOtherClient&) = delete;
  TOtherClient& operator=(const TOtherClient&) = delete;
  bool Grab(unsigned keyCode) {
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 0, m_root, 0, static_cast<xcb_keycode_t>(keyCode),
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
    std::free(error);
    return error == nullptr;
  }
  void Ungrab(unsigned keyCode) {
    xcb_ungrab_key(m_connection, static_cast<xcb_keycode_t>(keyCode), m_root, 0);
    xcb_flush(m_connection);
  }

 private:
  xcb_connection_t* m_connection;
  xcb_window_t m_root = 0;
};

// A focused window of the program that counts the keys reaching it.
class TFocusedWindow : public QWidget {
 public:
  int Presses = 0;
  TFocusedWindow() {
    setFocusPolicy(Qt::StrongFocus);
    resize(200, 100);
    show();
    activateWindow();
    setFocus();
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Shift && key != Qt::Key_NumLock) ++Presses;
  }
};

// Runs the event loop until `done` holds or the time is up, then a little longer so that a
// second delivery of the same key would be seen too.
void RunEventsUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) QTest::qWait(10);
  QTest::qWait(200);
}

std::vector<std::string> LoggedTexts(const std::string& path) {
  std::vector<std::string> texts;
  for (const TMessage& m : ReadMessageLog(path)) texts.push_back(m.Text);
  return texts;
}

class GlobalHotkeysOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under an X server with QT_QPA_PLATFORM=xcb";
    ASSERT_TRUE(keyboard.Ready());
    InstallApplicationShortcutFilter();
    InstallGlobalHotkeyEventFilter();
  }
  void TearDown() override {
    UnregisterGlobalHotkeys(nullptr);
    Options_EnableWideHotkeysSupport.BooleanValue = false;
  }
  TKeyboard keyboard;
};

}  // namespace

TEST_F(GlobalHotkeysOnX11, AllSixAreHeldWhileRegisteredAndFreeAfterwards) {
  TOtherClient other;
  TFocusedWindow window;
  Options_EnableWideHotkeysSupport.BooleanValue = true;
  ASSERT_TRUE(RegisterGlobalHotkeys(&window));
  EXPECT_TRUE(GlobalHotkeysRegistered());
  for (KeySym sym : kHotkeySyms) EXPECT_FALSE(other.Grab(keyboard.KeyCode(sym))) << std::hex << sym;
  UnregisterGlobalHotkeys(&window);
  EXPECT_FALSE(GlobalHotkeysRegistered());
  for (KeySym sym : kHotkeySyms) {
    EXPECT_TRUE(other.Grab(keyboard.KeyCode(sym))) << std::hex << sym;
    other.Ungrab(keyboard.KeyCode(sym));
  }
}

TEST_F(GlobalHotkeysOnX11, WithHotKeysRegisteredAMediaKeyActsOnce) {
  TActionRecorder rec;
  TLiveSkinWithVolumeAction skin;
  TFocusedWindow window;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  Options_EnableWideHotkeysSupport.BooleanValue = true;
  ASSERT_TRUE(RegisterGlobalHotkeys(&window));

  keyboard.Tap(XF86XK_AudioPlay);
  RunEventsUntil([&] { return !rec.Calls.empty(); });
  EXPECT_EQ(rec.Calls, std::vector<std::string>{"Play"});  // stopped: play
  rec.EngineState = 0;
  keyboard.Tap(XF86XK_AudioPlay);
  RunEventsUntil([&] { return rec.Calls.size() >= 2; });
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"Play", "Pause"}));
  for (KeySym sym : {XF86XK_AudioPrev, XF86XK_AudioStop, XF86XK_AudioNext}) keyboard.Tap(sym);
  RunEventsUntil([&] { return rec.Calls.size() >= 5; });
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"Play", "Pause", "Previous", "Stop", "Next"}));

  SetSkinSliderValue(DeckForm_VolumeImage, 98);
  keyboard.Tap(XF86XK_AudioRaiseVolume);
  RunEventsUntil([&] { return !skin.VolumeSeen.empty(); });
  EXPECT_EQ(skin.VolumeSeen, std::vector<int>{100});
  SetSkinSliderValue(DeckForm_VolumeImage, 3);
  keyboard.Tap(XF86XK_AudioLowerVolume);
  RunEventsUntil([&] { return skin.VolumeSeen.size() >= 2; });
  EXPECT_EQ(skin.VolumeSeen, (std::vector<int>{100, 0}));

  // Num Lock on does not get in the way.
  keyboard.Tap(XK_Num_Lock);
  keyboard.Tap(XF86XK_AudioStop);
  keyboard.Tap(XK_Num_Lock);
  RunEventsUntil([&] { return rec.Calls.size() >= 6; });
  EXPECT_EQ(rec.Calls.back(), "Stop");
  EXPECT_EQ(rec.Calls.size(), 6u);
  // The grabbed keys never reached the focused window.
  EXPECT_EQ(window.Presses, 0);
}

TEST_F(GlobalHotkeysOnX11, WithoutHotKeysTheFocusedWindowsShortcutHandlerActsOnce) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  TActionRecorder rec;
  TFocusedWindow window;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  Options_EnableWideHotkeysSupport.BooleanValue = false;
  EXPECT_FALSE(RegisterGlobalHotkeys(&window));
  EXPECT_TRUE(LoggedTexts(log.Path()).empty());

  keyboard.Tap(XF86XK_AudioStop);
  RunEventsUntil([&] { return !rec.Calls.empty(); });
  EXPECT_EQ(rec.Calls, std::vector<std::string>{"Stop"});
  keyboard.Tap(XF86XK_AudioPlay);
  RunEventsUntil([&] { return rec.Calls.size() >= 2; });
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"Stop", "Play"}));
  EXPECT_EQ(window.Presses, 0);

  // CTRL and ALT held on the keyboard: the shortcut matches; with SHIFT too it does not,
  // and the window gets the key.
  keyboard.Down(XK_Control_L);
  keyboard.Down(XK_Alt_L);
  keyboard.Tap(XK_z);
  RunEventsUntil([&] { return rec.Calls.size() >= 3; });
  keyboard.Down(XK_Shift_L);
  keyboard.Tap(XK_z);
  keyboard.Up(XK_Shift_L);
  keyboard.Up(XK_Alt_L);
  keyboard.Up(XK_Control_L);
  RunEventsUntil([&] { return window.Presses >= 1; });
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"Stop", "Play", "Previous"}));
  EXPECT_EQ(window.Presses, 1);
}

TEST_F(GlobalHotkeysOnX11, AKeyHeldByAnotherProgramReleasesTheGrabbedOnesAndSaysSo) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  TOtherClient other;
  const unsigned stop = keyboard.KeyCode(XF86XK_AudioStop);
  ASSERT_TRUE(other.Grab(stop));
  TFocusedWindow window;
  Options_EnableWideHotkeysSupport.BooleanValue = true;
  EXPECT_FALSE(RegisterGlobalHotkeys(&window));
  EXPECT_FALSE(GlobalHotkeysRegistered());
  EXPECT_EQ(LoggedTexts(log.Path()), std::vector<std::string>{"Unable to assign All Wide Hotkeys.\r    Local Hotkeys Enabled"});
  // Ids 1 and 2 were grabbed before id 3 failed: they are free again.
  for (KeySym sym : {XF86XK_AudioPrev, XF86XK_AudioPlay}) {
    EXPECT_TRUE(other.Grab(keyboard.KeyCode(sym))) << std::hex << sym;
    other.Ungrab(keyboard.KeyCode(sym));
  }
  other.Ungrab(stop);

  // The keys then work through the shortcut handler while the window has the focus.
  TActionRecorder rec;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  keyboard.Tap(XF86XK_AudioNext);
  RunEventsUntil([&] { return !rec.Calls.empty(); });
  EXPECT_EQ(rec.Calls, std::vector<std::string>{"Next"});
}
