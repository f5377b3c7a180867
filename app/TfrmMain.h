#pragma once
// The main window: both bank sets side by side with their lists and buttons,
// the side panel with the log, the menu and the keys. It owns the sets, the
// clipboard, the search and the log; every command runs inside the error
// guard and works through the core.

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/BankListView.h"
#include "library/BankOperations.h"
#include "library/History.h"
#include "library/InitSound.h"
#include "library/Log.h"
#include "library/Prompter.h"
#include "library/Settings.h"
#include "editor/TfrmPatchEdit.h"
#include "library/SortFind.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvix {

class MidiDriver;
class MidiService;
class QtScheduler;
class ReceiveDispatcher;
class TfrmDuplicates;
class TfrmLibrary;
struct DuplicateGroup;
struct DuplicateRow;
class TfrmSysExReceiver;
class VirtualInstrument;
class KeyboardPanel;
class LibraryFeeder;

struct MainWindowOptions {
  std::filesystem::path programDirectory = ProgramDirectory();  // the shipped files
  std::filesystem::path logFile = "blofeld.log";
  std::filesystem::path settingsFile;  // empty: "waldorf_blofeld.ini" in the program directory
  std::filesystem::path userDataDirectory;  // sound families; empty: the program directory
  Prompter* prompter = nullptr;  // none: message boxes and file dialogs
  bool quitAfterStart = false;   // start, show, quit when idle; write and ask nothing
  bool systemMidi = true;        // also list the system's MIDI ports (tests use only the built-in instrument)
  bool midiSettingsAtStart = true;  // show the MIDI settings dialog once at start-up
  bool jackMidi = false;         // the system's ports through JACK even where ALSA exists
  MidiDriver* midiDriver = nullptr;  // tests: these ports instead of the system's (outlives the window)
  // The sound library that loaded files and read sounds are added to (when
  // the setting allows) and the Library window shows; empty: none.
  std::filesystem::path libraryFile;
};

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(MainWindowOptions options = {}, QWidget* parent = nullptr);
  ~TfrmMain() override;

  BankSet& Blofeld() { return blofeld_; }
  BankSet& Virtual() { return virtual_; }
  BankListView* BlofeldList() const { return lvBlofeld_; }
  BankListView* VirtualList() const { return lvVirtual_; }
  int ActiveList() const { return activeList_; }
  Log& GetLog() { return log_; }
  QPlainTextEdit* LogMemo() const { return memoLog_; }
  QAction* Action(const QString& objectName) const;
  const SearchState& Search() const { return search_; }
  History& UndoHistory() { return history_; }
  Settings& CurrentSettings() { return settings_; }
  int Octave() const;
  KeyboardPanel* Keyboard() const { return pnlKeyboard_; }
  VirtualInstrument& Instrument() { return *instrument_; }
  MidiService& Midi() { return *midi_; }
  ReceiveDispatcher& Dispatcher() { return *dispatcher_; }
  // Waits until the sound library has taken every file and sound handed to it.
  void WaitForLibrary();
  TfrmSysExReceiver* Receiver() const { return receiver_; }
  QTreeWidget* PartsTree() const { return TreeView1_; }
  // "Find Duplicate Sounds", once opened (it stays until the main window goes).
  TfrmDuplicates* DuplicatesWindow() const { return duplicates_; }
  // The Library window, once opened.
  TfrmLibrary* LibraryWindow() const { return library_; }
  // The MIDI channel of the part selected in the parts tree.
  int KeyboardChannel() const;

  void LogMessage(const std::string& text);
  // Runs a command inside the error guard: an exception is logged and the
  // program carries on.
  void Guard(const std::function<void()>& command);

  // Rows read the slots; these repaint and show the set's selection (and,
  // for RefreshRows, its current row) as they stand.
  void RebuildList(BankSet& set);
  void RefreshRows(BankSet& set, bool takeFocus = true);
  void UpdateRow(BankSet& set, int index);
  BankListView* ListOf(const BankSet& set) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TfrmMainTestAccess;
  // Building the window (TfrmMainLayout.cpp).
  void BuildLayout();
  void BuildMenu();
  void LayoutClient();
  // 872 × 606, made wider where the fonts need it for both lists to show
  // every column whole.
  QSize DefaultSize() const;
  QAction* AddAction(QMenu* menu, const QString& objectName, const QString& caption, const QKeySequence& shortcut,
                     void (TfrmMain::*slot)());

  // Start-up and closing.
  void StartUp();
  void LoadAutoloadFile();
  // Asks about unsaved work and saves what the user wants kept; false when
  // the user cancelled or a save did not happen, so the window stays open.
  bool ConfirmClose();
  // Whether closing may offer to write the Blofeld banks to the autoload
  // file; logs why not when that file was not read whole at start.
  bool AutoloadMayBeWritten();

  // Library commands (TfrmMainCommands.cpp).
  void LoadBlofeldClick();
  void LoadVirtualClick();
  void LoadInto(BankSet& set);
  // Before Load or New Empty replaces the set: asks to save its changed
  // sounds (if any); false when the user cancelled or the save did not happen.
  bool SaveBeforeReplacing(BankSet& set);
  // The set's "Save All" command; true when the file was written.
  bool SaveAll(BankSet& set);
  // The set's changed sounds, or 0 when it is just as its last "Save All"
  // wrote it (the flags stay for sending; the work is kept all the same).
  int UnsavedCount(const BankSet& set) const;
  // "The Virtual banks have 40 changed sounds."
  static std::string ChangedSoundsText(const BankSet& set, int count);
  void SaveAllBlofeldClick();
  void SaveSelectedBlofeldClick();
  void SaveSeparateBlofeldClick();
  void SaveAllVirtualClick();
  void SaveSelectedVirtualClick();
  void NewEmptyBlofeldClick();
  void NewEmptyVirtualClick();
  void btnCopy1to2Click();
  void btnCopy2to1Click();
  void CopyPatches(BankSet& from, BankSet& to);
  void CopySelectedSoundClick();
  void PasteToSelectedSoundClick();
  void SelectAllSoundsClick();
  void SelectAllChangedSoundsClick();
  void SelectAllVirtualClick();
  void SelectAllChangedVirtualClick();
  void OrderBlofeldByNameClick();
  void OrderBlofeldByCategoryClick();
  void OrderVirtualByNameClick();
  void OrderVirtualByCategoryClick();
  void SortSet(BankSet& set, SortKind kind);
  void FindBlofeldClick();
  void SearchAgainBlofeldClick();
  void FindVirtualClick();
  void SearchAgainVirtualClick();
  void FindIn(BankSet& set, bool askFirst);
  void FindDuplicatesClick();
  // The group's rows become the selection of both lists.
  void SelectDuplicateGroup(const DuplicateGroup& group);
  // The row becomes its list's current and only selected row, as a find does.
  void GoToDuplicateRow(DuplicateRow row);
  void ExitClick();
  void AboutClick();
  void ShortHelpClick();
  void TarvixSettingsClick();

  // Undo and redo (TfrmMainCommands.cpp). Undo shows what it put back and
  // sends nothing.
  void UndoClick();
  void RedoClick();
  void ShowHistoryResult(unsigned sets);
  void UpdateUndoActions();
  // A read stores its sounds over many replies; the whole read is one step,
  // opened when it starts and ended when it finishes (or is refused).
  void BeginReadStep(const std::string& label);
  void EndReadStep();
  void RunRead(const std::string& label, const std::function<void()>& start);

  // Rows and selection.
  void btnPrgUpClick();
  void btnPrgDownClick();
  void btnPrgPlus2Click();
  void btnPrgMinus2Click();
  void StepProgram(BankSet& set, int delta);
  void btnUPClick();
  void btnDownClick();
  void btnUPClick2();
  void btnDownSound2Click();
  void MoveSelected(BankSet& set, bool up);
  void AuditionCurrent(BankSet& set);
  void RowClicked(BankSet& set, int row);
  void RowRightClicked(BankSet& set, int row, Qt::KeyboardModifiers modifiers);
  void RowDropped(BankSet& target, BankListView* source, int targetRow);
  void SelectionChanged(BankSet& set, bool anySelected, bool anyDeselected);
  // "Send SysEx for Selected Sounds", "Send to Blo" and Enter follow what the
  // Blofeld list has selected, whoever changed it.
  void UpdateSendEnabled();
  void RenameRow(BankSet& set, int row);
  BankSet* FocusedSet() const;

  // The MIDI link (TfrmMainMidi.cpp).
  void CreateMidi();
  void StartMidi();
  void ApplyMidiSettings();
  void OpenOutputOrFallBack();
  void MidiSettingsClick();
  void ReadCurrentSoundClick();
  void ReadBank(int bank);
  void ReadAllClick();
  void ReadFinished();
  // The sound library (TfrmMainLibrary.cpp): files loaded into a set and the
  // sounds a read stored are added after they are in the set, off this thread.
  void AddFileToLibrary(const std::filesystem::path& file);
  void StartCollectingReadSounds();
  void AddReadSoundsToLibrary();
  // A sound fetched from the edit buffer (for the editor or the locker).
  void AddFetchedSoundToLibrary(const SoundData& sound);
  LibraryFeeder* Feeder();
  // Enables or disables every command that starts a transfer.
  void EnableTransferCommands(bool on);
  // After a send: a message when the port did not take everything.
  void ReportSendResult();
  void EditEditBufferClick();
  void LockerClick();
  void QuasiMorphClick();
  void CopySoundsClick();
  void SendSelectedClick();
  void SendSysExFromFileClick();
  void PanicClick();
  void MultiModeClick(bool on);
  void RebuildPartsTree();
  void AssignCurrentRowToPart(BankSet& set);
  void tmrWindowTimer();
  void SetActiveListFromFocus();
  void SendParameter(int parameterNumber, std::uint8_t value);
  void OpenEditor(const SoundData& sound);

  // Keys previewed before the controls.
  bool HandleKey(QKeyEvent* event);
  void ConvertMidiToSysExClick();

  // The Library window (TfrmMainLibraryWindow.cpp).
  void LibraryClick();
  // Sounds from the library onto a row: from that row on, each after the
  // overwrite question (when it is on), as a drop between the lists.
  void LibrarySoundsDropped(BankSet& target, const std::vector<SoundData>& sounds, int row);
  // "Copy to Virtual slot…": asks where, then copies as a drop there would.
  void CopyLibrarySoundsToVirtual(const std::vector<SoundData>& sounds);
  void AuditionLibrarySound(const SoundData& sound);
  void ConvertSysExToMidiClick();

  MainWindowOptions options_;
  FileLog log_;
  std::unique_ptr<Prompter> ownPrompter_;
  Prompter* prompter_;
  InitSoundStore init_;
  BankSet blofeld_{BankSetKind::Blofeld};
  BankSet virtual_{BankSetKind::Virtual};
  History history_{blofeld_, virtual_};
  bool readStepOpen_ = false;
  SoundClipboard clipboard_;
  SearchState search_;
  SortKind sortKind_ = SortKind::ByName;
  int activeList_ = 1;
  bool listsBuilt_ = false;
  Settings settings_;
  Settings settingsAsRead_;  // as the file gave them: a save rewrites only what differs
  // An autoload file that was not read whole at start (and why): writing the
  // banks over it would destroy the sounds that were never loaded.
  std::string autoloadNotRead_, autoloadNotReadWhy_;
  std::vector<SoundData> savedBlofeld_, savedVirtual_;  // each set as its last "Save All" wrote it
  std::filesystem::path settingsFile_;
  std::unique_ptr<LibraryFeeder> libraryFeeder_;
  bool collectingReadSounds_ = false;
  std::vector<int> slotsRead_;
  bool settingsWriteFailed_ = false;
  bool settingsSaved_ = false;
  // Filled in by the MIDI side: auditioning a row, and whether sending to the
  // instrument is possible.
  std::function<void(BankSet&, int)> audition_;
  // A row of the list became selected: the selected part takes its sound.
  std::function<void(BankSet&)> rowSelected_;
  bool sendEnabled_ = false;

  BankListModel* blofeldModel_ = nullptr;
  BankListModel* virtualModel_ = nullptr;
  BankListView* lvBlofeld_ = nullptr;
  BankListView* lvVirtual_ = nullptr;
  QWidget* client_ = nullptr;
  QWidget* pnlSide_ = nullptr;
  QGroupBox* grpBlofeld_ = nullptr;
  QGroupBox* grpVirtual_ = nullptr;
  QToolButton* btnCopy1to2_ = nullptr;
  QToolButton* btnCopy2to1_ = nullptr;
  KeyboardPanel* pnlKeyboard_ = nullptr;
  QPlainTextEdit* memoLog_ = nullptr;
  QTreeWidget* TreeView1_ = nullptr;
  QCheckBox* chbMultiMode_ = nullptr;
  QCheckBox* chbSendToEditBuffer_ = nullptr;
  QCheckBox* chbSendToEditBuffer2_ = nullptr;
  QPushButton* btnSendToBlo_ = nullptr;
  QToolButton* btnUpSound_ = nullptr;
  QToolButton* btnDownSound_ = nullptr;
  QToolButton* btnUpSound2_ = nullptr;
  QToolButton* btnDownSound2_ = nullptr;
  QTimer* tmrWindow_ = nullptr;

  std::unique_ptr<QtScheduler> scheduler_;
  std::unique_ptr<VirtualInstrument> instrument_;
  std::unique_ptr<MidiDriver> driver_;
  std::unique_ptr<MidiService> midi_;
  std::unique_ptr<ReceiveDispatcher> dispatcher_;
  TfrmSysExReceiver* receiver_ = nullptr;
  TfrmDuplicates* duplicates_ = nullptr;
  TfrmLibrary* library_ = nullptr;
  SoundLocation lastSendLocation_;  // last "Send Sound to Blofeld" target of the editor
};

}  // namespace tarvix
