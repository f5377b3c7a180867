#include "app/TfrmCopyPatch.h"

#include <algorithm>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "library/BankSet.h"

namespace tarvix {

namespace {
// "A001  Name": slot label, two blanks, the slot's name.
QString Entry(const BankSet& set, int i) {
  const std::string text = SlotLabel(i) + "  " + GetSoundName(set, i);
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

TfrmCopyPatch::TfrmCopyPatch(const BankSet& source, const BankSet& destination, QWidget* parent) : QDialog(parent) {
  setObjectName("frmCopyPatch");
  setWindowTitle("Copy Patch");
  const bool fromBlofeld = source.IsBlofeld();

  lblFrom_ = new QLabel(fromBlofeld ? "Copy from Blofeld banks" : "Copy from Virtual banks", this);
  lblFrom_->setObjectName("lblFrom");
  lblTo_ = new QLabel(fromBlofeld ? "Copy to Virtual banks" : "Copy to Blofeld banks", this);
  lblTo_->setObjectName("lblTo");

  memSource_ = new QPlainTextEdit(this);
  memSource_->setObjectName("Memo1");
  memSource_->setReadOnly(true);
  memSource_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QStringList lines;
  for (int i = 0; i < kSlotCount; ++i)
    if (source.IsSelected(i)) lines << Entry(source, i);
  memSource_->setPlainText(lines.join('\n'));

  cmbDestination_ = new QComboBox(this);
  cmbDestination_->setObjectName("ComboBox1");
  QStringList entries;
  entries.reserve(kSlotCount);
  for (int i = 0; i < kSlotCount; ++i) entries << Entry(destination, i);
  cmbDestination_->addItems(entries);
  cmbDestination_->setCurrentIndex(std::clamp(destination.CurrentIndex, 0, kSlotCount - 1));

  auto* btnCopy = new QPushButton("Copy", this);
  btnCopy->setObjectName("btnCopy");
  btnCopy->setDefault(true);
  connect(btnCopy, &QPushButton::clicked, this, &QDialog::accept);
  auto* btnNo = new QPushButton("No", this);
  btnNo->setObjectName("btnNo");
  btnNo->setAutoDefault(false);
  connect(btnNo, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnCopy);
  buttons->addWidget(btnNo);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblFrom_);
  layout->addWidget(memSource_);
  layout->addWidget(lblTo_);
  layout->addWidget(cmbDestination_);
  layout->addLayout(buttons);
  resize(340, 380);
}

int TfrmCopyPatch::DestinationIndex() const { return std::max(cmbDestination_->currentIndex(), 0); }

}  // namespace tarvix
