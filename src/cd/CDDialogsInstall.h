// Installs the CD dialogs behind the CD core's hooks. Under automation (KELDAR_MESSAGE_LOG)
// the input box is not shown: its prompt goes to the log and it answers "cancelled".
#pragma once

class QWidget;

void InstallCDDialogs(QWidget* parent);
void ClearCDDialogs();
