#include "app/BankListView.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cstring>

#include "library/SoundFile.h"

namespace tarvix {

BankListView::BankListView(BankListModel* model, QWidget* parent) : QTableView(parent), model_(model) {
  setModel(model);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setShowGrid(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::CopyAction);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(18);
  // The last column stretches, but never below the width it had when it was
  // made to stretch: make that what "Changed" and the caption "Status" need.
  horizontalHeader()->setDefaultSectionSize(std::max(fontMetrics().horizontalAdvance("Changed"),
                                                     horizontalHeader()->fontMetrics().horizontalAdvance("Status")) +
                                            16);
  setColumnWidth(3, horizontalHeader()->defaultSectionSize());
  horizontalHeader()->setStretchLastSection(true);
  setColumnWidth(0, 40);
  // Room for a whole 16-character name: it is what the user reads the list by.
  setColumnWidth(1, fontMetrics().horizontalAdvance("Dusty Strings 128") + 12);
  setColumnWidth(2, fontMetrics().horizontalAdvance("Category") + 16);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &BankListView::OnSelectionChanged);
  // One current row: the highlighted one. Commands read the set's
  // CurrentIndex, so it must never lag behind a click or a key.
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (current.isValid()) Set().CurrentIndex = current.row();
  });
}

int BankListView::WidthForAllColumns() const {
  return columnWidth(0) + columnWidth(1) + columnWidth(2) + horizontalHeader()->defaultSectionSize() +
         verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

void BankListView::OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  if (syncing_) return;
  BankSet& set = Set();
  bool anySelected = false, anyDeselected = false;
  for (const QItemSelectionRange& r : deselected)
    for (int row = r.top(); row <= r.bottom(); ++row) {
      // A row stays selected while any of its cells is.
      if (!selectionModel()->isRowSelected(row, {})) {
        set.Select(row, false);
        anyDeselected = true;
      }
    }
  for (const QItemSelectionRange& r : selected)
    for (int row = r.top(); row <= r.bottom(); ++row) {
      if (!set.IsSelected(row)) anySelected = true;
      set.Select(row, true);
    }
  if (anySelected || anyDeselected) emit SelectionWasChanged(anySelected, anyDeselected);
}

void BankListView::SyncSelectionFromSet() {
  const BankSet& set = Set();
  QItemSelection sel;
  for (int row = 0; row < kSlotCount;) {
    if (!set.IsSelected(row)) {
      ++row;
      continue;
    }
    int end = row;
    while (end + 1 < kSlotCount && set.IsSelected(end + 1)) ++end;
    sel.select(model_->index(row, 0), model_->index(end, 3));
    row = end + 1;
  }
  syncing_ = true;
  selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
  syncing_ = false;
}

void BankListView::SyncCurrentFromSet() {
  // A list the user has not yet worked in keeps showing no current row.
  const int row = Set().CurrentIndex;
  if (row < 0 || row >= kSlotCount || CurrentRow() < 0 || row == CurrentRow()) return;
  selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
  KeepRowVisible(row);
}

int BankListView::CurrentRow() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() : -1;
}

void BankListView::SetCurrentRow(int row) {
  if (row < 0 || row >= kSlotCount) return;
  selectionModel()->setCurrentIndex(model_->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  KeepRowVisible(row);
}

void BankListView::KeepRowVisible(int row) {
  if (row >= 0 && row < kSlotCount) scrollTo(model_->index(row, 0), QAbstractItemView::EnsureVisible);
}

void BankListView::SelectAllRows() {
  selectionModel()->select(QItemSelection(model_->index(0, 0), model_->index(kSlotCount - 1, 3)),
                           QItemSelectionModel::Select);
}

void BankListView::mousePressEvent(QMouseEvent* event) {
  emit Touched();
  const QModelIndex index = indexAt(event->position().toPoint());
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
  if (event->button() == Qt::RightButton) {
    // A plain right click leaves only the clicked row selected; with Ctrl the
    // selection stays as it was (so the selected sounds can be moved there).
    if (!index.isValid()) return;  // a right click on no row changes nothing
    if (!(mods & Qt::ControlModifier))
      selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit RowRightClicked(index.row(), mods);
    return;
  }
  QTableView::mousePressEvent(event);
  if (event->button() == Qt::LeftButton && mods == Qt::NoModifier && index.isValid()) emit RowClicked(index.row());
}

void BankListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  emit Touched();
  if (index.isValid()) emit RowDoubleClicked(index.row());
}

bool BankListView::Accepts(const QDropEvent* event) const {
  if (event->mimeData()->hasFormat(BankListModel::kSoundMimeType)) return true;
  return event->mimeData()->hasFormat(BankListModel::kMimeType) && qobject_cast<BankListView*>(event->source());
}

void BankListView::dragEnterEvent(QDragEnterEvent* event) {
  if (Accepts(event)) {
    emit Touched();
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void BankListView::dragMoveEvent(QDragMoveEvent* event) {
  if (Accepts(event))
    event->acceptProposedAction();
  else
    event->ignore();
}

void BankListView::dropEvent(QDropEvent* event) {
  auto* source = qobject_cast<BankListView*>(event->source());
  const QModelIndex index = indexAt(event->position().toPoint());
  // The sounds move by the main window's rules, never by the view's own
  // row moving, so the event is taken here whatever happens.
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit Touched();
  if (!index.isValid()) return;
  if (event->mimeData()->hasFormat(BankListModel::kSoundMimeType)) {
    // The bytes may come from anywhere: only whole records that are sound
    // dumps are taken.
    const QByteArray bytes = event->mimeData()->data(BankListModel::kSoundMimeType);
    std::vector<SoundData> sounds;
    for (qsizetype at = 0; at + qsizetype(kSoundSize) <= bytes.size(); at += qsizetype(kSoundSize)) {
      SoundData s;
      std::memcpy(s.bytes.data(), bytes.constData() + at, kSoundSize);
      if (IsSoundDump(s)) sounds.push_back(s);
    }
    if (!sounds.empty()) emit SoundsDropped(sounds, index.row());
    return;
  }
  if (source) emit RowDropped(source, index.row());
}

}  // namespace tarvix
