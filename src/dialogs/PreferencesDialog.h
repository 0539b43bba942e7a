// "KELDAR Preferences Dialog": a tree of page names on the left, the notebook of the 16 pages
// on the right. Every control writes its setting the moment it changes; "OK" and "Cancel"
// both only hide the dialog. Pages are refilled on every show. UI thread only.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TPreferencesPage;

class TPreferencesDialogForm : public QDialog {
  Q_OBJECT
 public:
  explicit TPreferencesDialogForm(QWidget* parent = nullptr);

  // Fills every page from the settings and lists.
  void SetAllPreferencesDialogOptions();
  // Makes the page with this caption current (tree node and title follow); unknown names
  // leave the dialog as it is.
  void SelectPage(const std::string& caption);
  // Shows the dialog on that page.
  void ShowPage(const std::string& caption);
  std::string CurrentPageCaption() const;
  // The page widget with this caption, or null.
  TPreferencesPage* Page(const std::string& caption) const;
  std::vector<std::string> PageCaptions() const;
  QTreeWidget* Tree() const { return m_tree; }
  // The output-folder chooser of "Encoders Options" (the recording dialog's "...").
  void Button28Click();
  // The main window's timer: the page that shows refreshes what changes by itself.
  void MainTimerTick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ActivateTreeNode(QTreeWidgetItem* node);

  QTreeWidget* m_tree = nullptr;
  QStackedWidget* m_notebook = nullptr;
  QLabel* m_title = nullptr;
  std::vector<TPreferencesPage*> m_pages;
};
