// The librarian's commands: files, copying, selecting, sorting, finding,
// renaming and the row buttons of both lists.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>

#include "app/HelpLinks.h"
#include "app/TfrmCopyPatch.h"
#include "app/TfrmDuplicates.h"
#include "app/TfrmFind.h"
#include "app/TfrmHelp.h"
#include "app/TfrmMain.h"
#include "app/TfrmPatchEditSimple.h"
#include "app/TfrmWBSettings.h"
#include "app/Version.h"
#include "library/SoundFile.h"
#include "tools/Locator.h"
#include "tools/TfrmLocator.h"

namespace tarvix {

// ---- Files ----------------------------------------------------------------

void TfrmMain::LoadBlofeldClick() {
  if (SaveBeforeReplacing(blofeld_)) LoadInto(blofeld_);
}

void TfrmMain::LoadVirtualClick() {
  if (SaveBeforeReplacing(virtual_)) LoadInto(virtual_);
}

int TfrmMain::UnsavedCount(const BankSet& set) const {
  int n = 0;
  for (int i = 0; i < kSlotCount; ++i) n += set.Changed(i) ? 1 : 0;
  const std::vector<SoundData>& saved = set.IsBlofeld() ? savedBlofeld_ : savedVirtual_;
  if (n == 0 || saved.size() != static_cast<std::size_t>(kSlotCount)) return n;
  for (int i = 0; i < kSlotCount; ++i)
    if (!(set.Sound(i) == saved[static_cast<std::size_t>(i)])) return n;
  return 0;
}

std::string TfrmMain::ChangedSoundsText(const BankSet& set, int count) {
  return std::string(set.IsBlofeld() ? "The Blofeld banks" : "The Virtual banks") + " have " +
         std::to_string(count) + (count == 1 ? " changed sound." : " changed sounds.");
}

bool TfrmMain::SaveBeforeReplacing(BankSet& set) {
  const int changed = UnsavedCount(set);
  if (changed == 0) return true;
  const Answer a = prompter_->Ask(ChangedSoundsText(set, changed) + " Save them first?", Buttons::SaveDiscardCancel);
  if (a == Answer::Cancel) return false;
  // Saving all of the set keeps every changed sound, whatever is selected.
  return a == Answer::No || SaveAll(set);
}

bool TfrmMain::SaveAll(BankSet& set) {
  ListOf(set)->SelectAllRows();
  if (!SaveSelectedSounds(set, *prompter_)) return false;
  std::vector<SoundData>& saved = set.IsBlofeld() ? savedBlofeld_ : savedVirtual_;
  saved.clear();
  for (int i = 0; i < kSlotCount; ++i) saved.push_back(set.Sound(i));
  return true;
}

void TfrmMain::LoadInto(BankSet& set) {
  const auto name = prompter_->OpenFileName(kSysExFiles);
  if (!name) return;
  const int count = CountSoundsInFile(*name);
  BankListView* lv = ListOf(set);
  if (lv->CurrentRow() < 0) lv->SetCurrentRow(0);
  const int current = lv->CurrentRow();
  TfrmLocator locator(count, current, current, set, this);
  if (locator.exec() != QDialog::Accepted) return;
  History::Step step(history_, "Load File");
  step.TouchAll(set);
  const LoadResult r = LoadSoundFile(set, *name, locator.StartIndex());
  QGroupBox* group = set.IsBlofeld() ? grpBlofeld_ : grpVirtual_;
  group->setTitle(QString::fromLocal8Bit(GroupCaption(set.Kind(), r.fileName).c_str()));
  RebuildList(set);
  AddFileToLibrary(*name);
}

void TfrmMain::SaveAllBlofeldClick() { SaveAll(blofeld_); }

void TfrmMain::SaveSelectedBlofeldClick() { SaveSelectedSounds(blofeld_, *prompter_); }

void TfrmMain::SaveSeparateBlofeldClick() {
  SaveSeparateFiles(blofeld_, *prompter_);
  lvBlofeld_->SyncSelectionFromSet();  // "Select all?" may have selected every row
}

void TfrmMain::SaveAllVirtualClick() { SaveAll(virtual_); }

void TfrmMain::SaveSelectedVirtualClick() { SaveSelectedSounds(virtual_, *prompter_); }

void TfrmMain::NewEmptyBlofeldClick() {
  if (!SaveBeforeReplacing(blofeld_)) return;
  History::Step step(history_, "New Empty");
  step.TouchAll(blofeld_);
  FillWithInitSound(blofeld_, init_, log_);
  RebuildList(blofeld_);
}

void TfrmMain::NewEmptyVirtualClick() {
  if (!SaveBeforeReplacing(virtual_)) return;
  History::Step step(history_, "New Empty");
  step.TouchAll(virtual_);
  FillWithInitSound(virtual_, init_, log_);
  RebuildList(virtual_);
}

// ---- Copying --------------------------------------------------------------

void TfrmMain::btnCopy1to2Click() { CopyPatches(blofeld_, virtual_); }
void TfrmMain::btnCopy2to1Click() { CopyPatches(virtual_, blofeld_); }

void TfrmMain::CopyPatches(BankSet& from, BankSet& to) {
  TfrmCopyPatch dialog(from, to, this);
  if (dialog.exec() != QDialog::Accepted) return;
  History::Step step(history_, "Copy Sounds");
  step.TouchAll(to);
  CopyRun(from, to, dialog.DestinationIndex());
  RefreshRows(to);
}

BankSet* TfrmMain::FocusedSet() const {
  if (lvBlofeld_->hasFocus()) return const_cast<BankSet*>(&blofeld_);
  if (lvVirtual_->hasFocus()) return const_cast<BankSet*>(&virtual_);
  // From the menu or after a button took the focus: the list last worked in.
  return const_cast<BankSet*>(activeList_ == 2 ? &virtual_ : &blofeld_);
}

void TfrmMain::CopySelectedSoundClick() {
  BankSet* set = FocusedSet();
  if (!set) return;
  const int row = ListOf(*set)->CurrentRow();
  if (row >= 0) CopyToClipboard(*set, row, clipboard_);
}

void TfrmMain::PasteToSelectedSoundClick() {
  BankSet* set = FocusedSet();
  if (!set) return;
  const int row = ListOf(*set)->CurrentRow();
  if (row < 0) return;
  History::Step step(history_, "Paste");
  step.Touch(*set, row);
  if (PasteFromClipboard(clipboard_, *set, row)) UpdateRow(*set, row);
}

// ---- Selecting ------------------------------------------------------------

void TfrmMain::SelectAllSoundsClick() {
  lvBlofeld_->SelectAllRows();
  lvBlofeld_->setFocus();
}

void TfrmMain::SelectAllChangedSoundsClick() {
  SelectAllChanged(blofeld_);
  lvBlofeld_->SyncSelectionFromSet();
  lvBlofeld_->setFocus();
}

void TfrmMain::SelectAllVirtualClick() {
  lvVirtual_->SelectAllRows();
  lvVirtual_->setFocus();
}

void TfrmMain::SelectAllChangedVirtualClick() {
  // The Virtual command works on the Virtual list and its own flags.
  SelectAllChanged(virtual_);
  lvVirtual_->SyncSelectionFromSet();
  lvVirtual_->setFocus();
}

// ---- Sorting and finding --------------------------------------------------

void TfrmMain::OrderBlofeldByNameClick() { SortSet(blofeld_, SortKind::ByName); }
void TfrmMain::OrderBlofeldByCategoryClick() { SortSet(blofeld_, SortKind::ByCategoryAndName); }
void TfrmMain::OrderVirtualByNameClick() { SortSet(virtual_, SortKind::ByName); }
void TfrmMain::OrderVirtualByCategoryClick() { SortSet(virtual_, SortKind::ByCategoryAndName); }

void TfrmMain::SortSet(BankSet& set, SortKind kind) {
  sortKind_ = kind;
  History::Step step(history_, kind == SortKind::ByName ? "Order by Name" : "Order by Category");
  // Sorting either set refreshes the Blofeld banks' checksums.
  step.TouchAll(set).TouchAll(blofeld_);
  try {
    SortBankSet(set, blofeld_, kind, static_cast<std::uint8_t>(settings_.DeviceId), *prompter_);
  } catch (...) {
    RefreshRows(set);  // exchanges made before the error stay and are shown
    throw;
  }
  RefreshRows(set);
}

void TfrmMain::FindBlofeldClick() { FindIn(blofeld_, true); }
void TfrmMain::SearchAgainBlofeldClick() { FindIn(blofeld_, false); }
void TfrmMain::FindVirtualClick() { FindIn(virtual_, true); }
void TfrmMain::SearchAgainVirtualClick() { FindIn(virtual_, false); }

void TfrmMain::FindIn(BankSet& set, bool askFirst) {
  if (askFirst) {
    TfrmFind dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    search_.text = dialog.SearchText();
    search_.category = dialog.SearchCategory();
  }
  BankListView* lv = ListOf(set);
  if (lv->CurrentRow() < 0) {
    lv->SetCurrentRow(0);
    set.CurrentIndex = 0;
  }
  set.CurrentIndex = lv->CurrentRow();
  const auto found = FindNext(set, search_);
  if (!found) return;
  lv->KeepRowVisible(*found);
  AuditionCurrent(set);
}

void TfrmMain::FindDuplicatesClick() {
  if (!duplicates_) {
    duplicates_ = new TfrmDuplicates(this);
    connect(duplicates_, &TfrmDuplicates::SelectGroupRequested, this,
            [this](const DuplicateGroup& g) { Guard([&] { SelectDuplicateGroup(g); }); });
    connect(duplicates_, &TfrmDuplicates::GoToRowRequested, this,
            [this](DuplicateRow r) { Guard([&] { GoToDuplicateRow(r); }); });
    connect(duplicates_, &TfrmDuplicates::RefreshRequested, this,
            [this] { Guard([&] { duplicates_->Fill(blofeld_, virtual_); }); });
  }
  duplicates_->Fill(blofeld_, virtual_);
  duplicates_->show();
  duplicates_->raise();
  duplicates_->activateWindow();
}

void TfrmMain::SelectDuplicateGroup(const DuplicateGroup& group) {
  // The selection becomes exactly the group, in both lists, so whatever the
  // musician does next (save selected, send, copy) acts on these rows only.
  for (BankSet* set : {&blofeld_, &virtual_}) {
    const std::vector<int> rows = RowsIn(group, set->Kind());
    std::bitset<kSlotCount> selection;
    for (int r : rows) selection.set(static_cast<std::size_t>(r));
    set->SetSelection(selection);
    BankListView* lv = ListOf(*set);
    lv->SyncSelectionFromSet();
    if (rows.empty()) continue;
    lv->selectionModel()->setCurrentIndex(lv->model()->index(rows.front(), 0), QItemSelectionModel::NoUpdate);
    lv->KeepRowVisible(rows.front());
  }
  activeList_ = static_cast<int>(group.rows.front().set);
  UpdateSendEnabled();
}

void TfrmMain::GoToDuplicateRow(DuplicateRow row) {
  BankSet& set = row.set == BankSetKind::Blofeld ? blofeld_ : virtual_;
  set.CurrentIndex = row.slot;
  activeList_ = static_cast<int>(set.Kind());
  AuditionCurrent(set);
}

// ---- Rows -----------------------------------------------------------------

void TfrmMain::btnPrgUpClick() { StepProgram(blofeld_, +1); }
void TfrmMain::btnPrgDownClick() { StepProgram(blofeld_, -1); }
void TfrmMain::btnPrgPlus2Click() { StepProgram(virtual_, +1); }
void TfrmMain::btnPrgMinus2Click() { StepProgram(virtual_, -1); }

void TfrmMain::StepProgram(BankSet& set, int delta) {
  const int next = set.CurrentIndex + delta;
  if (next >= 0 && next < kSlotCount) set.CurrentIndex = next;  // at the ends the row is auditioned again
  ListOf(set)->KeepRowVisible(set.CurrentIndex);
  AuditionCurrent(set);
}

void TfrmMain::btnUPClick() { MoveSelected(blofeld_, true); }
void TfrmMain::btnDownClick() { MoveSelected(blofeld_, false); }
void TfrmMain::btnUPClick2() { MoveSelected(virtual_, true); }
void TfrmMain::btnDownSound2Click() { MoveSelected(virtual_, false); }

void TfrmMain::MoveSelected(BankSet& set, bool up) {
  BankListView* lv = ListOf(set);
  if (lv->CurrentRow() < 0) return;
  History::Step step(history_, up ? "Move Up" : "Move Down");
  step.TouchAll(set);
  if (!(up ? MoveSelectionUp(set) : MoveSelectionDown(set))) return;
  RefreshRows(set);
  if (!set.SelectionList.empty()) lv->KeepRowVisible(up ? set.SelectionList.front() : set.SelectionList.back());
}

void TfrmMain::AuditionCurrent(BankSet& set) {
  BankListView* lv = ListOf(set);
  if (set.CurrentIndex < 0 || set.CurrentIndex >= kSlotCount) set.CurrentIndex = 0;
  lv->SetCurrentRow(set.CurrentIndex);
  if (audition_) audition_(set, set.CurrentIndex);
  lv->setFocus();
}

void TfrmMain::RowClicked(BankSet& set, int row) {
  set.CurrentIndex = row;
  AuditionCurrent(set);
}

void TfrmMain::RowRightClicked(BankSet& set, int row, Qt::KeyboardModifiers modifiers) {
  BankListView* lv = ListOf(set);
  {
    History::Step step(history_, "Move");
    step.TouchAll(set);
    MoveSelectionTo(set, row, [] { QCoreApplication::processEvents(); });
  }
  RefreshRows(set);
  if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier))) RenameRow(set, lv->CurrentRow());
}

void TfrmMain::RenameRow(BankSet& set, int row) {
  if (row < 0) return;
  TfrmPatchEditSimple dialog(set, row, this);
  if (dialog.exec() != QDialog::Accepted) return;
  History::Step step(history_, "Rename");
  step.Touch(set, row);
  dialog.ApplyTo(set, row);
  set.SetChanged(row);
  UpdateRow(set, row);
}

void TfrmMain::RowDropped(BankSet& target, BankListView* source, int targetRow) {
  BankSet& from = source->Set();
  const int sourceRow = source->CurrentRow();
  if (sourceRow < 0) return;
  ExchangeMode mode = ExchangeMode::Swap;
  if (&from != &target) mode = target.IsBlofeld() ? ExchangeMode::VirtualToBlofeld : ExchangeMode::BlofeldToVirtual;
  bool changed = false;
  {
    History::Step step(history_, mode == ExchangeMode::Swap ? "Exchange Sounds" : "Copy Sound");
    step.Touch(from, sourceRow).Touch(target, targetRow);
    changed = ExchangeOrCopy(from, sourceRow, target, targetRow, mode, IsOn(settings_.Overwritequestion), *prompter_);
  }
  RefreshRows(target);
  // The sound landed where it was dropped: that row is now the one the user
  // works on, and the only one selected in that list.
  if (changed) ListOf(target)->SetCurrentRow(targetRow);
  lvBlofeld_->viewport()->update();
  lvVirtual_->viewport()->update();
}

void TfrmMain::SelectionChanged(BankSet& set, bool anySelected, bool) {
  activeList_ = static_cast<int>(set.Kind());
  // A newly selected row becomes the selected part's sound.
  if (anySelected && rowSelected_) rowSelected_(set);
}

void TfrmMain::UpdateSendEnabled() {
  // Sending takes the Blofeld rows that are selected; with none there is
  // nothing to send, whatever the Virtual list shows.
  const bool on = sendEnabled_ && blofeld_.SelectedCount() > 0;
  if (QAction* send = Action("actSendSelected")) send->setEnabled(on);
  if (btnSendToBlo_) btnSendToBlo_->setEnabled(on);
}

// ---- Undo and redo ------------------------------------------------------

void TfrmMain::UndoClick() { ShowHistoryResult(history_.Undo()); }
void TfrmMain::RedoClick() { ShowHistoryResult(history_.Redo()); }

void TfrmMain::ShowHistoryResult(unsigned sets) {
  // The lists show what came back; nothing goes to the instrument (the
  // changed marks say what differs from it).
  if (sets & History::kBlofeldSet) RefreshRows(blofeld_, false);
  if (sets & History::kVirtualSet) RefreshRows(virtual_, false);
  if (sets != History::kNone) UpdateSendEnabled();
}

void TfrmMain::UpdateUndoActions() {
  QAction* undo = Action("actUndo");
  QAction* redo = Action("actRedo");
  if (!undo || !redo) return;
  const auto caption = [](const char* verb, const std::string& label) {
    return label.empty() ? QString(verb) : QString("%1 %2").arg(verb, QString::fromStdString(label));
  };
  undo->setEnabled(history_.CanUndo());
  undo->setText(caption("Undo", history_.CanUndo() ? history_.UndoLabel() : ""));
  redo->setEnabled(history_.CanRedo());
  redo->setText(caption("Redo", history_.CanRedo() ? history_.RedoLabel() : ""));
}

void TfrmMain::BeginReadStep(const std::string& label) {
  if (readStepOpen_) return;
  history_.Begin(label);
  history_.TouchAll(blofeld_);
  readStepOpen_ = true;
}

void TfrmMain::EndReadStep() {
  if (!readStepOpen_) return;
  readStepOpen_ = false;
  history_.End();
}

// ---- Help and exit --------------------------------------------------------

void TfrmMain::ExitClick() { close(); }

void TfrmMain::AboutClick() {
  QMessageBox::about(this, "About Tarvix", QString::fromStdString(AboutText()));
}

void TfrmMain::TarvixSettingsClick() {
  TfrmWBSettings dialog(settings_, *prompter_, this);
  if (dialog.exec() == QDialog::Accepted) dialog.ApplyTo(settings_);
}

void TfrmMain::ShortHelpClick() {
  TfrmHelp help(this);
  help.exec();
}

}  // namespace tarvix
