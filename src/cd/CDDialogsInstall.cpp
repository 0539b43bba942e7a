#include "cd/CDDialogsInstall.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QPointer>

#include <cstdlib>

#include "cd/CDDBConnect.h"
#include "cd/CDDBMultipleMatchesForm.h"
#include "cd/CDDialogHooks.h"
#include "cd/CDEntryEditFrm.h"
#include "cd/FreeDBInterface.h"
#include "util/ShowMessage.h"

void InstallCDDialogs(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  auto& hooks = CDDialogHooks();
  hooks.EditEntry = [owner](TCDDBEntry& entry) {
    TCDEntryEditForm form(entry, owner.data());
    return form.exec() == QDialog::Accepted;
  };
  hooks.ChooseMatch = [owner](const std::vector<std::string>& lines) -> std::optional<int> {
    TCDDBMultipleMatchesForm form(lines, owner.data());
    form.exec();
    return form.Chosen();
  };
  hooks.InputText = [owner](const std::string& title, const std::string& prompt,
                            const std::string& defaultText) -> std::optional<std::string> {
    if (std::getenv("KELDAR_MESSAGE_LOG")) {
      ShowMessage(prompt, title, TMessageIcon::Question, TMessageButtons::OKCancel, TMessageAnswer::Cancel);
      return std::nullopt;
    }
    bool ok = false;
    const QString text = QInputDialog::getText(owner.data(), QString::fromStdString(title), QString::fromStdString(prompt),
                                               QLineEdit::Normal, QString::fromStdString(defaultText), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
  };
  hooks.RetrieveCDInformation = [owner] {
    TFreeDBInterfaceForm form(TheCDDBConnect(), TheCDDBEntry(), owner.data());
    form.exec();
    return form.ResultFlag();
  };
  hooks.ProcessEvents = [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); };
}

void ClearCDDialogs() { CDDialogHooks() = {}; }
