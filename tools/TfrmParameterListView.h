#pragma once
// "Parameter List View": a tick list of the values one parameter can take.
// The caller fills the items and ticks, shows it modally and, on Accepted,
// reads Mask(). The mask is rebuilt whenever the window closes (Ok, Esc or
// the close box); only Ok accepts.

#include <QDialog>
#include <QString>
#include <QStringList>

#include "tools/TickMask.h"

class QListWidget;
class QPushButton;

namespace tarvix {

class TfrmParameterListView : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmParameterListView(QWidget* parent = nullptr);

  // Replaces the items; ticks from the mask ('1' ticked).
  void SetItems(const QStringList& items, const QString& mask = {});
  // The tick mask as of the last close ("" before the first).
  QString Mask() const { return mask_; }
  // The ticks as they are now.
  Ticks CurrentTicks() const;

  QListWidget* CheckListBox1;
  QPushButton* Button1;       // "Ok"
  QPushButton* btnSelectAll;  // "Select All"
  QPushButton* Button2;       // "Invert"
  QPushButton* Button3;       // "Select to"
  QPushButton* Button4;       // "Select from"

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void btnSelectAllClick();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void ApplyTicks(const Ticks& ticks);
  int SelectedRow() const;  // -1 when no row is selected

  QString mask_;
};

}  // namespace tarvix
