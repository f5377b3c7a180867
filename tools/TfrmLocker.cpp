#include "tools/TfrmLocker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvix {

namespace {

QString Latin1(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TfrmLocker::TfrmLocker(const BankSet& blofeld, const SoundData& currentSound, ParameterSendFn send,
                       Prompter& prompter, RandomSource& random, QWidget* parent)
    : QDialog(parent),
      blofeld_(blofeld),
      prompter_(prompter),
      random_(random),
      locker_(blofeld, currentSound, std::move(send)) {
  setObjectName("frmLocker");
  setWindowTitle("Parameter Locker - Randomizer");

  auto* left = new QVBoxLayout;
  left->addWidget(BuildLockerGroup());
  left->addWidget(BuildSelectorGroup());
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(BuildSwapButtons());
  right->addWidget(BuildParametersGroup());
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right, 1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(500);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, &TfrmLocker::Timer1Timer);
  connect(Timer2, &QTimer::timeout, this, &TfrmLocker::Timer2Timer);
  Timer1->start();
  Timer2->start();
}

QWidget* TfrmLocker::BuildLockerGroup() {
  auto* box = new QGroupBox("Locker", this);
  auto* grid = new QGridLayout(box);
  const auto& groups = LockGroups();
  for (int g = 0; g < kLockGroupCount; ++g) {
    auto* ckb = new QCheckBox(Latin1(groups[static_cast<std::size_t>(g)].caption), box);
    ckb->setObjectName(Latin1(groups[static_cast<std::size_t>(g)].name));
    // Read by the merge when it runs, so a box ticked after a selection
    // still protects its group.
    connect(ckb, &QCheckBox::toggled, this, [this, g](bool on) { locker_.SetLocked(g, on); });
    grid->addWidget(ckb, g % 11, g / 11);
    lockBoxes_[static_cast<std::size_t>(g)] = ckb;
  }
  return box;
}

QWidget* TfrmLocker::BuildSelectorGroup() {
  auto* box = new QGroupBox("Sound selector", this);
  cmbBanks = new QComboBox(box);
  cmbBanks->setObjectName("cmbBanks");
  for (char c = 'A'; c <= 'H'; ++c) cmbBanks->addItem(QString(QChar(c)));
  cmbPrograms = new QComboBox(box);
  cmbPrograms->setObjectName("cmbPrograms");
  cmbPrograms->setMinimumContentsLength(22);
  cmbPrograms->setMaxVisibleItems(24);
  auto button = [box](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, box);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  btnPrevSound = button("btnPrevSound", "Prev Sound");
  btnNextSound = button("btnNextSound", "Next Sound");
  btnRandomSound = button("btnRandomSound", "Random Sound");
  btnSave = button("btnSave", "Save Sound to file");
  auto* grid = new QGridLayout(box);
  grid->addWidget(cmbBanks, 0, 0);
  grid->addWidget(cmbPrograms, 0, 1, 1, 2);
  grid->addWidget(btnPrevSound, 1, 0);
  grid->addWidget(btnNextSound, 1, 1);
  grid->addWidget(btnRandomSound, 1, 2);
  grid->addWidget(btnSave, 2, 0, 1, 3);
  {
    const QSignalBlocker block(cmbBanks);
    cmbBanks->setCurrentIndex(0);
  }
  connect(cmbBanks, &QComboBox::currentIndexChanged, this, &TfrmLocker::cmbBanksChange);
  connect(cmbPrograms, &QComboBox::currentIndexChanged, this, &TfrmLocker::cmbProgramsChange);
  connect(btnPrevSound, &QPushButton::clicked, this, &TfrmLocker::btnPrevSoundClick);
  connect(btnNextSound, &QPushButton::clicked, this, &TfrmLocker::btnNextSoundClick);
  connect(btnRandomSound, &QPushButton::clicked, this, &TfrmLocker::btnRandomSoundClick);
  connect(btnSave, &QPushButton::clicked, this, &TfrmLocker::btnSaveClick);
  return box;
}

QWidget* TfrmLocker::BuildSwapButtons() {
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  int n = 0;
  auto place = [&](const std::string_view name, const std::string_view caption) {
    auto* b = new QPushButton(Latin1(caption), panel);
    b->setObjectName(Latin1(name));
    b->setAutoDefault(false);
    grid->addWidget(b, n / 3, n % 3);
    ++n;
    return b;
  };
  for (const SwapButton& s : SwapButtons()) {
    const SwapKind kind = s.kind;
    connect(place(s.name, s.caption), &QPushButton::clicked, this, [this, kind] { locker_.Swap(kind); });
  }
  for (const RollButton& r : RollButtons()) {
    const RollKind kind = r.kind;
    connect(place(r.name, r.caption), &QPushButton::clicked, this, [this, kind] { locker_.Roll(kind); });
  }
  return panel;
}

QWidget* TfrmLocker::BuildParametersGroup() {
  auto* box = new QGroupBox("Parameters", this);
  auto* column = new QVBoxLayout(box);
  const auto& table = PanelLabels();
  for (int i = 0; i < kPanelLabelCount; ++i) {
    const PanelLabel& l = table[static_cast<std::size_t>(i)];
    auto* label = new QLabel(box);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(Latin1(l.name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (l.fixedWrapping) {
      // The long lists wrap inside a fixed box instead of widening the window.
      label->setWordWrap(true);
      // The step texts ("normal/*1/off" for each of 16 steps) need three.
      const int lines = l.name == "lblMatrixModulation" || l.name == "lblArpStepAccent" ? 3 : 2;
      label->setFixedSize(520, label->fontMetrics().lineSpacing() * lines + 4);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    column->addWidget(label);
    labels_[static_cast<std::size_t>(i)] = label;
  }
  column->addStretch();
  return box;
}

bool TfrmLocker::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(e);
}

void TfrmLocker::showEvent(QShowEvent* e) {
  // Activation does not always arrive (no window manager, offscreen); the
  // selector and panel must be filled before the window is first seen.
  FormActivate();
  QDialog::showEvent(e);
}

void TfrmLocker::FormActivate() {
  FillProgramList(locker_.SelBank);
  ShowParameters();
}

void TfrmLocker::FillProgramList(int bank) {
  const QSignalBlocker block(cmbPrograms);
  cmbPrograms->clear();
  QStringList entries;
  for (int p = 1; p <= kProgramsPerBank; ++p) {
    const SoundData& s = blofeld_.Sound((bank - 1) * kProgramsPerBank + p - 1);
    const auto* name = reinterpret_cast<const char*>(s.data() + offs::kName);
    entries << QString::number(p) + ' ' + QString::fromLatin1(name, static_cast<qsizetype>(offs::kNameLength));
  }
  cmbPrograms->addItems(entries);
  cmbPrograms->setCurrentIndex(locker_.SelProgram - 1);
}

void TfrmLocker::SetSelectorLists() {
  const QSignalBlocker b1(cmbBanks);
  const QSignalBlocker b2(cmbPrograms);
  cmbBanks->setCurrentIndex(locker_.SelBank - 1);
  cmbPrograms->setCurrentIndex(locker_.SelProgram - 1);
}

void TfrmLocker::cmbBanksChange() {
  const int index = cmbBanks->currentIndex();
  if (index < 0) return;
  if (index + 1 != locker_.SelBank) FillProgramList(cmbBanks->currentText().at(0).toLatin1() - 'A' + 1);
  locker_.SelectBank(index + 1);
}

void TfrmLocker::cmbProgramsChange() {
  const int index = cmbPrograms->currentIndex();
  if (index < 0) return;
  locker_.SelectProgram(index + 1);
}

void TfrmLocker::btnNextSoundClick() {
  const int bank = locker_.SelBank;
  locker_.NextSound();
  if (locker_.SelBank != bank) FillProgramList(locker_.SelBank);
  SetSelectorLists();
}

void TfrmLocker::btnPrevSoundClick() {
  const int bank = locker_.SelBank;
  locker_.PrevSound();
  if (locker_.SelBank != bank) FillProgramList(locker_.SelBank);
  SetSelectorLists();
}

void TfrmLocker::btnRandomSoundClick() {
  locker_.RandomSound(random_);
  FillProgramList(locker_.SelBank);
  SetSelectorLists();
}

void TfrmLocker::btnSaveClick() {
  const auto file = prompter_.SaveFileName(kSysExFiles);
  if (!file) return;
  try {
    locker_.Save(*file, prompter_);
  } catch (const std::exception& e) {
    prompter_.Ask(e.what(), Buttons::Ok);
  }
}

void TfrmLocker::Timer1Timer() {
  if (locker_.Timer1Timer() >= 0) ShowParameters();
}

void TfrmLocker::Timer2Timer() {
  if (locker_.Timer2Timer() >= 0) ShowParameters();
}

void TfrmLocker::ShowParameters() {
  for (int i = 0; i < kPanelLabelCount; ++i) labels_[static_cast<std::size_t>(i)]->setText(QString::fromStdString(locker_.Caption(i)));
}

}  // namespace tarvix
