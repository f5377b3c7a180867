#include "app/TfrmSettings.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "midi/MidiService.h"
#include "midi/VirtualInstrument.h"

namespace tarvix {

namespace {

// The entry to offer when nothing is stored yet: the instrument found by its
// port name, else the built-in instrument, so a first OK gives a working
// set-up rather than no device at all.
int ProposedEntry(const QStringList& items) {
  for (int i = 0; i < items.size(); ++i)
    if (IsDefaultInstrumentName(items[i].toStdString())) return i;
  return static_cast<int>(items.indexOf(QString(VirtualInstrument::kDeviceName)));
}

QComboBox* DeviceList(QWidget* parent, const char* name, const QStringList& items, const std::string& stored,
                      bool propose) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->addItems(items);
  // A stored name that names no present device shows no entry; it is kept.
  if (stored.empty())
    c->setCurrentIndex(propose ? ProposedEntry(items) : -1);
  else
    c->setCurrentIndex(static_cast<int>(items.indexOf(QString::fromStdString(stored))));
  c->setMinimumWidth(260);
  return c;
}

}  // namespace

TfrmSettings::TfrmSettings(const QStringList& inputs, const QStringList& outputs, const Settings& settings,
                           int controllerDevice, QWidget* parent)
    : QDialog(parent), stored_(settings) {
  setObjectName("frmSettings");
  setWindowTitle("Midi Settings");

  cmbMidiIns_ = DeviceList(this, "cmbMidiIns", inputs, settings.MidiInDeviceID, true);
  cmbMidiOut_ = DeviceList(this, "cmbMidiOut", outputs, settings.MidiOutDeviceID, true);
  cmbMidiController_ = DeviceList(this, "cmbMidiController", inputs, settings.MidiInDeviceIDKeyboard, false);
  // The open controller input decides what the list shows.
  if (controllerDevice >= 0 && controllerDevice < cmbMidiController_->count())
    cmbMidiController_->setCurrentIndex(controllerDevice);

  cmbDeviceID_ = new QComboBox(this);
  cmbDeviceID_->setObjectName("cmbDeviceID");
  for (int i = 0; i < 127; ++i) cmbDeviceID_->addItem(QString::number(i));
  cmbDeviceID_->addItem("Broadcast");  // index 127
  cmbDeviceID_->setCurrentIndex(std::clamp(settings.DeviceId, 0, 127));

  edtDelay_ = new QLineEdit(QString::number(settings.MIDIDelay), this);
  edtDelay_->setObjectName("edtDelay");
  connect(edtDelay_, &QLineEdit::textChanged, this, &TfrmSettings::edtDelayChange);

  // With fast reads the delay paces only what is sent to the instrument,
  // which needs the time to store sounds; reads go as fast as it answers.
  chbFastRead_ = new QCheckBox("Read as fast as the Blofeld answers", this);
  chbFastRead_->setObjectName("chbFastRead");
  chbFastRead_->setChecked(settings.FastRead != 0);

  auto* form = new QFormLayout;
  form->addRow("Blofeld Midi In", cmbMidiIns_);
  form->addRow("Blofeld Midi Out", cmbMidiOut_);
  form->addRow("Blofeld Device ID", cmbDeviceID_);
  form->addRow("Delay (ms)", edtDelay_);
  form->addRow("", chbFastRead_);
  form->addRow("Midi Keyboard Controller In", cmbMidiController_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void TfrmSettings::edtDelayChange(const QString& text) {
  // Anything that is not a whole number (an empty field too) is put back to
  // the stored delay at once, so the field always holds a number.
  if (!ParseWholeNumber(text.toStdString())) edtDelay_->setText(QString::number(stored_.MIDIDelay));
}

std::string TfrmSettings::SelectedOr(const QComboBox* list, const std::string& stored) {
  return list->currentIndex() < 0 ? stored : list->currentText().toStdString();
}

std::string TfrmSettings::MidiInName() const { return SelectedOr(cmbMidiIns_, stored_.MidiInDeviceID); }
std::string TfrmSettings::MidiOutName() const { return SelectedOr(cmbMidiOut_, stored_.MidiOutDeviceID); }
std::string TfrmSettings::ControllerName() const {
  return SelectedOr(cmbMidiController_, stored_.MidiInDeviceIDKeyboard);
}
int TfrmSettings::DeviceId() const { return cmbDeviceID_->currentIndex() < 0 ? stored_.DeviceId : cmbDeviceID_->currentIndex(); }

int TfrmSettings::Delay() const {
  const auto n = ParseWholeNumber(edtDelay_->text().toStdString());
  // Out of range leaves the delay as it was, without a message.
  return (n && *n >= 0 && *n <= 65535) ? static_cast<int>(*n) : stored_.MIDIDelay;
}

bool TfrmSettings::FastRead() const { return chbFastRead_->isChecked(); }

void TfrmSettings::ApplyTo(Settings& settings) const {
  settings.MidiInDeviceID = MidiInName();
  settings.MidiOutDeviceID = MidiOutName();
  settings.MidiInDeviceIDKeyboard = ControllerName();
  settings.DeviceId = DeviceId();
  settings.MIDIDelay = Delay();
  settings.FastRead = FastRead() ? 1 : 0;
}

}  // namespace tarvix
