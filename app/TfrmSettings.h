#pragma once
// "Midi Settings": the instrument's input and output device, the device id,
// the MIDI delay, fast reads and the controller keyboard input. Works on a copy of the
// settings; the caller applies the result after OK and reopens the ports.

#include <QDialog>
#include <QStringList>

#include "library/Settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarvix {

class TfrmSettings : public QDialog {
  Q_OBJECT
 public:
  // inputs/outputs: device names in device-number order. controllerDevice:
  // the number of the open controller input, -1 when none is open.
  TfrmSettings(const QStringList& inputs, const QStringList& outputs, const Settings& settings,
               int controllerDevice, QWidget* parent = nullptr);

  // Results, meaningful after OK. A list with no selection keeps the stored
  // name, so confirming with no devices present loses nothing.
  std::string MidiInName() const;
  std::string MidiOutName() const;
  std::string ControllerName() const;
  int DeviceId() const;
  int Delay() const;
  bool FastRead() const;
  // Writes the five results into `settings` (call after OK only).
  void ApplyTo(Settings& settings) const;

 private:
  void edtDelayChange(const QString& text);
  static std::string SelectedOr(const QComboBox* list, const std::string& stored);

  Settings stored_;
  QComboBox* cmbMidiIns_;
  QComboBox* cmbMidiOut_;
  QComboBox* cmbDeviceID_;
  QLineEdit* edtDelay_;
  QComboBox* cmbMidiController_;
  QCheckBox* chbFastRead_;
};

}  // namespace tarvix
