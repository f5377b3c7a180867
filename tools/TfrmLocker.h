#pragma once
// The "Parameter Locker - Randomizer" window: lock boxes, the sound selector
// over the Blofeld banks, swap and roll buttons and the raw-value panel. The
// logic lives in ParameterLocker; the window forwards its events and shows
// the working sound. It never writes into the bank sets: its result lives
// on in the instrument's edit buffer and in saved files.

#include <QDialog>
#include <array>

#include "library/Prompter.h"
#include "tools/ParameterLocker.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tarvix {

class TfrmLocker : public QDialog {
  Q_OBJECT

 public:
  // currentSound is the instrument's edit buffer as just fetched; blofeld
  // must outlive the window; send receives (parameter number, value).
  TfrmLocker(const BankSet& blofeld, const SoundData& currentSound, ParameterSendFn send, Prompter& prompter,
             RandomSource& random, QWidget* parent = nullptr);

  const ParameterLocker& Core() const { return locker_; }
  const SoundData& WorkSound() const { return locker_.WorkSound; }

  void FormActivate();
  void cmbBanksChange();
  void cmbProgramsChange();
  void btnNextSoundClick();
  void btnPrevSoundClick();
  void btnRandomSoundClick();
  void btnSaveClick();
  void Timer1Timer();
  void Timer2Timer();

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void FillProgramList(int bank);
  void SetSelectorLists();
  void ShowParameters();
  QWidget* BuildLockerGroup();
  QWidget* BuildSelectorGroup();
  QWidget* BuildSwapButtons();
  QWidget* BuildParametersGroup();

  const BankSet& blofeld_;
  Prompter& prompter_;
  RandomSource& random_;
  ParameterLocker locker_;

  std::array<QCheckBox*, kLockGroupCount> lockBoxes_{};
  std::array<QLabel*, kPanelLabelCount> labels_{};
  QComboBox* cmbBanks = nullptr;
  QComboBox* cmbPrograms = nullptr;
  QPushButton* btnPrevSound = nullptr;
  QPushButton* btnNextSound = nullptr;
  QPushButton* btnRandomSound = nullptr;
  QPushButton* btnSave = nullptr;
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
};

}  // namespace tarvix
