#pragma once
// The rows of one bank set: row k is slot k, read straight from the slot on
// every paint, so a row always shows the slot's current name, category and
// state. Dragging carries the source list's number; the drop decides what
// to do with it.

#include <QAbstractTableModel>

#include "library/BankSet.h"

namespace tarvix {

class BankListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr const char* kMimeType = "application/x-tarvix-bank-row";
  // Whole sound dumps back to back, dragged in from outside the lists (the
  // sound library): the bytes travel with the drag.
  static constexpr const char* kSoundMimeType = "application/x-tarvix-sound-dumps";

  BankListModel(BankSet& set, QObject* parent = nullptr) : QAbstractTableModel(parent), set_(set) {}

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kSlotCount; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction | Qt::MoveAction; }
  QStringList mimeTypes() const override { return {kMimeType}; }
  QMimeData* mimeData(const QModelIndexList& indexes) const override;

  BankSet& Set() { return set_; }
  // Every row may have changed (a load, a sort, a move).
  void RefreshAll();
  void RefreshRow(int row);

 private:
  BankSet& set_;
};

}  // namespace tarvix
