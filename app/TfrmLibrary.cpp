#include "app/TfrmLibrary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "app/LibraryListModel.h"
#include "app/LibrarySearch.h"
#include "library/SoundFile.h"

namespace tarvix {
namespace {

std::vector<std::string> SplitTags(const QString& text) {
  std::set<std::string> tags;
  for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
    const QString t = part.trimmed();
    if (!t.isEmpty()) tags.insert(t.toStdString());
  }
  return {tags.begin(), tags.end()};
}

}  // namespace

TfrmLibrary::TfrmLibrary(const std::filesystem::path& file, LibraryWindowHooks hooks, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)), library_(std::make_unique<SoundLibrary>(file)) {
  setObjectName("frmLibrary");
  setWindowTitle("Sound Library");
  setSizeGripEnabled(true);
  model_ = new LibraryListModel([this](const std::vector<std::int64_t>& ids) { return library_->ExportSounds(ids); },
                                this);
  search_ = std::make_unique<LibrarySearch>(file);
  connect(search_.get(), &LibrarySearch::Found, this, &TfrmLibrary::ShowResults);
  connect(search_.get(), &LibrarySearch::Failed, this, [this](const QString& m) {
    lblStatus_->setText(m);
    Log(m.toStdString());
  });
  BuildLayout();
  FillTagFilter();
  QueryChanged();
}

TfrmLibrary::~TfrmLibrary() = default;

void TfrmLibrary::BuildLayout() {
  edtSearch_ = new QLineEdit(this);
  edtSearch_->setObjectName("edtSearch");
  edtSearch_->setPlaceholderText("Any part of a name");
  edtSearch_->setClearButtonEnabled(true);
  cmbCategory_ = new QComboBox(this);
  cmbCategory_->setObjectName("cmbCategory");
  cmbCategory_->addItem("All categories");
  for (auto name : CategoryNames()) cmbCategory_->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
  edtWhere_ = new QLineEdit(this);
  edtWhere_->setObjectName("edtWhere");
  edtWhere_->setPlaceholderText("Parameters, e.g. Osc1 Shape=Saw; Filter 1 Cutoff=64");
  chkFavourites_ = new QCheckBox(QString::fromUtf8("\u2605 only"), this);
  chkFavourites_->setObjectName("chkFavourites");
  cmbTag_ = new QComboBox(this);
  cmbTag_->setObjectName("cmbTag");

  tvSounds_ = new QTableView(this);
  tvSounds_->setObjectName("tvSounds");
  tvSounds_->setModel(model_);
  tvSounds_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tvSounds_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tvSounds_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvSounds_->setDragEnabled(true);
  tvSounds_->setDragDropMode(QAbstractItemView::DragOnly);
  tvSounds_->setDefaultDropAction(Qt::CopyAction);
  tvSounds_->setWordWrap(false);
  tvSounds_->setShowGrid(false);
  tvSounds_->setAlternatingRowColors(true);
  tvSounds_->verticalHeader()->hide();
  // Fixed row heights keep a list of a hundred thousand rows cheap to lay out.
  tvSounds_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  tvSounds_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  tvSounds_->setColumnWidth(LibraryListModel::kStar, fontMetrics().horizontalAdvance(QChar(0x2605)) + 16);
  tvSounds_->setColumnWidth(LibraryListModel::kName, fontMetrics().horizontalAdvance("Dusty Strings 128") + 16);
  tvSounds_->setColumnWidth(LibraryListModel::kCategory, fontMetrics().horizontalAdvance("Category") + 20);
  tvSounds_->setColumnWidth(LibraryListModel::kFirstSeen, fontMetrics().horizontalAdvance("2026-12-07 13:45") + 16);
  tvSounds_->setColumnWidth(LibraryListModel::kSightings, fontMetrics().horizontalAdvance("Seen 999") + 12);
  tvSounds_->horizontalHeader()->setSectionResizeMode(LibraryListModel::kName, QHeaderView::Stretch);

  lblStatus_ = new QLabel(this);
  lblStatus_->setObjectName("lblStatus");
  lblNames_ = new QLabel(this);
  lblNames_->setObjectName("lblNames");
  lblNames_->setWordWrap(true);
  edtTags_ = new QLineEdit(this);
  edtTags_->setObjectName("edtTags");
  edtTags_->setPlaceholderText("Tags, separated by commas");
  edtTags_->setEnabled(false);

  btnAudition_ = new QPushButton("Audition", this);
  btnAudition_->setObjectName("btnAudition");
  btnAudition_->setToolTip("Send the sound to the instrument's edit buffer (Enter or double-click)");
  btnCopyToSlot_ = new QPushButton("Copy to Virtual slot\u2026", this);
  btnCopyToSlot_->setObjectName("btnCopyToSlot");
  btnExport_ = new QPushButton("Export\u2026", this);
  btnExport_->setObjectName("btnExport");
  btnExport_->setToolTip("Write the selected sounds to a SysEx file");
  btnImport_ = new QPushButton("Import\u2026", this);
  btnImport_->setObjectName("btnImport");
  btnImport_->setToolTip("Add the sounds of a SysEx or MIDI file to the library");
  auto* btnClose = new QPushButton("Close", this);
  btnClose->setObjectName("btnClose");
  for (QPushButton* b : {btnAudition_, btnCopyToSlot_, btnExport_, btnImport_, btnClose}) b->setAutoDefault(false);

  auto* filters = new QGridLayout;
  filters->addWidget(new QLabel("Search:", this), 0, 0);
  filters->addWidget(edtSearch_, 0, 1);
  filters->addWidget(cmbCategory_, 0, 2);
  filters->addWidget(new QLabel("Where:", this), 1, 0);
  filters->addWidget(edtWhere_, 1, 1);
  auto* narrow = new QHBoxLayout;
  narrow->addWidget(chkFavourites_);
  narrow->addWidget(cmbTag_, 1);
  filters->addLayout(narrow, 1, 2);
  filters->setColumnStretch(1, 1);
  auto* tags = new QHBoxLayout;
  tags->addWidget(new QLabel("Tags:", this));
  tags->addWidget(edtTags_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnAudition_);
  buttons->addWidget(btnCopyToSlot_);
  buttons->addWidget(btnExport_);
  buttons->addStretch();
  buttons->addWidget(btnImport_);
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(tvSounds_, 1);
  layout->addWidget(lblStatus_);
  layout->addWidget(lblNames_);
  layout->addLayout(tags);
  layout->addLayout(buttons);
  resize(640, 560);

  connect(edtSearch_, &QLineEdit::textChanged, this, &TfrmLibrary::QueryChanged);
  connect(edtWhere_, &QLineEdit::textChanged, this, &TfrmLibrary::QueryChanged);
  connect(cmbCategory_, &QComboBox::currentIndexChanged, this, &TfrmLibrary::QueryChanged);
  connect(cmbTag_, &QComboBox::currentIndexChanged, this, &TfrmLibrary::QueryChanged);
  connect(chkFavourites_, &QCheckBox::toggled, this, &TfrmLibrary::QueryChanged);
  connect(tvSounds_, &QTableView::clicked, this, &TfrmLibrary::ListClicked);
  // Enter or a double-click auditions (a click on the star only switches it).
  connect(tvSounds_, &QTableView::activated, this, [this](const QModelIndex& i) {
    if (i.column() != LibraryListModel::kStar) AuditionClick();
  });
  connect(tvSounds_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TfrmLibrary::CurrentChanged);
  connect(model_, &QAbstractItemModel::modelReset, this, &TfrmLibrary::CurrentChanged);
  connect(edtTags_, &QLineEdit::editingFinished, this, &TfrmLibrary::ApplyTags);
  connect(btnAudition_, &QPushButton::clicked, this, &TfrmLibrary::AuditionClick);
  connect(btnCopyToSlot_, &QPushButton::clicked, this, &TfrmLibrary::CopyToSlotClick);
  connect(btnExport_, &QPushButton::clicked, this, &TfrmLibrary::ExportClick);
  connect(btnImport_, &QPushButton::clicked, this, &TfrmLibrary::ImportClick);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

bool TfrmLibrary::Searching() const { return search_->Pending(); }

void TfrmLibrary::Refresh() { QueryChanged(); }

bool TfrmLibrary::BuildQuery(LibraryQuery& query) {
  query.text = edtSearch_->text().toStdString();
  if (cmbCategory_->currentIndex() > 0) query.category = static_cast<std::uint8_t>(cmbCategory_->currentIndex() - 1);
  query.favouritesOnly = chkFavourites_->isChecked();
  if (cmbTag_->currentIndex() > 0) query.tag = cmbTag_->currentText().toStdString();
  for (const QString& part : edtWhere_->text().split(';', Qt::SkipEmptyParts)) {
    if (part.trimmed().isEmpty()) continue;
    if (part.trimmed().endsWith('=')) {  // the value is yet to be typed
      lblStatus_->setText(QString("Type a value after \"%1\"").arg(part.trimmed()));
      return false;
    }
    try {
      query.where.push_back(ParseParameterCondition(part.trimmed().toStdString()));
    } catch (const std::exception& e) {
      lblStatus_->setText(QString::fromStdString(e.what()));
      return false;
    }
  }
  return true;
}

void TfrmLibrary::QueryChanged() {
  LibraryQuery query;
  // A parameter filter still being typed leaves the list as it is.
  if (BuildQuery(query)) search_->Request(std::move(query));
}

void TfrmLibrary::ShowResults() {
  model_->SetEntries(search_->TakeResults());
  const int n = model_->rowCount();
  lblStatus_->setText(n == 1 ? QString("1 sound") : QString("%1 sounds").arg(n));
  // The answer may come after a condition was taken back to its "=": it answers
  // the last whole condition, and the line must still say what is missing.
  LibraryQuery typed;
  BuildQuery(typed);
  const bool any = n > 0;
  btnAudition_->setEnabled(any);
  btnCopyToSlot_->setEnabled(any);
  btnExport_->setEnabled(any);
}

void TfrmLibrary::ListClicked(const QModelIndex& index) {
  if (!index.isValid() || index.column() != LibraryListModel::kStar) return;
  // The star is a switch: a click on it marks or unmarks the favourite.
  const LibraryEntry& e = model_->Entry(index.row());
  const bool on = !e.favourite;
  library_->SetFavourite(e.id, on);
  model_->SetFavourite(index.row(), on);
}

void TfrmLibrary::CurrentChanged() {
  const QModelIndex current = tvSounds_->currentIndex();
  shownId_ = 0;
  lblNames_->clear();
  edtTags_->clear();
  edtTags_->setEnabled(false);
  if (!current.isValid()) return;
  const auto sound = library_->Get(model_->Entry(current.row()).id);
  if (!sound) return;
  shownId_ = sound->id;
  QStringList names;
  for (const SeenName& n : sound->names) names << QString::fromStdString(n.name);
  names.removeDuplicates();
  const std::size_t seen = sound->sightings.size();
  lblNames_->setText((seen == 1 ? QString("Seen once") : QString("Seen %1 times").arg(seen)) + ", as " +
                     names.join(", "));
  QStringList tags;
  for (const std::string& t : sound->tags) tags << QString::fromStdString(t);
  edtTags_->setText(tags.join(", "));
  edtTags_->setEnabled(true);
}

void TfrmLibrary::ApplyTags() {
  if (shownId_ == 0) return;
  const auto sound = library_->Get(shownId_);
  if (!sound) return;
  const std::vector<std::string> wanted = SplitTags(edtTags_->text());
  const std::set<std::string> have(sound->tags.begin(), sound->tags.end());
  const std::set<std::string> want(wanted.begin(), wanted.end());
  bool changed = false;
  for (const std::string& t : have)
    if (!want.count(t)) library_->RemoveTag(shownId_, t), changed = true;
  for (const std::string& t : want)
    if (!have.count(t)) library_->AddTag(shownId_, t), changed = true;
  if (changed) FillTagFilter();
}

void TfrmLibrary::FillTagFilter() {
  const QString current = cmbTag_->currentIndex() > 0 ? cmbTag_->currentText() : QString();
  const QSignalBlocker quiet(cmbTag_);
  cmbTag_->clear();
  cmbTag_->addItem("All tags");
  for (const std::string& t : library_->AllTags()) cmbTag_->addItem(QString::fromStdString(t));
  const int at = current.isEmpty() ? 0 : cmbTag_->findText(current);
  cmbTag_->setCurrentIndex(std::max(at, 0));
  if (at < 0) QueryChanged();  // the tag filtered by is gone
}

std::vector<std::int64_t> TfrmLibrary::SelectedIds() const {
  // In list order, which is the order the musician sees.
  std::vector<int> rows;
  for (const QModelIndex& i : tvSounds_->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  std::vector<std::int64_t> ids;
  for (int r : rows) ids.push_back(model_->Entry(r).id);
  return ids;
}

void TfrmLibrary::AuditionClick() {
  const QModelIndex current = tvSounds_->currentIndex();
  if (!current.isValid() || !hooks_.audition) return;
  const std::vector<SoundData> sounds = library_->ExportSounds(std::vector<std::int64_t>{model_->Entry(current.row()).id});
  if (!sounds.empty()) hooks_.audition(sounds.front());
}

void TfrmLibrary::CopyToSlotClick() {
  const std::vector<SoundData> sounds = library_->ExportSounds(SelectedIds());
  if (!sounds.empty() && hooks_.copyToVirtualSlot) hooks_.copyToVirtualSlot(sounds);
}

void TfrmLibrary::ExportClick() {
  const std::vector<std::int64_t> ids = SelectedIds();
  if (ids.empty() || !hooks_.prompter) return;
  const auto name = hooks_.prompter->SaveFileName(kSysExFiles);
  if (!name) return;
  const std::filesystem::path file(*name);
  std::error_code ec;
  if (std::filesystem::exists(file, ec) && hooks_.prompter->Ask(questions::kReplace, Buttons::YesNo) != Answer::Yes) return;
  const int written = library_->ExportSounds(ids, file);
  Log(std::to_string(written) + (written == 1 ? " sound" : " sounds") + " exported to " + file.string());
}

void TfrmLibrary::ImportClick() {
  if (!hooks_.prompter) return;
  const auto name = hooks_.prompter->OpenFileName({"SysEx and MIDI Files|*.syx;*.mid;*.midi", ""});
  if (!name) return;
  const ImportReport report = library_->ImportFile(*name);
  for (const std::string& problem : report.problems) Log(problem);
  Log(*name + ": " + report.Summary());
  lblStatus_->setText(QString::fromStdString(report.Summary()));
  QueryChanged();
}

void TfrmLibrary::Log(const std::string& text) {
  if (hooks_.log) hooks_.log(text);
}

}  // namespace tarvix
