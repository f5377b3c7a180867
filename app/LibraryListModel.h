#pragma once
// The rows of the Library window: one library sound per row, as the last
// search found them. Columns: favourite star, name, category, first seen,
// number of sightings. Dragging rows carries their sound dumps, so a bank
// list can take them without knowing the library.

#include <QAbstractTableModel>

#include <functional>
#include <vector>

#include "soundlib/SoundLibrary.h"

namespace tarvix {

class LibraryListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kStar, kName, kCategory, kFirstSeen, kSightings, kColumns };
  using DumpSource = std::function<std::vector<SoundData>(const std::vector<std::int64_t>& ids)>;

  LibraryListModel(DumpSource dumps, QObject* parent = nullptr);

  void SetEntries(std::vector<LibraryEntry> entries);
  const std::vector<LibraryEntry>& Entries() const { return entries_; }
  const LibraryEntry& Entry(int row) const { return entries_.at(static_cast<std::size_t>(row)); }
  void SetFavourite(int row, bool on);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;

 private:
  DumpSource dumps_;
  std::vector<LibraryEntry> entries_;
};

}  // namespace tarvix
