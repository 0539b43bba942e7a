// The six real skinned windows with the Default skin loaded into a temporary program
// folder, and real mouse events sent to them.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <memory>

#include "TestSupport.h"
#include "app/EqualizerForm.h"
#include "app/FullScreenControlsForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/PlaylistEditorForm.h"
#include "app/ProgramStartup.h"
#include "app/SkinnedWindowSet.h"
#include "app/VisualsScreenForm.h"
#include "app/deck.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ProgramFolders.h"

// Never destroyed: Qt's own globals are gone by the time static objects die at exit.
inline QApplication& SkinWindowTestApplication() {
  static int argc = 1;
  static char name[] = "keldar_skinwindows_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class SkinnedWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinWindowTestApplication();
    SetProgramFolderForTesting(program.Path());
    InitSettingsDefaults();
    StartupFlags().FirstShowPending = false;  // the deck's first-show sequence is not under test here
    deck = std::make_unique<TDeckForm>();
    equalizer = std::make_unique<TEqualizerForm>();
    playlist = std::make_unique<TPlaylistEditorForm>();
    visuals = std::make_unique<TVisualsScreenForm>();
    library = std::make_unique<TKELDAR_DatabaseForm>();
    fullScreen = std::make_unique<TFullScreenControlsForm>();
    set = std::make_unique<TSkinnedWindowSet>(deck.get(), equalizer.get(), playlist.get(), visuals.get(), library.get(),
                                              fullScreen.get());
    LoadKELDARSkin("Default", *set, true);
    deck->show();
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    set.reset();
    fullScreen.reset();
    library.reset();
    visuals.reset();
    playlist.reset();
    equalizer.reset();
    deck.reset();
    for (int i = 0; i < ZorvaneAudioPlayerControls_END; ++i)
      MultimediaSkin()[static_cast<KELDARSkinControls_IDs>(i)].Control_LeftClickProcedure = {};
  }

  // Only the given windows stay on screen (so nothing else is near enough to snap to).
  void ShowOnly(std::initializer_list<QWidget*> windows) {
    for (QWidget* w : {static_cast<QWidget*>(deck.get()), static_cast<QWidget*>(equalizer.get()),
                       static_cast<QWidget*>(playlist.get()), static_cast<QWidget*>(visuals.get()),
                       static_cast<QWidget*>(library.get()), static_cast<QWidget*>(fullScreen.get())})
      w->hide();
    for (QWidget* w : windows) w->show();
    QCoreApplication::processEvents();
  }

  static void Send(QWidget* w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
                   Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, modifiers);
    QApplication::sendEvent(w, &event);
  }
  static void Press(QWidget* w, QPoint at) {
    Send(w, QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton);
  }
  static void Release(QWidget* w, QPoint at) {
    Send(w, QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton);
  }
  static void MoveHeld(QWidget* w, QPoint at) {
    Send(w, QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::LeftButton);
  }
  static void Click(QWidget* w, QPoint at) {
    Press(w, at);
    Release(w, at);
  }
  // Press at `from`, move the mouse by `delta` on screen, release there.
  static void Drag(QWidget* w, QPoint from, QPoint delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPoint global = w->mapToGlobal(from);
    Send(w, QEvent::MouseButtonPress, from, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    Send(w, QEvent::MouseMove, from + delta, global + delta, Qt::NoButton, Qt::LeftButton, modifiers);
    Send(w, QEvent::MouseButtonRelease, from + delta, global + delta, Qt::LeftButton, Qt::NoButton, modifiers);
    QCoreApplication::processEvents();
  }

  static QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // True when the rectangle of `image` at `at` equals `source` taken from `sheet`.
  static bool SameRect(const QImage& image, QPoint at, const QImage& sheet, const QRect& source) {
    for (int y = 0; y < source.height(); ++y)
      for (int x = 0; x < source.width(); ++x)
        if ((image.pixel(at.x() + x, at.y() + y) & 0xFFFFFF) != (sheet.pixel(source.x() + x, source.y() + y) & 0xFFFFFF))
          return false;
    return true;
  }
  static QRect ControlRect(KELDARSkinControls_IDs id) {
    const TSkinControlRect r = SkinControlWindowRect(id);
    return {r.Left, r.Top, r.Width, r.Height};
  }
  static QPoint Inside(KELDARSkinControls_IDs id, int dx = 2, int dy = 2) {
    const QRect r = ControlRect(id);
    return r.topLeft() + QPoint(dx, dy);
  }
  static const QImage& Sheet(TKELDARSkinBitmap b) { return LoadedKELDARSkin().Bitmap(b); }
  static void Bind(KELDARSkinControls_IDs id, std::function<void()> action) {
    MultimediaSkin()[id].Control_LeftClickProcedure = std::move(action);
  }

  TTempFolder program;
  TMessageLogCapture log{program / "messages.log"};
  std::unique_ptr<TDeckForm> deck;
  std::unique_ptr<TEqualizerForm> equalizer;
  std::unique_ptr<TPlaylistEditorForm> playlist;
  std::unique_ptr<TVisualsScreenForm> visuals;
  std::unique_ptr<TKELDAR_DatabaseForm> library;
  std::unique_ptr<TFullScreenControlsForm> fullScreen;
  std::unique_ptr<TSkinnedWindowSet> set;
};
