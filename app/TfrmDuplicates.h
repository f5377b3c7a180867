#pragma once
// "Find Duplicate Sounds": the groups of rows, across both bank sets, that
// hold the same sound under whatever names. The window stays open beside the
// main window; from it the musician selects a group's rows or goes to one
// row. What that does to the lists is the main window's business: this
// window only says which rows.

#include <QDialog>
#include <vector>

#include "library/Duplicates.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvix {

class TfrmDuplicates : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmDuplicates(QWidget* parent = nullptr);

  // Searches both sets again and lists what it found.
  void Fill(const BankSet& blofeld, const BankSet& virtualBanks);
  const std::vector<DuplicateGroup>& Groups() const { return groups_; }
  QTreeWidget* Tree() const { return tree_; }

 signals:
  void SelectGroupRequested(const tarvix::DuplicateGroup& group);
  void GoToRowRequested(tarvix::DuplicateRow row);
  void RefreshRequested();

 private:
  // The group of the current item (a group or one of its rows), or -1.
  int CurrentGroup() const;
  void SelectGroup();
  void GoToRow();
  void Activated(QTreeWidgetItem* item);
  void UpdateButtons();

  QTreeWidget* tree_;
  QLabel* lblSummary_;
  QPushButton* btnSelectGroup_;
  QPushButton* btnGoToRow_;
  std::vector<DuplicateGroup> groups_;
};

}  // namespace tarvix
