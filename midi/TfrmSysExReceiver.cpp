#include "midi/TfrmSysExReceiver.h"

#include <QVBoxLayout>

#include "midi/ReceiveDispatcher.h"

namespace tarvix {

TfrmSysExReceiver::TfrmSysExReceiver(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint),
      label_(new QLabel(receiver_text::kWaiting, this)),
      progress_(new QProgressBar(this)),
      close_(new QPushButton("&Close", this)),
      timer_(new QTimer(this)) {
  setObjectName("frmSysExReceiver");
  setWindowTitle(receiver_text::kCaption);
  label_->setObjectName("Label1");
  label_->setAlignment(Qt::AlignCenter);
  // Room for the longest progress line, so the dialog does not clip it.
  label_->setMinimumWidth(420);
  close_->setObjectName("btnClose");
  progress_->setObjectName("pbProgress");
  progress_->setRange(0, 1);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->hide();  // shown once a job reports how far it is
  timer_->setObjectName("Timer1");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(progress_);
  layout->addWidget(close_, 0, Qt::AlignHCenter);
  connect(close_, &QPushButton::clicked, this, &TfrmSysExReceiver::btnCloseClick);
  // Runs for the program's life: a tick while the dialog is hidden changes
  // nothing anyone sees.
  connect(timer_, &QTimer::timeout, this, &TfrmSysExReceiver::Timer1Timer);
  timer_->start(receiver_text::kTickMs);
}

void TfrmSysExReceiver::SetLabel(const std::string& text) { label_->setText(QString::fromLatin1(text.c_str())); }

void TfrmSysExReceiver::SetTitle(const std::string& text) { setWindowTitle(QString::fromLatin1(text.c_str())); }

void TfrmSysExReceiver::CentreOnParent() {
  adjustSize();
  if (QWidget* p = parentWidget()) {
    const QPoint centre = p->mapToGlobal(p->rect().center());
    move(centre - rect().center());
  }
}

void TfrmSysExReceiver::ShowModal(std::function<void()> onClosed) {
  CentreOnParent();
  inModal_ = true;
  exec();  // replies are handled inside this loop
  inModal_ = false;
  if (onClosed) onClosed();
}

void TfrmSysExReceiver::ShowModeless() {
  CentreOnParent();
  show();
  raise();
  repaint();
}

void TfrmSysExReceiver::Hide() { hide(); }

void TfrmSysExReceiver::Close() {
  if (inModal_)
    done(QDialog::Rejected);
  else
    hide();
}

void TfrmSysExReceiver::SetProgress(int done, int total) {
  if (total <= 0) {
    progress_->hide();
    return;
  }
  progress_->setRange(0, total);
  progress_->setValue(done);
  progress_->show();
}

void TfrmSysExReceiver::SetCancelable(bool on) {
  close_->setText(on ? "Cancel" : "&Close");
  if (!on) progress_->hide();
}

void TfrmSysExReceiver::btnCloseClick() {
  if (dispatcher_)
    dispatcher_->DialogCloseClicked();
  else
    Close();
}

void TfrmSysExReceiver::Timer1Timer() {
  if (dispatcher_) dispatcher_->DialogTick();
}

}  // namespace tarvix
