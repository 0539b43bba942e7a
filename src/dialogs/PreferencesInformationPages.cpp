// "About", "What's New", "Credits", "FAQ", "Help" and the empty "Recorded Files" page.
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QUrl>
#include <QVBoxLayout>

#include <fstream>

#include "dialogs/PreferencesInformationTexts.h"
#include "dialogs/PreferencesPage.h"
#include "util/GeneralPurposeInternetFunctions.h"
#include "util/ProgramFolders.h"
#include "util/VersionInfo.h"

namespace {

// The file is release notes; more than this is not release notes, and a memo of hundreds of
// megabytes would stall the dialog.
constexpr std::streamsize kMaxWhatsNewBytes = 512 * 1024;

QLabel* Footer() {
  auto* footer = new QLabel(QString("<a href=\"%1\">%2</a> &nbsp; <a href=\"mailto:%3\">%3</a>")
                                .arg(QString::fromStdString("http://" + KeldarWebSite()), QString::fromStdString(KeldarWebSite()), KELDAR_CONTACT_ADDRESS));
  footer->setObjectName("FooterLinks");
  footer->setTextFormat(Qt::RichText);
  footer->setOpenExternalLinks(true);
  return footer;
}

class TInformationPage : public TPreferencesPage {
 public:
  TInformationPage(const std::string& caption, QString text) : TPreferencesPage(caption), m_text(std::move(text)) {
    m_group = new QGroupBox;
    m_memo = new QPlainTextEdit;
    m_memo->setObjectName("InformationMemo");
    m_memo->setReadOnly(true);
    auto* inner = new QVBoxLayout(m_group);
    inner->addWidget(m_memo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_group, 1);
    layout->addWidget(Footer());
  }
  void Fill() override {
    m_group->setTitle(QString::fromStdString(ProgramNameAndVersion()));
    m_memo->setPlainText(Text());
  }

 protected:
  virtual QString Text() { return m_text; }
  QPlainTextEdit* m_memo;

 private:
  QGroupBox* m_group;
  QString m_text;
};

class TWhatsNewPage : public TInformationPage {
 public:
  TWhatsNewPage() : TInformationPage("What's New", {}) {}

 protected:
  QString Text() override {
    // The working folder first (a user's copy), then the one installed beside the program.
    for (const std::string& folder : {ProgramFolder(), ExecutableFolder()}) {
      std::ifstream in(folder + "/What's New.txt", std::ios::binary);
      if (!in) continue;
      std::string text(static_cast<size_t>(kMaxWhatsNewBytes), '\0');
      in.read(text.data(), kMaxWhatsNewBytes);
      text.resize(static_cast<size_t>(in.gcount()));
      return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    return "File What's New.txt  was NOT found !!!\nMake sure Zorvane Audio Player was installed properly.";
  }
};

}  // namespace

std::string ProgramNameAndVersion() { return std::string(KELDAR_PRODUCT_NAME) + " v" + KELDAR_FILE_VERSION; }

TPreferencesPage* CreateInformationPage(const std::string& caption) {
  return new TInformationPage(caption, QString::fromUtf8(InformationPageText(caption)));
}

TPreferencesPage* CreateWhatsNewPage() { return new TWhatsNewPage; }

TPreferencesPage* CreateRecordedFilesPage() { return new TPreferencesPage("Recorded Files"); }
