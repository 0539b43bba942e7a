// "freedb Options": freedb support, the user's e-mail and the server list editor.
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "cd/FreedbServerList.h"
#include "dialogs/FreedbServersFromInternet.h"
#include "dialogs/PreferencesPage.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

class TfreedbOptionsPage : public TPreferencesPage {
 public:
  TfreedbOptionsPage() : TPreferencesPage("freedb Options") {
    m_use = new QCheckBox("Use freedb Support");
    m_use->setObjectName("Use freedb Support");
    m_email = new QLineEdit;
    m_email->setObjectName("UserEmailEdit");
    m_email->installEventFilter(this);
    m_server = new QComboBox;
    m_server->setObjectName("ServersComboBox");
    m_type = new QComboBox;
    m_type->setObjectName("ServerTypeComboBox");
    m_type->addItems({"http", "cddbp"});
    const auto field = [](const char* name) {
      auto* edit = new QLineEdit;
      edit->setObjectName(name);
      return edit;
    };
    m_port = field("ServerPortEdit");
    m_path = field("ServerPathEdit");
    m_latitude = field("ServerLatitudeEdit");
    m_longitude = field("ServerLongitudeEdit");
    m_location = field("ServerLocationEdit");
    auto* newServer = new QPushButton("New Server");
    newServer->setObjectName("NewServerButton");
    auto* removeServer = new QPushButton("Remove Server");
    removeServer->setObjectName("RemoveServerButton");
    auto* resetServers = new QPushButton("Reset Server List");
    resetServers->setObjectName("ResetServerListButton");
    auto* getServers = new QPushButton("Get Servers List");
    getServers->setObjectName("GetServersListButton");

    auto* user = new QGroupBox("User:");
    auto* userGrid = new QGridLayout(user);
    userGrid->addWidget(m_use, 0, 0, 1, 2);
    userGrid->addWidget(new QLabel("User Login E-mail "), 1, 0);
    userGrid->addWidget(m_email, 1, 1);
    auto* servers = new QGroupBox("Servers:");
    auto* grid = new QGridLayout(servers);
    grid->addWidget(new QLabel("Server:"), 0, 0);
    grid->addWidget(m_server, 0, 1, 1, 3);
    grid->addWidget(new QLabel("Type:"), 1, 0);
    grid->addWidget(m_type, 1, 1);
    grid->addWidget(new QLabel("Port:"), 1, 2);
    grid->addWidget(m_port, 1, 3);
    grid->addWidget(new QLabel("Path:"), 2, 0);
    grid->addWidget(m_path, 2, 1, 1, 3);
    grid->addWidget(new QLabel("Latitude:"), 3, 0);
    grid->addWidget(m_latitude, 3, 1);
    grid->addWidget(new QLabel("Longitude:"), 3, 2);
    grid->addWidget(m_longitude, 3, 3);
    grid->addWidget(new QLabel("Location:"), 4, 0);
    grid->addWidget(m_location, 4, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {newServer, removeServer, resetServers, getServers}) buttons->addWidget(b);
    grid->addLayout(buttons, 5, 0, 1, 4);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(user);
    layout->addWidget(servers);
    layout->addStretch(1);

    connect(m_use, &QCheckBox::toggled, this, [this](bool on) {
      if (!m_filling) Options_UsefreedbSupportState.BooleanValue = on;
    });
    connect(m_email, &QLineEdit::returnPressed, this, [this] { StoreEmail(); });
    connect(m_email, &QLineEdit::editingFinished, this, [this] { StoreEmail(); });
    connect(m_server, &QComboBox::activated, this, [this](int index) { SelectServer(index); });
    for (QLineEdit* edit : {m_port, m_path, m_latitude, m_longitude, m_location})
      connect(edit, &QLineEdit::returnPressed, this, [this] { UpdatefreedbServerData(); });
    connect(m_type, &QComboBox::activated, this, [this] { UpdatefreedbServerData(); });
    connect(newServer, &QPushButton::clicked, this, [this] {
      auto& list = FreedbServers();
      if (list.TotalServers >= freedbServersStructure::kMaxServers) return;
      freedbServerStructure& server = list.CurrentServer[size_t(list.TotalServers++)];
      server = {};
      server.ServerAddress = "Enter freedb server name";
      server.ServerPort = "80";
      server.ServerAdditionalAddress = "/~cddb/cddb.cgi";
      server.ServerLocationLatitude = "N000.00";
      server.ServerLocationLongitude = "W000.00";
      server.ServerLocationDescription = "Random freedb server";
      server.ServerType = TServerType1::HTTP;
      Options_freedbLastUsedServer.IntegerValue = list.TotalServers - 1;
      UpdateAllControlsWithNewServerData();
    });
    connect(removeServer, &QPushButton::clicked, this, [this] {
      auto& list = FreedbServers();
      if (list.TotalServers < 2) return;
      const int index = std::clamp(m_server->currentIndex(), 0, list.TotalServers - 1);
      for (int i = index; i + 1 < list.TotalServers; ++i) list.CurrentServer[size_t(i)] = list.CurrentServer[size_t(i + 1)];
      list.CurrentServer[size_t(--list.TotalServers)] = {};
      Options_freedbLastUsedServer.IntegerValue = std::max(0, index - 1);
      UpdateAllControlsWithNewServerData();
    });
    connect(resetServers, &QPushButton::clicked, this, [this] {
      ResetServerListToDefault(FreedbServers());
      UpdateAllControlsWithNewServerData();
    });
    connect(getServers, &QPushButton::clicked, this, [this] {
      auto& list = FreedbServers();
      const int index = m_server->currentIndex();
      const freedbServerStructure server =
          index >= 0 && index < list.TotalServers ? list.CurrentServer[size_t(index)] : freedbServerStructure{};
      LoadfreedbServersFromInternet(server, list);
      UpdateAllControlsWithNewServerData();
    });
  }

  void Fill() override {
    m_filling = true;
    m_use->setChecked(Options_UsefreedbSupportState.BooleanValue);
    m_email->setText(Q(Options_freedbUserEmail.StringValue));
    m_filling = false;
    UpdateAllControlsWithNewServerData();
  }

  // Fills the server box and reselects the last used server (0 when out of range).
  void UpdateAllControlsWithNewServerData() {
    const auto& list = FreedbServers();
    {
      const QSignalBlocker block(m_server);
      m_server->clear();
      for (int i = 0; i < list.TotalServers; ++i) m_server->addItem(Q(list.CurrentServer[size_t(i)].ServerAddress));
    }
    if (Options_freedbLastUsedServer.IntegerValue < 0 || Options_freedbLastUsedServer.IntegerValue >= list.TotalServers)
      Options_freedbLastUsedServer.IntegerValue = 0;
    SelectServer(Options_freedbLastUsedServer.IntegerValue);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_email && event->type() == QEvent::FocusIn) m_emailOnEntry = m_email->text().toStdString();
    return TPreferencesPage::eventFilter(watched, event);
  }

 private:
  // A text without "@" is no address: the one it replaced, else the setting's default.
  void StoreEmail() {
    std::string text = m_email->text().toStdString();
    if (text.find('@') == std::string::npos) {
      text = m_emailOnEntry.find('@') != std::string::npos ? m_emailOnEntry : Options_freedbUserEmail.StringValue;
      if (text.find('@') == std::string::npos) text = Options_freedbUserEmail.DefaultStringValue;
      m_email->setText(Q(text));
    }
    Options_freedbUserEmail.StringValue = text;
    m_emailOnEntry = text;
  }

  void SelectServer(int index) {
    const auto& list = FreedbServers();
    const bool valid = index >= 0 && index < list.TotalServers;
    const freedbServerStructure server = valid ? list.CurrentServer[size_t(index)] : freedbServerStructure{};
    {
      const QSignalBlocker block(m_server);
      m_server->setCurrentIndex(valid ? index : -1);
    }
    m_type->setCurrentIndex(server.ServerType == TServerType1::HTTP ? 0 : 1);
    m_port->setText(Q(server.ServerPort));
    m_path->setText(Q(server.ServerAdditionalAddress));
    m_latitude->setText(Q(server.ServerLocationLatitude));
    m_longitude->setText(Q(server.ServerLocationLongitude));
    m_location->setText(Q(server.ServerLocationDescription));
    if (valid) Options_freedbLastUsedServer.IntegerValue = index;
  }

  // The fields go back into the selected server, at protocol level 5.
  void UpdatefreedbServerData() {
    auto& list = FreedbServers();
    const int index = m_server->currentIndex();
    if (index < 0 || index >= list.TotalServers) return;
    // Blanks separate the file's fields; only the description may hold them.
    const auto word = [](QLineEdit* edit) {
      std::string text = edit->text().trimmed().toStdString();
      std::replace(text.begin(), text.end(), ' ', '_');
      return text;
    };
    freedbServerStructure& server = list.CurrentServer[size_t(index)];
    server.ServerType = m_type->currentIndex() == 1 ? TServerType1::CDDBP : TServerType1::HTTP;
    server.ServerProtocolLevel = 5;
    server.ServerPort = word(m_port);
    server.ServerAdditionalAddress = word(m_path);
    server.ServerLocationLatitude = word(m_latitude);
    server.ServerLocationLongitude = word(m_longitude);
    server.ServerLocationDescription = m_location->text().toStdString();
  }

  QCheckBox* m_use;
  QLineEdit *m_email, *m_port, *m_path, *m_latitude, *m_longitude, *m_location;
  QComboBox *m_server, *m_type;
  std::string m_emailOnEntry;
  bool m_filling = false;
};

}  // namespace

TPreferencesPage* CreatefreedbOptionsPage() { return new TfreedbOptionsPage; }
