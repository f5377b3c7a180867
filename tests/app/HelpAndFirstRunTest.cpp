// The help the program ships and the MIDI settings on a first start.
#include <QComboBox>
#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QUrl>
#include <regex>
#include <set>

#include "app/HelpLinks.h"
#include "app/HelpText.h"
#include "app/TfrmSettings.h"
#include "tests/app/AppTest.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;

// Catches the URLs the program hands to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  UrlCatcher() { QDesktopServices::setUrlHandler("file", this, "Open"); }
  ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
  std::vector<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }
};

TEST(Help, EveryEntryOpensAShippedPageWhoseLinksResolveFromTheMenu) {
  std::vector<HelpLink> links(kHelpTopics.begin(), kHelpTopics.end());
  links.push_back(kManual);
  links.push_back(kDriverNote);
  std::set<std::string> pages;
  for (const HelpLink& link : links) pages.insert(HelpPagePath(link).filename().string());
  // Links between pages and to the style sheet lead to shipped files too.
  const std::regex ref(R"re((?:href|src)="([^"#:]+)")re");
  for (const auto& entry : fs::directory_iterator(HelpFolder())) {
    if (entry.path().extension() != ".html") continue;
    const auto bytes = test::ReadAll(entry.path());
    const std::string html(bytes.begin(), bytes.end());
    EXPECT_EQ(html.find("example."), std::string::npos) << entry.path();
    for (std::sregex_iterator m(html.begin(), html.end(), ref), end; m != end; ++m)
      EXPECT_TRUE(fs::is_regular_file(HelpFolder() / (*m)[1].str())) << entry.path() << " -> " << (*m)[1];
    pages.erase(entry.path().filename().string());
  }
  EXPECT_TRUE(pages.empty());

  test::AppFixture f;
  TfrmMain* w = &f.Open();
  UrlCatcher catcher;
  for (std::size_t i = 0; i <= kHelpTopics.size(); ++i) {
    const bool manual = i == kHelpTopics.size();
    w->findChild<QAction*>(manual ? QString("actManual") : QString("actHelpTopic%1").arg(i + 1))->trigger();
    ASSERT_EQ(catcher.opened.size(), i + 1);
    EXPECT_EQ(fs::path(catcher.opened[i].toLocalFile().toStdString()), HelpPagePath(manual ? kManual : kHelpTopics[i]));
  }
  // The memo's note and the short help name the connecting page.
  const std::string connecting = HelpUrl(kDriverNote);
  EXPECT_TRUE(w->LogMemo()->toPlainText().contains(QString::fromStdString(connecting)));
  int found = 0;
  for (const std::string& line : ShortHelpLines()) {
    EXPECT_EQ(line.find("example."), std::string::npos) << line;
    if (line.find(connecting) != std::string::npos) ++found;
  }
  EXPECT_EQ(found, 1);
}

TEST(FirstRun, MidiSettingsOpenOnlyWhileNoDeviceIsChosen) {
  for (const bool configured : {false, true}) {
    SCOPED_TRACE(configured ? "devices chosen" : "first start");
    const std::string vi = VirtualInstrument::kDeviceName;
    test::AppFixture f(configured ? "[Midi]\nMidiInDeviceID=" + vi + "\nMidiOutDeviceID=" + vi + "\n" : "");
    // The title and the proposed output and input, if the settings open (after the receive dialog).
    QString shown;
    auto watch = test::OnModal<TfrmSettings>([&](TfrmSettings* d) {
      shown = d->windowTitle() + "|" + d->findChild<QComboBox*>("cmbMidiOut")->currentText() + "|" +
              d->findChild<QComboBox*>("cmbMidiIns")->currentText();
      QTest::keyClick(d, Qt::Key_Escape);
    });
    MainWindowOptions o;
    o.programDirectory = f.dir.Path();
    o.logFile = f.dir / "blofeld.log";
    o.prompter = &f.prompter;
    o.systemMidi = false;
    TfrmMain w(o);  // the MIDI settings open at start unless devices are chosen
    QTest::qWait(200);
    // Only the built-in instrument is present: it is proposed.
    EXPECT_EQ(shown.toStdString(), configured ? "" : "Midi Settings|" + vi + "|" + vi);
  }
}

}  // namespace
}  // namespace tarvix

#include "HelpAndFirstRunTest.moc"
