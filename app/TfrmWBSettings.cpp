#include "app/TfrmWBSettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvix {

TfrmWBSettings::TfrmWBSettings(const Settings& settings, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setObjectName("frmWBSettings");
  setWindowTitle("Settings");

  CheckBox1_ = new QCheckBox("Enable Autoload", this);
  CheckBox1_->setObjectName("CheckBox1");
  CheckBox1_->setChecked(!settings.Autoloadfile.empty());

  edtAutoload_ = new QLineEdit(QString::fromStdString(settings.Autoloadfile), this);
  edtAutoload_->setObjectName("edtAutoload");
  edtAutoload_->setMinimumWidth(320);
  btnBrowse_ = new QPushButton("...", this);
  btnBrowse_->setObjectName("btnBrowse");
  btnBrowse_->setAutoDefault(false);
  btnBrowse_->setFixedWidth(32);
  connect(btnBrowse_, &QPushButton::clicked, this, &TfrmWBSettings::btnBrowseClick);

  CheckBox2_ = new QCheckBox("Send selected sound to edit buffer", this);
  CheckBox2_->setObjectName("CheckBox2");
  CheckBox2_->setChecked(IsOn(settings.SendToEditBuffer));

  // "&&" shows as one ampersand rather than marking a short-cut.
  CheckBox3_ = new QCheckBox("Overwrite question on drag && drop", this);
  CheckBox3_->setObjectName("CheckBox3");
  CheckBox3_->setChecked(IsOn(settings.Overwritequestion));

  chbLibraryAutoImport_ = new QCheckBox("Add loaded files and read sounds to the sound library", this);
  chbLibraryAutoImport_->setObjectName("chbLibraryAutoImport");
  chbLibraryAutoImport_->setChecked(IsOn(settings.LibraryAutoImport));

  auto* btnOk = new QPushButton("&Ok", this);
  btnOk->setObjectName("btnOk");
  btnOk->setDefault(true);
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(edtAutoload_);
  fileRow->addWidget(btnBrowse_);
  auto* okRow = new QHBoxLayout;
  okRow->addStretch();
  okRow->addWidget(btnOk);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CheckBox1_);
  layout->addLayout(fileRow);
  layout->addWidget(CheckBox2_);
  layout->addWidget(CheckBox3_);
  layout->addWidget(chbLibraryAutoImport_);
  layout->addLayout(okRow);
}

void TfrmWBSettings::btnBrowseClick() {
  const auto file = prompter_.OpenFileName(FileRequest{"SysEx Files|*.syx", "syx"});
  if (!file) return;
  edtAutoload_->setText(QString::fromStdString(*file));
  CheckBox1_->setChecked(true);
}

std::string TfrmWBSettings::Autoloadfile() const {
  return CheckBox1_->isChecked() ? edtAutoload_->text().toStdString() : std::string();
}
std::string TfrmWBSettings::SendToEditBuffer() const { return SwitchText(CheckBox2_->isChecked()); }
std::string TfrmWBSettings::Overwritequestion() const { return SwitchText(CheckBox3_->isChecked()); }

void TfrmWBSettings::ApplyTo(Settings& settings) const {
  settings.Autoloadfile = Autoloadfile();
  settings.SendToEditBuffer = SendToEditBuffer();
  settings.Overwritequestion = Overwritequestion();
  settings.LibraryAutoImport = SwitchText(chbLibraryAutoImport_->isChecked());
}

}  // namespace tarvix
