#pragma once
// The rename box of one slot: its category and its name. The caption is the
// slot's name. A slot whose category byte names no category (only reception
// can bring one in) shows no selection, and OK then leaves that byte alone.

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>

#include "library/BankSet.h"

class QComboBox;
class QLineEdit;

namespace tarvix {

class TfrmPatchEditSimple : public QDialog {
  Q_OBJECT
 public:
  // Reads the slot's name and category from `set`; the set's kind decides
  // how the name is shown (Blofeld banks: trimmed; Virtual banks: as stored).
  TfrmPatchEditSimple(const BankSet& set, int index, QWidget* parent = nullptr);

  // Results, meaningful after "&Ok" (Accepted).
  std::optional<std::uint8_t> Category() const;  // nullopt: keep the byte
  std::string Name() const;                      // Latin-1 bytes, up to 16
  // SetCategory + SetSoundName + changed flag on the slot (after OK only).
  // An empty name stores 16 blanks.
  void ApplyTo(BankSet& set, int index) const;

 private:
  QComboBox* cmbCategory_;
  QLineEdit* edtName_;
};

}  // namespace tarvix
