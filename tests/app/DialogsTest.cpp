#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/HelpLinks.h"
#include "app/HelpText.h"
#include "app/Version.h"
#include "app/TfrmCopyPatch.h"
#include "app/TfrmFind.h"
#include "app/TfrmHelp.h"
#include "app/TfrmPatchEditSimple.h"
#include "app/TfrmSettings.h"
#include "app/TfrmWBSettings.h"
#include "library/BankSet.h"
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

void SetName(BankSet& set, int i, std::string_view name, std::uint8_t category) {
  SetSoundName(set, i, name);
  SetCategory(set, i, category);
}

// ---- MIDI settings ----

Settings MidiSettings() {
  Settings s;
  s.MidiInDeviceID = "In B";
  s.MidiOutDeviceID = "Out A";
  s.MidiInDeviceIDKeyboard = "";
  s.DeviceId = 5;
  s.MIDIDelay = 300;
  return s;
}

TEST(TfrmSettings, OpensOnStoredNamesAndReturnsSelection) {
  const QStringList ins{"In A", "In B", "In C"};
  const QStringList outs{"Out A", "Out B"};
  Settings s = MidiSettings();
  TfrmSettings dlg(ins, outs, s, -1);
  EXPECT_EQ(dlg.windowTitle(), "Midi Settings");
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiIns")->currentIndex(), 1);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiOut")->currentIndex(), 0);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiController")->currentIndex(), -1);  // empty name: no selection
  auto* ids = Child<QComboBox>(dlg, "cmbDeviceID");
  ASSERT_EQ(ids->count(), 128);
  EXPECT_EQ(ids->itemText(126), "126");
  EXPECT_EQ(ids->itemText(127), "Broadcast");
  EXPECT_EQ(ids->currentIndex(), 5);
  EXPECT_EQ(Child<QLineEdit>(dlg, "edtDelay")->text(), "300");

  Child<QComboBox>(dlg, "cmbMidiOut")->setCurrentIndex(1);
  Child<QComboBox>(dlg, "cmbMidiController")->setCurrentIndex(2);
  ids->setCurrentIndex(127);
  QLineEdit* delay = Child<QLineEdit>(dlg, "edtDelay");
  delay->clear();  // puts 300 back
  delay->selectAll();
  QTest::keyClicks(delay, "40");
  dlg.ApplyTo(s);
  EXPECT_EQ(s.MidiInDeviceID, "In B");
  EXPECT_EQ(s.MidiOutDeviceID, "Out B");
  EXPECT_EQ(s.MidiInDeviceIDKeyboard, "In C");
  EXPECT_EQ(s.DeviceId, 127);
  EXPECT_EQ(s.MIDIDelay, 40);
}

TEST(TfrmSettings, ControllerNumberAndEmptyListsKeepStoredNames) {
  Settings s = MidiSettings();
  s.MidiInDeviceIDKeyboard = "In A";
  {
    // The open controller device decides the controller list's entry.
    TfrmSettings dlg({"In A", "In B"}, {"Out A"}, s, 1);
    EXPECT_EQ(Child<QComboBox>(dlg, "cmbMidiController")->currentIndex(), 1);
  }
  // No devices at all: OK keeps every stored name rather than blanking it.
  TfrmSettings dlg({}, {}, s, -1);
  Settings out = s;
  dlg.ApplyTo(out);
  EXPECT_EQ(out.MidiInDeviceID, "In B");
  EXPECT_EQ(out.MidiOutDeviceID, "Out A");
  EXPECT_EQ(out.MidiInDeviceIDKeyboard, "In A");
  // A stored name that matches no present device shows no entry and is kept.
  TfrmSettings other({"Other"}, {"Other"}, s, -1);
  EXPECT_EQ(Child<QComboBox>(other, "cmbMidiIns")->currentIndex(), -1);
  EXPECT_EQ(other.MidiInName(), "In B");
}

TEST(TfrmSettings, DelayFieldHoldsOnlyWholeNumbers) {
  Settings s = MidiSettings();
  TfrmSettings dlg({"In"}, {"Out"}, s, -1);
  QLineEdit* delay = Child<QLineEdit>(dlg, "edtDelay");
  delay->setFocus();
  delay->end(false);
  QTest::keyClick(delay, Qt::Key_5);
  EXPECT_EQ(delay->text(), "3005");
  QTest::keyClick(delay, Qt::Key_X);  // a letter puts the stored delay back at once
  EXPECT_EQ(delay->text(), "300");
  delay->end(false);
  QTest::keyClick(delay, Qt::Key_7);
  delay->selectAll();
  QTest::keyClick(delay, Qt::Key_Backspace);  // emptied: the stored delay again
  EXPECT_EQ(delay->text(), "300");

  // A whole number outside 0..65535 stays in the field but leaves the delay.
  delay->setText("70000");
  EXPECT_EQ(dlg.Delay(), 300);
  delay->setText("-1");
  EXPECT_EQ(dlg.Delay(), 300);
  delay->setText("0");
  EXPECT_EQ(dlg.Delay(), 0);
}

// ---- program settings ----

TEST(TfrmWBSettings, OpeningBrowsingAndOk) {
  test::ScriptPrompter prompter;
  Settings s;
  s.Autoloadfile = "";
  s.SendToEditBuffer = "1";
  s.Overwritequestion = "0";
  TfrmWBSettings dlg(s, prompter);
  EXPECT_EQ(dlg.windowTitle(), "Settings");
  auto* auto1 = Child<QCheckBox>(dlg, "CheckBox1");
  auto* send2 = Child<QCheckBox>(dlg, "CheckBox2");
  auto* over3 = Child<QCheckBox>(dlg, "CheckBox3");
  EXPECT_FALSE(auto1->isChecked());
  EXPECT_TRUE(send2->isChecked());
  EXPECT_FALSE(over3->isChecked());
  EXPECT_EQ(over3->text(), "Overwrite question on drag && drop");

  // Cancelled file dialog: nothing changes.
  QTest::mouseClick(Child<QPushButton>(dlg, "btnBrowse"), Qt::LeftButton);
  EXPECT_FALSE(auto1->isChecked());
  EXPECT_EQ(prompter.fileFilters, std::vector<std::string>{"SysEx Files|*.syx"});
  // A chosen file fills the field and ticks autoload.
  prompter.files.push_back("/music/My Banks/all.syx");
  QTest::mouseClick(Child<QPushButton>(dlg, "btnBrowse"), Qt::LeftButton);
  EXPECT_TRUE(auto1->isChecked());
  EXPECT_EQ(Child<QLineEdit>(dlg, "edtAutoload")->text(), "/music/My Banks/all.syx");

  send2->setChecked(false);
  over3->setChecked(true);
  QTest::mouseClick(Child<QPushButton>(dlg, "btnOk"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  dlg.ApplyTo(s);
  EXPECT_EQ(s.Autoloadfile, "/music/My Banks/all.syx");
  EXPECT_EQ(s.SendToEditBuffer, "0");
  EXPECT_EQ(s.Overwritequestion, "1");
}

TEST(TfrmWBSettings, UntickedAutoloadStoresNoFile) {
  test::ScriptPrompter prompter;
  Settings s;
  s.Autoloadfile = "bank.syx";
  s.SendToEditBuffer = "maybe";  // counts as off
  TfrmWBSettings dlg(s, prompter);
  auto* auto1 = Child<QCheckBox>(dlg, "CheckBox1");
  EXPECT_TRUE(auto1->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(dlg, "CheckBox2")->isChecked());
  auto1->setChecked(false);
  EXPECT_EQ(dlg.Autoloadfile(), "");
  EXPECT_EQ(dlg.SendToEditBuffer(), "0");
}

// ---- find ----

TEST(TfrmFind, Results) {
  TfrmFind dlg;
  EXPECT_EQ(dlg.windowTitle(), "Find Sound");
  auto* cat = Child<QComboBox>(dlg, "cmbCategory");
  ASSERT_EQ(cat->count(), 14);
  EXPECT_EQ(cat->itemText(0), "All");
  EXPECT_EQ(cat->itemText(1), "Init");
  EXPECT_EQ(cat->itemText(13), "Seq");
  EXPECT_EQ(dlg.SearchCategory(), kAnyCategory);
  EXPECT_EQ(dlg.SearchText(), "");

  auto* name = Child<QLineEdit>(dlg, "edtName");
  QTest::keyClicks(name, " Pad 12345678901234");  // 20 typed, 16 kept, blanks kept
  EXPECT_EQ(dlg.SearchText(), " Pad 12345678901");
  cat->setCurrentIndex(4);  // "Bass"
  EXPECT_EQ(dlg.SearchCategory(), 3);
  cat->setCurrentIndex(1);  // "Init"
  EXPECT_EQ(dlg.SearchCategory(), 0);
  EXPECT_TRUE(Child<QPushButton>(dlg, "btnFind")->isDefault());
}

// ---- rename ----

TEST(TfrmPatchEditSimple, NameShownPerSetAndStored) {
  BankSet blofeld(BankSetKind::Blofeld);
  BankSet virt(BankSetKind::Virtual);
  SetName(blofeld, 7, "  Warm Pad  ", 9);
  SetName(virt, 7, "  Warm Pad  ", 9);

  TfrmPatchEditSimple b(blofeld, 7);
  EXPECT_EQ(b.windowTitle(), "  Warm Pad      ");  // the caption is the name untrimmed
  EXPECT_EQ(Child<QLineEdit>(b, "edtName")->text(), "Warm Pad");
  EXPECT_EQ(Child<QComboBox>(b, "cmbCategory")->currentText(), "Pad");

  TfrmPatchEditSimple v(virt, 7);
  EXPECT_EQ(Child<QLineEdit>(v, "edtName")->text(), "  Warm Pad      ");

  // Rename and recategorise.
  QLineEdit* name = Child<QLineEdit>(b, "edtName");
  name->selectAll();
  QTest::keyClicks(name, "Cold Bass");
  Child<QComboBox>(b, "cmbCategory")->setCurrentIndex(3);
  b.ApplyTo(blofeld, 7);
  EXPECT_EQ(GetSoundName(blofeld, 7), "Cold Bass       ");
  EXPECT_EQ(GetCategory(blofeld, 7), 3);
  EXPECT_TRUE(blofeld.Changed(7));
  EXPECT_FALSE(blofeld.Changed(6));

  // An empty name stores 16 blanks.
  Child<QLineEdit>(v, "edtName")->clear();
  v.ApplyTo(virt, 7);
  EXPECT_EQ(GetSoundName(virt, 7), std::string(16, ' '));
  EXPECT_EQ(GetCategory(virt, 7), 9);
}

TEST(TfrmPatchEditSimple, UnknownCategoryAndNonAsciiNamesAreSafe) {
  BankSet set(BankSetKind::Blofeld);
  SetName(set, 0, "Abc\xE9", 40);
  TfrmPatchEditSimple dlg(set, 0);
  EXPECT_EQ(Child<QComboBox>(dlg, "cmbCategory")->currentIndex(), -1);
  EXPECT_EQ(dlg.Category(), std::nullopt);
  QLineEdit* name = Child<QLineEdit>(dlg, "edtName");
  EXPECT_EQ(name->text(), "Abc?");
  name->end(false);
  QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Udiaeresis, Qt::NoModifier, QString(QChar(0xFC)));
  QApplication::sendEvent(name, &umlaut);  // a typed non-ASCII letter is refused
  QTest::keyClick(name, '!');
  dlg.ApplyTo(set, 0);
  EXPECT_EQ(GetCategory(set, 0), 40);  // kept, not reset to a listed category
  EXPECT_EQ(GetSoundName(set, 0), "Abc?!           ");
  for (std::size_t i = 0; i < offs::kNameLength; ++i) EXPECT_LT(set.Sound(0)[offs::kName + i], 0x80);
}

// ---- help ----

TEST(TfrmHelp, ShowsTheShortHelpLines) {
  TfrmHelp dlg;
  EXPECT_EQ(dlg.windowTitle(), "Help");
  auto* memo = Child<QPlainTextEdit>(dlg, "Memo1");
  EXPECT_TRUE(memo->isReadOnly());
  const QStringList lines = memo->toPlainText().split('\n');
  const auto expected = ShortHelpLines();
  ASSERT_EQ(lines.size(), static_cast<qsizetype>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i].toStdString(), expected[i]);
  // Texts with their exact inner and trailing blanks.
  for (const char* must : {"Must be installed Waldorf-Blofeld.inf ", "Computer keyboard ", " W E    T Y U    O P",
                           "Select sound - Left Click or  Shift, Left Click or  Ctrl, Left Click",
                           "Send sound to Blofeld -  Enter  or Ctrl, w",
                           "0-Randomize Oscillators, Filters,Envelopes,LFOs and Matrix"})
    EXPECT_TRUE(lines.contains(QString(must))) << must;
  EXPECT_EQ(lines.front(), "Shortcut help");
  EXPECT_EQ(lines.count(QString()), 4);  // five groups
}

TEST(HelpLinks, AllUnderTheDocumentationBaseAndDistinct) {
  std::set<std::string> urls;
  for (const HelpLink& l : kHelpVideos) urls.insert(HelpUrl(l));
  urls.insert(HelpUrl(kWebPage));
  urls.insert(HelpUrl(kDriverNote));
  EXPECT_EQ(urls.size(), 6u);
  for (const std::string& u : urls) EXPECT_EQ(u.rfind(kDocumentationBase, 0), 0u) << u;
  // The driver note in the help carries the same address.
  const auto lines = ShortHelpLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "from: " + HelpUrl(kDriverNote)), lines.end());
}

TEST(About, VersionMatchesTheProjectVersion) {
  const char* src = std::getenv("TARVIX_SOURCE_DIR");
  if (src == nullptr) GTEST_SKIP() << "run through ctest, which names the source folder";
  std::ifstream in(std::string(src) + "/CMakeLists.txt");
  std::stringstream text;
  text << in.rdbuf();
  std::smatch m;
  const std::string cmake = text.str();
  ASSERT_TRUE(std::regex_search(cmake, m, std::regex(R"(project\(\s*Tarvix\s+VERSION\s+([0-9.]+))")));
  EXPECT_EQ(m[1].str(), kVersion);
  EXPECT_NE(AboutText().find(std::string("Tarvix")), std::string::npos);
  EXPECT_NE(AboutText().find(m[1].str()), std::string::npos);
}

// ---- copy patch ----

TEST(TfrmCopyPatch, EntriesAndStart) {
  BankSet blofeld(BankSetKind::Blofeld);
  BankSet virt(BankSetKind::Virtual);
  SetName(blofeld, 4, "Src Four", 1);
  SetName(blofeld, 130, "Src B3", 1);
  blofeld.Select(130);
  blofeld.Select(4);
  SetName(virt, 1023, "Last", 1);
  virt.CurrentIndex = 1023;

  TfrmCopyPatch dlg(blofeld, virt);
  EXPECT_EQ(dlg.windowTitle(), "Copy Patch");
  EXPECT_EQ(Child<QLabel>(dlg, "lblFrom")->text(), "Copy from Blofeld banks");
  EXPECT_EQ(Child<QLabel>(dlg, "lblTo")->text(), "Copy to Virtual banks");
  EXPECT_EQ(Child<QPlainTextEdit>(dlg, "Memo1")->toPlainText(), "A005  Src Four        \nB003  Src B3          ");
  auto* dest = Child<QComboBox>(dlg, "ComboBox1");
  ASSERT_EQ(dest->count(), 1024);
  EXPECT_EQ(dest->itemText(1023), "H128  Last            ");
  EXPECT_EQ(dlg.DestinationIndex(), 1023);
  dest->setCurrentIndex(200);
  EXPECT_EQ(dlg.DestinationIndex(), 200);

  TfrmCopyPatch mirror(virt, blofeld);
  EXPECT_EQ(Child<QLabel>(mirror, "lblFrom")->text(), "Copy from Virtual banks");
  EXPECT_EQ(Child<QLabel>(mirror, "lblTo")->text(), "Copy to Blofeld banks");
  EXPECT_EQ(mirror.DestinationIndex(), 0);
}

}  // namespace
}  // namespace tarvix

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
