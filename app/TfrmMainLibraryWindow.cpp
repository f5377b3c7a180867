// The main window's side of the sound library: opening the Library window,
// taking its sounds into the bank sets and auditioning them.
#include <QAction>

#include "app/TfrmLibrary.h"
#include "app/TfrmMain.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/SysExMessages.h"
#include "tools/TfrmSelectLocation.h"

namespace tarvix {

void TfrmMain::LibraryClick() {
  if (!library_) {
    LibraryWindowHooks hooks;
    hooks.audition = [this](const SoundData& s) { Guard([&] { AuditionLibrarySound(s); }); };
    hooks.copyToVirtualSlot = [this](const std::vector<SoundData>& s) { Guard([&] { CopyLibrarySoundsToVirtual(s); }); };
    hooks.log = [this](const std::string& text) { LogMessage(text); };
    hooks.prompter = prompter_;
    if (options_.libraryFile.empty()) {
      LogMessage("No sound library is in use.");
      return;
    }
    try {
      library_ = new TfrmLibrary(options_.libraryFile, std::move(hooks), this);
    } catch (const LibraryError& e) {
      // A damaged library or one from a newer program stays as it is; the
      // musician is told why the window does not open.
      LogMessage(e.what());
      prompter_->Ask(e.what(), Buttons::Ok);
      return;
    }
  } else {
    library_->Refresh();  // sounds may have been added since it was last shown
  }
  library_->show();
  library_->raise();
  library_->activateWindow();
}

void TfrmMain::LibrarySoundsDropped(BankSet& target, const std::vector<SoundData>& sounds, int row) {
  if (row < 0 || row >= kSlotCount) return;
  activeList_ = static_cast<int>(target.Kind());
  bool changed = false;
  for (std::size_t k = 0; k < sounds.size() && row + static_cast<int>(k) < kSlotCount; ++k)
    changed |= CopySoundInto(sounds[k], target, row + static_cast<int>(k), IsOn(settings_.Overwritequestion), *prompter_);
  RefreshRows(target);
  // As with a drop from the other list: the row dropped on is the one the
  // user works on now.
  if (changed) ListOf(target)->SetCurrentRow(row);
}

void TfrmMain::CopyLibrarySoundsToVirtual(const std::vector<SoundData>& sounds) {
  if (sounds.empty()) return;
  TfrmSelectLocation dialog(this);
  QStringList names;
  for (int i = 0; i < kSlotCount; ++i) names << QString::fromLatin1(GetSoundName(virtual_.Sound(i)).c_str());
  dialog.SetSoundNames(names);
  const int current = std::clamp(virtual_.CurrentIndex, 0, kSlotCount - 1);
  dialog.SetLocation(current / kProgramsPerBank, current % kProgramsPerBank);
  if (dialog.exec() != QDialog::Accepted) return;
  LibrarySoundsDropped(virtual_, sounds, dialog.Bank() * kProgramsPerBank + dialog.Program());
}

void TfrmMain::AuditionLibrarySound(const SoundData& sound) {
  // The edit buffer is what a transfer may be reading; nothing goes out
  // while one runs.
  if (dispatcher_->Busy()) {
    LogMessage("A transfer is running: the sound was not sent to the edit buffer.");
    return;
  }
  SendSoundToEditBuffer(*midi_, sound);
}

}  // namespace tarvix
