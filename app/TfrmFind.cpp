#include "app/TfrmFind.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "library/SoundData.h"

namespace tarvix {

TfrmFind::TfrmFind(QWidget* parent) : QDialog(parent) {
  setObjectName("frmFind");
  setWindowTitle("Find Sound");

  edtName_ = new QLineEdit(this);
  edtName_->setObjectName("edtName");
  edtName_->setMaxLength(static_cast<int>(offs::kNameLength));

  cmbCategory_ = new QComboBox(this);
  cmbCategory_->setObjectName("cmbCategory");
  cmbCategory_->addItem("All");
  for (auto name : CategoryNames()) cmbCategory_->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
  cmbCategory_->setCurrentIndex(0);

  auto* btnFind = new QPushButton("Find", this);
  btnFind->setObjectName("btnFind");
  btnFind->setDefault(true);
  connect(btnFind, &QPushButton::clicked, this, &QDialog::accept);
  auto* btnCancel = new QPushButton("Cancel", this);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setAutoDefault(false);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow("Name", edtName_);
  form->addRow("Category", cmbCategory_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnFind);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

std::string TfrmFind::SearchText() const { return edtName_->text().toLatin1().toStdString(); }

std::uint8_t TfrmFind::SearchCategory() const {
  const int i = cmbCategory_->currentIndex();
  return i <= 0 ? kAnyCategory : static_cast<std::uint8_t>(i - 1);
}

}  // namespace tarvix
