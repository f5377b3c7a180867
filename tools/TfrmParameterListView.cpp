#include "tools/TfrmParameterListView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvix {

TfrmParameterListView::TfrmParameterListView(QWidget* parent) : QDialog(parent) {
  setObjectName("frmParameterListView");
  setWindowTitle("Parameter List View");
  setWindowFlag(Qt::Tool);
  CheckListBox1 = new QListWidget(this);
  CheckListBox1->setObjectName("CheckListBox1");
  Button1 = new QPushButton("Ok", this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  btnSelectAll = new QPushButton("Select All", this);
  btnSelectAll->setObjectName("btnSelectAll");
  Button2 = new QPushButton("Invert", this);
  Button2->setObjectName("Button2");
  Button3 = new QPushButton("Select to", this);
  Button3->setObjectName("Button3");
  Button4 = new QPushButton("Select from", this);
  Button4->setObjectName("Button4");

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {btnSelectAll, Button2, Button3, Button4}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch();
  buttons->addWidget(Button1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(CheckListBox1, 1);
  layout->addLayout(buttons);
  resize(300, 320);

  // Esc must close the window even when the list has the focus.
  CheckListBox1->installEventFilter(this);

  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnSelectAll, &QPushButton::clicked, this, &TfrmParameterListView::btnSelectAllClick);
  connect(Button2, &QPushButton::clicked, this, &TfrmParameterListView::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TfrmParameterListView::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TfrmParameterListView::Button4Click);
}

void TfrmParameterListView::SetItems(const QStringList& items, const QString& mask) {
  CheckListBox1->clear();
  const Ticks ticks = TicksOf(mask.toStdString(), static_cast<std::size_t>(items.size()));
  for (int i = 0; i < items.size(); ++i) {
    auto* item = new QListWidgetItem(items[i], CheckListBox1);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(ticks[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
  }
}

Ticks TfrmParameterListView::CurrentTicks() const {
  Ticks t;
  for (int i = 0; i < CheckListBox1->count(); ++i) t.push_back(CheckListBox1->item(i)->checkState() == Qt::Checked);
  return t;
}

void TfrmParameterListView::ApplyTicks(const Ticks& ticks) {
  for (int i = 0; i < CheckListBox1->count(); ++i)
    CheckListBox1->item(i)->setCheckState(ticks[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
}

void TfrmParameterListView::btnSelectAllClick() {
  Ticks t = CurrentTicks();
  TickAll(t);
  ApplyTicks(t);
}

void TfrmParameterListView::Button2Click() {
  Ticks t = CurrentTicks();
  InvertTicks(t);
  ApplyTicks(t);
}

// The list's current row is 0 as soon as it has the focus, also when the
// user selected nothing; only a selected row counts.
int TfrmParameterListView::SelectedRow() const {
  const auto rows = CheckListBox1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void TfrmParameterListView::Button3Click() {
  const int row = SelectedRow();
  if (row < 0) return;
  Ticks t = CurrentTicks();
  TickUpTo(t, row);
  ApplyTicks(t);
}

void TfrmParameterListView::Button4Click() {
  const int row = SelectedRow();
  if (row < 0) return;
  Ticks t = CurrentTicks();
  TickFrom(t, row);
  ApplyTicks(t);
}

void TfrmParameterListView::done(int result) {
  // Every way of closing ends here (Ok, Esc, the close box).
  mask_ = QString::fromStdString(MaskOf(CurrentTicks()));
  QDialog::done(result);
}

bool TfrmParameterListView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    reject();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tarvix
