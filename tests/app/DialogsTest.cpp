#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <regex>
#include <sstream>

#include "app/TfrmCopyPatch.h"
#include "app/TfrmFind.h"
#include "app/TfrmHelp.h"
#include "app/TfrmPatchEditSimple.h"
#include "app/TfrmSettings.h"
#include "app/TfrmWBSettings.h"
#include "app/Version.h"
#include "midi/VirtualInstrument.h"
#include "tests/support/Paths.h"
#include "tests/support/QtTestMain.h"
#include "tests/support/ScriptPrompter.h"

namespace tarvix {
namespace {

template <class T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

void SetNameAndCategory(BankSet& set, int i, std::string_view name, std::uint8_t category = 1) {
  SetSoundName(set, i, name);
  SetCategory(set, i, category);
}

TEST(TfrmSettings, OpensOnStoredNamesAndReturnsSelection) {
  Settings s;
  s.MidiInDeviceID = "In B";
  s.MidiOutDeviceID = "Out A";
  s.DeviceId = 5;
  s.MIDIDelay = 300;
  TfrmSettings dlg({"In A", "In B", "In C"}, {"Out A", "Out B"}, s, -1);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiIns")->currentIndex(), 1);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiOut")->currentIndex(), 0);
  auto* ids = Child<QComboBox>(dlg, "cmbDeviceID");
  EXPECT_EQ(ids->currentIndex(), 5);

  Child<QComboBox>(dlg, "cmbMidiOut")->setCurrentIndex(1);
  Child<QComboBox>(dlg, "cmbMidiController")->setCurrentIndex(2);
  ids->setCurrentIndex(127);
  // The delay field holds only whole numbers; anything else puts the stored delay back at once.
  QLineEdit* delay = Child<QLineEdit>(dlg, "edtDelay");
  delay->end(false);
  QTest::keyClick(delay, Qt::Key_5);
  EXPECT_EQ(delay->text(), "3005");
  QTest::keyClick(delay, Qt::Key_X);
  EXPECT_EQ(delay->text(), "300");
  delay->setText("7");
  delay->selectAll();
  QTest::keyClick(delay, Qt::Key_Backspace);  // so does emptying the field
  EXPECT_EQ(delay->text(), "300");
  delay->setText("70000");  // a number out of range leaves the delay as it was
  EXPECT_EQ(dlg.Delay(), 300);
  delay->setText("0");
  auto* fast = Child<QCheckBox>(dlg, "chbFastRead");
  QTest::mouseClick(fast, Qt::LeftButton, {}, QPoint(8, fast->height() / 2));
  dlg.ApplyTo(s);
  EXPECT_EQ(std::tie(s.MidiInDeviceID, s.MidiOutDeviceID, s.MidiInDeviceIDKeyboard, s.DeviceId, s.MIDIDelay),
            std::tuple("In B", "Out B", "In C", 127, 0));
  EXPECT_EQ(s.FastRead, 0);

  // The open controller device decides the controller list's entry.
  TfrmSettings open({"In A", "In B"}, {"Out A"}, s, 1);
  EXPECT_EQ(Child<QComboBox>(open, "cmbMidiController")->currentIndex(), 1);
  // No devices: OK keeps every stored name rather than blanking it.
  TfrmSettings none({}, {}, s, -1);
  Settings out = s;
  none.ApplyTo(out);
  EXPECT_EQ(out, s);
}

TEST(TfrmSettings, ProposesTheInstrumentFoundByNameOnlyWhereNoNameIsStored) {
  const QString vi = VirtualInstrument::kDeviceName;
  struct Case {
    QStringList ins, outs;
    std::string storedOut;
    int in, out;
  } cases[] = {
      {{vi, "Midi Through Port-0", "Blofeld:Blofeld MIDI 1 20:0"}, {vi, "Blofeld:Blofeld MIDI 1 20:0"}, "", 2, 1},
      {{vi, "Midi Through Port-0"}, {vi, "Midi Through Port-0"}, "", 0, 0},
      {{vi, "Waldorf Blofeld"}, {vi}, "", 1, 0},
      {{vi, "Blofeld"}, {vi, "Blofeld"}, "Gone", 1, -1},  // a stored name stays, even when it is missing
  };
  for (const Case& c : cases) {
    Settings stored;
    stored.MidiOutDeviceID = c.storedOut;
    TfrmSettings dlg(c.ins, c.outs, stored, -1);
    EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiIns")->currentIndex(), c.in) << c.ins.join(",").toStdString();
    EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiOut")->currentIndex(), c.out);
    EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiController")->currentIndex(), -1);  // never chosen for the user
  }
}

TEST(TfrmWBSettings, OpeningBrowsingAndOk) {
  test::ScriptPrompter prompter;
  Settings s;
  s.SendToEditBuffer = "1";
  s.Overwritequestion = "0";
  TfrmWBSettings dlg(s, prompter);
  auto* autoload = Child<QCheckBox>(dlg, "CheckBox1");
  auto* send = Child<QCheckBox>(dlg, "CheckBox2");
  auto* overwrite = Child<QCheckBox>(dlg, "CheckBox3");
  EXPECT_EQ(std::vector<bool>({autoload->isChecked(), send->isChecked(), overwrite->isChecked()}),
            std::vector<bool>({false, true, false}));

  QTest::mouseClick(Child<QPushButton>(dlg, "btnBrowse"), Qt::LeftButton);  // cancelled
  EXPECT_FALSE(autoload->isChecked());
  prompter.files.push_back("/music/My Banks/all.syx");
  QTest::mouseClick(Child<QPushButton>(dlg, "btnBrowse"), Qt::LeftButton);
  EXPECT_TRUE(autoload->isChecked());

  send->setChecked(false);
  overwrite->setChecked(true);
  QTest::mouseClick(Child<QPushButton>(dlg, "btnOk"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  dlg.ApplyTo(s);
  EXPECT_EQ(s.Autoloadfile + "|" + s.SendToEditBuffer + s.Overwritequestion, "/music/My Banks/all.syx|01");

  autoload->setChecked(false);  // unticked: no autoload file, whatever the field says
  EXPECT_EQ(dlg.Autoloadfile(), "");
}

TEST(TfrmFind, Results) {
  TfrmFind dlg;
  auto* cat = Child<QComboBox>(dlg, "cmbCategory");
  EXPECT_EQ(dlg.SearchCategory(), kAnyCategory);
  QTest::keyClicks(Child<QLineEdit>(dlg, "edtName"), " Pad 12345678901234");  // 16 kept, blanks kept
  EXPECT_EQ(dlg.SearchText(), " Pad 12345678901");
  cat->setCurrentIndex(4);  // "Bass"
  EXPECT_EQ(dlg.SearchCategory(), 3);
  cat->setCurrentIndex(1);  // "Init"
  EXPECT_EQ(dlg.SearchCategory(), 0);
}

TEST(TfrmPatchEditSimple, UnknownCategoryAndNonAsciiNamesAreSafe) {
  BankSet set;
  SetNameAndCategory(set, 0, "Abc\xE9", 40);
  TfrmPatchEditSimple dlg(set, 0);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbCategory")->currentIndex(), -1);
  QLineEdit* name = Child<QLineEdit>(dlg, "edtName");
  EXPECT_EQ(name->text(), "Abc?");
  name->end(false);
  QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Udiaeresis, Qt::NoModifier, QString(QChar(0xFC)));
  QApplication::sendEvent(name, &umlaut);  // refused: dumps carry 7-bit bytes
  QTest::keyClick(name, '!');
  dlg.ApplyTo(set, 0);
  EXPECT_EQ(GetCategory(set, 0), 40);  // kept, not reset to a listed category
  EXPECT_TRUE(set.Changed(0));
  EXPECT_EQ(GetSoundName(set, 0), "Abc?!           ");
}

TEST(HelpAndAbout, ShortHelpNamesTheEditorsKeysAndAboutTheProjectVersion) {
  TfrmHelp dlg;
  auto* memo = Child<QPlainTextEdit>(dlg, "Memo1");
  const QStringList lines = memo->toPlainText().split('\n');
  // The randomize keys as the editor takes them: never a bare digit.
  EXPECT_EQ(lines.back(), "Ctrl+0 - Randomize the whole sound");
  for (int k = 1; k <= 7; ++k)
    EXPECT_EQ(lines.filter(QRegularExpression("^Ctrl\\+" + QString::number(k) + " - Randomize ")).size(), 1) << k;
  EXPECT_TRUE(lines.filter(QRegularExpression("^[0-9]-")).isEmpty());

  std::stringstream text;
  text << std::ifstream(test::SourceDir() / "CMakeLists.txt").rdbuf();
  const std::string cmake = text.str();
  std::smatch m;
  ASSERT_TRUE(std::regex_search(cmake, m, std::regex(R"(project\(\s*Tarvix\s+VERSION\s+([0-9.]+))")));
  EXPECT_EQ(m[1].str(), kVersion);
}

TEST(TfrmCopyPatch, EntriesAndStart) {
  BankSet blofeld(BankSetKind::Blofeld), virt(BankSetKind::Virtual);
  SetNameAndCategory(blofeld, 4, "Src Four");
  SetNameAndCategory(blofeld, 130, "Src B3");
  blofeld.Select(130);
  blofeld.Select(4);
  SetNameAndCategory(virt, 1023, "Last");
  virt.CurrentIndex = 1023;

  TfrmCopyPatch dlg(blofeld, virt);
  EXPECT_EQ(Child<QLabel>(dlg, "lblFrom")->text() + "|" + Child<QLabel>(dlg, "lblTo")->text(),
            "Copy from Blofeld banks|Copy to Virtual banks");
  EXPECT_EQ(Child<QPlainTextEdit>(dlg, "Memo1")->toPlainText(), "A005  Src Four        \nB003  Src B3          ");
  auto* dest = Child<QComboBox>(dlg, "ComboBox1");
  EXPECT_EQ(dest->itemText(1023), "H128  Last            ");
  EXPECT_EQ(dlg.DestinationIndex(), 1023);

  TfrmCopyPatch mirror(virt, blofeld);
  EXPECT_EQ(Child<QLabel>(mirror, "lblFrom")->text() + "|" + Child<QLabel>(mirror, "lblTo")->text(),
            "Copy from Virtual banks|Copy to Blofeld banks");
  EXPECT_EQ(mirror.DestinationIndex(), 0);
}

}  // namespace
}  // namespace tarvix

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
