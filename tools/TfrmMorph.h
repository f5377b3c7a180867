#pragma once
// The "Quasi Morph" window: picks two Blofeld banks sounds and a percentage
// and auditions the blend once a second. The logic lives in Morph; this
// window only turns its controls' events into calls of it.

#include <QDialog>

#include "library/Prompter.h"
#include "tools/Morph.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace tarvix {

class TfrmMorph : public QDialog {
  Q_OBJECT

 public:
  // blofeld must outlive the window; send receives (parameter number, value)
  // for each changed byte; prompter asks for file names and the replace
  // question; random is the program's random source.
  TfrmMorph(const BankSet& blofeld, ParameterSendFn send, Prompter& prompter, RandomSource& random,
            QWidget* parent = nullptr);

  const Morph& Core() const { return morph_; }

  void cmbSound1Change();
  void trbMorphChange(int position);
  void chbDetuneClick();
  void btnRandomizeSoundsClick();
  void btnSaveClick();
  void BitBtn1Click();
  void Timer1Timer();

 private:
  void FormCreate();
  static std::optional<int> Selected(const QComboBox* list);

  const BankSet& blofeld_;
  Prompter& prompter_;
  RandomSource& random_;
  Morph morph_;

  QComboBox* cmbSound1 = nullptr;
  QComboBox* cmbSound2 = nullptr;
  QSlider* trbMorph = nullptr;
  QLabel* lbkPercent = nullptr;
  QCheckBox* chbDetune = nullptr;
  QPushButton* btnRandomizeSounds = nullptr;
  QPushButton* btnSave = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QTimer* Timer1 = nullptr;
};

}  // namespace tarvix
