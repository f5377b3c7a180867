#include "app/BankListModel.h"

#include <QMimeData>

namespace tarvix {

QVariant BankListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const int row = index.row();
  switch (index.column()) {
    case 0:
      return QString::fromLatin1(SlotLabel(row));
    case 1:
      return QString::fromLatin1(GetSoundName(set_, row));
    case 2:
      return QString::fromLatin1(CategoryName(GetCategory(set_, row)));
    case 3:
      return set_.Changed(row) ? QStringLiteral("Changed") : QString();
    default:
      return {};
  }
}

QVariant BankListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* captions[] = {"Index", "Name", "Category", "Status"};
  return section >= 0 && section < 4 ? QString(captions[section]) : QVariant();
}

Qt::ItemFlags BankListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QMimeData* BankListModel::mimeData(const QModelIndexList&) const {
  // The drop takes the source list's current row, whatever was dragged; the
  // payload only names the source set.
  auto* mime = new QMimeData;
  mime->setData(kMimeType, QByteArray::number(static_cast<int>(set_.Kind())));
  return mime;
}

void BankListModel::RefreshAll() { emit dataChanged(index(0, 0), index(kSlotCount - 1, 3)); }

void BankListModel::RefreshRow(int row) {
  if (row >= 0 && row < kSlotCount) emit dataChanged(index(row, 0), index(row, 3));
}

}  // namespace tarvix
