#pragma once
// The list of one bank set: whole-row multi-selection, grid lines, no
// in-place editing, drag and drop between and within the lists. The view
// keeps its selection and the set's selection in step both ways; what a
// click means (audition, move, rename) is decided by the main window through
// the signals.

#include <QTableView>
#include <vector>

#include "app/BankListModel.h"

namespace tarvix {

class BankListView : public QTableView {
  Q_OBJECT
 public:
  BankListView(BankListModel* model, QWidget* parent = nullptr);

  BankListModel* Model() const { return model_; }
  BankSet& Set() const { return model_->Set(); }
  // The set's selection into the view (after an operation changed it).
  void SyncSelectionFromSet();
  // The set's current row into the view, leaving the selection alone (after
  // a move took the current sound elsewhere).
  void SyncCurrentFromSet();
  // The row the list shows as current, or -1. The set's CurrentIndex follows
  // it: whatever makes a row current in the view makes it the set's too.
  int CurrentRow() const;
  void SetCurrentRow(int row);  // makes it current and the only selected row
  void KeepRowVisible(int row);
  void SelectAllRows();
  // The width that shows every column whole ("Changed" included) beside the
  // vertical scroll bar.
  int WidthForAllColumns() const;

 signals:
  void RowClicked(int row);                        // a plain left click
  void RowRightClicked(int row, Qt::KeyboardModifiers modifiers);
  void RowDoubleClicked(int row);
  void RowDropped(BankListView* source, int targetRow);
  // Sound dumps dropped on a row (only records that are sound dumps).
  void SoundsDropped(const std::vector<tarvix::SoundData>& sounds, int targetRow);
  void Touched();                                  // mouse down, drag over, drop: the list becomes the active one
  void SelectionWasChanged(bool anySelected, bool anyDeselected);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Whether a drag carries what a drop here can take.
  bool Accepts(const QDropEvent* event) const;
  void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  BankListModel* model_;
  bool syncing_ = false;
};

}  // namespace tarvix
