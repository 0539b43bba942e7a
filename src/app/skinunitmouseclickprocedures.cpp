#include "app/skinunitmouseclickprocedures.h"

#include <QLabel>
#include <QPainter>
#include <QTableView>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>
#include <QHBoxLayout>

#include <functional>
#include <utility>

#include "app/CommandActions.h"
#include "app/DeckController.h"
#include "app/EqualizerForm.h"
#include "app/EqualizerPresetsForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/LibraryPrinting.h"
#include "app/LaterDialogHooks.h"
#include "app/PlaylistWindowActions.h"
#include "app/SkinnedWindowSet.h"
#include "app/SliderHints.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "playlist/AdvancedPlaylist.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include "skin/KELDARSkinTextEffects.h"
#include "skin/SkinRuntimeState.h"
#include "util/ShowMessage.h"

const char* const kLibraryPrintPreviewHintText =
    "TIP : Resize CD Database Window to adjust the grid size, and then press the Preview Button to see the result !!!";
const char* const kNoDefaultPrinterText =
    "Error: There is no default printer currently selected.\rPrinting features unavailable...";

namespace {

using TWindow = TKELDARSkinnedWindow;

KELDAR_AUDIOVIDEO_API_Operations& Ops() { return KELDAR_AUDIOVIDEO_API_Slots(); }
KELDAR_AUDIOVIDEO_API_EngineState& Engine() { return KELDAR_AUDIOVIDEO_API_State(); }

void Call(const std::function<void()>& operation) {
  if (operation) operation();
}

void Bind(KELDARSkinControls_IDs control, std::function<void()> action) {
  BindSkinControlClickProcedure(control, std::move(action));
}

void Repaint(TSkinnedWindowSet& windows, TWindow window) {
  if (QWidget* w = windows.Window(window)) w->update();
}

bool WindowVisible(TSkinnedWindowSet& windows, TWindow window) {
  const QWidget* w = windows.Window(window);
  return w && w->isVisible();
}

// ---- windows shown by the deck's switches ----

// The window follows its deck button: visible while the button is on.
void ApplyWindowSwitch(TSkinnedWindowSet& windows, KELDARSkinControls_IDs button, TWindow window) {
  QWidget* w = windows.Window(window);
  if (!w) return;
  const bool on = GetSkinToggleState(button);
  w->setVisible(on);
  if (on) w->raise();
}

// A window's close button: the deck button goes off and the window with it.
void CloseSwitchedWindow(TSkinnedWindowSet& windows, KELDARSkinControls_IDs button, TWindow window) {
  if (!WindowVisible(windows, window)) return;
  FlipSkinButtonAndRunAction(button);
  Repaint(windows, TWindow::Deck);
}

// ---- effect canvases and the visuals window ----

TWindow WindowOfCanvas(KELDARSkinControls_IDs canvas) {
  return canvas == EqualizerForm_EQGraphicsEffectsCanvas ? TWindow::Equalizer : TWindow::Deck;
}

// A click on an effect canvas: the next mode; mode 7 brings up the visuals window.
void AdvanceGraphicsCanvas(TSkinnedWindowSet& windows, KELDARSkinControls_IDs canvas) {
  const bool visuals = AdvanceKELDARSkinEffectMode(canvas) == 7;
  SetSkinToggleState(DeckForm_VisExButton, visuals);
  if (QWidget* w = windows.Window(TWindow::Visuals)) {
    w->setVisible(visuals);
    if (visuals) w->raise();
  }
  Repaint(windows, TWindow::Deck);
  Repaint(windows, WindowOfCanvas(canvas));
  WakeEqualizerWindowData();  // the new mode's data, also while nothing plays
}

// Puts the governing canvas just before (6) or on (7) the visuals mode and clicks it, so the
// click moves it to the other side and the visuals window follows.
void ToggleVisualsThroughCanvas(TSkinnedWindowSet& windows, int mode) {
  const KELDARSkinControls_IDs canvas = GoverningGraphicsEffectsCanvas();
  SetKELDARSkinEffectMode(canvas, mode);
  // A skin without the canvas: a click there would land on the background and drag the
  // window, so the canvas's action runs directly.
  QWidget* w = windows.Window(WindowOfCanvas(canvas));
  if (w && MultimediaSkin()[canvas].Control_Enabled)
    SimulateSkinControlClick(*w, canvas);
  else
    AdvanceGraphicsCanvas(windows, canvas);
}

// ---- sliders ----

void StoreInCurrentEntry(TAdvancedPlaylistSlider slider, KELDARSkinControls_IDs track) {
  AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(ThePlaylist(), slider, GetSkinControlValue(track));
}

// The pre-amp and the ten bands into the engine, then the equalizer redrawn.
void RefreshEqualizer(TSkinnedWindowSet& windows) {
  ApplyEqualizerSlidersToEngine();
  Repaint(windows, TWindow::Equalizer);
}

// ---- displays ----

void NextTextEffect(SettingsVariableIntegerRecord& effect, KELDARSkinControls_IDs line) {
  effect.IntegerValue = effect.IntegerValue >= 0 && effect.IntegerValue < 3 ? effect.IntegerValue + 1 : 0;
  RestartKELDARSkinTextEffect(line);
}

// ---- playlist panels and library menus ----

void OpenPlaylistPanel(TSkinnedWindowSet& windows, int k) {
  TSkinUnitTemplateForm* playlist = windows.Window(TWindow::Playlist);
  if (!playlist) return;
  playlist->ShowButtonPanel(static_cast<KELDARSkinControls_IDs>(PlayListEditorForm_PLPanel1 + k),
                            static_cast<KELDARSkinControls_IDs>(PlayListEditorForm_PLMenu1Buttons + k));
}

// After a library menu action: the button group of the pressed control opens again when the
// control sits on one.
void ReopenPressedControlsPanel(TSkinnedWindowSet& windows) {
  const KELDARSkinControls_IDs pressed = SkinRuntimeState().LastClicked;
  if (!IsKELDARSkinControlOrdinal(pressed)) return;
  const int k = MultimediaSkin()[pressed].Control_ParentControl - PlayListEditorForm_PLPanel1;
  if (k >= 0 && k < 5) OpenPlaylistPanel(windows, k);
}

QWidget* LibraryGrid(TSkinnedWindowSet& windows) {
  auto* library = static_cast<TKELDAR_DatabaseForm*>(windows.Window(TWindow::Library));
  return library ? library->DBScrollBox() : nullptr;
}

QPointer<QWidget>& PrintPreviewWindow() {
  static QPointer<QWidget> window;
  return window;
}

// The grid as it is on screen, scaled to fit the page.
void PaintGridOnPage(QPrinter* printer, const QPointer<QWidget>& grid) {
  // The library's table prints as text, page by page.
  if (const QTableView* table = grid ? grid->findChild<QTableView*>() : nullptr) {
    PrintLibraryGrid(*printer, *table);
    return;
  }
  QPainter painter(printer);
  if (!grid || grid->width() <= 0 || grid->height() <= 0) return;
  const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
  const double scale = std::min(page.width() / grid->width(), page.height() / grid->height());
  painter.scale(scale, scale);
  grid->render(&painter);
}

// ---- the table ----

void BindDeck(TSkinnedWindowSet& windows) {
  Bind(DeckForm_MainMenuButton, [] { CommandShowPreferencesPage("About"); });
  Bind(DeckForm_MinimizeWindowButton, [&windows] {
    if (QWidget* deck = windows.Window(TWindow::Deck)) deck->showMinimized();
  });
  Bind(DeckForm_CloseWindowButton, CommandCloseMainWindow);
  Bind(DeckForm_BackwardButton, CommandPrevious);
  Bind(DeckForm_PlayButton, CommandPlay);
  Bind(DeckForm_PauseButton, CommandPause);
  Bind(DeckForm_StopButton, CommandStop);
  Bind(DeckForm_ForwardButton, CommandNext);
  Bind(DeckForm_EjectButton, CommandAddFiles);
  Bind(DeckForm_RecordButton, CommandShowRecordingDialog);
  Bind(DeckForm_RepeatButton, [] { Options_RepeatButtonState.BooleanValue = GetSkinToggleState(DeckForm_RepeatButton); });
  Bind(DeckForm_ShuffleButton,
       [] { Options_ShuffleButtonState.BooleanValue = GetSkinToggleState(DeckForm_ShuffleButton); });
  Bind(DeckForm_EQButton, [&windows] { ApplyWindowSwitch(windows, DeckForm_EQButton, TWindow::Equalizer); });
  Bind(DeckForm_PLButton, [&windows] { ApplyWindowSwitch(windows, DeckForm_PLButton, TWindow::Playlist); });
  Bind(DeckForm_DBButton, [&windows] { ApplyWindowSwitch(windows, DeckForm_DBButton, TWindow::Library); });
  Bind(DeckForm_VisExButton,
       [&windows] { ToggleVisualsThroughCanvas(windows, WindowVisible(windows, TWindow::Visuals) ? 7 : 6); });

  Bind(DeckForm_VolumeImage, [] {
    Engine().Sliders.Volume = GetSkinControlValue(DeckForm_VolumeImage);
    Call(Ops().SetVolume);
    ShowEngineSliderHints();
  });
  Bind(DeckForm_BalanceImage, [] {
    Engine().Sliders.Balance = GetSkinControlValue(DeckForm_BalanceImage);
    Call(Ops().SetBalance);
    ShowEngineSliderHints();
  });
  Bind(DeckForm_PitchImage, [] {
    StoreInCurrentEntry(TAdvancedPlaylistSlider::Pitch, DeckForm_PitchImage);
    Engine().Sliders.Pitch = GetSkinControlValue(DeckForm_PitchImage);
    Call(Ops().SetPitch);
    ShowEngineSliderHints();
  });
  Bind(DeckForm_PosBarImage, [] { SeekToPositionTrack(DeckForm_PosBarImage); });

  Bind(DeckForm_SongCurrectPlayingTimeWindow, [&windows] {
    Options_ShowTimeMode.IntegerValue = Options_ShowTimeMode.IntegerValue == 0 ? 1 : 0;
    Repaint(windows, TWindow::Deck);
  });
  Bind(DeckForm_SongArtistWindow,
       [] { NextTextEffect(Options_SongArtistWindowTextEffect, DeckForm_SongArtistWindow); });
  Bind(DeckForm_SongTitleWindow, [] { NextTextEffect(Options_SongTitleWindowTextEffect, DeckForm_SongTitleWindow); });
  Bind(DeckForm_GraphicsEffectsCanvas, [&windows] { AdvanceGraphicsCanvas(windows, DeckForm_GraphicsEffectsCanvas); });
}

void BindEqualizer(TSkinnedWindowSet& windows) {
  Bind(EqualizerForm_EQMainMenuButton, [] { CommandShowPreferencesPage("DSP Plugins"); });
  Bind(EqualizerForm_EQCloseWindowButton,
       [&windows] { CloseSwitchedWindow(windows, DeckForm_EQButton, TWindow::Equalizer); });
  Bind(EqualizerForm_EQOnButton, [&windows] {
    const bool on = GetSkinToggleState(EqualizerForm_EQOnButton);
    Options_EQOnButtonState.BooleanValue = on;
    Engine().Effects.EQ = on;
    Call(Ops().ApplyEQState);
    RefreshEqualizer(windows);
  });
  Bind(EqualizerForm_EQAutoButton, [] {
    const bool on = GetSkinToggleState(EqualizerForm_EQAutoButton);
    Options_EQAutoButtonState.BooleanValue = on;
    Engine().Effects.AutoAmplify = on;
    Call(Ops().ApplyAutoAmplifyState);
  });
  Bind(EqualizerForm_EQPresetsButton, ShowEqualizerPresetsForm);
  Bind(EqualizerForm_EQTempoImage, [] {
    StoreInCurrentEntry(TAdvancedPlaylistSlider::Tempo, EqualizerForm_EQTempoImage);
    Engine().Sliders.Tempo = GetSkinControlValue(EqualizerForm_EQTempoImage);
    Call(Ops().SetTempo);
    ShowEngineSliderHints();
  });
  Bind(EqualizerForm_EQSampleRateImage, [] {
    StoreInCurrentEntry(TAdvancedPlaylistSlider::Samplerate, EqualizerForm_EQSampleRateImage);
    Engine().Sliders.SampleRate = GetSkinControlValue(EqualizerForm_EQSampleRateImage);
    Call(Ops().SetSampleRate);
    ShowEngineSliderHints();
  });
  Bind(EqualizerForm_EQPreAmpImage, [&windows] {
    StoreInCurrentEntry(TAdvancedPlaylistSlider::Preamp, EqualizerForm_EQPreAmpImage);
    RefreshEqualizer(windows);
  });
  for (int band = 0; band < 10; ++band)
    Bind(EqualizerBandTrack(band), [&windows, band] {
      StoreInCurrentEntry(static_cast<TAdvancedPlaylistSlider>(static_cast<int>(TAdvancedPlaylistSlider::EQBand1) + band),
                          EqualizerBandTrack(band));
      RefreshEqualizer(windows);
    });
  Bind(EqualizerForm_EQLeftVolLevelCanvas, [&windows] {
    SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, GetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas));
    Repaint(windows, TWindow::Equalizer);
    WakeEqualizerWindowData();
  });
  Bind(EqualizerForm_EQRightVolLevelCanvas, [&windows] {
    SetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, GetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas));
    Repaint(windows, TWindow::Equalizer);
    WakeEqualizerWindowData();
  });
  Bind(EqualizerForm_EQGraphicsEffectsCanvas,
       [&windows] { AdvanceGraphicsCanvas(windows, EqualizerForm_EQGraphicsEffectsCanvas); });
}

void BindPlaylist(TSkinnedWindowSet& windows) {
  Bind(PlayListEditorForm_PLCloseWindowButton,
       [&windows] { CloseSwitchedWindow(windows, DeckForm_PLButton, TWindow::Playlist); });
  Bind(PlayListEditorForm_PLScrollImage, PlaylistWindowScrollToSliderPosition);
  Bind(PlayListEditorForm_PLListScrollUpButton, PlaylistWindowListUp);
  Bind(PlayListEditorForm_PLListScrollDownButton, PlaylistWindowListDown);
  for (int k = 0; k < 5; ++k)
    Bind(static_cast<KELDARSkinControls_IDs>(PlayListEditorForm_PLMenu1Buttons + k),
         [&windows, k] { OpenPlaylistPanel(windows, k); });
  Bind(PlayListEditorForm_PLAddFilesButton, PlaylistWindowAddFiles);
  Bind(PlayListEditorForm_PLAddDirButton, PlaylistWindowAddFolder);
  Bind(PlayListEditorForm_PLAddUrlButton,
       [] { RunLaterDialogHook(LaterDialogHooks().ShowAddURLDialog); });
  Bind(PlayListEditorForm_PLRemSelectedFilesButton, PlaylistWindowRemoveSelected);
  Bind(PlayListEditorForm_PLCropFilesButton, PlaylistWindowCropSelected);
  Bind(PlayListEditorForm_PLRemAllFilesButton, PlaylistWindowClear);
  Bind(PlayListEditorForm_PLSelectAllFilesButton, PlaylistWindowSelectAll);
  Bind(PlayListEditorForm_PLSelectNoneFilesButton, PlaylistWindowSelectNone);
  Bind(PlayListEditorForm_PLInverseSelectedFilesButton, PlaylistWindowInvertSelection);
  Bind(PlayListEditorForm_PLMiscOptionsButton,
       [] { PlaylistWindowShowDisplayMenuAt(PlayListEditorForm_PLMiscOptionsButton); });
  Bind(PlayListEditorForm_PLFileInfoButton, PlaylistWindowShowFileInfo);
  Bind(PlayListEditorForm_PLSortListButton, [] { PlaylistWindowShowSortMenuAt(PlayListEditorForm_PLSortListButton); });
  Bind(PlayListEditorForm_PLLoadListButton, PlaylistWindowLoadList);
  Bind(PlayListEditorForm_PLSaveListButton, PlaylistWindowSaveList);
  Bind(PlayListEditorForm_PLNewListButton, PlaylistWindowClear);
}

void BindVisualsAndLibrary(TSkinnedWindowSet& windows) {
  Bind(VisualsScreenForm_VisExMainMenuButton, [] { CommandShowPreferencesPage("VIS Plugins"); });
  Bind(VisualsScreenForm_VisExCloseWindowButton, [&windows] {
    if (!WindowVisible(windows, TWindow::Visuals)) return;
    SetSkinControlMouseState(DeckForm_VisExButton, meMouseUp);
    ToggleVisualsThroughCanvas(windows, 7);
  });

  Bind(CDDatabaseForm_DBCloseWindowButton,
       [&windows] { CloseSwitchedWindow(windows, DeckForm_DBButton, TWindow::Library); });
  Bind(CDDatabaseForm_DBScrollImage, [] {
    const int value = GetSkinControlValue(CDDatabaseForm_DBScrollImage);
    if (LaterDialogHooks().ScrollLibraryGrid) LaterDialogHooks().ScrollLibraryGrid(value);
  });
  Bind(CDDatabaseForm_DBMenu1Buttons, [&windows] {
    RunLaterDialogHook(LaterDialogHooks().ShowLibraryFindDialog);
    ReopenPressedControlsPanel(windows);
  });
  Bind(CDDatabaseForm_DBMenu2Buttons, [&windows] {
    RunLaterDialogHook(LaterDialogHooks().ShowLibrarySortDialog);
    ReopenPressedControlsPanel(windows);
  });
  Bind(CDDatabaseForm_DBMenu3Buttons, [&windows] {
    RunLaterDialogHook(LaterDialogHooks().ViewSelectedLibraryEntry);
    ReopenPressedControlsPanel(windows);
  });
  Bind(CDDatabaseForm_DBMenu4Buttons, [&windows] {
    OpenLibraryPrintPreview(LibraryGrid(windows), DefaultPrinterAvailable());
    ReopenPressedControlsPanel(windows);
  });
  Bind(CDDatabaseForm_DBMenu5Buttons, [] {
    if (LaterDialogHooks().ShowLibraryListMenuAt) LaterDialogHooks().ShowLibraryListMenuAt(CDDatabaseForm_DBMenu5Buttons);
  });
}

void BindFullScreen() {
  Bind(FullScreenForm_FSBackwardButton, CommandPrevious);
  Bind(FullScreenForm_FSPlayButton, CommandPlay);
  Bind(FullScreenForm_FSPauseButton, CommandPause);
  Bind(FullScreenForm_FSStopButton, CommandStop);
  Bind(FullScreenForm_FSForwardButton, CommandNext);
  Bind(FullScreenForm_FSPosBarImage, [] { SeekToPositionTrack(FullScreenForm_FSPosBarImage); });
}

}  // namespace

KELDARSkinControls_IDs GoverningGraphicsEffectsCanvas() {
  return MultimediaSkin()[EqualizerForm_EQGraphicsEffectsCanvas].Control_Enabled ? EqualizerForm_EQGraphicsEffectsCanvas
                                                                                 : DeckForm_GraphicsEffectsCanvas;
}

void BindSkinControlActions(TSkinnedWindowSet& windows) {
  BindDeck(windows);
  BindEqualizer(windows);
  BindPlaylist(windows);
  BindVisualsAndLibrary(windows);
  BindFullScreen();
  InstallSliderReadouts();
}

bool DefaultPrinterAvailable() { return !QPrinterInfo::defaultPrinter().isNull(); }

QWidget* OpenLibraryPrintPreview(QWidget* grid, bool printerAvailable) {
  QPointer<QWidget>& preview = PrintPreviewWindow();
  delete preview.data();
  if (!printerAvailable) {
    ShowMessage(kNoDefaultPrinterText, {}, TMessageIcon::Error);
    return nullptr;
  }
  auto* window = new QWidget(nullptr, Qt::Window);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setObjectName("LibraryPrintPreview");
  window->setWindowTitle("CD Database Print Preview");
  auto* layout = new QVBoxLayout(window);
  auto* hint = new QLabel(QString::fromUtf8(kLibraryPrintPreviewHintText), window);
  hint->setObjectName("LibraryPrintPreviewHint");
  hint->setWordWrap(true);
  layout->addWidget(hint);
  auto* buttons = new QHBoxLayout;
  auto* previewButton = new QPushButton("Preview", window);
  auto* printButton = new QPushButton("Print", window);
  buttons->addWidget(previewButton);
  buttons->addWidget(printButton);
  buttons->addStretch();
  layout->addLayout(buttons);
  auto* printer = new QPrinter(QPrinter::ScreenResolution);
  auto* pages = new QPrintPreviewWidget(printer, window);
  layout->addWidget(pages, 1);
  // The printer belongs to the window.
  QObject::connect(window, &QObject::destroyed, [printer] { delete printer; });
  const QPointer<QWidget> source(grid);
  QObject::connect(pages, &QPrintPreviewWidget::paintRequested,
                   [source](QPrinter* target) { PaintGridOnPage(target, source); });
  QObject::connect(previewButton, &QPushButton::clicked, pages, &QPrintPreviewWidget::updatePreview);
  QObject::connect(printButton, &QPushButton::clicked, [source, printer] { PaintGridOnPage(printer, source); });
  window->resize(640, 720);
  window->show();
  preview = window;
  return window;
}
