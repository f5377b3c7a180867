#pragma once
// "Help": the short help (F1), a read-only list of the short-cuts.

#include <QDialog>

class QPlainTextEdit;

namespace tarvix {

class TfrmHelp : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmHelp(QWidget* parent = nullptr);
  QPlainTextEdit* Memo() const { return Memo1_; }

 private:
  QPlainTextEdit* Memo1_;
};

}  // namespace tarvix
