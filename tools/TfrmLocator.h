#pragma once
// "Open Sounds Locator": asks where the sounds of a file are to be loaded —
// from a chosen slot on, from the list's current slot, or each to the slot
// named in its own dump header. It only chooses; the caller loads.

#include <QDialog>

#include "library/BankSet.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tarvix {

class TfrmLocator : public QDialog {
  Q_OBJECT
 public:
  // count: sounds in the file; currentPosition: the current row of the target
  // set's list; startIndex: the first choice (callers pass the current
  // position); set: the target set, read only for the program names.
  // lblTotalSounds is set to "The file contain <count> sounds.".
  TfrmLocator(int count, int currentPosition, int startIndex, const BankSet& set, QWidget* parent = nullptr);

  // The answer, computed on every close (OK or Cancel): the first flat
  // index to load to, or -1 for each sound's own position. Callers use it
  // only after Accepted.
  int StartIndex() const { return startIndex_; }

  void done(int result) override;

 private:
  void cmbBanksChange(int index);
  void cmbProgramsChange(int index);
  void CheckBox1Click(bool checked);
  void CheckBox2Click(bool checked);
  void ShowPosition(int index);
  void UpdateLabels();

  const BankSet& set_;
  int count_;
  int currentPosition_;
  int startIndex_;
  int bank_ = 0;
  int program_ = 0;

  QComboBox* cmbBanks_;
  QComboBox* cmbPrograms_;
  QLabel* lblTotalSounds_;
  QLabel* lblCopyTo_;
  QLabel* lblAchtung_;
  QCheckBox* CheckBox1_;
  QCheckBox* CheckBox2_;
};

}  // namespace tarvix
