#include "editor/TfrmPatchEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <fstream>

#include "controls/TCheckLed.h"
#include "controls/TKnob.h"
#include "editor/CaptionFormat.h"
#include "editor/ControllerMap.h"
#include "editor/InitCommands.h"
#include "editor/ParameterMap.h"
#include "editor/PatchEditDialogs.h"
#include "editor/TestNotes.h"
#include "library/AtomicFile.h"
#include "midi/ChannelMessages.h"
#include "midi/SysExMessages.h"

namespace tarvix {

namespace {

// The schemas describe the same controls as the parameter map.
std::vector<SchemaControl> SchemaControlsFromMap(int sampleCount) {
  std::vector<SchemaControl> out;
  for (const auto& c : ParameterMap::Instance().Controls()) {
    int entries = c.EntryCount();
    if (c.encoding == Encoding::Shape) entries += sampleCount;
    out.push_back({c.name, c.kind, c.min, c.max, c.tag, entries});
  }
  return out;
}

int CountSampleLines(const std::filesystem::path& file) {
  std::ifstream in(file);
  int n = 0;
  for (std::string line; std::getline(in, line);) ++n;
  return n;
}

}  // namespace

TfrmPatchEdit::TfrmPatchEdit(const SoundData& sound, PatchEditContext context, QWidget* parent)
    : QDialog(parent),
      ctx_(std::move(context)),
      pass_(
          sound,
          [this](int parameter, std::uint8_t value) { ParameterChange(ctx_.out, ctx_.deviceId, parameter, value); },
          ctx_.pause),
      // The sample names must be known before the schema fixes its list sizes.
      schema_(SchemaControlsFromMap(std::min(CountSampleLines(ctx_.programDir / "samplenames.txt"), 128))) {
  setObjectName("TfrmPatchEdit");
  setWindowTitle("Sound Edit (Edit Buffer)");
  if (!ctx_.dialogs.parameterList) ctx_.dialogs.parameterList = &ShowParameterListView;
  if (!ctx_.dialogs.selectLocation)
    ctx_.dialogs.selectLocation = [this](SoundLocation p) {
      QStringList names;
      for (int i = 0; i < kSlotCount; ++i) names << QString::fromLatin1(GetSoundName(ctx_.blofeld, i).c_str());
      return ShowSelectLocation(p, names, this);
    };
  if (!ctx_.dialogs.createSchemaParameters)
    ctx_.dialogs.createSchemaParameters = [this](const Tolerances& t) { return ShowCreateSchemaParameters(t, this); };
  ReadSampleNames();
  BuildWindow();
  FillSchemaList();
  savedFocus_ = btnTestSound_;
  LoadSoundIntoControls();
  UpdateTestButtonCaption();
  Timer1.setInterval(250);
  connect(&Timer1, &QTimer::timeout, this, &TfrmPatchEdit::Timer1Timer);
  gestureQuiet_.setSingleShot(true);
  gestureQuiet_.setInterval(400);
  connect(&gestureQuiet_, &QTimer::timeout, this, [this] {
    if (mouseHeld_) return;  // a drag that pauses is still one drag; the release ends it
    EndGesture();
  });
  UpdateUndoButtons();
  Timer1.start();
}

TfrmPatchEdit::~TfrmPatchEdit() = default;

// A missing or unreadable file adds nothing and says nothing. At most 128
// samples fit the shape byte.
void TfrmPatchEdit::ReadSampleNames() {
  std::ifstream in(ctx_.programDir / "samplenames.txt");
  for (std::string line; std::getline(in, line) && sampleNames_.size() < 128;) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    sampleNames_.push_back(line);
  }
  pass_.SampleCount = static_cast<int>(sampleNames_.size());
}

void TfrmPatchEdit::FillSchemaList() {
  for (const auto& name : SoundFamilySchema::ListSchemas(ctx_.schemaDir))
    cmbRandomSchema_->addItem(QString::fromStdString(name));
  if (cmbRandomSchema_->count() > 0) {
    cmbRandomSchema_->setCurrentIndex(0);
    LoadSchema(cmbRandomSchema_->currentText());
  }
  // A typed name that is no entry is only the name to save under: loading
  // its (missing) file would wipe every mask.
  cmbRandomSchema_->setInsertPolicy(QComboBox::NoInsert);
  connect(cmbRandomSchema_, &QComboBox::activated, this, [this](int) {
    const QString name = cmbRandomSchema_->currentText();
    if (cmbRandomSchema_->findText(name) < 0) return;
    Guarded(ctx_.log, [&] { LoadSchema(name); });
  });
}

void TfrmPatchEdit::LoadSchema(const QString& name) {
  const auto file = SoundFamilySchema::FileFor(ctx_.schemaDir, name.toStdString());
  if (name.isEmpty() || !std::filesystem::is_regular_file(file)) return;
  schema_.Load(file, &ctx_.log);
  schemaChanged_ = false;
}

// ---- controls and state -------------------------------------------------

int TfrmPatchEdit::ValueOf(std::size_t index) const {
  const auto* w = controls_[index].widget;
  if (auto* k = qobject_cast<const TKnob*>(w)) return k->Position();
  if (auto* l = qobject_cast<const TCheckLed*>(w)) return l->Status() ? 1 : 0;
  if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentIndex() < 0 ? kNoSelection : c->currentIndex();
  return 0;
}

void TfrmPatchEdit::SetValue(std::size_t index, int value) {
  auto* w = controls_[index].widget;
  if (auto* k = qobject_cast<TKnob*>(w)) {
    k->ShowValue(value);  // also outside the range: the sound is shown as stored
  } else if (auto* l = qobject_cast<TCheckLed*>(w)) {
    // Setting an LED from code fires no event; the handler runs here so the
    // LED behaves like the knobs (and the LFO speed caption follows).
    if (l->Status() != (value != 0)) {
      l->setStatus(value != 0);
      ControlChange(index);
    }
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    c->setCurrentIndex(value >= 0 && value < c->count() ? value : -1);
  }
}

ControlState TfrmPatchEdit::CurrentState() const {
  ControlState s;
  s.values.reserve(controls_.size());
  for (std::size_t i = 0; i < controls_.size(); ++i) s.values.push_back(ValueOf(i));
  s.name = edtName_->text().toLatin1().toStdString();
  s.moved = moved_;
  s.nameEdited = nameEdited_;
  return s;
}

QString TfrmPatchEdit::CaptionOf(std::size_t index) const {
  const auto* w = controls_[index].widget;
  if (auto* k = qobject_cast<const TKnob*>(w)) return k->Caption();
  if (auto* l = qobject_cast<const TCheckLed*>(w)) return l->Caption();
  return controls_[index].caption ? controls_[index].caption->text() : QString();
}

void TfrmPatchEdit::UpdateCaption(std::size_t index) {
  const auto& c = ParameterMap::Instance()[index];
  auto* knob = qobject_cast<TKnob*>(controls_[index].widget);
  if (!knob || !HasFormatter(c.tag)) return;
  const bool clocked = c.captionDependsOn >= 0 && ValueOf(static_cast<std::size_t>(c.captionDependsOn)) != 0;
  if (auto text = KnobCaption(c.tag, knob->Position(), clocked)) knob->setCaption(QString::fromStdString(*text));
}

// The one change handler of every knob, list and LED.
void TfrmPatchEdit::ControlChange(std::size_t index) {
  UpdateCaption(index);
  const auto& map = ParameterMap::Instance();
  for (std::size_t i = 0; i < map.size(); ++i)
    if (map[i].captionDependsOn == static_cast<int>(index)) UpdateCaption(i);
  controlsChanged_ = true;
}

void TfrmPatchEdit::MarkMoved(std::size_t index) {
  if (loading_ || index >= moved_.size()) return;
  moved_[index] = true;
  if (!fromController_) {
    pass_.MarkFromUser(index);
    BeginGesture(ParameterMap::Instance()[index].label.empty() ? "Change"
                                                               : "Change " + ParameterMap::Instance()[index].label);
  }
  controlsChanged_ = true;
}

void TfrmPatchEdit::BeginGesture(const std::string& label) {
  gestureQuiet_.start();
  if (gestureStart_) return;
  // The controls reach the sound only with the pass, so the sound before
  // the gesture is the one the last step (or load) left.
  gestureStart_ = settled_;
  gestureLabel_ = label;
}

void TfrmPatchEdit::EndGesture() {
  gestureQuiet_.stop();
  if (!gestureStart_) return;
  // Kept at once, as the pass will write it; the pass still sends it on its
  // usual beat.
  settled_ = pass_.Preview(CurrentState());
  history_.Record(gestureLabel_, *gestureStart_, settled_);
  gestureStart_.reset();
  UpdateUndoButtons();
}

void TfrmPatchEdit::UpdateUndoButtons() {
  if (!btnUndo_ || !btnRedo_) return;
  btnUndo_->setEnabled(history_.CanUndo());
  btnRedo_->setEnabled(history_.CanRedo());
  btnUndo_->setToolTip(QString::fromStdString((history_.CanUndo() ? "Undo " + history_.UndoLabel() : "Undo") +
                                              " (Alt+Backspace)"));
  btnRedo_->setToolTip(QString::fromStdString((history_.CanRedo() ? "Redo " + history_.RedoLabel() : "Redo") +
                                              " (Shift+Alt+Backspace)"));
}

void TfrmPatchEdit::UndoClick() {
  EndGesture();
  // Control changes still waiting for the pass are in the steps already:
  // written into the sound here, they are sent (or not) with what undo
  // changes, by the next pass.
  pass_.EditSound = pass_.Preview(CurrentState());
  if (!history_.Undo(pass_.EditSound)) return;
  // The controls show the sound as it was; the pass sends what differs from
  // what the instrument last got.
  LoadSoundIntoControls();
  UpdateUndoButtons();
}

void TfrmPatchEdit::RedoClick() {
  EndGesture();
  pass_.EditSound = pass_.Preview(CurrentState());
  if (!history_.Redo(pass_.EditSound)) return;
  LoadSoundIntoControls();
  UpdateUndoButtons();
}

void TfrmPatchEdit::LoadSoundIntoControls() {
  loading_ = true;
  const ControlState s = ReadControls(pass_.EditSound, pass_.SampleCount);
  edtName_->setText(QString::fromLatin1(s.name.c_str()));
  moved_.assign(controls_.size(), false);
  nameEdited_ = false;
  const auto& map = ParameterMap::Instance();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    SetValue(i, s.values[i]);
    // A list cannot select a byte outside it; it shows the stored number.
    if (auto* combo = qobject_cast<QComboBox*>(controls_[i].widget))
      combo->setPlaceholderText(s.values[i] == kNoSelection
                                    ? "(" + QString::number(StoredField(pass_.EditSound, map[i])) + ")"
                                    : QString());
  }
  for (std::size_t i = 0; i < controls_.size(); ++i) UpdateCaption(i);
  ApplyLayout();
  controlsChanged_ = true;
  loading_ = false;
  settled_ = pass_.EditSound;
}

void TfrmPatchEdit::ApplyLayout() {
  LayoutGuard::Scope scope(layoutGuard_);
  if (!scope) return;
  const ControlLayout layout = pass_.Layout();
  for (const auto& item : layout.Items()) {
    auto& cw = controls_.at(item.control);
    cw.widget->setVisible(item.visible);
    if (cw.button) cw.button->setVisible(item.visible);
    if (cw.caption) cw.caption->setVisible(item.visible);
    // A hidden control gives its place to the next one.
    if (cw.cell) cw.cell->setVisible(item.visible);
    if (!item.caption) continue;
    const QString text = QString::fromStdString(*item.caption);
    if (auto* k = qobject_cast<TKnob*>(cw.widget)) k->setCaption(text);
    else if (auto* l = qobject_cast<TCheckLed*>(cw.widget)) l->setCaption(text);
    else if (cw.caption) cw.caption->setText(text);
  }
  for (auto& [box, members] : groupBoxes_) {
    bool any = false;
    for (std::size_t i : members) any = any || !controls_[i].widget->isHidden();
    box->setVisible(any);
  }
}

// ---- the transfer pass ----------------------------------------------------

void TfrmPatchEdit::Timer1Timer() {
  if (!controlsChanged_) return;
  controlsChanged_ = false;
  Guarded(ctx_.log, [&] {
    pass_.ApplyControlsToSound(CurrentState());
    ApplyLayout();
    RedrawPictures(tabs_->currentIndex());
  });
}

// Commands that write EditSound directly and then reload the controls would
// otherwise throw away control changes made since the last pass.
void TfrmPatchEdit::FlushPendingPass() { Timer1Timer(); }

void TfrmPatchEdit::ControllerMessage(int controller, int value) {
  const auto target = ControllerTargetFor(controller);
  if (!target || value < 0 || value > 127) return;
  const auto index = ParameterMap::Instance().Find(target->control);
  if (!index) return;
  fromController_ = true;
  SetValue(*index, ControllerValue(target->conversion, value));
  MarkMoved(*index);
  fromController_ = false;
  pass_.MarkFromInstrument(*index);
  // The instrument's own change belongs to no step of the user's.
  if (!gestureStart_) settled_ = pass_.Preview(CurrentState());
  // A list moved by the instrument still gets written at the next pass.
  controlsChanged_ = true;
}

// ---- commands -------------------------------------------------------------

void TfrmPatchEdit::RunInit(void (*init)(SoundData&)) {
  EndGesture();
  FlushPendingPass();
  BeginGesture("Init");
  init(pass_.EditSound);
  LoadSoundIntoControls();
  EndGesture();
}

void TfrmPatchEdit::RunRandomizer(RandomizerCommand command) {
  EndGesture();
  FlushPendingPass();
  BeginGesture(std::string(RandomizerCaption(command)));
  tarvix::RunRandomizer(command, pass_.EditSound,
                        [this](std::string_view control) { return schema_.RandomValueFor(control, ctx_.random); });
  LoadSoundIntoControls();
  EndGesture();
}

void TfrmPatchEdit::RunGroupCommand(const GroupCommand& command) {
  EndGesture();
  BeginGesture(command.caption);
  ControlState s = CurrentState();
  for (std::size_t i : ApplyGroupCommand(command, s, pass_.SampleCount)) {
    SetValue(i, s.values[i]);
    MarkMoved(i);
  }
  controlsChanged_ = true;
  EndGesture();
}

void TfrmPatchEdit::btnSavSoundtoClick() {
  FlushPendingPass();
  const auto where = ctx_.dialogs.selectLocation(ctx_.lastLocation);
  if (!where || where->bank < 0 || where->bank >= kBankCount || where->program < 0 ||
      where->program >= kProgramsPerBank)
    return;
  // The dump is addressed to the chosen slot, so the instrument stores it
  // there; our copy of the Blofeld banks follows.
  // The slot's sound is lost on the instrument: ask first, naming both.
  const int slot = where->bank * kProgramsPerBank + where->program;
  const std::string question = "Replace " + SlotLabel(slot) + " \"" + TrimmedSoundName(ctx_.blofeld.Sound(slot)) +
                               "\" on the Blofeld with \"" + TrimmedSoundName(pass_.EditSound) + "\"?";
  if (ctx_.prompter.Ask(question, Buttons::YesNo) != Answer::Yes) return;
  SoundData copy = pass_.EditSound;
  copy[offs::kDeviceId] = ctx_.deviceId;                          // the instrument's id
  copy[offs::kCommand] = sysex::kSoundDump;                       // sound dump
  copy[offs::kBank] = static_cast<std::uint8_t>(where->bank);     // target bank 0..7
  copy[offs::kProgram] = static_cast<std::uint8_t>(where->program);  // target program 0..127
  copy[offs::kChecksum] = 0x7F;                                   // "any checksum"
  ctx_.out.SendLong(copy.bytes);
  ctx_.lastLocation = *where;
  const int index = where->bank * kProgramsPerBank + where->program;
  ctx_.blofeld.Sound(index) = copy;
  ctx_.blofeld.SetChanged(index);
  if (ctx_.refreshBlofeldRow) ctx_.refreshBlofeldRow(index);
}

void TfrmPatchEdit::btnSaveSoundToFileClick() {
  FlushPendingPass();
  const auto name = ctx_.prompter.SaveFileName(kSysExFiles);
  if (!name) return;
  pass_.EditSound[offs::kBank] = 0;
  pass_.EditSound[offs::kProgram] = 0;
  pass_.EditSound[offs::kChecksum] = 0x7F;
  std::filesystem::path file(*name);
  if (file.extension().empty()) file += ".syx";
  if (std::filesystem::exists(file) && ctx_.prompter.Ask(questions::kReplace, Buttons::YesNoCancel) != Answer::Yes)
    return;
  WriteFileAtomically(file, pass_.EditSound.bytes);
}

void TfrmPatchEdit::btnSaveRandomSchemaClick() {
  const std::string name = cmbRandomSchema_->currentText().toStdString();
  if (name.empty()) {
    ctx_.prompter.Ask("Please set the schema name.", Buttons::Ok);
    return;
  }
  schema_.Save(SoundFamilySchema::FileFor(ctx_.schemaDir, name));
  schemaChanged_ = false;
}

void TfrmPatchEdit::btnCreateSchemaFromCurrentSoundClick() {
  const auto tolerances = ctx_.dialogs.createSchemaParameters(ctx_.tolerances);
  if (!tolerances) return;
  if (!cmbRandomSchema_->currentText().isEmpty()) {
    cmbRandomSchema_->addItem(QString());
    cmbRandomSchema_->setCurrentIndex(cmbRandomSchema_->count() - 1);
  }
  ctx_.tolerances = *tolerances;
  schemaChanged_ = true;
  const auto& map = ParameterMap::Instance();
  schema_.CreateFromValues(
      [&](const SchemaControl& c) {
        const std::size_t i = map.IndexOf(c.name);
        const int v = ValueOf(i);
        return c.kind == ControlKind::Led ? (v != 0 ? 0 : 1) : v;  // LED index 0 is "On"
      },
      ctx_.tolerances);
}

void TfrmPatchEdit::AllowedValuesClick(std::size_t index) {
  const auto& c = ParameterMap::Instance()[index];
  QString caption = "Parameter List View";
  if (!c.IsList()) caption += " (" + CaptionOf(index) + ")";
  auto* combo = qobject_cast<QComboBox*>(controls_[index].widget);
  const auto list = schema_.AllowedValuesFor(c.name, [&](const SchemaControl& sc, int v) -> std::string {
    if (sc.kind == ControlKind::List) return combo ? combo->itemText(v).toStdString() : std::to_string(v);
    const bool clocked = c.captionDependsOn >= 0 && ValueOf(static_cast<std::size_t>(c.captionDependsOn)) != 0;
    return KnobCaption(sc.tag, v, clocked).value_or("");
  });
  if (auto mask = ctx_.dialogs.parameterList(caption, list)) {
    schema_.SetMaskOf(c.name, *mask);
    schemaChanged_ = true;
  }
}

// Closing always proceeds: the schema is kept, then the edit is either
// taken (Accepted) or dropped.
void TfrmPatchEdit::done(int) {
  if (closing_) return;
  closing_ = true;
  Timer1.stop();
  EndGesture();
  FlushPendingPass();
  // The schema is kept only when the user changed it, and never under an
  // empty name (that would be a hidden ".sndfamily" file).
  const std::string schemaName = cmbRandomSchema_->currentText().toStdString();
  if (schemaChanged_ && !schemaName.empty())
    Guarded(ctx_.log, [&] { schema_.Save(SoundFamilySchema::FileFor(ctx_.schemaDir, schemaName)); });
  // The user sees where the sound goes before agreeing to overwrite it.
  const std::string question = storeTarget_.empty() ? std::string("Do you want to save changes?")
                                                    : "Store \"" + TrimmedSoundName(pass_.EditSound) + "\" into " +
                                                          storeTarget_ + "?";
  const Answer a = ctx_.prompter.Ask(question, Buttons::YesNo);
  QDialog::done(a == Answer::Yes ? QDialog::Accepted : QDialog::Rejected);
}

// ---- keys, wheel and focus ----------------------------------------------

void TfrmPatchEdit::UpdateTestButtonCaption() {
  btnTestSound_->setText(QString::fromStdString(TestButtonCaption(ctx_.octave)));
}

bool TfrmPatchEdit::HandleKeyPress(QKeyEvent* e) {
  bool handled = false;
  const bool keypad = e->modifiers() & Qt::KeypadModifier;
  const int key = e->key();
  // The name and the schema name take letters, Z and X included.
  QWidget* focus = focusWidget();  // the window's focus, also while another window is active
  const bool typing =
      focus && (focus == edtName_ || focus == cmbRandomSchema_ || cmbRandomSchema_->isAncestorOf(focus));
  const bool octaveLetter = !typing && !keypad && !(e->modifiers() & Qt::ControlModifier);
  if (key == Qt::Key_Backspace && (e->modifiers() & Qt::AltModifier) && !(e->modifiers() & Qt::ControlModifier)) {
    Guarded(ctx_.log, [&] { (e->modifiers() & Qt::ShiftModifier) ? RedoClick() : UndoClick(); });
    return true;
  }
  if ((e->modifiers() & Qt::ControlModifier) && key >= Qt::Key_0 && key <= Qt::Key_7) {
    static constexpr RandomizerCommand kByDigit[] = {
        RandomizerCommand::Sound,  RandomizerCommand::Oscillators, RandomizerCommand::Filters,
        RandomizerCommand::Envelopes, RandomizerCommand::Lfos,     RandomizerCommand::Matrix,
        RandomizerCommand::Arpeggiator, RandomizerCommand::Effects};
    Guarded(ctx_.log, [&] { RunRandomizer(kByDigit[key - Qt::Key_0]); });
    handled = true;
  } else if ((keypad && key == Qt::Key_Minus) || (octaveLetter && key == Qt::Key_Z)) {
    ctx_.octave = StepOctave(ctx_.octave, false);
    handled = keypad;
  } else if ((keypad && key == Qt::Key_Plus) || (octaveLetter && key == Qt::Key_X)) {
    ctx_.octave = StepOctave(ctx_.octave, true);
    handled = keypad;
  } else if (keypad && key >= Qt::Key_1 && key <= Qt::Key_9) {
    handled = true;
    if (!noteHeld_ && !e->isAutoRepeat()) {
      if (auto note = KeypadTestNote(key - Qt::Key_0, ctx_.octave)) {
        noteHeld_ = true;
        NoteOn(ctx_.out, 0, *note, ctx_.volume ? ctx_.volume() : 127);
      }
    }
  }
  UpdateTestButtonCaption();
  if (handled) return true;
  // The letters of the computer keyboard play notes through the main
  // window's key scan; they must not also type into the editor's controls.
  static const QString kNoteLetters = "asdfghjklwetyuop";
  if (ctx_.computerKeyboardOn && ctx_.computerKeyboardOn() && e->text().size() == 1 &&
      kNoteLetters.contains(e->text().toLower()) && !(e->modifiers() & Qt::ControlModifier)) {
    if (!typing) return true;
  }
  return false;
}

bool TfrmPatchEdit::HandleKeyRelease(QKeyEvent* e) {
  const bool keypad = e->modifiers() & Qt::KeypadModifier;
  if (keypad && e->key() >= Qt::Key_1 && e->key() <= Qt::Key_9 && !e->isAutoRepeat()) {
    if (noteHeld_) {
      noteHeld_ = false;
      ctx_.out.ResetOutput();
    }
    return true;
  }
  return false;
}

void TfrmPatchEdit::KnobEnter(TKnob* knob) {
  hoveredKnob_ = knob;
  savedFocus_ = focusWidget();
  btnTestSound_->setFocus();
}

void TfrmPatchEdit::KnobLeave(TKnob*) {
  hoveredKnob_ = nullptr;
  if (savedFocus_) savedFocus_->setFocus();
}

// The filter sits on the window and every widget in it, so the window sees
// keys before its controls. A key a control ignores travels on to the
// control's parents and passes the filter again; it is handled only once.
bool TfrmPatchEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize)
    for (auto& page : pageBoxes_)
      if (watched == page.viewport) ArrangeBoxes(page);
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* k = static_cast<QKeyEvent*>(event);
    const KeySeen seen{event, event->type(), k->key(), k->timestamp()};
    if (seen == lastKey_) return false;
    lastKey_ = seen;
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      mouseHeld_ = true;
      break;
    case QEvent::MouseButtonRelease:
      // Letting go of a knob ends its drag; a click on an LED ends with it.
      mouseHeld_ = false;
      // (The LED reports its click after this event, hence the next turn.)
      QTimer::singleShot(0, this, [this] {
        if (!mouseHeld_) EndGesture();
      });
      break;
    case QEvent::KeyPress:
      return HandleKeyPress(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
      return HandleKeyRelease(static_cast<QKeyEvent*>(event));
    case QEvent::Wheel:
      if (hoveredKnob_) {
        const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int before = hoveredKnob_->Position();
        if (dy != 0)
          hoveredKnob_->setPosition(
              std::clamp(before + (dy > 0 ? 1 : -1), hoveredKnob_->Min(), hoveredKnob_->Max()));
        if (hoveredKnob_->Position() != before) {
          for (std::size_t i = 0; i < controls_.size(); ++i)
            if (controls_[i].widget == hoveredKnob_) MarkMoved(i);
        }
        return true;
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

bool TfrmPatchEdit::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate && !closing_) {
    // Activation reloads the controls (a dialog may have changed the
    // sound); pending changes reach the sound first so none is lost.
    FlushPendingPass();
    LoadSoundIntoControls();
  }
  return QDialog::event(e);
}

}  // namespace tarvix
