#include "app/TfrmHelp.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/HelpText.h"

namespace tarvix {

TfrmHelp::TfrmHelp(QWidget* parent) : QDialog(parent) {
  setObjectName("frmHelp");
  setWindowTitle("Help");
  Memo1_ = new QPlainTextEdit(this);
  Memo1_->setObjectName("Memo1");
  Memo1_->setReadOnly(true);
  Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  for (const std::string& line : ShortHelpLines()) Memo1_->appendPlainText(QString::fromStdString(line));
  Memo1_->moveCursor(QTextCursor::Start);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo1_);
  resize(480, 560);
}

}  // namespace tarvix
