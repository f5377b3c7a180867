#pragma once
// "Settings": the autoload file and the switches the main window does
// not show elsewhere. Only "&Ok" changes anything; closing the window any
// other way leaves the settings as they were.

#include <QDialog>

#include "library/Prompter.h"
#include "library/Settings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarvix {

class TfrmWBSettings : public QDialog {
  Q_OBJECT
 public:
  // The prompter supplies the "..." button's open dialog.
  TfrmWBSettings(const Settings& settings, Prompter& prompter, QWidget* parent = nullptr);

  // Results, meaningful after exec() returned Accepted.
  std::string Autoloadfile() const;       // the field when autoload is ticked, else ""
  std::string SendToEditBuffer() const;   // "1" or "0"
  std::string Overwritequestion() const;  // "1" or "0"
  // Writes the results into `settings` (call after Accepted only).
  void ApplyTo(Settings& settings) const;

 private:
  void btnBrowseClick();

  Prompter& prompter_;
  QCheckBox* CheckBox1_;
  QLineEdit* edtAutoload_;
  QPushButton* btnBrowse_;
  QCheckBox* CheckBox2_;
  QCheckBox* CheckBox3_;
  QCheckBox* chbLibraryAutoImport_;
};

}  // namespace tarvix
