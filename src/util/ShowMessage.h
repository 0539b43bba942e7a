// The one way the program talks to the user in a message box.
//
// Normally a modal box is shown by the presenter that the GUI layer installs at start-up.
// When KELDAR_MESSAGE_LOG=<file> is set, every message is appended to that file as one line
// and the default answer is returned at once, so automated runs can assert exact texts.
// Safe to call from any thread in log mode; a presenter is only ever called on the UI thread
// by callers that are on it.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class TMessageIcon { None, Information, Warning, Error, Question };
enum class TMessageButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class TMessageAnswer { OK, Cancel, Yes, No };

struct TMessage {
  std::string Text;
  std::string Title;
  TMessageIcon Icon = TMessageIcon::Information;
  TMessageButtons Buttons = TMessageButtons::OK;
  TMessageAnswer DefaultAnswer = TMessageAnswer::OK;
};

using TMessagePresenter = std::function<TMessageAnswer(const TMessage&)>;

// Shows (or logs) a message and returns the user's answer.
TMessageAnswer ShowMessage(const std::string& text, const std::string& title = {},
                           TMessageIcon icon = TMessageIcon::Information,
                           TMessageButtons buttons = TMessageButtons::OK,
                           TMessageAnswer defaultAnswer = TMessageAnswer::OK);

// Installed by the GUI layer; without one (and without a log) messages go to stderr.
void SetMessagePresenter(TMessagePresenter presenter);
// Title used when a caller gives none (the application title).
void SetDefaultMessageTitle(const std::string& title);

// Log line format: title TAB icon TAB buttons TAB text, with \\, \t, \r and \n escaped.
std::string FormatMessageLogLine(const TMessage& message);
// Reads a message log back (for tests and tools); unreadable lines are skipped.
std::vector<TMessage> ReadMessageLog(const std::string& path);

const char* MessageIconName(TMessageIcon icon);
const char* MessageButtonsName(TMessageButtons buttons);
