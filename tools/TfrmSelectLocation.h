#pragma once
// "Select Location": asks for one bank (A-H) and one program (1-128).
// The caller may preset both, shows it modally and reads Bank() and
// Program() (0-based) when it is accepted.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

namespace tarvix {

class TfrmSelectLocation : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmSelectLocation(QWidget* parent = nullptr);

  // Values outside 0..7 / 0..127 are ignored.
  void SetLocation(int bank, int program);
  // The names of the 1024 slots (bank x 128 + program): each program entry
  // then shows the name of the sound in that slot of the chosen bank.
  void SetSoundNames(const QStringList& names);
  int Bank() const;
  int Program() const;

  QComboBox* cmbBank;
  QComboBox* cmbProgram;
  QPushButton* Button1;  // "Ok"
  QPushButton* Button2;  // "Cancel"

 private:
  void ShowNames();
  QStringList names_;
};

}  // namespace tarvix
