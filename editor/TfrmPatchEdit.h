#pragma once
// TfrmPatchEdit: the sound editor window ("Sound Edit (Edit Buffer)"). Its
// pages are built from the parameter map; control events only mark the
// sound as changed, and Timer1 runs the transfer pass every 250 ms, which
// writes the controls into EditSound and sends one parameter change per
// changed byte. Schemas, randomizers, init, swap and copy commands, test
// notes and the send/save commands live here too. All byte logic is in the
// core (TransferPass, ControlState, Randomizer, InitCommands, GroupCommands).

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "editor/GroupCommands.h"
#include "editor/Randomizer.h"
#include "editor/SoundFamilySchema.h"
#include "editor/Tolerances.h"
#include "editor/TransferPass.h"
#include "library/BankSet.h"
#include "library/History.h"
#include "library/Log.h"
#include "library/Prompter.h"
#include "library/RandomSource.h"
#include "midi/MidiService.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace tarvix {

class TKnob;
class TCheckLed;

// A bank and program of the Blofeld banks, as the select-location dialog
// answers (bank 0..7, program 0..127).
struct SoundLocation {
  int bank = 0;
  int program = 0;
};

// The dialogs the editor opens. The window has plain built-in versions;
// the main window (or a test) can put the program's own dialogs in.
struct PatchEditDialogs {
  // Ticks for the allowed-value list; none when not confirmed with OK.
  std::function<std::optional<std::string>(const QString& caption, const AllowedValueList& list)> parameterList;
  std::function<std::optional<SoundLocation>(SoundLocation preset)> selectLocation;
  std::function<std::optional<Tolerances>(const Tolerances& current)> createSchemaParameters;
};

// What the main window lends the editor while it is open.
struct PatchEditContext {
  MidiOut& out;
  std::uint8_t deviceId = 0x7F;
  BankSet& blofeld;
  std::function<void(int index)> refreshBlofeldRow;  // after "Send Sound to Blofeld"
  Prompter& prompter;
  RandomSource& random;
  Log& log;
  int& octave;                          // the main window's keyboard octave
  std::function<int()> volume;          // velocity of the keyboard panel
  std::function<bool()> computerKeyboardOn;
  Tolerances& tolerances;               // kept in the settings
  SoundLocation& lastLocation;          // last "Send Sound to Blofeld" target
  std::filesystem::path programDir;     // "samplenames.txt"
  std::filesystem::path schemaDir;      // where ".sndfamily" files are listed, read and written
  TransferPass::Pause pause = &TransferPass::SleepOneMillisecond;
  PatchEditDialogs dialogs;             // empty members: built-in dialogs
};

class TfrmPatchEdit : public QDialog {
  Q_OBJECT
 public:
  TfrmPatchEdit(const SoundData& sound, PatchEditContext context, QWidget* parent = nullptr);
  ~TfrmPatchEdit() override;

  // The edited sound; the main window copies it into its slot after Accepted.
  const SoundData& EditSound() const { return pass_.EditSound; }
  SoundData& EditSoundRef() { return pass_.EditSound; }
  bool ControlsChanged() const { return controlsChanged_; }
  // The slot OK stores into ("A031", "Virtual B002"), named by the closing
  // question; empty: the question names no slot.
  void SetStoreTarget(std::string label) { storeTarget_ = std::move(label); }

  // A control change message from the instrument (on the interface thread).
  void ControllerMessage(int controller, int value);

  void LoadSoundIntoControls();
  void Timer1Timer();  // the transfer pass, if anything changed

  // Commands, callable from buttons, keys and tests.
  void RunInit(void (*init)(SoundData&));
  void RunRandomizer(RandomizerCommand command);
  void RunGroupCommand(const GroupCommand& command);
  void btnSavSoundtoClick();
  void btnSaveSoundToFileClick();
  void btnSaveRandomSchemaClick();
  void btnCreateSchemaFromCurrentSoundClick();
  void AllowedValuesClick(std::size_t control);
  void LoadSchema(const QString& name);
  // Undo and redo of the user's gestures; the sound that comes back goes to
  // the instrument with the next pass.
  void UndoClick();
  void RedoClick();
  const SoundHistory& UndoHistory() const { return history_; }

  SoundFamilySchema& Schema() { return schema_; }
  QWidget* Control(std::size_t index) const { return controls_.at(index).widget; }
  int SampleCount() const { return pass_.SampleCount; }
  int PicturePasses() const { return picturePasses_; }

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct ControlWidgets {
    QWidget* widget = nullptr;  // TKnob, TCheckLed or QComboBox
    QToolButton* button = nullptr;
    QLabel* caption = nullptr;  // lists only; knobs and LEDs draw their own
    QWidget* cell = nullptr;    // the cell holding the control on its page
  };

  void BuildWindow();
  QWidget* BuildPage(int page);
  QWidget* BuildCommandBar(int page);
  void BuildPictures(int page);
  static std::string PictureGroup(int page, std::size_t picture);
  QWidget* BuildStepBlock(int first, int last, const std::vector<std::size_t>& members, QWidget* parent);
  int CellWidth(std::size_t index) const;
  // The group boxes of a page flow into as many columns as its width takes.
  struct PageBoxes {
    QWidget* viewport = nullptr;
    QGridLayout* grid = nullptr;
    int firstRow = 0;  // rows above belong to boxes that span the page
    std::vector<QWidget*> boxes;
    int columns = 0;
    int maxColumns = 4;
  };
  void ArrangeBoxes(PageBoxes& page);
  void BuildControl(std::size_t index, QWidget* parent);
  void ReadSampleNames();
  void FillSchemaList();

  ControlState CurrentState() const;
  int ValueOf(std::size_t index) const;
  void SetValue(std::size_t index, int value);
  void ControlChange(std::size_t index);
  // The user (or the instrument) moved this control: from now on the pass
  // writes it into the sound.
  void MarkMoved(std::size_t index);
  void UpdateCaption(std::size_t index);
  void ApplyLayout();
  void RedrawPictures(int page);
  void FlushPendingPass();
  QString CaptionOf(std::size_t index) const;

  // A gesture (a knob drag, a wheel burst, a list choice, typing the name, a
  // command) is one undo step: it opens with the first change and ends when
  // the mouse is let go, after a short quiet spell, or when a command or an
  // undo starts.
  void BeginGesture(const std::string& label);
  void EndGesture();
  void UpdateUndoButtons();

  bool HandleKeyPress(QKeyEvent* e);
  bool HandleKeyRelease(QKeyEvent* e);
  void UpdateTestButtonCaption();
  void KnobEnter(TKnob* knob);
  void KnobLeave(TKnob* knob);

  struct KeySeen {
    const QEvent* event = nullptr;
    int type = 0;
    int key = 0;
    unsigned long long timestamp = 0;
    bool operator==(const KeySeen&) const = default;
  };
  KeySeen lastKey_;

  PatchEditContext ctx_;
  std::string storeTarget_;
  TransferPass pass_;
  SoundFamilySchema schema_;
  std::vector<ControlWidgets> controls_;
  std::vector<std::string> sampleNames_;
  // Group boxes with their controls; a box whose controls the layout hides
  // is hidden too.
  std::vector<std::pair<QWidget*, std::vector<std::size_t>>> groupBoxes_;
  LayoutGuard layoutGuard_;
  // Controls moved since the sound was last loaded; only these are written.
  std::vector<bool> moved_;
  bool nameEdited_ = false;
  bool schemaChanged_ = false;  // masks edited or created since load or save
  bool controlsChanged_ = false;
  bool loading_ = false;
  bool fromController_ = false;
  bool closing_ = false;
  bool noteHeld_ = false;
  int picturePasses_ = 0;
  QPointer<TKnob> hoveredKnob_;
  QPointer<QWidget> savedFocus_;

  QTabWidget* tabs_ = nullptr;
  QLineEdit* edtName_ = nullptr;
  QComboBox* cmbCategory_ = nullptr;
  QComboBox* cmbRandomSchema_ = nullptr;
  QPushButton* btnTestSound_ = nullptr;
  std::vector<QLabel*> pictures_[4];
  std::vector<PageBoxes> pageBoxes_;
  QTimer Timer1;
  SoundHistory history_;
  std::optional<SoundData> gestureStart_;
  SoundData settled_;  // the sound as the last step, load or undo left it
  std::string gestureLabel_;
  bool mouseHeld_ = false;
  QTimer gestureQuiet_;
  QPushButton* btnUndo_ = nullptr;
  QPushButton* btnRedo_ = nullptr;
};

}  // namespace tarvix
