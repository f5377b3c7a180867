#include "tools/TfrmLocator.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "tools/Locator.h"
#include "tools/ProgramEntries.h"

namespace tarvix {

TfrmLocator::TfrmLocator(int count, int currentPosition, int startIndex, const BankSet& set, QWidget* parent)
    : QDialog(parent),
      set_(set),
      count_(count),
      // A list without a current row must not turn into the "own positions" answer.
      currentPosition_(std::clamp(currentPosition, 0, kSlotCount - 1)),
      startIndex_(startIndex) {
  setObjectName("frmLocator");
  setWindowTitle("Open Sounds Locator");

  cmbBanks_ = new QComboBox(this);
  cmbBanks_->setObjectName("cmbBanks");
  for (int b = 0; b < kBankCount; ++b) cmbBanks_->addItem(QString(QChar(BankLetter(b))));
  cmbPrograms_ = new QComboBox(this);
  cmbPrograms_->setObjectName("cmbPrograms");
  cmbPrograms_->setMinimumWidth(180);

  lblTotalSounds_ = new QLabel(QString::fromStdString(TotalSoundsCaption(count)), this);
  lblTotalSounds_->setObjectName("lblTotalSounds");
  lblCopyTo_ = new QLabel(this);
  lblCopyTo_->setObjectName("lblCopyTo");
  lblAchtung_ = new QLabel(kLocatorWarning, this);
  lblAchtung_->setObjectName("lblAchtung");

  CheckBox1_ = new QCheckBox("Copy from current position", this);
  CheckBox1_->setObjectName("CheckBox1");
  CheckBox2_ = new QCheckBox("Copy to original position", this);
  CheckBox2_->setObjectName("CheckBox2");

  auto* btnOk = new QPushButton("&Ok", this);
  btnOk->setObjectName("btnOk");
  btnOk->setDefault(true);
  auto* btnCancel = new QPushButton("&Cancel", this);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setAutoDefault(false);
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);  // Esc too

  // The first position, shown before the change handlers are connected.
  ShowPosition(std::clamp(startIndex, 0, kSlotCount - 1));
  UpdateLabels();

  connect(cmbBanks_, &QComboBox::currentIndexChanged, this, &TfrmLocator::cmbBanksChange);
  connect(cmbPrograms_, &QComboBox::currentIndexChanged, this, &TfrmLocator::cmbProgramsChange);
  connect(CheckBox1_, &QCheckBox::toggled, this, &TfrmLocator::CheckBox1Click);
  connect(CheckBox2_, &QCheckBox::toggled, this, &TfrmLocator::CheckBox2Click);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Bank", this), 0, 0);
  grid->addWidget(new QLabel("Program", this), 0, 1);
  grid->addWidget(cmbBanks_, 1, 0);
  grid->addWidget(cmbPrograms_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTotalSounds_);
  layout->addLayout(grid);
  layout->addWidget(lblCopyTo_);
  layout->addWidget(lblAchtung_);
  layout->addWidget(CheckBox1_);
  layout->addWidget(CheckBox2_);
  layout->addLayout(buttons);
}

void TfrmLocator::ShowPosition(int index) {
  bank_ = index / kProgramsPerBank;
  program_ = index % kProgramsPerBank;
  const QSignalBlocker quietBanks(cmbBanks_);
  const QSignalBlocker quietPrograms(cmbPrograms_);
  cmbPrograms_->clear();
  for (const std::string& e : ProgramEntries(set_, bank_))
    cmbPrograms_->addItem(QString::fromLatin1(e.data(), static_cast<qsizetype>(e.size())));
  cmbBanks_->setCurrentIndex(bank_);
  cmbPrograms_->setCurrentIndex(program_);
}

void TfrmLocator::UpdateLabels() {
  startIndex_ = bank_ * kProgramsPerBank + program_;
  const LocatorLabels labels = LocatorLabelsFor(startIndex_, count_);
  lblCopyTo_->setText(QString::fromStdString(labels.copyTo));
  QPalette p = lblAchtung_->palette();
  p.setColor(QPalette::WindowText, labels.pastEnd ? QColor(255, 0, 0) : QColor(0, 0, 0));
  lblAchtung_->setPalette(p);
}

void TfrmLocator::cmbBanksChange(int index) {
  if (index < 0) return;
  if (index != bank_) ShowPosition(index * kProgramsPerBank + program_);
  UpdateLabels();
}

void TfrmLocator::cmbProgramsChange(int index) {
  if (index < 0) return;
  program_ = index;
  UpdateLabels();
}

void TfrmLocator::CheckBox1Click(bool checked) {
  if (checked) ShowPosition(std::clamp(currentPosition_, 0, kSlotCount - 1));
  cmbBanks_->setEnabled(!checked);
  cmbPrograms_->setEnabled(!checked);
  UpdateLabels();
}

void TfrmLocator::CheckBox2Click(bool checked) {
  CheckBox1_->setEnabled(!checked);
  // The lists stay fixed while the current position is still chosen.
  const bool lists = !checked && !CheckBox1_->isChecked();
  cmbBanks_->setEnabled(lists);
  cmbPrograms_->setEnabled(lists);
  UpdateLabels();
}

void TfrmLocator::done(int result) {
  startIndex_ = LocatorAnswer(bank_, program_, currentPosition_, CheckBox1_->isChecked(), CheckBox2_->isChecked());
  QDialog::done(result);
}

}  // namespace tarvix
