// The main window's MIDI side: the ports, the receive dispatcher and its
// dialog, reading and sending, auditioning, the parts tree, and the windows
// that work on the instrument's edit buffer.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "app/TfrmSettings.h"
#include "library/AppPaths.h"
#include "library/RandomSource.h"
#include "midi/ChannelMessages.h"
#include "midi/KeyboardPanel.h"
#include "midi/TfrmMidiSysexConverter.h"
#include "midi/MidiService.h"
#include "midi/PartsTree.h"
#include "midi/QtScheduler.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/RtMidiDriver.h"
#include "midi/SysExMessages.h"
#include "midi/TfrmSysExReceiver.h"
#include "midi/VirtualInstrument.h"
#include "tools/TfrmCopySounds.h"
#include "tools/TfrmLocker.h"
#include "tools/TfrmMorph.h"

namespace tarvix {

void TfrmMain::CreateMidi() {
  scheduler_ = std::make_unique<QtScheduler>();
  instrument_ = std::make_unique<VirtualInstrument>();
  if (options_.systemMidi) {
    try {
      driver_ = std::make_unique<RtMidiDriver>(options_.jackMidi ? RtMidiDriver::Api::Jack : RtMidiDriver::Api::Auto);
    } catch (const std::exception& e) {
      // No ALSA and no JACK: the built-in instrument still works.
      LogMessage(std::string("No system MIDI: ") + e.what());
    }
  }
  midi_ = std::make_unique<MidiService>(options_.midiDriver ? options_.midiDriver : driver_.get(), *instrument_,
                                        *scheduler_, log_);
  receiver_ = new TfrmSysExReceiver(this);
  dispatcher_ = std::make_unique<ReceiveDispatcher>(blofeld_, *midi_, *scheduler_, *receiver_, log_);
  receiver_->SetDispatcher(dispatcher_.get());
  midi_->SetInstrumentHandler(dispatcher_.get());
  dispatcher_->OnSlotChanged = [this](int index) {
    // A stored reply and a sent sound both leave the slot unchanged: the
    // instrument holds what the row shows, which undo compares against.
    if (!blofeld_.Changed(index)) history_.InstrumentHolds(index, blofeld_.Sound(index));
    UpdateRow(blofeld_, index);
    if (collectingReadSounds_) slotsRead_.push_back(index);
  };
  dispatcher_->OnBusyChanged = [this](bool busy) {
    if (!busy) EndReadStep();  // however the job ended, a read's step ends with it
    EnableTransferCommands(!busy);
  };

  audition_ = [this](BankSet& set, int slot) {
    const bool toEditBuffer = IsOn(set.IsBlofeld() ? settings_.SendToEditBuffer : settings_.SendToEditBuffer2);
    dispatcher_->SelectProgram(set, slot, toEditBuffer, KeyboardChannel());
  };
  rowSelected_ = [this](BankSet& set) {
    // The list makes the clicked or stepped-to row current only after it has
    // selected it, so the part takes the row once the event is over.
    QTimer::singleShot(0, this, [this, &set] { Guard([&] { AssignCurrentRowToPart(set); }); });
  };
  sendEnabled_ = true;
  pnlKeyboard_->setOutput([this]() -> MidiOut* { return midi_.get(); });
  pnlKeyboard_->setChannelProvider([this] { return KeyboardChannel(); });

  tmrWindow_ = new QTimer(this);
  tmrWindow_->setObjectName("tmrWindow");
  connect(tmrWindow_, &QTimer::timeout, this, [this] { Guard([&] { tmrWindowTimer(); }); });
  tmrWindow_->start(200);

  // The commands of the MIDI side, enabled now that they can run.
  auto wire = [this](const char* name, void (TfrmMain::*slot)()) {
    QAction* a = Action(name);
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, [this, slot] { Guard([&] { (this->*slot)(); }); });
  };
  wire("actReadCurrentSound", &TfrmMain::ReadCurrentSoundClick);
  wire("actReadAll", &TfrmMain::ReadAllClick);
  wire("actSendSysExFromFile", &TfrmMain::SendSysExFromFileClick);
  wire("actEditEditBuffer", &TfrmMain::EditEditBufferClick);
  wire("actQuasiMorph", &TfrmMain::QuasiMorphClick);
  wire("actLocker", &TfrmMain::LockerClick);
  wire("actCopySounds", &TfrmMain::CopySoundsClick);
  wire("actPanic", &TfrmMain::PanicClick);
  wire("actMidiSettings", &TfrmMain::MidiSettingsClick);
  QAction* send = Action("actSendSelected");
  connect(send, &QAction::triggered, this, [this] { Guard([&] { SendSelectedClick(); }); });
  for (int b = 0; b < kBankCount; ++b) {
    QAction* a = Action(QString("actReadBank%1").arg(QChar('A' + b)));
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, [this, b] { Guard([&] { ReadBank(b); }); });
  }
  auto button = [this](const char* name, void (TfrmMain::*slot)()) {
    auto* btn = findChild<QPushButton*>(name);
    btn->setEnabled(true);
    connect(btn, &QPushButton::clicked, this, [this, slot] { Guard([&] { (this->*slot)(); }); });
  };
  button("btnEditEditBuffer", &TfrmMain::EditEditBufferClick);
  button("btnQMorph", &TfrmMain::QuasiMorphClick);
  button("btnLocker", &TfrmMain::LockerClick);
  button("btnPanic", &TfrmMain::PanicClick);
  button("btnReadAll", &TfrmMain::ReadAllClick);
  connect(btnSendToBlo_, &QPushButton::clicked, this, [this] { Guard([&] { SendSelectedClick(); }); });
  chbMultiMode_->setEnabled(true);
  connect(chbMultiMode_, &QCheckBox::clicked, this, [this](bool on) { Guard([&] { MultiModeClick(on); }); });
  for (BankListView* lv : {lvBlofeld_, lvVirtual_})
    connect(lv, &BankListView::RowDoubleClicked, this, [this](int) { Guard([&] { EditEditBufferClick(); }); });
}

void TfrmMain::ApplyMidiSettings() {
  midi_->Ports.inName = settings_.MidiInDeviceID;
  midi_->Ports.outName = settings_.MidiOutDeviceID;
  midi_->Ports.controllerName = settings_.MidiInDeviceIDKeyboard;
  dispatcher_->DeviceId = static_cast<std::uint8_t>(settings_.DeviceId);
  dispatcher_->MidiDelayMs = settings_.MIDIDelay;
  dispatcher_->FastRead = settings_.FastRead != 0;
}

void TfrmMain::EnableTransferCommands(bool on) {
  // One transfer at a time: while one runs, nothing may start another (a
  // held Enter key would otherwise start a send at every repeat).
  static const char* const kActions[] = {"actReadCurrentSound", "actReadAll",   "actSendSysExFromFile",
                                         "actEditEditBuffer",   "actLocker",    "actReadBankA",
                                         "actReadBankB",        "actReadBankC", "actReadBankD",
                                         "actReadBankE",        "actReadBankF", "actReadBankG",
                                         "actReadBankH"};
  for (const char* name : kActions)
    if (QAction* a = Action(name)) a->setEnabled(on);
  for (const char* name : {"btnEditEditBuffer", "btnLocker", "btnReadAll"})
    if (auto* b = findChild<QPushButton*>(name)) b->setEnabled(on);
  chbMultiMode_->setEnabled(on);
  sendEnabled_ = on;
  const bool anySelected = blofeld_.SelectedCount() > 0 || virtual_.SelectedCount() > 0;
  if (QAction* send = Action("actSendSelected")) send->setEnabled(on && anySelected);
  btnSendToBlo_->setEnabled(on && blofeld_.SelectedCount() > 0);
}

namespace {

// Slot names for a message box: all of them up to a screenful, then a count.
std::string SlotNames(const std::vector<int>& names) {
  constexpr std::size_t kShown = 48;
  std::string list;
  for (std::size_t k = 0; k < names.size() && k < kShown; ++k) list += (k ? ", " : "") + SlotLabel(names[k]);
  if (names.size() > kShown) list += " and " + std::to_string(names.size() - kShown) + " more (see the log)";
  return list;
}

}  // namespace

void TfrmMain::ReportSendResult() {
  const ReceiveDispatcher& d = *dispatcher_;
  if (d.Cancelled || d.SentCount == d.SendTotal) return;  // a cancel is in the log; the user chose it
  std::string text = "Sent " + std::to_string(d.SentCount) + " of " + std::to_string(d.SendTotal) + ".";
  if (!d.Missing.empty()) text += " Not sent: " + SlotNames(d.Missing) + ". Their changed marks stay.";
  prompter_->Ask(text + " Check the MIDI connection and send again.", Buttons::Ok);
}

void TfrmMain::OpenOutputOrFallBack() {
  if (midi_->OpenOutput()) return;
  // Ending the program here would lose every unsaved change; the built-in
  // instrument takes over instead.
  prompter_->Ask("Midi Open error", Buttons::Ok);
  midi_->OpenVirtualOutput();
}

void TfrmMain::StartMidi() {
  ApplyMidiSettings();
  midi_->EnumerateDevices();
  midi_->ResolveDeviceNumbers();
  midi_->MatchDefaultDevices();
  if (options_.quitAfterStart) {
    // A smoke run opens only the built-in instrument and asks nothing.
    midi_->OpenVirtualOutput();
    RebuildPartsTree();
    return;
  }
  OpenOutputOrFallBack();
  for (const std::string& error : midi_->OpenInputs()) prompter_->Ask(error, Buttons::Ok);
  dispatcher_->RequestGlobals([this] { RebuildPartsTree(); });
  RebuildPartsTree();
  // Asking at every start only gets in the way once the instrument is set
  // up; the dialog comes by itself while no device has been chosen yet.
  if (options_.midiSettingsAtStart && settings_.MidiInDeviceID.empty() && settings_.MidiOutDeviceID.empty())
    MidiSettingsClick();
}

void TfrmMain::MidiSettingsClick() {
  midi_->EnumerateDevices();
  QStringList inputs, outputs;
  for (const auto& d : midi_->InputDevices) inputs << QString::fromStdString(d.name);
  for (const auto& d : midi_->OutputDevices) outputs << QString::fromStdString(d.name);
  // With no controller stored the list starts empty, so OK does not quietly
  // make the instrument's own port the controller input.
  TfrmSettings dialog(inputs, outputs, settings_, midi_->ControllerInputOpen() ? midi_->Ports.controllerNumber : -1, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.ApplyTo(settings_);
  ApplyMidiSettings();
  const MidiService::ReopenResult r = midi_->Reopen();
  if (!r.outputOpened) {
    prompter_->Ask("Midi Open error", Buttons::Ok);
    midi_->OpenVirtualOutput();
  }
  for (const std::string& error : r.inputErrors) prompter_->Ask(error, Buttons::Ok);
}

int TfrmMain::KeyboardChannel() const {
  const int count = TreeView1_->topLevelItemCount();
  QTreeWidgetItem* item = TreeView1_->currentItem();
  const int selected = item ? TreeView1_->indexOfTopLevelItem(item) : -1;
  return tarvix::KeyboardChannel(selected, count);
}

void TfrmMain::RebuildPartsTree() {
  const int selected = TreeView1_->currentItem() ? TreeView1_->indexOfTopLevelItem(TreeView1_->currentItem()) : 0;
  TreeView1_->clear();
  for (const std::string& entry : PartsTreeEntries(dispatcher_->Globals, blofeld_))
    TreeView1_->addTopLevelItem(new QTreeWidgetItem(QStringList(QString::fromLatin1(entry))));
  const int count = TreeView1_->topLevelItemCount();
  if (count > 0) TreeView1_->setCurrentItem(TreeView1_->topLevelItem(selected >= 0 && selected < count ? selected : 0));
  chbMultiMode_->setChecked(dispatcher_->Globals.MultiMode());
}

void TfrmMain::AssignCurrentRowToPart(BankSet& set) {
  QTreeWidgetItem* part = TreeView1_->currentItem();
  const int row = ListOf(set)->CurrentRow();
  if (!part || row < 0) return;
  dispatcher_->StorePartSound(TreeView1_->indexOfTopLevelItem(part), row);
  RebuildPartsTree();
}

void TfrmMain::MultiModeClick(bool on) {
  // The box shows what the instrument is set to, not the click, until the
  // switch has gone out.
  chbMultiMode_->setChecked(dispatcher_->Globals.MultiMode());
  dispatcher_->SetMultiMode(on, [this](bool sent) {
    RebuildPartsTree();
    if (!sent)
      prompter_->Ask("Multi mode was not switched: the Blofeld did not send its global data. "
                     "Check the MIDI connection and try again.",
                     Buttons::Ok);
  });
}

void TfrmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && dispatcher_) {
    if (!TreeView1_->currentItem() && TreeView1_->topLevelItemCount() > 0)
      TreeView1_->setCurrentItem(TreeView1_->topLevelItem(0));
  }
}

// ---- Reading --------------------------------------------------------------

void TfrmMain::ReadFinished() {
  AddReadSoundsToLibrary();
  EndReadStep();
  for (const char* name : {"btnDownSound", "btnUpSound", "btnPrgMinus", "btnPrgPlus"})
    if (auto* w = findChild<QWidget*>(name)) w->setEnabled(true);
  // Neither list takes the focus: copy and paste stay with the list the
  // user was working in.
  RefreshRows(blofeld_, false);
  RefreshRows(virtual_, false);
  const ReceiveDispatcher& d = *dispatcher_;
  if (!d.Missing.empty() && !d.Cancelled)
    prompter_->Ask("No valid reply came for " + std::to_string(d.Missing.size()) + " sound(s): " +
                       SlotNames(d.Missing) + ". They keep what they held before; read them again.",
                   Buttons::Ok);
}

void TfrmMain::ReadCurrentSoundClick() {
  // The first selected row; with none selected, the current row.
  int slot = -1;
  for (int i = 0; i < kSlotCount && slot < 0; ++i)
    if (blofeld_.IsSelected(i)) slot = i;
  if (slot < 0) slot = std::max(lvBlofeld_->CurrentRow(), 0);
  RunRead("Read Sound", [&] { dispatcher_->ReadCurrentSound(slot, [this] { ReadFinished(); }); });
}

void TfrmMain::ReadBank(int bank) {
  RunRead(std::string("Read Bank ") + BankLetter(bank),
          [&] { dispatcher_->ReadBank(bank, [this] { ReadFinished(); }); });
}

void TfrmMain::ReadAllClick() {
  RunRead("Read All", [&] { dispatcher_->ReadAll([this] { ReadFinished(); }); });
}

void TfrmMain::RunRead(const std::string& label, const std::function<void()>& start) {
  BeginReadStep(label);
  StartCollectingReadSounds();
  try {
    start();
  } catch (...) {
    if (!dispatcher_->Busy()) EndReadStep();
    throw;
  }
  if (!dispatcher_->Busy()) {  // refused, or over already
    EndReadStep();
    if (collectingReadSounds_) AddReadSoundsToLibrary();
  }
}

// ---- Edit buffer, editor, locker, morph -----------------------------------

void TfrmMain::EditEditBufferClick() {
  // Only a list without any current row starts at A001; an emptied selection
  // (after a read or a send) leaves the current row where the user put it.
  if (lvBlofeld_->CurrentRow() < 0) lvBlofeld_->SetCurrentRow(0);
  if (activeList_ == 2 && lvVirtual_->CurrentRow() < 0) lvVirtual_->SetCurrentRow(0);
  dispatcher_->FetchEditBuffer(RequestKind::EditorSound);
}

void TfrmMain::SetActiveListFromFocus() {
  if (lvBlofeld_->hasFocus()) activeList_ = 1;
  if (lvVirtual_->hasFocus()) activeList_ = 2;
  for (BankListView* lv : {lvBlofeld_, lvVirtual_})
    if (lv->CurrentRow() < 0) lv->SetCurrentRow(0);
}

void TfrmMain::LockerClick() {
  SetActiveListFromFocus();
  dispatcher_->FetchEditBuffer(RequestKind::LockerSound);
}

void TfrmMain::SendParameter(int parameterNumber, std::uint8_t value) {
  ParameterChange(*midi_, static_cast<std::uint8_t>(settings_.DeviceId), parameterNumber, value);
}

void TfrmMain::QuasiMorphClick() {
  SetActiveListFromFocus();
  TfrmMorph morph(
      blofeld_, [this](int p, std::uint8_t v) { SendParameter(p, v); }, *prompter_, RandomSource::Program(), this);
  morph.exec();
}

void TfrmMain::tmrWindowTimer() {
  const int status = dispatcher_->TakeCurrentSoundStatus();
  if (status == 1 || status == 2) AddFetchedSoundToLibrary(dispatcher_->CurrentSound);
  if (status == 1) {
    OpenEditor(dispatcher_->CurrentSound);
  } else if (status == 2) {
    TfrmLocker locker(
        blofeld_, dispatcher_->CurrentSound, [this](int p, std::uint8_t v) { SendParameter(p, v); }, *prompter_,
        RandomSource::Program(), this);
    locker.exec();  // the locker's result lives in the instrument and in saved files
  }
}

void TfrmMain::CopySoundsClick() {
  TfrmCopySounds dialog(blofeld_, log_, [this](int row) { UpdateRow(blofeld_, row); }, this);
  History::Step step(history_, "Copy Sounds");
  step.TouchAll(blofeld_);
  dialog.exec();
}

void TfrmMain::ConvertMidiToSysExClick() {
  TfrmMidiSysexConverter dialog(ConvertMode::MidiToSysex, *prompter_, this);
  dialog.exec();
}

void TfrmMain::ConvertSysExToMidiClick() {
  TfrmMidiSysexConverter dialog(ConvertMode::SysexToMidi, *prompter_, this);
  dialog.exec();
}

// ---- Sending --------------------------------------------------------------

void TfrmMain::SendSelectedClick() {
  const std::vector<int> rows = SendableRows(blofeld_);
  if (rows.empty()) return;
  // Sending overwrites the instrument's own memory: more than one sound is
  // confirmed once, naming what will be replaced.
  if (rows.size() > 1 && prompter_->Ask(SendQuestion(rows), Buttons::YesNo) != Answer::Yes) return;
  dispatcher_->DeviceId = static_cast<std::uint8_t>(settings_.DeviceId);
  // The selection stays as the user left it.
  dispatcher_->SendSelectedSounds([this] {
    RefreshRows(blofeld_, false);
    ReportSendResult();
  });
}

void TfrmMain::SendSysExFromFileClick() {
  dispatcher_->SendSysExFromFile(*prompter_, [this] {
    // The file's sounds went to slots the program does not follow.
    if (dispatcher_->SentCount > 0) history_.InstrumentUnknownAll();
    ReportSendResult();
  });
}

void TfrmMain::PanicClick() { dispatcher_->Panic(); }

}  // namespace tarvix

namespace tarvix {

void TfrmMain::OpenEditor(const SoundData& sound) {
  Tolerances tolerances{settings_.ToleranceComboBox, settings_.ToleranceOctave,        settings_.ToleranceKeytrack,
                        settings_.ToleranceOtherKnobs, settings_.ToleranceSemitoneKnobs, settings_.ToleranceDetuneKnobs};
  const std::filesystem::path userData =
      options_.userDataDirectory.empty() ? options_.programDirectory : options_.userDataDirectory;
  PatchEditContext context{
      .out = *midi_,
      .deviceId = static_cast<std::uint8_t>(settings_.DeviceId),
      .blofeld = blofeld_,
      // "Send Sound to Blofeld" stored the sound there and on the instrument.
      .refreshBlofeldRow =
          [this](int index) {
            history_.InstrumentHolds(index, blofeld_.Sound(index));
            UpdateRow(blofeld_, index);
          },
      .prompter = *prompter_,
      .random = RandomSource::Program(),
      .log = log_,
      .octave = pnlKeyboard_->player().OctaveStorage(),
      .volume = [this] { return pnlKeyboard_->player().Volume(); },
      .computerKeyboardOn = [this] { return pnlKeyboard_->keyboardOn(); },
      .tolerances = tolerances,
      .lastLocation = lastSendLocation_,
      .programDir = SampleNamesFolder(userData, options_.programDirectory),
      // Schemas are written and read in the user's data folder; listing them
      // from the same folder keeps a saved schema in the list when the
      // program was started from another directory.
      .schemaDir = userData,
      .pause = &TransferPass::SleepOneMillisecond,
      .dialogs = {},
  };
  // The slot OK stores into is fixed now, and the closing question names it.
  BankSet& target = activeList_ == 2 ? virtual_ : blofeld_;
  const int row = std::max(ListOf(target)->CurrentRow(), 0);
  // The editor's sends to the Blofeld banks and its OK are one step.
  History::Step step(history_, "Edit Sound");
  step.TouchAll(blofeld_).Touch(target, row);
  TfrmPatchEdit editor(sound, context, this);
  editor.SetStoreTarget((target.IsBlofeld() ? "" : "Virtual ") + SlotLabel(row));
  // Control changes the instrument sends while the editor is open move its
  // controls (on this thread: the dispatcher runs here).
  dispatcher_->ControllerHandler = [&editor](std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    if ((status & 0xF0) == 0xB0) editor.ControllerMessage(data1, data2);
  };
  const int result = editor.exec();
  dispatcher_->ControllerHandler = nullptr;
  pnlKeyboard_->ShowOctave();
  settings_.ToleranceComboBox = tolerances.comboBox;
  settings_.ToleranceOctave = tolerances.octave;
  settings_.ToleranceKeytrack = tolerances.keytrack;
  settings_.ToleranceOtherKnobs = tolerances.otherKnobs;
  settings_.ToleranceSemitoneKnobs = tolerances.semitone;
  settings_.ToleranceDetuneKnobs = tolerances.detune;
  if (result != QDialog::Accepted) return;
  target.Sound(row) = editor.EditSound();
  target.SetChanged(row);
  UpdateRow(target, row);
}

}  // namespace tarvix
