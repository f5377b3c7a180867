#include "tools/TfrmSelectLocation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tarvix {

TfrmSelectLocation::TfrmSelectLocation(QWidget* parent) : QDialog(parent) {
  setObjectName("frmSelectLocation");
  setWindowTitle("Select Location");
  cmbBank = new QComboBox(this);
  cmbBank->setObjectName("cmbBank");
  for (char b = 'A'; b <= 'H'; ++b) cmbBank->addItem(QString(QChar(b)));
  cmbProgram = new QComboBox(this);
  cmbProgram->setObjectName("cmbProgram");
  for (int p = 1; p <= 128; ++p) cmbProgram->addItem(QString::number(p));
  cmbBank->setCurrentIndex(0);
  cmbProgram->setCurrentIndex(0);
  Button1 = new QPushButton("Ok", this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  Button2 = new QPushButton("Cancel", this);
  Button2->setObjectName("Button2");

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Bank", this), 0, 0);
  grid->addWidget(cmbBank, 1, 0);
  grid->addWidget(new QLabel("Program", this), 0, 1);
  grid->addWidget(cmbProgram, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  grid->addLayout(buttons, 2, 0, 1, 2);

  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmbBank, &QComboBox::currentIndexChanged, this, [this] { ShowNames(); });
  // Wide enough for the whole title and a program entry with its name.
  setMinimumWidth(320);
}

void TfrmSelectLocation::SetSoundNames(const QStringList& names) {
  names_ = names;
  cmbProgram->setMinimumContentsLength(22);
  ShowNames();
}

void TfrmSelectLocation::ShowNames() {
  const int bank = cmbBank->currentIndex();
  for (int p = 0; p < cmbProgram->count(); ++p) {
    const int slot = bank * 128 + p;
    QString text = QString::number(p + 1);
    if (bank >= 0 && slot < names_.size()) text += "  " + names_[slot].trimmed();
    cmbProgram->setItemText(p, text);
  }
}

void TfrmSelectLocation::SetLocation(int bank, int program) {
  if (bank >= 0 && bank < cmbBank->count()) cmbBank->setCurrentIndex(bank);
  if (program >= 0 && program < cmbProgram->count()) cmbProgram->setCurrentIndex(program);
}

int TfrmSelectLocation::Bank() const { return cmbBank->currentIndex(); }
int TfrmSelectLocation::Program() const { return cmbProgram->currentIndex(); }

}  // namespace tarvix
