#pragma once
// The receive dialog, "SysEx Communication": shows progress while the
// program waits for the instrument or sends to it. Created once by the main
// window and kept for the program's life; its 1000 ms timer always runs and
// closes it when nothing is pending. It stays on top and centres itself on
// its parent each time it is shown. The rules live in ReceiveDispatcher; the
// dialog only shows and forwards.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "midi/ReceiverUi.h"

namespace tarvix {

class ReceiveDispatcher;

class TfrmSysExReceiver : public QDialog, public ReceiverUi {
  Q_OBJECT
 public:
  explicit TfrmSysExReceiver(QWidget* parent = nullptr);
  // The dispatcher whose tick and close rules the dialog applies.
  void SetDispatcher(ReceiveDispatcher* dispatcher) { dispatcher_ = dispatcher; }

  void SetLabel(const std::string& text) override;
  void SetTitle(const std::string& text) override;
  void ShowModal(std::function<void()> onClosed) override;
  void ShowModeless() override;
  void Hide() override;
  void Close() override;
  void SetProgress(int done, int total) override;
  void SetCancelable(bool on) override;

  QLabel* Label1() const { return label_; }
  QProgressBar* Progress() const { return progress_; }
  QPushButton* btnClose() const { return close_; }
  QTimer* Timer1() const { return timer_; }

 public slots:
  void btnCloseClick();
  void Timer1Timer();

 private:
  void CentreOnParent();
  QLabel* label_;
  QProgressBar* progress_;
  QPushButton* close_;
  QTimer* timer_;
  ReceiveDispatcher* dispatcher_ = nullptr;
  bool inModal_ = false;
};

}  // namespace tarvix
