#include "midi/TfrmMidiSysexConverter.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/Named.h"
#include "midi/ConverterTexts.h"

namespace tarvix {

TfrmMidiSysexConverter::TfrmMidiSysexConverter(ConvertMode mode, Prompter& prompter, QWidget* parent)
    : QDialog(parent), mode_(mode), prompter_(prompter) {
  setObjectName("TfrmMidiSysexConverter");
  setModal(true);
  setAttribute(Qt::WA_DeleteOnClose, false);

  Label1 = Named(new QLabel(this), "Label1");
  Label2 = Named(new QLabel(this), "Label2");
  edtFilename = Named(new QLineEdit(this), "edtFilename");
  edtFilename2 = Named(new QLineEdit(this), "edtFilename2");
  btnSelectFile = Named(new QPushButton("...", this), "btnSelectFile");
  BitBtn2 = Named(new QPushButton("...", this), "BitBtn2");
  btnGo = Named(new QPushButton(this), "btnGo");
  for (QPushButton* b : {btnSelectFile, BitBtn2}) b->setFixedWidth(32);
  btnGo->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Label1, 0, 0, 1, 2);
  grid->addWidget(edtFilename, 1, 0);
  grid->addWidget(btnSelectFile, 1, 1);
  grid->addWidget(Label2, 2, 0, 1, 2);
  grid->addWidget(edtFilename2, 3, 0);
  grid->addWidget(BitBtn2, 3, 1);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(btnGo);
  grid->addLayout(row, 4, 0, 1, 2);
  grid->setColumnMinimumWidth(0, 380);

  connect(btnSelectFile, &QPushButton::clicked, this, &TfrmMidiSysexConverter::btnSelectFileClick);
  connect(BitBtn2, &QPushButton::clicked, this, &TfrmMidiSysexConverter::BitBtn2Click);
  connect(btnGo, &QPushButton::clicked, this, &TfrmMidiSysexConverter::btnGoClick);
  FormActivate();
}

void TfrmMidiSysexConverter::FormActivate() {
  const ConverterTexts t = TextsFor(mode_);
  setWindowTitle(QString::fromStdString(t.title));
  btnGo->setText(QString::fromStdString(t.title));
  Label1->setText(QString::fromStdString(t.sourceLabel));
  Label2->setText(QString::fromStdString(t.targetLabel));
}

void TfrmMidiSysexConverter::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TfrmMidiSysexConverter::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmMidiSysexConverter::btnSelectFileClick() {
  const ConverterTexts t = TextsFor(mode_);
  if (auto file = prompter_.OpenFileName({t.sourceFilter, ""})) edtFilename->setText(QString::fromStdString(*file));
  // Suggested even when the dialog was cancelled, from whatever the field holds.
  edtFilename2->setText(QString::fromStdString(SuggestedTarget(mode_, edtFilename->text().toStdString())));
}

void TfrmMidiSysexConverter::BitBtn2Click() {
  const ConverterTexts t = TextsFor(mode_);
  if (auto file = prompter_.OpenFileName({t.targetFilter, ""})) edtFilename2->setText(QString::fromStdString(*file));
}

void TfrmMidiSysexConverter::btnGoClick() {
  std::optional<ConvertResult> done;
  try {
    done = ConvertFile(mode_, edtFilename->text().toStdString(), edtFilename2->text().toStdString(),
                [this] { return prompter_.Ask(kOverwriteQuestion, Buttons::YesNo) == Answer::Yes; });
  } catch (const std::exception& e) {
    // Nothing was written; the dialog stays open so the names can be fixed.
    prompter_.Ask(e.what(), Buttons::Ok);
    return;
  }
  // A No to the overwrite question ends the command as well, with nothing written.
  if (!done) {
    reject();
    return;
  }
  // The same line the command-line converter prints: what was written, and
  // what a damaged or mixed file held that could not be used.
  const std::string report = ConvertReport(mode_, *done);
  if (mode_ == ConvertMode::MidiToSysex && done->messages == 0) {
    prompter_.Ask(edtFilename->text().toStdString() + ": " + report, Buttons::Ok);
    return;  // nothing written; another file can be chosen
  }
  prompter_.Ask(edtFilename2->text().toStdString() + ": " + report, Buttons::Ok);
  accept();
}

}  // namespace tarvix
