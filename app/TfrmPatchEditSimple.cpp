#include "app/TfrmPatchEditSimple.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tarvix {

namespace {
QString FromLatin1(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

// Sound dumps carry 7-bit data bytes: a name character of 0x80 or above would
// break the message when the sound is sent, so the field takes printable
// ASCII only and shows any other stored byte as '?'.
QString Printable(QString name) {
  for (QChar& c : name)
    if (c.unicode() < 0x20 || c.unicode() > 0x7E) c = QLatin1Char('?');
  return name;
}
}  // namespace

TfrmPatchEditSimple::TfrmPatchEditSimple(const BankSet& set, int index, QWidget* parent) : QDialog(parent) {
  setObjectName("frmPatchEditSimple");
  const SoundData& sound = set.Sound(index);
  setWindowTitle(FromLatin1(GetSoundName(sound)));

  cmbCategory_ = new QComboBox(this);
  cmbCategory_->setObjectName("cmbCategory");
  for (auto name : CategoryNames()) cmbCategory_->addItem(FromLatin1(name));
  const std::uint8_t category = GetCategory(sound);
  cmbCategory_->setCurrentIndex(category < kCategoryCount ? category : -1);

  edtName_ = new QLineEdit(this);
  edtName_->setObjectName("edtName");
  edtName_->setMaxLength(static_cast<int>(offs::kNameLength));
  edtName_->setValidator(new QRegularExpressionValidator(QRegularExpression("[\\x20-\\x7E]*"), edtName_));
  edtName_->setText(Printable(FromLatin1(set.IsBlofeld() ? TrimmedSoundName(sound) : GetSoundName(sound))));

  auto* btnOk = new QPushButton("&Ok", this);
  btnOk->setObjectName("btnOk");
  btnOk->setDefault(true);
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

  auto* form = new QFormLayout;
  form->addRow("Category", cmbCategory_);
  form->addRow("Name", edtName_);
  auto* okRow = new QHBoxLayout;
  okRow->addStretch();
  okRow->addWidget(btnOk);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(okRow);
  setMinimumWidth(280);
}

std::optional<std::uint8_t> TfrmPatchEditSimple::Category() const {
  const int i = cmbCategory_->currentIndex();
  if (i < 0) return std::nullopt;
  return static_cast<std::uint8_t>(i);
}

std::string TfrmPatchEditSimple::Name() const { return Printable(edtName_->text()).toStdString(); }

void TfrmPatchEditSimple::ApplyTo(BankSet& set, int index) const {
  if (const auto c = Category()) SetCategory(set, index, *c);
  SetSoundName(set, index, Name());
  set.SetChanged(index);
}

}  // namespace tarvix
