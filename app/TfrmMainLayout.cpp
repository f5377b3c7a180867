// Building the main window: the side panel, the two bank groups, the copy
// buttons, the keyboard panel's place and the menu.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

#include "app/HelpLinks.h"
#include "app/TfrmMain.h"
#include "midi/KeyboardPanel.h"

namespace tarvix {
namespace {

constexpr int kSidePanelWidth = 200;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QToolButton* ImageButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setIcon(parent->style()->standardIcon(icon));
  b->setToolTip(tip);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFixedSize(24, 22);
  return b;
}

}  // namespace

QAction* TfrmMain::AddAction(QMenu* menu, const QString& objectName, const QString& caption,
                             const QKeySequence& shortcut, void (TfrmMain::*slot)()) {
  auto* a = menu->addAction(caption);
  a->setObjectName(objectName);
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  if (slot)
    connect(a, &QAction::triggered, this, [this, slot] { Guard([&] { (this->*slot)(); }); });
  else
    a->setEnabled(false);  // the feature comes with a later part of the program
  return a;
}

void TfrmMain::BuildLayout() {
  client_ = new QWidget(this);
  client_->setObjectName("pnlClient");
  setCentralWidget(client_);

  // Side panel.
  pnlSide_ = new QWidget(client_);
  pnlSide_->setObjectName("pnlSide");
  auto* btnEdit = Button(pnlSide_, "btnEditEditBuffer", "Edit editbuffer(F4)");
  auto* btnMorph = Button(pnlSide_, "btnQMorph", "Q-Morph");
  auto* btnLocker = Button(pnlSide_, "btnLocker", "Locker");
  auto* btnPanic = Button(pnlSide_, "btnPanic", "Panic(F12)");
  for (auto* b : {btnEdit, btnMorph, btnLocker, btnPanic}) b->setEnabled(false);
  chbMultiMode_ = new QCheckBox("Multi Mode", pnlSide_);
  chbMultiMode_->setObjectName("chbMultiMode");
  chbMultiMode_->setEnabled(false);
  TreeView1_ = new QTreeWidget(pnlSide_);
  TreeView1_->setObjectName("TreeView1");
  TreeView1_->setHeaderHidden(true);
  // The user picks a part here (its channel plays the notes and auditions)
  // but never edits an entry.
  TreeView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TreeView1_->setSelectionMode(QAbstractItemView::SingleSelection);
  TreeView1_->setRootIsDecorated(false);
  memoLog_ = new QPlainTextEdit(pnlSide_);
  memoLog_->setObjectName("memoLog");
  memoLog_->setReadOnly(true);
  memoLog_->setMaximumBlockCount(1000);  // the memo keeps the last 1000 lines
  memoLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoLog_->viewport()->installEventFilter(this);
  memoLog_->appendPlainText("Must be installed Waldorf-Blofeld.inf ");
  memoLog_->appendPlainText("from:");
  memoLog_->appendPlainText(QString::fromStdString(HelpUrl(kDriverNote)));

  // Bank groups.
  grpBlofeld_ = new QGroupBox("Blofeld banks", client_);
  grpBlofeld_->setObjectName("grpBlofeld");
  grpVirtual_ = new QGroupBox("Virtual banks", client_);
  grpVirtual_->setObjectName("grpVirtual");

  blofeldModel_ = new BankListModel(blofeld_, this);
  virtualModel_ = new BankListModel(virtual_, this);
  lvBlofeld_ = new BankListView(blofeldModel_, grpBlofeld_);
  lvBlofeld_->setObjectName("lvBlofeld");
  lvVirtual_ = new BankListView(virtualModel_, grpVirtual_);
  lvVirtual_->setObjectName("lvVirtual");

  auto* btnPrgPlus = ImageButton(grpBlofeld_, "btnPrgPlus", QStyle::SP_MediaSeekForward, "Next program (+)");
  auto* btnPrgMinus = ImageButton(grpBlofeld_, "btnPrgMinus", QStyle::SP_MediaSeekBackward, "Previous program (-)");
  btnUpSound_ = ImageButton(grpBlofeld_, "btnUpSound", QStyle::SP_ArrowUp, "Move selected sounds up (Ctrl+-)");
  btnDownSound_ = ImageButton(grpBlofeld_, "btnDownSound", QStyle::SP_ArrowDown, "Move selected sounds down (Ctrl++)");
  btnSendToBlo_ = Button(grpBlofeld_, "btnSendToBlo", "Send to Blo");
  btnSendToBlo_->setEnabled(false);
  auto* btnReadAll = Button(grpBlofeld_, "btnReadAll", "Read All");
  btnReadAll->setEnabled(false);
  auto* btnLoad = Button(grpBlofeld_, "btnLoad", "Load");
  auto* btnSaveAll = Button(grpBlofeld_, "btnSaveAll", "Save All");
  chbSendToEditBuffer_ = new QCheckBox("Send selected sound to edit buffer", grpBlofeld_);
  chbSendToEditBuffer_->setObjectName("chbSendToEditBuffer");

  auto* btnPrgPlus2 = ImageButton(grpVirtual_, "btnPrgPlus2", QStyle::SP_MediaSeekForward, "Next program (*)");
  auto* btnPrgMinus2 = ImageButton(grpVirtual_, "btnPrgMinus2", QStyle::SP_MediaSeekBackward, "Previous program (/)");
  btnUpSound2_ = ImageButton(grpVirtual_, "btnUpSound2", QStyle::SP_ArrowUp, "Move selected sounds up (Ctrl+/)");
  btnDownSound2_ = ImageButton(grpVirtual_, "btnDownSound2", QStyle::SP_ArrowDown, "Move selected sounds down (Ctrl+*)");
  auto* btnLoad2 = Button(grpVirtual_, "btnLoad2", "Load");
  auto* btnSaveAll2 = Button(grpVirtual_, "btnSaveAll2", "Save All");
  auto* btnSaveSelected2 = Button(grpVirtual_, "btnSaveSelected2", "Save Selected");
  chbSendToEditBuffer2_ = new QCheckBox("Send selected sound to edit buffer", grpVirtual_);
  chbSendToEditBuffer2_->setObjectName("chbSendToEditBuffer2");
  chbSendToEditBuffer2_->setChecked(true);

  btnCopy1to2_ = ImageButton(client_, "btnCopy1to2", QStyle::SP_ArrowRight, "Copy selected Blofeld sounds to the Virtual banks");
  btnCopy2to1_ = ImageButton(client_, "btnCopy2to1", QStyle::SP_ArrowLeft, "Copy selected Virtual sounds to the Blofeld banks");

  // The keyboard panel's place along the bottom.
  pnlKeyboard_ = new KeyboardPanel(client_);
  pnlKeyboard_->setMainWindow(this);

  // The check boxes and their settings stay in step.
  connect(chbSendToEditBuffer_, &QCheckBox::clicked, this,
          [this](bool on) { settings_.SendToEditBuffer = SwitchText(on); });
  connect(chbSendToEditBuffer2_, &QCheckBox::clicked, this,
          [this](bool on) { settings_.SendToEditBuffer2 = SwitchText(on); });

  auto guarded = [this](void (TfrmMain::*slot)()) { return [this, slot] { Guard([&] { (this->*slot)(); }); }; };
  connect(btnPrgPlus, &QToolButton::clicked, this, guarded(&TfrmMain::btnPrgUpClick));
  connect(btnPrgMinus, &QToolButton::clicked, this, guarded(&TfrmMain::btnPrgDownClick));
  connect(btnUpSound_, &QToolButton::clicked, this, guarded(&TfrmMain::btnUPClick));
  connect(btnDownSound_, &QToolButton::clicked, this, guarded(&TfrmMain::btnDownClick));
  connect(btnPrgPlus2, &QToolButton::clicked, this, guarded(&TfrmMain::btnPrgPlus2Click));
  connect(btnPrgMinus2, &QToolButton::clicked, this, guarded(&TfrmMain::btnPrgMinus2Click));
  connect(btnUpSound2_, &QToolButton::clicked, this, guarded(&TfrmMain::btnUPClick2));
  connect(btnDownSound2_, &QToolButton::clicked, this, guarded(&TfrmMain::btnDownSound2Click));
  connect(btnLoad, &QPushButton::clicked, this, guarded(&TfrmMain::LoadBlofeldClick));
  connect(btnSaveAll, &QPushButton::clicked, this, guarded(&TfrmMain::SaveAllBlofeldClick));
  connect(btnLoad2, &QPushButton::clicked, this, guarded(&TfrmMain::LoadVirtualClick));
  connect(btnSaveAll2, &QPushButton::clicked, this, guarded(&TfrmMain::SaveAllVirtualClick));
  connect(btnSaveSelected2, &QPushButton::clicked, this, guarded(&TfrmMain::SaveSelectedVirtualClick));
  connect(btnCopy1to2_, &QToolButton::clicked, this, guarded(&TfrmMain::btnCopy1to2Click));
  connect(btnCopy2to1_, &QToolButton::clicked, this, guarded(&TfrmMain::btnCopy2to1Click));

  for (BankListView* lv : {lvBlofeld_, lvVirtual_}) {
    BankSet& set = lv->Set();
    connect(lv, &BankListView::RowClicked, this, [this, &set](int row) { Guard([&] { RowClicked(set, row); }); });
    connect(lv, &BankListView::RowRightClicked, this, [this, &set](int row, Qt::KeyboardModifiers m) {
      Guard([&] { RowRightClicked(set, row, m); });
    });
    connect(lv, &BankListView::RowDropped, this, [this, &set](BankListView* source, int row) {
      Guard([&] { RowDropped(set, source, row); });
    });
    connect(lv, &BankListView::SoundsDropped, this, [this, &set](const std::vector<SoundData>& sounds, int row) {
      Guard([&] { LibrarySoundsDropped(set, sounds, row); });
    });
    connect(lv, &BankListView::SelectionWasChanged, this, [this, &set](bool selected, bool deselected) {
      Guard([&] { SelectionChanged(set, selected, deselected); });
    });
    connect(lv, &BankListView::Touched, this, [this, &set] { activeList_ = static_cast<int>(set.Kind()); });
  }
  // Every change of the Blofeld selection, by a click or by a command.
  connect(lvBlofeld_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateSendEnabled(); });
}

QSize TfrmMain::DefaultSize() const {
  // LayoutClient gives each list (width - side panel - 40) / 2 - 8 pixels.
  const int list = std::max(lvBlofeld_->WidthForAllColumns(), lvVirtual_->WidthForAllColumns());
  return QSize(std::max(872, kSidePanelWidth + 40 + 2 * (list + 8)), 606);
}

void TfrmMain::LayoutClient() {
  if (!client_) return;
  const int w = client_->width();
  const int keyboardHeight = pnlKeyboard_->isHidden() ? 0 : pnlKeyboard_->sizeHint().height();
  const int h = client_->height() - keyboardHeight;
  pnlKeyboard_->setGeometry(0, h, w, keyboardHeight);

  // Side panel: buttons, the multi-mode box, the parts tree and the log.
  pnlSide_->setGeometry(0, 0, kSidePanelWidth, h);
  int y = 4;
  for (const char* name : {"btnEditEditBuffer", "btnQMorph", "btnLocker", "btnPanic"}) {
    pnlSide_->findChild<QPushButton*>(name)->setGeometry(4, y, kSidePanelWidth - 8, 24);
    y += 27;
  }
  chbMultiMode_->setGeometry(6, y, kSidePanelWidth - 8, 20);
  y += 22;
  TreeView1_->setGeometry(4, y, kSidePanelWidth - 8, 110);
  y += 114;
  memoLog_->setGeometry(4, y, kSidePanelWidth - 8, std::max(40, h - y - 4));

  // Two groups of equal width with the copy buttons between them.
  const int groupWidth = (width() - kSidePanelWidth - 40) / 2;
  const int gap = (w - kSidePanelWidth - 2 * groupWidth) / 3;
  const int blofeldX = kSidePanelWidth + gap;
  const int virtualX = blofeldX + groupWidth + gap;
  grpBlofeld_->setGeometry(blofeldX, 2, groupWidth, h - 4);
  grpVirtual_->setGeometry(virtualX, 2, groupWidth, h - 4);
  btnCopy1to2_->move(virtualX - 29, h / 2 - 26);
  btnCopy2to1_->move(virtualX - 29, h / 2 + 4);

  auto placeRow = [](QWidget* group, std::initializer_list<const char*> names, int top) {
    int x = 6;
    for (const char* name : names) {
      QWidget* b = group->findChild<QWidget*>(name);
      const int bw = qobject_cast<QToolButton*>(b) ? 24 : b->sizeHint().width();
      b->setGeometry(x, top, bw, 22);
      x += bw + 3;
    }
  };
  placeRow(grpBlofeld_, {"btnPrgPlus", "btnPrgMinus", "btnUpSound", "btnDownSound", "btnSendToBlo", "btnReadAll"}, 16);
  placeRow(grpBlofeld_, {"btnLoad", "btnSaveAll"}, 39);
  placeRow(grpVirtual_, {"btnPrgPlus2", "btnPrgMinus2", "btnUpSound2", "btnDownSound2", "btnLoad2", "btnSaveAll2"}, 16);
  placeRow(grpVirtual_, {"btnSaveSelected2"}, 39);
  // The check box goes beside the second row of buttons when its whole text
  // fits there in both groups, else on a row of its own; both lists start at
  // the same height either way.
  auto checkLeft = [this](QGroupBox* g) {
    return g == grpBlofeld_ ? 6 + grpBlofeld_->findChild<QWidget*>("btnLoad")->width() +
                                  grpBlofeld_->findChild<QWidget*>("btnSaveAll")->width() + 12
                            : 6 + grpVirtual_->findChild<QWidget*>("btnSaveSelected2")->width() + 9;
  };
  bool besideButtons = true;
  for (QGroupBox* g : {grpBlofeld_, grpVirtual_}) {
    QCheckBox* chb = g == grpBlofeld_ ? chbSendToEditBuffer_ : chbSendToEditBuffer2_;
    besideButtons = besideButtons && checkLeft(g) + chb->sizeHint().width() <= groupWidth - 4;
  }
  const int listTop = besideButtons ? 62 : 84;
  for (QGroupBox* g : {grpBlofeld_, grpVirtual_}) {
    QCheckBox* chb = g == grpBlofeld_ ? chbSendToEditBuffer_ : chbSendToEditBuffer2_;
    const int left = besideButtons ? checkLeft(g) : 8;
    chb->setGeometry(left, besideButtons ? 40 : 62, groupWidth - left - 4, 20);
    BankListView* lv = g == grpBlofeld_ ? lvBlofeld_ : lvVirtual_;
    lv->setGeometry(4, listTop, groupWidth - 8, std::max(20, g->height() - listTop - 3));
  }
}

void TfrmMain::BuildMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu("&File");
  AddAction(file, "actReadCurrentSound", "Read Current Sound (SysEx)", QKeySequence("Ctrl+R"), nullptr);
  QMenu* banks = file->addMenu("Read Sound Bank (SysEx) from Blofeld");
  banks->setObjectName("mnuReadSoundBank");
  for (char b = 'A'; b <= 'H'; ++b)
    AddAction(banks, QString("actReadBank%1").arg(b), QString("Bank %1").arg(b), {}, nullptr);
  AddAction(file, "actReadAll", "Read All Sound Banks (SysEx) from Blofeld", {}, nullptr);
  AddAction(file, "actNewEmptyBlofeld", "New Empty Blofeld Sound Banks (from _initsound.syx)", {},
            &TfrmMain::NewEmptyBlofeldClick);
  AddAction(file, "actLoadBlofeld", "Load from File Sound Banks to Blofeld Banks...", QKeySequence("Ctrl+L"),
            &TfrmMain::LoadBlofeldClick);
  AddAction(file, "actSaveAllBlofeld", "Save to File All Blofeld Banks Sounds...", QKeySequence("Ctrl+S"),
            &TfrmMain::SaveAllBlofeldClick)
      ->setEnabled(false);  // until the lists are first built
  AddAction(file, "actSaveSelectedBlofeld", "Save to File Selected Blofeld Banks Sounds...", {},
            &TfrmMain::SaveSelectedBlofeldClick)
      ->setEnabled(false);
  AddAction(file, "actSaveSeparateBlofeld", "Save to Separate File Blofeld Banks Sounds...", {},
            &TfrmMain::SaveSeparateBlofeldClick)
      ->setEnabled(false);
  AddAction(file, "actNewEmptyVirtual", "New Empty Virtual Sound Banks (from _initsound.syx)", {},
            &TfrmMain::NewEmptyVirtualClick);
  AddAction(file, "actLoadVirtual", "Load from File Sound Banks to Virtual Banks", {}, &TfrmMain::LoadVirtualClick);
  AddAction(file, "actSaveAllVirtual", "Save to file all Virtual Sound Banks", {}, &TfrmMain::SaveAllVirtualClick);
  AddAction(file, "actSaveSelectedVirtual", "Save to file selected Sounds from Virtual Banks", {},
            &TfrmMain::SaveSelectedVirtualClick);
  AddAction(file, "actConvertMidiToSysEx", "Convert Midi file to SysEx file...", {}, &TfrmMain::ConvertMidiToSysExClick);
  AddAction(file, "actConvertSysExToMidi", "Convert SysEx file to Midi file...", {}, &TfrmMain::ConvertSysExToMidiClick);
  AddAction(file, "actSendSysExFromFile", "Send SysEx from File", {}, nullptr);
  AddAction(file, "actSendSelected", "Send SysEx for Selected Sounds", QKeySequence("Ctrl+W"), nullptr);
  AddAction(file, "actExit", "E&xit", {}, &TfrmMain::ExitClick);

  QMenu* edit = bar->addMenu("&Edit");
  // Ctrl+Z and Ctrl+X change the keyboard octave; Alt+Backspace is the
  // other long-standing undo key and collides with nothing here.
  AddAction(edit, "actUndo", "Undo", QKeySequence("Alt+Backspace"), &TfrmMain::UndoClick);
  AddAction(edit, "actRedo", "Redo", QKeySequence("Shift+Alt+Backspace"), &TfrmMain::RedoClick);
  edit->addSeparator();
  AddAction(edit, "actCopySound", "Copy selected Sound", QKeySequence("Ctrl+C"), &TfrmMain::CopySelectedSoundClick);
  AddAction(edit, "actPasteSound", "Paste to selected Sound", QKeySequence("Ctrl+V"),
            &TfrmMain::PasteToSelectedSoundClick);
  AddAction(edit, "actSelectAll", "Select All Sounds", QKeySequence("Ctrl+A"), &TfrmMain::SelectAllSoundsClick);
  AddAction(edit, "actSelectAllChanged", "Select All Changed Sounds", {}, &TfrmMain::SelectAllChangedSoundsClick);
  AddAction(edit, "actSelectAllVirtual", "Select All Sound from virtual banks", {}, &TfrmMain::SelectAllVirtualClick);
  AddAction(edit, "actSelectAllChangedVirtual", "Select All Changed Sounds from virtual banks", {},
            &TfrmMain::SelectAllChangedVirtualClick);
  AddAction(edit, "actFindBlofeld", "&Find in Blofeld Banks...", QKeySequence("Ctrl+F"), &TfrmMain::FindBlofeldClick);
  AddAction(edit, "actSearchAgainBlofeld", "Search Again in Blofeld Banks", QKeySequence("F3"),
            &TfrmMain::SearchAgainBlofeldClick);
  AddAction(edit, "actFindVirtual", "Find in Virtual Banks", QKeySequence("Ctrl+G"), &TfrmMain::FindVirtualClick);
  AddAction(edit, "actSearchAgainVirtual", "Search Again in Virtual Banks", QKeySequence("F2"),
            &TfrmMain::SearchAgainVirtualClick);
  AddAction(edit, "actFindDuplicates", "Find Duplicate Sounds...", {}, &TfrmMain::FindDuplicatesClick);
  QAction* keyboard = AddAction(edit, "actKeyboard", "Keyboard", QKeySequence("Ctrl+K"), nullptr);
  keyboard->setEnabled(true);
  keyboard->setCheckable(true);
  keyboard->setChecked(true);
  connect(keyboard, &QAction::toggled, pnlKeyboard_, &KeyboardPanel::setKeyboardOn);
  connect(pnlKeyboard_, &KeyboardPanel::keyboardOnChanged, this, [this, keyboard](bool on) {
    keyboard->setChecked(on);
    LayoutClient();
  });

  QMenu* system = bar->addMenu("&System");
  AddAction(system, "actMidiSettings", "Midi &Settings ...", QKeySequence("Ctrl+D"), nullptr);
  AddAction(system, "actTarvixSettings", "&Tarvix Settings", {}, &TfrmMain::TarvixSettingsClick);
  AddAction(system, "actDeviceVersion", "Device Version", {}, nullptr);  // always disabled

  QMenu* tools = bar->addMenu("&Tools");
  AddAction(tools, "actOrderBlofeldByName", "Order Blofeld Banks by name", {}, &TfrmMain::OrderBlofeldByNameClick);
  AddAction(tools, "actOrderBlofeldByCategory", "Order Blofeld Banks by category and name", {},
            &TfrmMain::OrderBlofeldByCategoryClick);
  AddAction(tools, "actOrderVirtualByName", "Order Virtual Banks by name", {}, &TfrmMain::OrderVirtualByNameClick);
  AddAction(tools, "actOrderVirtualByCategory", "Order Virtual Banks by category and name", {},
            &TfrmMain::OrderVirtualByCategoryClick);
  AddAction(tools, "actEditEditBuffer", "Edit \"Edit Buffer\"...", QKeySequence("F4"), nullptr);
  AddAction(tools, "actQuasiMorph", "Quasi-Morph...", QKeySequence("Ctrl+M"), nullptr);
  AddAction(tools, "actLocker", "Sound Parameter Locker - Randomizer...", QKeySequence("Ctrl+O"), nullptr);
  AddAction(tools, "actCopySounds", "Copy Sounds...", {}, nullptr);
  AddAction(tools, "actPanic", "Panic", QKeySequence("F12"), nullptr);
  AddAction(tools, "actLibrary", "Sound Library...", QKeySequence("Ctrl+B"), &TfrmMain::LibraryClick);

  QMenu* help = bar->addMenu("&Help");
  AddAction(help, "actAbout", "About", {}, &TfrmMain::AboutClick);
  QMenu* topics = help->addMenu("Manual");
  topics->setObjectName("mnuHelpTopics");
  for (std::size_t i = 0; i < kHelpTopics.size(); ++i) {
    QAction* a = topics->addAction(kHelpTopics[i].caption);
    a->setObjectName(QString("actHelpTopic%1").arg(i + 1));
    connect(a, &QAction::triggered, this, [i] { OpenHelpLink(kHelpTopics[i]); });
  }
  QAction* manual = help->addAction(kManual.caption);
  manual->setObjectName("actManual");
  connect(manual, &QAction::triggered, this, [] { OpenHelpLink(kManual); });
  AddAction(help, "actShortHelp", "Short help", QKeySequence("F1"), &TfrmMain::ShortHelpClick);
}

QAction* TfrmMain::Action(const QString& objectName) const { return findChild<QAction*>(objectName); }

}  // namespace tarvix
