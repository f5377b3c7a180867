#include "app/TfrmDuplicates.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvix {
namespace {

// Item data: the group index on every item, the row's set and slot on rows.
constexpr int kGroupRole = Qt::UserRole;
constexpr int kSetRole = Qt::UserRole + 1;
constexpr int kSlotRole = Qt::UserRole + 2;

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<int>(s.size())); }

QString RowLabel(const DuplicateRow& r) {
  return (r.set == BankSetKind::Blofeld ? QString("Blofeld ") : QString("Virtual ")) + Latin1(SlotLabel(r.slot));
}

}  // namespace

TfrmDuplicates::TfrmDuplicates(QWidget* parent) : QDialog(parent) {
  setObjectName("frmDuplicates");
  setWindowTitle("Duplicate Sounds");

  lblSummary_ = new QLabel(this);
  lblSummary_->setObjectName("lblSummary");
  tree_ = new QTreeWidget(this);
  tree_->setObjectName("tvDuplicates");
  tree_->setColumnCount(3);
  tree_->setHeaderLabels({"Row", "Name", "Category"});
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setUniformRowHeights(true);
  tree_->header()->setStretchLastSection(true);
  // Room for a row's place beside the indentation and the branch mark.
  tree_->setColumnWidth(0, tree_->fontMetrics().horizontalAdvance("Virtual H128") + 2 * tree_->indentation() + 24);
  tree_->setColumnWidth(1, fontMetrics().horizontalAdvance("Dusty Strings 128") + 16);

  btnSelectGroup_ = new QPushButton("Select Group", this);
  btnSelectGroup_->setObjectName("btnSelectGroup");
  btnGoToRow_ = new QPushButton("Go to Row", this);
  btnGoToRow_->setObjectName("btnGoToRow");
  auto* btnRefresh = new QPushButton("Search Again", this);
  btnRefresh->setObjectName("btnRefresh");
  auto* btnClose = new QPushButton("Close", this);
  btnClose->setObjectName("btnClose");
  for (QPushButton* b : {btnSelectGroup_, btnGoToRow_, btnRefresh, btnClose}) b->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnSelectGroup_);
  buttons->addWidget(btnGoToRow_);
  buttons->addStretch();
  buttons->addWidget(btnRefresh);
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblSummary_);
  layout->addWidget(tree_);
  layout->addLayout(buttons);
  resize(460, 420);

  connect(btnSelectGroup_, &QPushButton::clicked, this, &TfrmDuplicates::SelectGroup);
  connect(btnGoToRow_, &QPushButton::clicked, this, &TfrmDuplicates::GoToRow);
  connect(btnRefresh, &QPushButton::clicked, this, &TfrmDuplicates::RefreshRequested);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
  connect(tree_, &QTreeWidget::itemActivated, this, &TfrmDuplicates::Activated);
  connect(tree_, &QTreeWidget::currentItemChanged, this, &TfrmDuplicates::UpdateButtons);
  UpdateButtons();
}

void TfrmDuplicates::Fill(const BankSet& blofeld, const BankSet& virtualBanks) {
  groups_ = FindDuplicates(blofeld, virtualBanks);
  tree_->clear();
  int rows = 0;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    const DuplicateGroup& group = groups_[g];
    auto* top = new QTreeWidgetItem(tree_);
    top->setData(0, kGroupRole, static_cast<int>(g));
    top->setText(0, QString("%1 rows").arg(group.rows.size()));
    for (const DuplicateRow& r : group.rows) {
      const SoundData& s = (r.set == BankSetKind::Blofeld ? blofeld : virtualBanks).Sound(r.slot);
      auto* item = new QTreeWidgetItem(top);
      item->setData(0, kGroupRole, static_cast<int>(g));
      item->setData(0, kSetRole, static_cast<int>(r.set));
      item->setData(0, kSlotRole, r.slot);
      item->setText(0, RowLabel(r));
      item->setText(1, Latin1(GetSoundName(s)));
      item->setText(2, Latin1(CategoryName(GetCategory(s))));
    }
    // The group reads by the name its first row shows.
    top->setText(1, top->child(0)->text(1));
    rows += static_cast<int>(group.rows.size());
  }
  tree_->expandAll();
  lblSummary_->setText(groups_.empty() ? QString("No two rows hold the same sound.")
                                       : QString("%1 sounds stand in more than one row (%2 rows in all).")
                                             .arg(groups_.size())
                                             .arg(rows));
  UpdateButtons();
}

int TfrmDuplicates::CurrentGroup() const {
  const QTreeWidgetItem* item = tree_->currentItem();
  if (!item) return -1;
  const int g = item->data(0, kGroupRole).toInt();
  return g >= 0 && g < static_cast<int>(groups_.size()) ? g : -1;
}

void TfrmDuplicates::SelectGroup() {
  const int g = CurrentGroup();
  if (g >= 0) emit SelectGroupRequested(groups_[static_cast<std::size_t>(g)]);
}

void TfrmDuplicates::GoToRow() {
  const QTreeWidgetItem* item = tree_->currentItem();
  const int g = CurrentGroup();
  if (g < 0) return;
  if (item->parent()) {
    emit GoToRowRequested({static_cast<BankSetKind>(item->data(0, kSetRole).toInt()), item->data(0, kSlotRole).toInt()});
  } else {
    emit GoToRowRequested(groups_[static_cast<std::size_t>(g)].rows.front());  // a group goes to its first row
  }
}

void TfrmDuplicates::Activated(QTreeWidgetItem* item) {
  // Double-click or Enter: on a row, go there; on a group, select its rows.
  if (item && item->parent())
    GoToRow();
  else
    SelectGroup();
}

void TfrmDuplicates::UpdateButtons() {
  const bool any = CurrentGroup() >= 0;
  btnSelectGroup_->setEnabled(any);
  btnGoToRow_->setEnabled(any);
}

}  // namespace tarvix
