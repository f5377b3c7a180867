#include "midi/KeyboardPanel.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "controls/Named.h"
#include "midi/HeldKeyTracker.h"
#include "midi/KeyboardRules.h"

namespace tarvix {
namespace {

bool Playable(const QString& cls) { return KeyboardScanRunsIn(cls.toStdString()); }

}  // namespace

KeyboardPanel::KeyboardPanel(QWidget* parent) : QWidget(parent), tracker_(new HeldKeyTracker(this)) {
  setObjectName("pnlKeyboard");
  btnMinusOct = Named(new QPushButton("-1 Octave (Z)", this), "btnMinusOct");
  btnPlusOct = Named(new QPushButton("+1 Octave (X)", this), "btnPlusOct");
  lblOctave = Named(new QLabel(this), "lblOctave");
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  lblHelpUpper = Named(new QLabel(" W E   T Y U   O P", this), "lblHelpUpper");
  lblHelpLower = Named(new QLabel("A S D F G H J K L", this), "lblHelpLower");
  for (QLabel* l : {lblHelpUpper, lblHelpLower}) l->setFont(fixed);
  btnHideKeyboard = Named(new QPushButton("Hide keyboard", this), "btnHideKeyboard");
  lblVolume = Named(new QLabel("Volume", this), "lblVolume");
  ScrollBarVolume = Named(new QScrollBar(Qt::Horizontal, this), "ScrollBarVolume");
  ScrollBarVolume->setRange(0, KeyboardPlayer::kMaxVolume);
  ScrollBarVolume->setValue(KeyboardPlayer::kMaxVolume);
  ScrollBarVolume->setMinimumWidth(160);
  // Buttons must not take the focus away from the window the user plays in.
  for (QPushButton* b : {btnMinusOct, btnPlusOct, btnHideKeyboard}) b->setFocusPolicy(Qt::NoFocus);
  ScrollBarVolume->setFocusPolicy(Qt::NoFocus);

  auto* help = new QVBoxLayout;
  help->setSpacing(0);
  help->addWidget(lblHelpUpper);
  help->addWidget(lblHelpLower);
  auto* volume = new QVBoxLayout;
  volume->setSpacing(2);
  volume->addWidget(lblVolume);
  volume->addWidget(ScrollBarVolume);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 4, 6, 4);
  row->addWidget(btnMinusOct);
  row->addWidget(lblOctave);
  row->addWidget(btnPlusOct);
  row->addSpacing(16);
  row->addLayout(help);
  row->addSpacing(16);
  row->addLayout(volume);
  row->addStretch();
  row->addWidget(btnHideKeyboard);

  tmrKeyboard = new QTimer(this);
  tmrKeyboard->setObjectName("tmrKeyboard");
  tmrKeyboard->setInterval(50);
  tmrKeyboardHook = new QTimer(this);
  tmrKeyboardHook->setObjectName("tmrKeyboardHook");
  tmrKeyboardHook->setInterval(1000);

  connect(btnMinusOct, &QPushButton::clicked, this, &KeyboardPanel::btnMinusOctClick);
  connect(btnPlusOct, &QPushButton::clicked, this, &KeyboardPanel::btnPlusOctClick);
  connect(btnHideKeyboard, &QPushButton::clicked, this, &KeyboardPanel::btnHideKeyboardClick);
  connect(ScrollBarVolume, &QScrollBar::valueChanged, this, &KeyboardPanel::ScrollBarVolumeChange);
  connect(tmrKeyboard, &QTimer::timeout, this, &KeyboardPanel::tmrKeyboardTimer);
  connect(tmrKeyboardHook, &QTimer::timeout, this, &KeyboardPanel::tmrKeyboardHookTimer);

  tracker_->onKeyPress = [this](QObject* r, const QKeyEvent& e, char letter, bool fresh) {
    return OnKeyPress(r, e, letter, fresh);
  };
  tracker_->onFocusLost = [this] { player_.ReleaseAll(); };
  foreground_ = &KeyboardPanel::ActiveWindowClass;

  ShowOctave();
  // The keyboard is on at start-up.
  tmrKeyboard->start();
  tmrKeyboardHook->start();
}

// Sends nothing: by the time a child widget is destroyed its owner's members,
// the output among them, may be gone. Notes were stopped when the panel or
// its window was hidden.
KeyboardPanel::~KeyboardPanel() = default;

void KeyboardPanel::setOutput(KeyboardPlayer::OutputProvider output) { player_.SetOutput(std::move(output)); }

void KeyboardPanel::setChannelProvider(std::function<int()> channel) { channel_ = std::move(channel); }

void KeyboardPanel::setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

void KeyboardPanel::setForegroundClassProvider(std::function<QString()> provider) {
  foreground_ = provider ? std::move(provider) : std::function<QString()>(&KeyboardPanel::ActiveWindowClass);
}

QString KeyboardPanel::WindowClassOf(const QWidget* window) {
  if (!window) return {};
  const QVariant declared = window->property("windowClass");
  if (declared.isValid()) return declared.toString();
  QString cls = QString::fromLatin1(window->metaObject()->className());
  cls = cls.mid(cls.lastIndexOf(':') + 1);  // without the namespace
  if (Playable(cls)) return cls;
  if (Playable(window->objectName())) return window->objectName();
  return cls;
}

QString KeyboardPanel::ActiveWindowClass() {
  if (QGuiApplication::applicationState() != Qt::ApplicationActive) return {};
  return WindowClassOf(QApplication::activeWindow());
}

void KeyboardPanel::ShowOctave() { lblOctave->setText(QString::fromStdString(player_.OctaveLabel())); }

void KeyboardPanel::OctaveUp() {
  player_.OctaveUp();
  ShowOctave();
}

void KeyboardPanel::OctaveDown() {
  player_.OctaveDown();
  ShowOctave();
}

void KeyboardPanel::btnMinusOctClick() { OctaveDown(); }

void KeyboardPanel::btnPlusOctClick() { OctaveUp(); }

void KeyboardPanel::btnHideKeyboardClick() { setKeyboardOn(false); }

void KeyboardPanel::ScrollBarVolumeChange(int value) { player_.SetVolume(value); }

void KeyboardPanel::setKeyboardOn(bool on) {
  if (on == on_) return;
  on_ = on;
  if (on) {
    show();
    tmrKeyboard->start();
    tmrKeyboardHook->start();
  } else {
    StopScan();
    tmrKeyboardHook->stop();
    hide();
  }
  emit keyboardOnChanged(on);
}

void KeyboardPanel::StopScan() {
  tmrKeyboard->stop();
  // The scan can no longer see releases: stop what sounds now.
  player_.ReleaseAll();
}

void KeyboardPanel::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  player_.ReleaseAll();
}

void KeyboardPanel::tmrKeyboardTimer() {
  player_.SetKeyboardChannel(channel_ ? channel_() : 0);
  player_.Tick(tracker_->Held());
}

void KeyboardPanel::tmrKeyboardHookTimer() {
  if (Playable(foreground_())) {
    if (!tmrKeyboard->isActive()) tmrKeyboard->start();
  } else if (tmrKeyboard->isActive()) {
    StopScan();
  }
}

bool KeyboardPanel::OnKeyPress(QObject* receiver, const QKeyEvent& event, char letter, bool fresh) {
  if (!mainWindow_) return false;
  auto* w = qobject_cast<QWidget*>(receiver);
  if (!w || w->window() != mainWindow_) return false;
  // Ctrl+X and the like are commands, not octave changes.
  const bool plain = !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (fresh && plain && letter == 'X') OctaveUp();
  if (fresh && plain && letter == 'Z') OctaveDown();
  return SwallowsTypedCharacter(event.text().toStdString(), on_);
}

}  // namespace tarvix
