// TFreeDBInterfaceForm: "Retrieve CD Information". "Search freedb" asks the chosen server for
// the program's CD entry and stores what it gets locally; "Cancel" closes. UI thread only.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TCDDBConnect;
class TCDDBEntry;

class TFreeDBInterfaceForm : public QDialog {
  Q_OBJECT
 public:
  TFreeDBInterfaceForm(TCDDBConnect& client, TCDDBEntry& entry, QWidget* parent = nullptr);
  // The dialog's result flag: true when the search stored an entry.
  bool ResultFlag() const { return m_result; }
  void SearchfreedbButtonClick();
  QLabel& StatusLabel() const { return *m_status; }
  QPushButton& SearchButton() const { return *m_search; }
  QPushButton& CancelButton() const { return *m_cancel; }

 private:
  TCDDBConnect& m_connect;
  TCDDBEntry& m_entry;
  bool m_result = false;
  QLabel* m_status;
  QPushButton* m_search;
  QPushButton* m_cancel;
};
