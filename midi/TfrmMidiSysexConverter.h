#pragma once
// The converter dialog: a source and a target file name, a "..." button for
// each, and a go button that converts in the direction the dialog was opened
// for, then closes. Questions and error boxes go through the Prompter, so
// tests can answer them.
//
// Use: TfrmMidiSysexConverter dlg(ConvertMode::SysexToMidi, prompter, this);
//      dlg.exec();

#include <QDialog>

#include "library/Prompter.h"
#include "midi/MidiFileConverter.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvix {

class TfrmMidiSysexConverter : public QDialog {
  Q_OBJECT
 public:
  TfrmMidiSysexConverter(ConvertMode mode, Prompter& prompter, QWidget* parent = nullptr);
  ConvertMode Mode() const { return mode_; }

  void FormActivate();
  void btnSelectFileClick();
  void BitBtn2Click();
  void btnGoClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  ConvertMode mode_;
  Prompter& prompter_;
  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* edtFilename;
  QLineEdit* edtFilename2;
  QPushButton* btnSelectFile;
  QPushButton* BitBtn2;
  QPushButton* btnGo;
};

}  // namespace tarvix
