#pragma once
// "Copy Patch": shows the selected sounds of one bank set and asks from which
// slot of the other set on they are to go. The copy itself is the caller's.

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace tarvix {

class BankSet;

class TfrmCopyPatch : public QDialog {
  Q_OBJECT
 public:
  // source: the set whose selected rows are copied (its kind picks the two
  // captions); destination: the set copied into, whose CurrentIndex is the
  // first choice. "Copy" accepts, "No" rejects.
  TfrmCopyPatch(const BankSet& source, const BankSet& destination, QWidget* parent = nullptr);

  // The chosen first destination slot, 0..1023.
  int DestinationIndex() const;

 private:
  QLabel* lblFrom_;
  QLabel* lblTo_;
  QComboBox* cmbDestination_;
  QPlainTextEdit* memSource_;
};

}  // namespace tarvix
