// TCDDBMultipleMatchesForm: "Multiple matches found", one line per match. UI thread only.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QListWidget;

class TCDDBMultipleMatchesForm : public QDialog {
  Q_OBJECT
 public:
  explicit TCDDBMultipleMatchesForm(const std::vector<std::string>& lines, QWidget* parent = nullptr);
  QListWidget& MatchesList() const { return *m_list; }
  // The chosen index after OK, nothing after Cancel or without a choice.
  std::optional<int> Chosen() const;

 private:
  QListWidget* m_list;
};
