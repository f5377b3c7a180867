#include "app/LibraryListModel.h"

#include <QDateTime>
#include <QMimeData>

#include <set>

#include "app/BankListModel.h"

namespace tarvix {

LibraryListModel::LibraryListModel(DumpSource dumps, QObject* parent)
    : QAbstractTableModel(parent), dumps_(std::move(dumps)) {}

void LibraryListModel::SetEntries(std::vector<LibraryEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

void LibraryListModel::SetFavourite(int row, bool on) {
  if (row < 0 || row >= rowCount()) return;
  entries_[static_cast<std::size_t>(row)].favourite = on;
  emit dataChanged(index(row, kStar), index(row, kStar));
}

int LibraryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant LibraryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const LibraryEntry& e = entries_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case kStar: return e.favourite ? QString(QChar(0x2605)) : QString(QChar(0x2606));
      case kName: return QString::fromStdString(e.name);  // the library keeps names as UTF-8
      case kCategory: return QString::fromStdString(CategoryName(e.category));
      case kFirstSeen: return QDateTime::fromSecsSinceEpoch(e.firstSeen).toString("yyyy-MM-dd HH:mm");
      case kSightings: return e.sightingCount;
      default: return {};
    }
  }
  if (role == Qt::TextAlignmentRole && (index.column() == kStar || index.column() == kSightings))
    return int(Qt::AlignCenter);
  if (role == Qt::ToolTipRole && index.column() == kStar)
    return e.favourite ? QString("A favourite: click to take the star away") : QString("Click to mark as a favourite");
  return {};
}

QVariant LibraryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kCaptions[kColumns] = {"\u2605", "Name", "Category", "First seen", "Seen"};
  return section >= 0 && section < kColumns ? QString::fromUtf8(kCaptions[section]) : QVariant();
}

Qt::ItemFlags LibraryListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList LibraryListModel::mimeTypes() const { return {BankListModel::kSoundMimeType}; }

QMimeData* LibraryListModel::mimeData(const QModelIndexList& indexes) const {
  // Every cell of a row is in the list; each sound goes once, in row order.
  std::set<int> rows;
  for (const QModelIndex& i : indexes)
    if (i.isValid() && i.row() < rowCount()) rows.insert(i.row());
  std::vector<std::int64_t> ids;
  for (int r : rows) ids.push_back(entries_[static_cast<std::size_t>(r)].id);
  QByteArray bytes;
  for (const SoundData& s : dumps_(ids))
    bytes.append(reinterpret_cast<const char*>(s.bytes.data()), static_cast<qsizetype>(s.bytes.size()));
  auto* mime = new QMimeData;
  mime->setData(BankListModel::kSoundMimeType, bytes);
  return mime;
}

}  // namespace tarvix
