// Building TfrmPatchEdit's widgets from the parameter map: one group box per
// map group, one cell per control with its allowed-value button, and the
// command buttons of each page.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

#include "controls/TCheckLed.h"
#include "controls/TKnob.h"
#include "editor/InitCommands.h"
#include "editor/ParameterMap.h"
#include "editor/TfrmPatchEdit.h"
#include "midi/ChannelMessages.h"

namespace tarvix {

namespace {

constexpr int kPageCount = 7;

// "btnOctave1" for "KnobOctave1", "btnShape1" for "cmbShape1".
QString ButtonNameFor(const std::string& control) {
  QString n = QString::fromStdString(control);
  for (const char* prefix : {"CheckLed", "Knob", "knob", "cmb"})
    if (n.startsWith(prefix)) return "btn" + n.mid(static_cast<int>(std::strlen(prefix)));
  return "btn" + n;
}

QString ObjectNameFor(std::string_view caption) {
  QString n = "btn";
  for (char ch : caption)
    if (std::isalnum(static_cast<unsigned char>(ch))) n += QChar(ch);
  return n;
}

int PageOf(RandomizerCommand c) {
  using R = RandomizerCommand;
  switch (c) {
    case R::Osc1: case R::Osc2: case R::Osc3: case R::Common: case R::Oscillators: return 0;
    case R::Filter1: case R::Filter2: case R::Routing: case R::Filters: return 1;
    case R::FilterEnvelope: case R::AmpEnvelope: case R::Envelope3: case R::Envelope4: case R::Envelopes: return 2;
    case R::Lfo1: case R::Lfo2: case R::Lfo3: case R::Lfos: return 3;
    case R::Modulation: case R::Modifier: case R::Matrix: return 4;
    case R::ArpGlobals: case R::ArpStep: case R::ArpAccent: case R::ArpGlide: case R::ArpTiming: case R::ArpLength:
    case R::InitArp: case R::Arpeggiator: return 5;
    case R::Effect1: case R::Effect2: case R::Effects: return 6;
    case R::Sound: return -1;  // below the pages
  }
  return -1;
}

int PageOf(ControlGroup g) {
  switch (g) {
    case ControlGroup::Oscillator: return 0;
    case ControlGroup::Filter: return 1;
    case ControlGroup::Envelope: return 2;
    case ControlGroup::Lfo: return 3;
  }
  return 0;
}

int ColumnsOf(int page) {
  static constexpr int kColumns[kPageCount] = {2, 2, 2, 3, 4, 4, 2};
  return kColumns[page];
}

QPushButton* MakeButton(const QString& caption, const QString& name, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}

// Lays widgets out in rows of at most `perRow`.
class FlowRows {
 public:
  FlowRows(QVBoxLayout* into, int perRow) : into_(into), perRow_(perRow) {}
  void Add(QWidget* w) {
    if (!row_ || count_ == perRow_) {
      row_ = new QHBoxLayout;
      row_->setSpacing(2);
      into_->addLayout(row_);
      count_ = 0;
    }
    row_->addWidget(w);
    ++count_;
  }
  void Finish() {
    if (row_) row_->addStretch(1);
    row_ = nullptr;
  }

 private:
  QVBoxLayout* into_;
  int perRow_;
  QHBoxLayout* row_ = nullptr;
  int count_ = 0;
};

}  // namespace

void TfrmPatchEdit::BuildWindow() {
  const auto& map = ParameterMap::Instance();
  controls_.resize(map.size());
  auto* root = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("Name", this));
  edtName_ = new QLineEdit(this);
  edtName_->setObjectName("edtName");
  edtName_->setMaxLength(16);
  edtName_->setFixedWidth(150);
  connect(edtName_, &QLineEdit::textEdited, this, [this] {
    nameEdited_ = true;
    controlsChanged_ = true;
  });
  top->addWidget(edtName_);
  top->addWidget(new QLabel("Category", this));
  BuildControl(map.IndexOf("cmbCategory"), this);
  cmbCategory_ = qobject_cast<QComboBox*>(controls_[map.IndexOf("cmbCategory")].widget);
  top->addWidget(cmbCategory_);
  top->addSpacing(20);
  top->addWidget(new QLabel("Sound Family Schema", this));
  cmbRandomSchema_ = new QComboBox(this);
  cmbRandomSchema_->setObjectName("cmbRandomSchema");
  cmbRandomSchema_->setEditable(true);
  cmbRandomSchema_->setMinimumWidth(160);
  top->addWidget(cmbRandomSchema_);
  auto* save = MakeButton("Save Snd Family Schema", "btnSaveRandomSchema", this);
  connect(save, &QPushButton::clicked, this, [this] { Guarded(ctx_.log, [&] { btnSaveRandomSchemaClick(); }); });
  top->addWidget(save);
  auto* create = MakeButton("Create Snd Family Schema from current sound", "btnCreateSchemaFromCurrentSound", this);
  connect(create, &QPushButton::clicked, this,
          [this] { Guarded(ctx_.log, [&] { btnCreateSchemaFromCurrentSoundClick(); }); });
  top->addWidget(create);
  top->addStretch(1);
  root->addLayout(top);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("PageControl1");
  for (int p = 0; p < kPageCount; ++p) {
    auto* scroll = new QScrollArea(tabs_);
    scroll->setWidgetResizable(true);
    scroll->setWidget(BuildPage(p));
    tabs_->addTab(scroll, QString::fromStdString(std::string(PageName(static_cast<Page>(p)))));
  }
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) { RedrawPictures(page); });
  root->addWidget(tabs_, 1);

  auto* bottom = new QHBoxLayout;
  btnTestSound_ = MakeButton("Test Sound", "btnTestSound", this);
  btnTestSound_->setFocusPolicy(Qt::StrongFocus);
  connect(btnTestSound_, &QPushButton::pressed, this, [this] { NoteOn(ctx_.out, 0, 60, 127); });
  connect(btnTestSound_, &QPushButton::released, this, [this] { ctx_.out.ResetOutput(); });
  bottom->addWidget(btnTestSound_);
  auto* send = MakeButton("Send Sound to Blofeld", "btnSavSoundto", this);
  connect(send, &QPushButton::clicked, this, [this] { Guarded(ctx_.log, [&] { btnSavSoundtoClick(); }); });
  bottom->addWidget(send);
  auto* file = MakeButton("Save Sound to file", "btnSaveSoundToFile", this);
  connect(file, &QPushButton::clicked, this, [this] { Guarded(ctx_.log, [&] { btnSaveSoundToFileClick(); }); });
  bottom->addWidget(file);
  auto* init = MakeButton("Init Sound", "btnInitSound", this);
  connect(init, &QPushButton::clicked, this, [this] { Guarded(ctx_.log, [&] { RunInit(&InitSoundSections); }); });
  bottom->addWidget(init);
  auto* all = MakeButton(QString::fromUtf8(std::string(RandomizerCaption(RandomizerCommand::Sound)).c_str()),
                         "btnRandomizeSound", this);
  connect(all, &QPushButton::clicked, this,
          [this] { Guarded(ctx_.log, [&] { RunRandomizer(RandomizerCommand::Sound); }); });
  bottom->addWidget(all);
  bottom->addStretch(1);
  auto* close = MakeButton("Close", "btnClose", this);
  connect(close, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
  bottom->addWidget(close);
  root->addLayout(bottom);

  // The window sees every key before its controls, and the wheel over a knob.
  installEventFilter(this);
  for (auto* w : findChildren<QWidget*>()) w->installEventFilter(this);
  resize(1280, 800);
}

QWidget* TfrmPatchEdit::BuildPage(int page) {
  const auto& map = ParameterMap::Instance();
  auto* content = new QWidget;
  auto* v = new QVBoxLayout(content);
  v->addWidget(BuildCommandBar(page));
  if (page < 4) v->addWidget(BuildPictures(page));

  // One group box per map group, in map order.
  std::vector<std::string> order;
  std::map<std::string, std::vector<std::size_t>> members;
  for (std::size_t i = 0; i < map.size(); ++i) {
    if (static_cast<int>(map[i].page) != page) continue;
    if (!members.count(map[i].group)) order.push_back(map[i].group);
    members[map[i].group].push_back(i);
  }
  auto* grid = new QGridLayout;
  int columns = ColumnsOf(page);
  int n = 0;
  for (const auto& group : order) {
    // The sixteen arpeggiator steps are narrow strips side by side, below
    // the arpeggiator's own group, which takes a whole row.
    const bool step = group.rfind("Arp Step", 0) == 0;
    auto* box = new QGroupBox(QString::fromStdString(group), content);
    groupBoxes_.push_back({box, members[group]});
    auto* inner = new QVBoxLayout(box);
    FlowRows lists(inner, 3);
    for (std::size_t i : members[group])
      if (map[i].IsList()) {
        auto* cell = new QWidget(box);
        BuildControl(i, cell);
        lists.Add(cell);
      }
    lists.Finish();
    FlowRows knobs(inner, step ? 1 : 7);
    for (std::size_t i : members[group])
      if (!map[i].IsList()) {
        auto* cell = new QWidget(box);
        BuildControl(i, cell);
        knobs.Add(cell);
      }
    knobs.Finish();
    // The copy buttons sit in the group they copy from.
    FlowRows copies(inner, 6);
    for (const auto& c : AllGroupCommands()) {
      if (c.swap || PageOf(c.group) != page || GroupInstanceName(c.group, c.from) != group) continue;
      auto* b = MakeButton(QString::fromStdString(c.caption), QString::fromStdString(c.name), box);
      connect(b, &QPushButton::clicked, this, [this, c] { Guarded(ctx_.log, [&] { RunGroupCommand(c); }); });
      copies.Add(b);
    }
    copies.Finish();
    inner->addStretch(1);
    if (page == static_cast<int>(Page::Arpeggiator) && !step) {
      grid->addWidget(box, 0, 0, 1, 8);
      columns = 8;
      n = 8;
      continue;
    }
    grid->addWidget(box, n / columns, n % columns);
    ++n;
  }
  v->addLayout(grid);
  v->addStretch(1);
  return content;
}

QWidget* TfrmPatchEdit::BuildCommandBar(int page) {
  auto* bar = new QWidget;
  auto* v = new QVBoxLayout(bar);
  v->setContentsMargins(0, 0, 0, 0);
  FlowRows rows(v, 7);
  static constexpr void (*kInits[kPageCount])(SoundData&) = {&InitOscillators, &InitFilters, &InitEnvelopes, &InitLfos,
                                                             &InitMatrix,      nullptr,      &InitEffects};
  static const char* kInitCaptions[kPageCount] = {"Init Oscillators", "Init Filters", "Init Envelopes", "Init LFOs",
                                                  "Init Matrix",      nullptr,        "Init Effects"};
  if (kInits[page]) {
    auto* b = MakeButton(kInitCaptions[page], ObjectNameFor(kInitCaptions[page]), bar);
    auto* init = kInits[page];
    connect(b, &QPushButton::clicked, this, [this, init] { Guarded(ctx_.log, [&] { RunInit(init); }); });
    rows.Add(b);
  }
  for (auto cmd : AllRandomizerCommands()) {
    if (PageOf(cmd) != page) continue;
    const std::string caption(RandomizerCaption(cmd));
    auto* b = MakeButton(QString::fromStdString(caption), ObjectNameFor(caption), bar);
    connect(b, &QPushButton::clicked, this, [this, cmd] { Guarded(ctx_.log, [&] { RunRandomizer(cmd); }); });
    rows.Add(b);
  }
  for (const auto& c : AllGroupCommands()) {
    if (!c.swap || PageOf(c.group) != page) continue;
    auto* b = MakeButton(QString::fromStdString(c.caption), QString::fromStdString(c.name), bar);
    connect(b, &QPushButton::clicked, this, [this, c] { Guarded(ctx_.log, [&] { RunGroupCommand(c); }); });
    rows.Add(b);
  }
  rows.Finish();
  return bar;
}

void TfrmPatchEdit::BuildControl(std::size_t index, QWidget* parent) {
  const auto& c = ParameterMap::Instance()[index];
  auto& cw = controls_[index];
  const QString label = QString::fromStdString(c.label);
  if (c.IsList()) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromStdString(c.name));
    combo->setFocusPolicy(Qt::StrongFocus);
    if (c.entries)
      for (const auto& e : *c.entries) combo->addItem(QString::fromUtf8(e.c_str()));
    // Oscillators 1 and 2 play samples too: "A1 name", "A2 name", ...
    if (c.encoding == Encoding::Shape && c.name != "cmbShape3")
      for (std::size_t k = 0; k < sampleNames_.size(); ++k)
        combo->addItem("A" + QString::number(k + 1) + " " + QString::fromLatin1(sampleNames_[k].c_str()));
    cw.widget = combo;
    if (c.name == "cmbCategory") {
      // The category goes into the sound at once and is never sent.
      connect(combo, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) pass_.SetCategory(static_cast<std::uint8_t>(i));
        controlsChanged_ = true;
      });
      return;
    }
    connect(combo, &QComboBox::currentIndexChanged, this, [this, index](int) { ControlChange(index); });
    connect(combo, &QComboBox::activated, this, [this, index](int) { MarkMoved(index); });
    if (parent != this) {
      auto* g = new QGridLayout(parent);
      g->setContentsMargins(2, 2, 2, 2);
      g->setSpacing(1);
      cw.caption = new QLabel(label, parent);
      g->addWidget(cw.caption, 0, 0, 1, 2);
      combo->setMinimumWidth(110);
      g->addWidget(combo, 1, 0);
      cw.button = new QToolButton(parent);
      g->addWidget(cw.button, 1, 1);
    }
  } else if (c.IsKnob()) {
    auto* knob = new TKnob(parent);
    knob->setObjectName(QString::fromStdString(c.name));
    knob->setMin(-128);  // open the range first so any Min/Max pair is taken
    knob->setMax(c.max);
    knob->setMin(c.min);
    knob->setCaption(label);
    parent->setFixedSize(82, 66);
    knob->move(20, 16);
    connect(knob, &TKnob::OnChange, this, [this, index](TKnob*) { ControlChange(index); });
    connect(knob, &TKnob::Moved, this, [this, index](TKnob*) { MarkMoved(index); });
    connect(knob, &TKnob::OnEnter, this, &TfrmPatchEdit::KnobEnter);
    connect(knob, &TKnob::OnLeave, this, &TfrmPatchEdit::KnobLeave);
    cw.widget = knob;
    cw.button = new QToolButton(parent);
    cw.button->setGeometry(56, 18, 14, 14);
  } else {
    auto* led = new TCheckLed(parent);
    led->setObjectName(QString::fromStdString(c.name));
    led->setCaption(label);
    parent->setFixedSize(82, 66);
    led->move(20, 22);
    connect(led, &TCheckLed::OnChange, this, [this, index](TCheckLed*) {
      ControlChange(index);
      MarkMoved(index);  // fired by clicks only
    });
    cw.widget = led;
    cw.button = new QToolButton(parent);
    cw.button->setGeometry(56, 22, 14, 14);
  }
  if (cw.button) {
    cw.button->setObjectName(ButtonNameFor(c.name));
    cw.button->setText("...");
    cw.button->setToolTip("Allowed values for the sound family schema");
    cw.button->setFocusPolicy(Qt::NoFocus);
    connect(cw.button, &QToolButton::clicked, this,
            [this, index] { Guarded(ctx_.log, [&] { AllowedValuesClick(index); }); });
  }
}

}  // namespace tarvix
