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
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "controls/TCheckLed.h"
#include "controls/TKnob.h"
#include "editor/CaptionFormat.h"
#include "editor/ControlLayout.h"
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
      if (row_) row_->addStretch(1);  // full rows keep their cells together too
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
    BeginGesture("Rename");
    nameEdited_ = true;
    controlsChanged_ = true;
  });
  top->addWidget(edtName_);
  top->addWidget(new QLabel("Category", this));
  BuildControl(map.IndexOf("cmbCategory"), this);
  cmbCategory_ = qobject_cast<QComboBox*>(controls_[map.IndexOf("cmbCategory")].widget);
  top->addWidget(cmbCategory_);
  top->addSpacing(20);
  // Alt+Backspace and Shift+Alt+Backspace, as in the main window (Ctrl+Z
  // belongs to the octave and to the name field's own typing undo); the
  // window's key filter takes them, whichever control has the focus.
  btnUndo_ = MakeButton("Undo", "btnUndo", this);
  connect(btnUndo_, &QPushButton::clicked, this, [this] { Guarded(ctx_.log, [&] { UndoClick(); }); });
  top->addWidget(btnUndo_);
  btnRedo_ = MakeButton("Redo", "btnRedo", this);
  connect(btnRedo_, &QPushButton::clicked, this, [this] { Guarded(ctx_.log, [&] { RedoClick(); }); });
  top->addWidget(btnRedo_);
  top->addStretch(1);
  root->addLayout(top);
  // The schema row: on a narrow (or scaled) screen one row would push the
  // window wider than the screen.
  top = new QHBoxLayout;
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
  // Per page: its group boxes, then (from kPageCount on) its command buttons.
  pageBoxes_.resize(2 * kPageCount);
  for (int p = 0; p < kPageCount; ++p) {
    auto* scroll = new QScrollArea(tabs_);
    scroll->setWidgetResizable(true);
    scroll->setWidget(BuildPage(p));
    pageBoxes_[static_cast<std::size_t>(p)].viewport = scroll->viewport();
    pageBoxes_[static_cast<std::size_t>(kPageCount + p)].viewport = scroll->viewport();
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
  // As large as a 1280 x 800 screen, but never larger than the screen shown.
  QSize size(1280, 800);
  if (const QScreen* sc = screen()) size = size.boundedTo(sc->availableGeometry().size());
  resize(size);
}

QWidget* TfrmPatchEdit::BuildPage(int page) {
  const auto& map = ParameterMap::Instance();
  auto* content = new QWidget;
  auto* v = new QVBoxLayout(content);
  v->addWidget(BuildCommandBar(page));
  if (page < 4) BuildPictures(page);

  // One group box per map group, in map order.
  std::vector<std::string> order;
  std::map<std::string, std::vector<std::size_t>> members;
  for (std::size_t i = 0; i < map.size(); ++i) {
    if (static_cast<int>(map[i].page) != page) continue;
    if (!members.count(map[i].group)) order.push_back(map[i].group);
    members[map[i].group].push_back(i);
  }
  auto& arrangement = pageBoxes_[static_cast<std::size_t>(page)];
  auto* grid = new QGridLayout;
  arrangement.grid = grid;
  std::vector<std::size_t> steps;  // the arpeggiator steps' controls, in step order
  for (const auto& group : order) {
    if (group.rfind("Arp Step", 0) == 0) {
      steps.insert(steps.end(), members[group].begin(), members[group].end());
      continue;
    }
    auto* box = new QGroupBox(QString::fromStdString(group), content);
    groupBoxes_.push_back({box, members[group]});
    auto* inner = new QVBoxLayout(box);
    // The picture of what this group shapes sits on top of it.
    for (std::size_t k = 0; page < 4 && k < pictures_[page].size(); ++k)
      if (PictureGroup(page, k) == group) inner->addWidget(pictures_[page][k]);
    FlowRows lists(inner, 3);
    for (std::size_t i : members[group])
      if (map[i].IsList()) {
        auto* cell = new QWidget(box);
        BuildControl(i, cell);
        lists.Add(cell);
      }
    lists.Finish();
    FlowRows knobs(inner, 6);
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
    if (page == static_cast<int>(Page::Arpeggiator)) {
      // The arpeggiator's own settings span the page above its steps.
      grid->addWidget(box, 0, 0, 1, -1);
      arrangement.firstRow = 1;
      continue;
    }
    arrangement.boxes.push_back(box);
  }
  // Sixteen steps in two blocks of eight, each with its rows named.
  if (!steps.empty()) {
    const std::size_t half = steps.size() / 2;
    arrangement.boxes.push_back(
        BuildStepBlock(1, 8, std::vector<std::size_t>(steps.begin(), steps.begin() + static_cast<long>(half)), content));
    arrangement.boxes.push_back(
        BuildStepBlock(9, 16, std::vector<std::size_t>(steps.begin() + static_cast<long>(half), steps.end()), content));
  }
  ArrangeBoxes(arrangement);
  v->addLayout(grid);
  v->addStretch(1);
  return content;
}

QWidget* TfrmPatchEdit::BuildStepBlock(int first, int last, const std::vector<std::size_t>& members, QWidget* parent) {
  const auto& map = ParameterMap::Instance();
  auto* box = new QGroupBox(QString("Steps %1 to %2").arg(first).arg(last), parent);
  groupBoxes_.push_back({box, members});
  auto* g = new QGridLayout(box);
  g->setHorizontalSpacing(0);
  g->setVerticalSpacing(0);
  // Timing and length show the same kind of texts ("-1", "0", "1"): the
  // row names tell them apart.
  static const char* const kRows[] = {"Step", "Accent", "Glide", "Timing", "Length"};
  static const char* const kPrefixes[] = {"KnobArpStep", "KnobArpAccent", "CheckLedGlide", "KnobArpTiming",
                                          "KnobArpLength"};
  for (int r = 0; r < 5; ++r) {
    auto* label = new QLabel(kRows[r], box);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(label, r + 1, 0);
  }
  for (std::size_t i : members) {
    const std::string& name = map[i].name;
    for (int r = 0; r < 5; ++r) {
      const std::string prefix = kPrefixes[r];
      if (name.rfind(prefix, 0) != 0) continue;
      const int step = std::stoi(name.substr(prefix.size()));
      if (r == 0) {
        auto* number = new QLabel(QString::number(step), box);
        number->setAlignment(Qt::AlignCenter);
        g->addWidget(number, 0, step - first + 1);
      }
      auto* cell = new QWidget(box);
      BuildControl(i, cell);
      g->addWidget(cell, r + 1, step - first + 1);
    }
  }
  g->setColumnStretch(last - first + 2, 1);
  return box;
}

void TfrmPatchEdit::ArrangeBoxes(PageBoxes& page) {
  if (!page.grid || page.boxes.empty()) return;
  int widest = 0;
  for (QWidget* b : page.boxes) widest = std::max(widest, b->sizeHint().width());
  const int spacing = std::max(page.grid->horizontalSpacing(), 0);
  // Before the page is first shown its viewport has no size yet.
  const int available = page.viewport && page.viewport->width() > 100 ? page.viewport->width() - 24 : 1240;
  const int columns = std::clamp((available + spacing) / (widest + spacing), 1, page.maxColumns);
  if (columns == page.columns) return;
  for (QWidget* b : page.boxes) page.grid->removeWidget(b);
  for (int c = 0; c < page.maxColumns; ++c) page.grid->setColumnStretch(c, 0);
  for (std::size_t k = 0; k < page.boxes.size(); ++k) {
    const int n = static_cast<int>(k);
    page.grid->addWidget(page.boxes[k], page.firstRow + n / columns, n % columns);
  }
  for (int c = 0; c < columns; ++c) page.grid->setColumnStretch(c, 1);
  page.columns = columns;
}

QWidget* TfrmPatchEdit::BuildCommandBar(int page) {
  auto* bar = new QWidget;
  // The buttons flow into as many columns as the page's width takes.
  auto& arrangement = pageBoxes_[static_cast<std::size_t>(kPageCount + page)];
  arrangement.grid = new QGridLayout(bar);
  arrangement.grid->setContentsMargins(0, 0, 0, 0);
  arrangement.maxColumns = 8;
  struct {
    std::vector<QWidget*>& boxes;
    void Add(QWidget* w) { boxes.push_back(w); }
  } rows{arrangement.boxes};
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
  ArrangeBoxes(arrangement);
  return bar;
}

// Wide enough for the longest caption the control can show (centred over
// it) and for the allowed-value button beside it.
int TfrmPatchEdit::CellWidth(std::size_t index) const {
  const auto& c = ParameterMap::Instance()[index];
  const QFontMetrics fm(font());
  int text = fm.horizontalAdvance(QString::fromStdString(c.label));
  if (c.IsKnob() && HasFormatter(c.tag))
    for (int v = c.min; v <= c.max; ++v)
      for (bool clocked : {false, true})
        if (auto caption = KnobCaption(c.tag, v, clocked))
          text = std::max(text, fm.horizontalAdvance(QString::fromStdString(*caption)));
  // Effect parameters change their caption with the effect type.
  if (c.rule == WriteRule::WhileVisible)
    for (int e1 = 0; e1 <= 5; ++e1)
      for (int e2 = 0; e2 <= 8; ++e2)
        if (auto caption = ControlLayout::For(e1, e2, 1).Caption(index))
          text = std::max(text, fm.horizontalAdvance(QString::fromStdString(*caption)));
  return std::max(76, text + 10);
}

void TfrmPatchEdit::BuildControl(std::size_t index, QWidget* parent) {
  const auto& c = ParameterMap::Instance()[index];
  auto& cw = controls_[index];
  if (parent != this) cw.cell = parent;
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
        if (!loading_) BeginGesture("Category");
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
    const int w = CellWidth(index);
    parent->setFixedSize(w, 66);
    knob->move(w / 2 - 16, 16);
    connect(knob, &TKnob::OnChange, this, [this, index](TKnob*) { ControlChange(index); });
    connect(knob, &TKnob::Moved, this, [this, index](TKnob*) { MarkMoved(index); });
    connect(knob, &TKnob::OnEnter, this, &TfrmPatchEdit::KnobEnter);
    connect(knob, &TKnob::OnLeave, this, &TfrmPatchEdit::KnobLeave);
    cw.widget = knob;
    cw.button = new QToolButton(parent);
    cw.button->setGeometry(w / 2 + 20, 18, 14, 14);
  } else {
    auto* led = new TCheckLed(parent);
    led->setObjectName(QString::fromStdString(c.name));
    led->setCaption(label);
    const int w = CellWidth(index);
    parent->setFixedSize(w, 66);
    led->move(w / 2 - 16, 22);
    connect(led, &TCheckLed::OnChange, this, [this, index](TCheckLed*) {
      ControlChange(index);
      MarkMoved(index);  // fired by clicks only
    });
    cw.widget = led;
    cw.button = new QToolButton(parent);
    cw.button->setGeometry(w / 2 + 20, 22, 14, 14);
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
