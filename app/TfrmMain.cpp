#include "app/TfrmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "app/QtPrompter.h"
#include "midi/MidiService.h"
#include "midi/QtScheduler.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/TfrmSysExReceiver.h"
#include "midi/VirtualInstrument.h"
#include "midi/MidiDriver.h"
#include "midi/KeyboardPanel.h"
#include "library/SoundFile.h"
#include "soundlib/LibraryFeeder.h"

namespace tarvix {

TfrmMain::TfrmMain(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      log_(options_.logFile),
      init_(options_.programDirectory / kInitSoundFileName),
      settingsFile_(options_.settingsFile.empty() ? options_.programDirectory / kSettingsFileName
                                                  : options_.settingsFile) {
  setObjectName("TfrmMain");
  setWindowTitle("Tarvix");
  if (options_.prompter) {
    prompter_ = options_.prompter;
  } else {
    ownPrompter_ = std::make_unique<QtPrompter>(this);
    prompter_ = ownPrompter_.get();
  }
  log_.AddListener([this](const std::string& line) {
    if (!memoLog_) return;
    memoLog_->appendPlainText(QString::fromLocal8Bit(line.c_str()));
    // Lines do not wrap: keep their beginnings in view, or one long line
    // (an error naming a path) leaves every shorter line after it out of sight.
    memoLog_->horizontalScrollBar()->setValue(0);
  });
  BuildLayout();
  BuildMenu();
  resize(DefaultSize());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  qApp->installEventFilter(this);  // key preview: this window sees keys before its controls
  StartUp();
}

TfrmMain::~TfrmMain() {
  qApp->removeEventFilter(this);
  libraryFeeder_.reset();  // finishes its jobs while the log is still there
  // Inputs stop before the dispatcher they deliver to goes away.
  if (pnlKeyboard_) pnlKeyboard_->player().ReleaseAll();  // no note may hang
  if (midi_) {
    midi_->SetInstrumentHandler(nullptr);
    midi_->CloseInputs();
  }
}

void TfrmMain::LogMessage(const std::string& text) { log_.LogMessage(text); }

void TfrmMain::Guard(const std::function<void()>& command) { Guarded(log_, command); }

void TfrmMain::StartUp() {
  // Every step is guarded on its own: a failure is logged and start-up goes
  // on with the window shown.
  activeList_ = 1;
  CreateMidi();
  Guard([&] {
    FillWithInitSound(blofeld_, init_, log_);
    FillWithInitSound(virtual_, init_, log_);
  });
  bool settingsRead = false;
  Guard([&] { settingsRead = LoadSettings(settingsFile_, settings_, log_); });
  settingsAsRead_ = settings_;
  if (settingsRead) {
    chbSendToEditBuffer_->setChecked(IsOn(settings_.SendToEditBuffer));
    chbSendToEditBuffer2_->setChecked(IsOn(settings_.SendToEditBuffer2));
    Guard([&] { LoadAutoloadFile(); });
  } else if (!settings_.Autoloadfile.empty()) {
    autoloadNotRead_ = settings_.Autoloadfile;
    autoloadNotReadWhy_ = "the settings file could not be read whole, so it was not loaded at start";
  }
  blofeld_.ClearAllChanged();
  RebuildList(blofeld_);
  RebuildList(virtual_);
  blofeld_.CurrentIndex = 0;
  virtual_.CurrentIndex = 0;
  Guard([&] { StartMidi(); });
  lvBlofeld_->SetCurrentRow(0);
  lvBlofeld_->setFocus();
  if (options_.quitAfterStart) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void TfrmMain::LoadAutoloadFile() {
  if (settings_.Autoloadfile.empty()) return;
  try {
    const LoadResult r = LoadSoundFile(blofeld_, settings_.Autoloadfile, kOwnPositions);
    grpBlofeld_->setTitle(QString::fromLocal8Bit(GroupCaption(BankSetKind::Blofeld, r.fileName).c_str()));
    AddFileToLibrary(settings_.Autoloadfile);
  } catch (const std::exception& e) {
    // A missing file holds nothing to lose; one that was there and read only
    // in part (or not at all) must never be replaced by what was loaded.
    std::error_code ec;
    if (std::filesystem::exists(settings_.Autoloadfile, ec)) {
      autoloadNotRead_ = settings_.Autoloadfile;
      autoloadNotReadWhy_ = std::string("reading it at start stopped early: ") + e.what();
    }
    throw;
  }
}

bool TfrmMain::AutoloadMayBeWritten() {
  if (settings_.Autoloadfile.empty()) return false;
  if (settings_.Autoloadfile != autoloadNotRead_) return true;
  LogMessage("The Blofeld banks are not offered for the autoload file " + settings_.Autoloadfile + ": " +
             autoloadNotReadWhy_ + ".");
  return false;
}

bool TfrmMain::ConfirmClose() {
  // Every question comes first, so that Cancel at any of them writes
  // nothing; then the saves run, and one that does not happen (its file
  // dialog cancelled, or an error) keeps the program open with the work.
  //
  // The Blofeld banks are asked about once: with changed sounds and a
  // usable autoload file, the one question offers that file (with Cancel);
  // without changed sounds, the plain autoload question stays (the banks may
  // still differ from the file, e.g. after a read from the instrument).
  enum class Save { None, Autoload, File };
  Save blofeldSave = Save::None;
  bool virtualSave = false;
  const bool autoload = AutoloadMayBeWritten();
  if (const int n = UnsavedCount(blofeld_); n > 0) {
    const std::string q = ChangedSoundsText(blofeld_, n) +
                          (autoload ? " Save them to the autoload file (" + settings_.Autoloadfile + ") before closing?"
                                    : " Save them before closing?");
    const Answer a = prompter_->Ask(q, Buttons::SaveDiscardCancel);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) blofeldSave = autoload ? Save::Autoload : Save::File;
  } else if (autoload) {
    const std::string q = "Do you want to save changes to autoload file (" + settings_.Autoloadfile + ") ?";
    if (prompter_->Ask(q, Buttons::YesNo) == Answer::Yes) blofeldSave = Save::Autoload;
  }
  if (const int n = UnsavedCount(virtual_); n > 0) {
    const Answer a = prompter_->Ask(ChangedSoundsText(virtual_, n) + " Save them before closing?", Buttons::SaveDiscardCancel);
    if (a == Answer::Cancel) return false;
    virtualSave = a == Answer::Yes;
  }

  // The saves that ask for a file come first: cancelling one of them then
  // leaves the autoload file untouched too.
  if (blofeldSave == Save::File) {
    bool saved = false;
    Guard([&] { saved = SaveAll(blofeld_); });
    if (!saved) return false;
  }
  if (virtualSave) {
    bool saved = false;
    Guard([&] { saved = SaveAll(virtual_); });
    if (!saved) return false;
  }
  if (blofeldSave == Save::Autoload) {
    const bool saved = Guarded(log_, [&] {
      SaveAllRenumbered(blofeld_, settings_.Autoloadfile);
      RebuildList(blofeld_);
      RebuildList(virtual_);
    });
    if (!saved) return false;
  }
  return true;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  // Nothing is written or asked in a smoke run.
  if (!options_.quitAfterStart) {
    if (!ConfirmClose()) {
      event->ignore();
      return;
    }
    hide();
    // Settings are written once per run; a failure is logged and not retried.
    if (!settingsWriteFailed_ && !settingsSaved_) {
      settingsSaved_ = true;
      if (!Guarded(log_, [&] { SaveSettings(settingsFile_, settings_, &settingsAsRead_); }))
        settingsWriteFailed_ = true;
    }
  }
  event->accept();
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutClient();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && memoLog_ && watched == memoLog_->viewport()) {
    memoLog_->clear();  // empties the memo only; the log file keeps every line
    return true;
  }
  if (event->type() == QEvent::Resize && watched == client_) LayoutClient();
  if (event->type() == QEvent::KeyPress && QApplication::activeWindow() == this)
    return HandleKey(static_cast<QKeyEvent*>(event));
  return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::HandleKey(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  switch (event->key()) {
    case Qt::Key_X:
    case Qt::Key_Z:
      // Plain X and Z reach the keyboard panel, which plays and changes the
      // octave; with Ctrl they change the octave just the same.
      if (!ctrl || (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) return false;
      if (event->isAutoRepeat()) return true;
      event->key() == Qt::Key_X ? pnlKeyboard_->OctaveUp() : pnlKeyboard_->OctaveDown();
      return true;
    case Qt::Key_Plus:
      if (!keypad) return false;
      Guard([&] { ctrl ? btnDownClick() : btnPrgUpClick(); });
      return true;
    case Qt::Key_Minus:
      if (!keypad) return false;
      Guard([&] { ctrl ? btnUPClick() : btnPrgDownClick(); });
      return true;
    case Qt::Key_Asterisk:
      if (!keypad) return false;
      Guard([&] { ctrl ? btnDownSound2Click() : btnPrgPlus2Click(); });
      return true;
    case Qt::Key_Slash:
      if (!keypad) return false;
      Guard([&] { ctrl ? btnUPClick2() : btnPrgMinus2Click(); });
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (QAction* send = Action("actSendSelected"); send && send->isEnabled()) {
        send->trigger();
        return true;
      }
      return false;
    default:
      return false;
  }
}

int TfrmMain::Octave() const { return pnlKeyboard_->player().Octave(); }

BankListView* TfrmMain::ListOf(const BankSet& set) const { return set.IsBlofeld() ? lvBlofeld_ : lvVirtual_; }

void TfrmMain::RebuildList(BankSet& set) {
  BankListView* lv = ListOf(set);
  lv->Model()->RefreshAll();
  lv->SyncSelectionFromSet();
  if (set.IsBlofeld() && !listsBuilt_) {
    listsBuilt_ = true;
    for (const char* name : {"actSaveAllBlofeld", "actSaveSelectedBlofeld", "actSaveSeparateBlofeld"})
      Action(name)->setEnabled(true);
  }
}

void TfrmMain::RefreshRows(BankSet& set, bool takeFocus) {
  // The selection shown is the set's as it stands now; an older collected
  // selection (a Select All before a save, say) never comes back.
  BankListView* lv = ListOf(set);
  lv->Model()->RefreshAll();
  lv->SyncSelectionFromSet();
  lv->SyncCurrentFromSet();
  if (takeFocus) lv->setFocus();
}

void TfrmMain::UpdateRow(BankSet& set, int index) { ListOf(set)->Model()->RefreshRow(index); }

}  // namespace tarvix
