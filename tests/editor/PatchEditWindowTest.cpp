#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>
#include <fstream>
#include <random>

#include "controls/TCheckLed.h"
#include "controls/TKnob.h"
#include "editor/ParameterMap.h"
#include "editor/TfrmPatchEdit.h"
#include "library/InitSound.h"
#include "tests/editor/ExpectBytes.h"
#include "tests/midi/MidiFakes.h"
#include "tests/support/MouseEvents.h"
#include "tests/support/QtTestMain.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::Bytes;
using Sent = std::vector<Bytes>;

struct EditorFixture : ::testing::Test {
  test::TempDir dir;
  test::RecordingOut out;
  BankSet blofeld{BankSetKind::Blofeld};
  std::vector<int> refreshed;
  test::ScriptedPrompter prompter;
  RandomSource random{12345};
  MemoryLog log;
  int octave = 4;
  Tolerances tolerances;
  SoundLocation lastLocation{2, 5};
  SoundData sound = MakeDefaultInitSound();
  std::unique_ptr<TfrmPatchEdit> editor;

  PatchEditContext Context(MidiOut& o) {
    return PatchEditContext{.out = o, .deviceId = 0x11, .blofeld = blofeld,
                            .refreshBlofeldRow = [this](int i) { refreshed.push_back(i); },
                            .prompter = prompter, .random = random, .log = log, .octave = octave,
                            .volume = [] { return 100; }, .computerKeyboardOn = [] { return true; },
                            .tolerances = tolerances, .lastLocation = lastLocation, .programDir = dir.Path(),
                            .schemaDir = dir.Path(), .pause = {}, .dialogs = {}};
  }
  void Open() {
    editor = std::make_unique<TfrmPatchEdit>(sound, Context(out));
    editor->Timer1Timer();  // the load's own pass: nothing differs
    out.sent.clear();
  }
  template <class W>
  W* Widget(const char* name) {
    auto* w = qobject_cast<W*>(editor->Control(ParameterMap::Instance().IndexOf(name)));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // The user drags a knob's face from its value to `value`, one step per pixel upwards.
  static void Turn(TKnob* knob, int value) {
    test::SendMouse(knob, QEvent::MouseButtonPress, {16, 10});
    test::SendMouse(knob, QEvent::MouseMove, {16, 10 - (value - knob->Position())});
    test::SendMouse(knob, QEvent::MouseButtonRelease, {16, 10 - (value - knob->Position())});
  }
  // The user steps a list to an entry with the arrow keys.
  static void Choose(QComboBox* list, int entry) {
    list->setFocus();
    for (int guard = 0; list->currentIndex() != entry && guard < 300; ++guard)
      QTest::keyClick(list, list->currentIndex() < entry ? Qt::Key_Down : Qt::Key_Up);
  }
  std::vector<Bytes> Pass() {
    out.sent.clear();
    editor->Timer1Timer();
    return out.sent;
  }
  void Click(const char* name) {
    auto* b = editor->findChild<QPushButton*>(name);
    ASSERT_NE(b, nullptr) << name;
    b->click();
  }
  static void Wheel(QWidget* w, int delta) {
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
  }
  static Bytes Change(int parameter, int value) {
    return {0xF0, 0x3E, 0x13, 0x11, 0x20, 0x00, static_cast<std::uint8_t>(parameter >> 7),
            static_cast<std::uint8_t>(parameter & 0x7F), static_cast<std::uint8_t>(value), 0xF7};
  }
};

TEST_F(EditorFixture, PassSendsOnlyTheUsersChangesWithTheInstrumentsBytes) {
  Open();
  // An LED set from code fires no event; a clicked step LED sends its step byte alone (328 = 2 x 128 + 72).
  Widget<TCheckLed>("CheckLedGlide1")->setStatus(!Widget<TCheckLed>("CheckLedGlide1")->Status());
  EXPECT_TRUE(Pass().empty());
  QTest::mouseClick(Widget<TCheckLed>("CheckLedGlide2"), Qt::LeftButton);
  EXPECT_EQ(Pass(), Sent{Change(328, 4 | 8)});  // step 2 "normal", accent "*1", now with glide

  // A rename sends one message per character; the category none.
  auto* name = editor->findChild<QLineEdit*>("edtName");
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, "Bass");
  Choose(editor->findChild<QComboBox*>("cmbCategory"), 3);
  EXPECT_EQ(editor->EditSound()[offs::kCategory], 3);  // at once
  EXPECT_EQ(Pass(), (Sent{Change(363, 'B'), Change(364, 'a'), Change(365, 's'), Change(366, 's')}));

  // Controller messages move controls without an echo.
  editor->ControllerMessage(69, 33);  // filter 1 cutoff
  editor->ControllerMessage(15, 4);   // LFO 1 shape, a list
  editor->ControllerMessage(27, 88);  // octave 1: (88 - 16) div 12 = 6
  editor->ControllerMessage(5, 1);    // not mapped: ignored
  auto* resonance = Widget<TKnob>("KnobFilter1Resonance");
  Turn(resonance, 71);  // the user's own change in the same period still goes out
  EXPECT_EQ(Pass(), Sent{Change(80, 71)});
  test::ExpectBytes(editor->EditSound(), {{85, 33}, {167, 4}, {8, 16 + 12 * 6}});
  editor->ControllerMessage(67, 1);  // a list moved by the instrument alone is written too
  EXPECT_TRUE(Pass().empty());
  EXPECT_EQ(editor->EditSound()[124], 1);
  // The hold lasts one pass; a grab right after the instrument moved a knob wins. Offset 85 is parameter 78.
  auto* cutoff = Widget<TKnob>("KnobFilter1Cutoff");
  Turn(cutoff, 40);
  EXPECT_EQ(Pass(), Sent{Change(78, 40)});
  editor->ControllerMessage(69, 50);
  Turn(cutoff, 41);
  EXPECT_EQ(Pass(), Sent{Change(78, 41)});

  // The wheel turns the knob under the pointer only; pictures follow a pass that changed something.
  Q_EMIT resonance->OnEnter(resonance);
  EXPECT_EQ(editor->focusWidget(), editor->findChild<QPushButton*>("btnTestSound"));
  Wheel(resonance, 120);
  EXPECT_EQ(resonance->Position(), 72);
  Q_EMIT resonance->OnLeave(resonance);
  Wheel(resonance, -120);
  EXPECT_EQ(resonance->Position(), 72);
  const int pictures = editor->PicturePasses();
  Pass();
  EXPECT_EQ(editor->PicturePasses(), pictures + 1);
  Pass();
  EXPECT_EQ(editor->PicturePasses(), pictures + 1);
}

TEST_F(EditorFixture, InitSwapAndRandomizeCommands) {
  sound[172] = 11;  // LFO 1 and 2 start phases, LFO 1 shape, cutoff
  sound[184] = 99;
  sound[167] = 2;
  sound[85] = 5;
  Open();
  Click("btnSwapLFO1LFO2");
  editor->Timer1Timer();
  test::ExpectBytes(editor->EditSound(), {{172, 99}, {184, 11}, {179, 2}});
  editor->ControllerMessage(69, 33);  // held back for one pass only, not from the command's
  editor->Timer1Timer();
  Click("btnInitFilters");
  test::ExpectBytes(editor->EditSound(), {{85, 127}, {84, 0}});
  const Sent sent = Pass();  // the pass after the command sends what the init changed
  EXPECT_NE(std::find(sent.begin(), sent.end(), Change(78, 127)), sent.end());
  // A knob turned just before a command is not lost by the command's reload.
  Turn(Widget<TKnob>("KnobAmplifierVolume"), 7);
  Click("btnInitLFOs");
  test::ExpectBytes(editor->EditSound(), {{128, 7}, {172, 0}});
  // A fresh schema randomizes to the middle of each range.
  Click("btnRandomizeSound");
  EXPECT_EQ(Widget<TKnob>("KnobFilter1Cutoff")->Position(), 64);
  // Ctrl+1 reaches the oscillators, also when a control has the focus.
  Turn(Widget<TKnob>("KnobOctave1"), 1);
  editor->Timer1Timer();
  QTest::keyClick(Widget<QComboBox>("cmbShape2"), Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(editor->EditSound()[8], 16 + 12 * 4);
}

TEST_F(EditorFixture, SaveToFileAndSendToBlofeld) {
  sound[offs::kBank] = 3;
  sound[offs::kProgram] = 9;
  sound[offs::kChecksum] = 0x21;
  PatchEditContext ctx = Context(out);
  ctx.dialogs.selectLocation = [](SoundLocation preset) {
    EXPECT_EQ(std::pair(preset.bank, preset.program), std::pair(2, 5));
    return std::optional<SoundLocation>(SoundLocation{1, 127});
  };
  editor = std::make_unique<TfrmPatchEdit>(sound, ctx);
  editor->Timer1Timer();
  const auto file = dir.Path() / "x.syx";
  { std::ofstream(file) << "old"; }
  prompter.saveName = file.string();
  prompter.answers = {Answer::No};
  editor->btnSaveSoundToFileClick();
  EXPECT_EQ(prompter.asked, (std::vector<std::string>{"Do you want to replace it?"}));
  test::ExpectBytes(editor->EditSound(), {{offs::kBank, 0}, {offs::kProgram, 0}, {offs::kChecksum, 127}});
  EXPECT_EQ(std::filesystem::file_size(file), 3u);
  prompter.answers = {Answer::Yes};
  editor->btnSaveSoundToFileClick();
  EXPECT_EQ(std::filesystem::file_size(file), kSoundSize);

  // Replacing a slot is confirmed first, naming the slot and its sound.
  out.sent.clear();
  SetSoundName(blofeld.Sound(255), "Old Pad");
  prompter.asked.clear();
  prompter.answers = {Answer::No};
  editor->btnSavSoundtoClick();
  EXPECT_EQ(prompter.asked, (std::vector<std::string>{"Replace B128 \"Old Pad\" on the Blofeld with \"Init\"?"}));
  EXPECT_TRUE(out.sent.empty());
  prompter.answers = {Answer::Yes};
  editor->btnSavSoundtoClick();
  ASSERT_EQ(out.sent.size(), 1u);
  EXPECT_EQ((std::array{out.sent[0][3], out.sent[0][5], out.sent[0][6]}), (std::array<std::uint8_t, 3>{0x11, 1, 127}));
  EXPECT_EQ(std::pair(lastLocation.bank, lastLocation.program), std::pair(1, 127));
  EXPECT_TRUE(blofeld.Changed(255));
  EXPECT_EQ(GetSoundName(blofeld.Sound(255)), GetSoundName(sound));
  EXPECT_EQ(refreshed, std::vector<int>{255});
}

TEST_F(EditorFixture, KeysPlayTestNotesAndMoveTheOctave) {
  Open();
  auto* test = editor->findChild<QPushButton*>("btnTestSound");
  QTest::keyPress(editor.get(), Qt::Key_1, Qt::KeypadModifier);
  QTest::keyPress(editor.get(), Qt::Key_5, Qt::KeypadModifier);  // a note is held: no second
  EXPECT_EQ(out.sent, (Sent{{0x90, 60, 100}}));
  QTest::keyRelease(editor.get(), Qt::Key_5, Qt::KeypadModifier);
  EXPECT_EQ(out.resets, 1);
  const auto octaveAfter = [&](QWidget* w, Qt::Key key, Qt::KeyboardModifiers m = {}) {
    QTest::keyClick(w, key, m);
    return octave;
  };
  octave = 9;
  EXPECT_EQ(octaveAfter(editor.get(), Qt::Key_Plus, Qt::KeypadModifier), 9);
  EXPECT_EQ(octaveAfter(editor.get(), Qt::Key_Minus, Qt::KeypadModifier), 8);
  EXPECT_EQ(test->text(), "Test Sound C8-C9");
  auto* shape = Widget<QComboBox>("cmbShape1");  // a key reaching a control passes the window once
  EXPECT_EQ(octaveAfter(shape, Qt::Key_Minus, Qt::KeypadModifier), 7);
  // Note letters, Z and X are letters while typing the name or a schema name, in either case and with Ctrl.
  auto* name = editor->findChild<QLineEdit*>("edtName");
  name->setFocus();
  QTest::keyClicks(name, "aszXZx");
  EXPECT_EQ(name->text(), "InitaszXZx");
  QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(name, Qt::Key_X, Qt::ControlModifier);
  auto* schema = editor->findChild<QComboBox*>("cmbRandomSchema");
  schema->setFocus();
  QTest::keyClicks(schema->lineEdit(), "zx");
  EXPECT_EQ(schema->currentText(), "zx");
  EXPECT_EQ(octave, 7);
  shape->setFocus();
  EXPECT_EQ(octaveAfter(shape, Qt::Key_Z), 6);  // elsewhere Z is octave down
  EXPECT_EQ(octaveAfter(shape, Qt::Key_X), 7);
  out.sent.clear();
  QTest::mousePress(test, Qt::LeftButton);
  QTest::mouseRelease(test, Qt::LeftButton);
  EXPECT_EQ(out.sent, (Sent{{0x90, 60, 127}}));
  EXPECT_EQ(out.resets, 2);
}

// Opening and closing with OK changes and sends nothing, whatever the bytes hold: values outside a
// control's range or list are shown as stored and written only when the user moves that control.
TEST_F(EditorFixture, OpeningAndClosingNeverChangesASound) {
  std::mt19937 gen(20261207);
  for (int n = 0; n < 25; ++n) {
    SoundData s{};  // the first all zero; half the others with full 8-bit bytes
    if (n > 0)
      for (auto& b : s.bytes) b = static_cast<std::uint8_t>(gen() % (n % 2 ? 256 : 128));
    out.sent.clear();
    editor = std::make_unique<TfrmPatchEdit>(s, Context(out));
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    auto* tabs = editor->findChild<QTabWidget*>();
    for (int page = 0; page < tabs->count(); ++page) {
      tabs->setCurrentIndex(page);
      QApplication::processEvents();
      editor->Timer1Timer();
    }
    prompter.answers = {Answer::Yes};
    QTest::mouseClick(editor->findChild<QPushButton*>("btnClose"), Qt::LeftButton);
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_TRUE(out.sent.empty()) << "sound " << n << ": " << out.sent.size() << " messages";
    EXPECT_EQ(editor->EditSound(), s) << "sound " << n;
  }

  SoundData s = MakeDefaultInitSound();
  s[9] = 100;  // semitone 1: +36, outside -12..12
  s[8] = 0;    // octave 1: below 128'
  s[334] = 0x70 | 0x08 | 0x03;  // step 1: "random", glide, accent "/2"
  s[124] = 99;                  // filter routing outside its list
  editor = std::make_unique<TfrmPatchEdit>(s, Context(out));
  Pass();
  EXPECT_EQ(Widget<TKnob>("KnobSemitone1")->Position(), 36);
  EXPECT_EQ(Widget<TKnob>("KnobOctave1")->Caption(), "-1");
  EXPECT_EQ(Widget<QComboBox>("cmbFilterRouting")->currentIndex(), -1);  // byte 99: no entry,
  EXPECT_EQ(Widget<QComboBox>("cmbFilterRouting")->placeholderText(), "(99)");  // its number shown
  // A click on the glide LED clears only its bit of the shared step byte.
  QTest::mouseClick(Widget<TCheckLed>("CheckLedGlide1"), Qt::LeftButton);
  EXPECT_EQ(Pass(), Sent{Change(327, 0x73)});
  Turn(Widget<TKnob>("KnobSemitone1"), 30);  // a drag brings it into range
  EXPECT_EQ(Pass(), Sent{Change(2, 64 + 12)});
  EXPECT_EQ(editor->EditSound()[8], 0);
}

// Allowed values, a schema made from the sound, and which schemas closing keeps.
TEST_F(EditorFixture, SchemaEditingSavingAndClosing) {
  PatchEditContext ctx = Context(out);
  QString caption;
  AllowedValueList shown;
  std::string mask = "000001";
  ctx.dialogs.parameterList = [&](const QString& c, const AllowedValueList& l) {
    caption = c;
    shown = l;
    return std::optional<std::string>(mask);
  };
  ctx.dialogs.createSchemaParameters = [](const Tolerances& t) {
    Tolerances n = t;
    n.octave = 1;
    n.comboBox = 0;
    return std::optional<Tolerances>(n);
  };
  editor = std::make_unique<TfrmPatchEdit>(sound, ctx);
  const auto octave1 = ParameterMap::Instance().IndexOf("KnobOctave1");
  // A fresh mask ticks the middle row only; the knob's caption names it.
  editor->AllowedValuesClick(octave1);
  EXPECT_EQ(caption, "Parameter List View (" + Widget<TKnob>("KnobOctave1")->Caption() + ")");
  EXPECT_EQ(shown.ticked, (std::vector<bool>{false, false, false, false, true, false, false, false, false}));
  editor->RunRandomizer(RandomizerCommand::Osc1);
  EXPECT_EQ(editor->EditSound()[8], 16 + 12 * 5);
  // A schema made from the sound allows the octaves next to it.
  auto* schema = editor->findChild<QComboBox*>("cmbRandomSchema");
  schema->setEditText("Old");
  editor->btnCreateSchemaFromCurrentSoundClick();
  EXPECT_EQ(tolerances.octave, 1);
  EXPECT_EQ(editor->Schema().MaskOf("KnobOctave1"), "000011100");
  const bool lit = Widget<TCheckLed>("CheckLedLimitWT1")->Status();
  EXPECT_EQ(editor->Schema().MaskOf("CheckLedLimitWT1"), lit ? "10" : "01");
  editor->btnSaveRandomSchemaClick();  // the list's text is empty now
  EXPECT_EQ(prompter.asked, std::vector<std::string>{"Please set the schema name."});

  // Closing keeps a changed schema under its name, never under an empty one.
  mask = "0011";
  for (const char* name : {"", "Family"}) {
    if (*name) editor = std::make_unique<TfrmPatchEdit>(sound, ctx);
    editor->AllowedValuesClick(octave1);
    editor->findChild<QComboBox*>("cmbRandomSchema")->setEditText(name);
    prompter.answers = {Answer::No};
    editor->done(QDialog::Accepted);
    EXPECT_EQ(editor->result(), QDialog::Rejected);
    EXPECT_EQ(prompter.asked.back(), "Do you want to save changes?");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / ".sndfamily"));
  ASSERT_TRUE(std::filesystem::exists(dir.Path() / "Family.sndfamily"));

  // Reopened, the saved schema is loaded; a new name confirmed with Enter loads nothing and saves nothing.
  Open();
  schema = editor->findChild<QComboBox*>("cmbRandomSchema");
  EXPECT_EQ(schema->currentText(), "Family");
  EXPECT_EQ(editor->Schema().MaskOf("KnobOctave1"), "0011");
  schema->setFocus();
  schema->lineEdit()->selectAll();
  QTest::keyClicks(schema->lineEdit(), "Brand new");
  QTest::keyClick(schema->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(schema->currentText(), "Brand new");
  EXPECT_EQ(editor->Schema().MaskOf("KnobOctave1"), "0011");
  prompter.answers = {Answer::No};
  editor->done(QDialog::Accepted);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Brand new.sndfamily"));
}

// Each gesture is one step; the pass (not the undo) sends what differs from what the instrument holds.
TEST_F(EditorFixture, EachGestureIsOneUndoStepAndThePassSendsTheUndoneSound) {
  Open();
  std::vector<SoundData> states{editor->EditSound()};
  auto settle = [&] {
    QTest::qWait(450);  // past the quiet spell that ends a wheel burst or a list choice
    editor->Timer1Timer();
    states.push_back(editor->EditSound());
  };
  auto* cutoff = Widget<TKnob>("KnobFilter1Cutoff");
  const int cutoffWas = cutoff->Position();
  // A drag with several moves (downwards: the cutoff starts at the top).
  test::SendMouse(cutoff, QEvent::MouseButtonPress, {16, 10});
  for (int y : {15, 20, 30}) {
    test::SendMouse(cutoff, QEvent::MouseMove, {16, y});
    editor->Timer1Timer();  // passes during the drag do not split it
  }
  test::SendMouse(cutoff, QEvent::MouseButtonRelease, {16, 30});
  settle();
  auto* resonance = Widget<TKnob>("KnobFilter1Resonance");  // a wheel burst
  Q_EMIT resonance->OnEnter(resonance);
  for (int k = 0; k < 3; ++k) Wheel(resonance, 120);
  Q_EMIT resonance->OnLeave(resonance);
  settle();
  Choose(Widget<QComboBox>("cmbLFO1Shape"), 3);  // a list stepped with the keys
  settle();
  auto* name = editor->findChild<QLineEdit*>("edtName");
  name->setFocus();
  QTest::keyClicks(name, "Pad");
  settle();
  for (const char* command : {"btnSwapLFO1LFO2", "btnRandomizeSound", "btnInitSound"}) {
    Click(command);
    settle();
  }
  ASSERT_EQ(editor->UndoHistory().UndoCount(), 7u);
  for (std::size_t k = 1; k < states.size(); ++k) ASSERT_NE(states[k], states[k - 1]) << k;

  auto* undo = editor->findChild<QPushButton*>("btnUndo");
  EXPECT_EQ(undo->toolTip(), "Undo Init (Alt+Backspace)");
  for (std::size_t k = states.size() - 1; k > 0; --k) {
    out.sent.clear();
    // The keys work also while the name field has the focus.
    if (k % 2) QTest::keyClick(name, Qt::Key_Backspace, Qt::AltModifier);
    else undo->click();
    EXPECT_EQ(editor->EditSound(), states[k - 1]) << k;
    EXPECT_TRUE(out.sent.empty()) << "undo itself sends nothing";
    EXPECT_FALSE(Pass().empty()) << "the pass sends the sound that came back, step " << k;
  }
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_EQ(out.sent.back(), Change(78, cutoffWas));  // the drag undone last
  for (std::size_t k = 1; k < states.size(); ++k) {
    QTest::keyClick(name, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->EditSound(), states[k]) << k;
  }
  // A new gesture after undoing drops the redo.
  undo->click();
  Turn(cutoff, 5);
  QTest::qWait(10);
  EXPECT_FALSE(editor->findChild<QPushButton*>("btnRedo")->isEnabled());
  EXPECT_EQ(editor->UndoHistory().UndoCount(), 7u);
}

// On 1280 x 800, also at 150 % (853 x 533), the window fits, pages scroll only vertically and every
// caption is shown whole inside its cell.
TEST_F(EditorFixture, EveryControlIsReadableOnSmallScreens) {
  sound[135] = 2;  // a flanger and a reverb with their long captions
  sound[151] = 8;
  sound[319] = 1;  // arpeggiator pattern "user": the steps show
  sound[93] = 127; // "Keytrck 196%"
  Open();
  editor->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
  for (const QSize screen : {QSize(1280, 800), QSize(853, 533)}) {
    EXPECT_LE(editor->minimumSizeHint().width(), screen.width());
    EXPECT_LE(editor->minimumSizeHint().height(), screen.height());
    editor->resize(screen);
    auto* tabs = editor->findChild<QTabWidget*>();
    for (int page = 0; page < tabs->count(); ++page) {
      tabs->setCurrentIndex(page);
      QApplication::processEvents();
      auto* scroll = qobject_cast<QScrollArea*>(tabs->currentWidget());
      ASSERT_NE(scroll, nullptr);
      EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << "page " << page << " at " << screen.width();
    }
    auto* close = editor->findChild<QPushButton*>("btnClose");
    EXPECT_TRUE(editor->rect().contains(QRect(close->mapTo(editor.get(), QPoint(0, 0)), close->size())));
  }
  for (std::size_t i = 0; i < ParameterMap::Instance().size(); ++i) {
    QLabel* label = nullptr;
    if (auto* k = qobject_cast<TKnob*>(editor->Control(i))) label = k->CaptionLabelWidget();
    if (auto* l = qobject_cast<TCheckLed*>(editor->Control(i))) label = l->CaptionLabelWidget();
    if (!label || editor->Control(i)->isHidden()) continue;
    const std::string name = editor->Control(i)->objectName().toStdString() + " " + label->text().toStdString();
    EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry())) << name;
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
  }
}

}  // namespace
}  // namespace tarvix

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
