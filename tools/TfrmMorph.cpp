#include "tools/TfrmMorph.h"

#include "tools/SingleSoundFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "controls/Named.h"

namespace tarvix {

TfrmMorph::TfrmMorph(const BankSet& blofeld, ParameterSendFn send, Prompter& prompter, RandomSource& random,
                     QWidget* parent)
    : QDialog(parent), blofeld_(blofeld), prompter_(prompter), random_(random), morph_(blofeld, std::move(send)) {
  setObjectName("frmMorph");
  setWindowTitle("Quasi Morph");

  cmbSound1 = Named(new QComboBox(this), "cmbSound1");
  cmbSound2 = Named(new QComboBox(this), "cmbSound2");
  trbMorph = Named(new QSlider(Qt::Horizontal, this), "trbMorph");
  trbMorph->setRange(0, 100);
  trbMorph->setTickPosition(QSlider::TicksBelow);
  trbMorph->setTickInterval(1);
  trbMorph->setMinimumWidth(400);
  lbkPercent = Named(new QLabel("0 %", this), "lbkPercent");
  QFont big = lbkPercent->font();
  big.setPointSize(big.pointSize() * 2);
  big.setBold(true);
  lbkPercent->setFont(big);
  lbkPercent->setAlignment(Qt::AlignCenter);
  chbDetune = Named(new QCheckBox("Morph semitones, detunes, bandwidths, keytracks", this), "chbDetune");
  // "&&" shows as one ampersand, as the caption intends.
  btnRandomizeSounds = Named(new QPushButton("Randomize Sound1 && Sound2", this), "btnRandomizeSounds");
  btnSave = Named(new QPushButton("Save Sound to file", this), "btnSave");
  BitBtn1 = Named(new QPushButton("&Close", this), "BitBtn1");
  BitBtn1->setAutoDefault(false);
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(1000);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Sound 1", this), 0, 0);
  grid->addWidget(new QLabel("Sound 2", this), 0, 1);
  grid->addWidget(cmbSound1, 1, 0);
  grid->addWidget(cmbSound2, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnRandomizeSounds);
  buttons->addWidget(btnSave);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(trbMorph);
  layout->addWidget(lbkPercent);
  layout->addWidget(chbDetune);
  layout->addLayout(buttons);

  FormCreate();

  connect(cmbSound1, &QComboBox::currentIndexChanged, this, &TfrmMorph::cmbSound1Change);
  connect(cmbSound2, &QComboBox::currentIndexChanged, this, &TfrmMorph::cmbSound1Change);
  connect(trbMorph, &QSlider::valueChanged, this, &TfrmMorph::trbMorphChange);
  connect(chbDetune, &QCheckBox::toggled, this, &TfrmMorph::chbDetuneClick);
  connect(btnRandomizeSounds, &QPushButton::clicked, this, &TfrmMorph::btnRandomizeSoundsClick);
  connect(btnSave, &QPushButton::clicked, this, &TfrmMorph::btnSaveClick);
  connect(BitBtn1, &QPushButton::clicked, this, &TfrmMorph::BitBtn1Click);
  connect(Timer1, &QTimer::timeout, this, &TfrmMorph::Timer1Timer);
  Timer1->start();
}

void TfrmMorph::FormCreate() {
  // Entry k stands for flat index k in both lists.
  QStringList entries;
  entries.reserve(kSlotCount);
  for (int i = 0; i < kSlotCount; ++i) {
    const std::string text = SlotLabel(i) + " " + GetSoundName(blofeld_, i);
    entries << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  }
  for (QComboBox* list : {cmbSound1, cmbSound2}) {
    list->addItems(entries);
    // 1024 entries: typing part of a name or slot narrows the list.
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->completer()->setFilterMode(Qt::MatchContains);
    list->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    list->completer()->setCompletionMode(QCompleter::PopupCompletion);
    list->setCurrentIndex(-1);
    list->setMaxVisibleItems(24);
  }
  trbMorph->setEnabled(false);
  // Nothing can be saved before a blend exists.
  btnSave->setEnabled(false);
}

std::optional<int> TfrmMorph::Selected(const QComboBox* list) {
  const int i = list->currentIndex();
  return i >= 0 ? std::optional<int>(i) : std::nullopt;
}

void TfrmMorph::cmbSound1Change() {
  morph_.ChooseSounds(Selected(cmbSound1), Selected(cmbSound2));
  trbMorph->setEnabled(morph_.TrackBarEnabled());
}

// The label follows the bar at once; the blend waits for the tick.
void TfrmMorph::trbMorphChange(int position) {
  morph_.TrackBarMoved(position);
  lbkPercent->setText(QString::number(morph_.Position()) + " %");
}

void TfrmMorph::chbDetuneClick() { morph_.SetWithDetune(chbDetune->isChecked()); }

void TfrmMorph::btnRandomizeSoundsClick() {
  morph_.RandomizeSounds(random_);
  {
    // The new selections must not refill the result: only differences go out.
    const QSignalBlocker b1(cmbSound1);
    const QSignalBlocker b2(cmbSound2);
    cmbSound1->setCurrentIndex(*morph_.Index1());
    cmbSound2->setCurrentIndex(*morph_.Index2());
  }
  trbMorph->setEnabled(true);
  trbMorph->setValue(100);
  trbMorph->setValue(0);
  trbMorph->setFocus();
}

void TfrmMorph::btnSaveClick() {
  const auto sound = morph_.SavedSound();
  if (!sound) return;
  const auto file = prompter_.SaveFileName(kSysExFiles);
  if (!file) return;
  try {
    SaveSingleSound(*sound, *file, prompter_);
  } catch (const std::exception& e) {
    prompter_.Ask(e.what(), Buttons::Ok);
  }
}

void TfrmMorph::BitBtn1Click() { reject(); }

void TfrmMorph::Timer1Timer() {
  if (!morph_.Timer1Timer()) return;
  lbkPercent->setText(QString::fromStdString(morph_.PercentText()));
  btnSave->setEnabled(morph_.CanSave());
}

}  // namespace tarvix
