#include "cd/FreeDBInterface.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "cd/CDDBConnect.h"
#include "cd/FreedbServerList.h"
#include "settings/SettingsFunctionsToINIFiles.h"

TFreeDBInterfaceForm::TFreeDBInterfaceForm(TCDDBConnect& client, TCDDBEntry& entry, QWidget* parent)
    : QDialog(parent), m_connect(client), m_entry(entry) {
  setWindowTitle("Retrieve CD Information");
  m_status = new QLabel("Ready");
  m_search = new QPushButton("Search freedb");
  m_cancel = new QPushButton("Cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_search);
  buttons->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_status);
  layout->addLayout(buttons);
  connect(m_search, &QPushButton::clicked, this, &TFreeDBInterfaceForm::SearchfreedbButtonClick);
  connect(m_cancel, &QPushButton::clicked, this, [this] {
    m_result = false;
    reject();
  });
  resize(360, 100);
}

void TFreeDBInterfaceForm::SearchfreedbButtonClick() {
  freedbServersStructure& servers = FreedbServers();
  if (servers.TotalServers <= 0) ResetServerListToDefault(servers);
  int index = Options_freedbLastUsedServer.IntegerValue;
  if (index < 0 || index >= servers.TotalServers) index = 0;
  SetCDDBComponentServerVariables(m_connect, servers.CurrentServer[static_cast<size_t>(index)]);
  m_status->setText("Searching " + QString::fromStdString(m_connect.ServerAddress));
  // One search at a time: the request keeps the event loop turning while it waits.
  m_search->setEnabled(false);
  m_cancel->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool found = m_connect.GetInfoForCurrentCD(m_entry);
  QApplication::restoreOverrideCursor();
  if (found) m_connect.SaveCurrentCDDataLocal(m_entry);
  m_search->setEnabled(true);
  m_cancel->setEnabled(true);
  m_result = found;
  if (found) accept();
  else reject();
}
