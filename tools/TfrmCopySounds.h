#pragma once
// "Copy Sounds": fills the next n slots of the Blofeld banks, from a chosen
// destination on, with copies of one chosen source sound.

#include <QDialog>

#include <functional>

#include "library/BankSet.h"
#include "library/Log.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvix {

class TfrmCopySounds : public QDialog {
  Q_OBJECT
 public:
  // Works directly on `blofeld`; `redrawRow` is called with the index of
  // every slot written so the main window can redraw that row. A run that
  // would pass H128 is logged to `log` and shown in the dialog, which stays open.
  TfrmCopySounds(BankSet& blofeld, Log& log, std::function<void(int)> redrawRow, QWidget* parent = nullptr);

  int SourceIndex() const { return sourceBank_ * kProgramsPerBank + sourceProgram_; }
  int DestinationIndex() const { return destBank_ * kProgramsPerBank + destProgram_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void cmbBanksChange(int index);
  void cmbProgramsChange(int index);
  void cmbBanks2Change(int index);
  void cmbPrograms2Change(int index);
  void edtCountChange(const QString& text);
  void btnRandomSoundClick();
  // Refills a program list for a bank and selects a program in it without
  // running the list's change handler.
  void FillPrograms(QComboBox* list, int bank, int program);

  BankSet& blofeld_;
  Log& log_;
  std::function<void(int)> redrawRow_;
  int sourceBank_ = 0;
  int sourceProgram_ = 0;
  int destBank_ = 0;
  int destProgram_ = 0;

  QComboBox* cmbBanks_;
  QComboBox* cmbPrograms_;
  QComboBox* cmbBanks2_;
  QComboBox* cmbPrograms2_;
  QLineEdit* edtCount_;
  QPushButton* btnRandomSound_;
  QLabel* lblError_;
};

}  // namespace tarvix
