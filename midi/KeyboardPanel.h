#pragma once
// The on-screen part of playing notes from the computer keyboard (the
// `pnlKeyboard` panel at the bottom of the main window): octave buttons and
// label, the key help, the volume (the velocity of every note) and "Hide
// keyboard". It owns the key scan: `tmrKeyboard` (50 ms) plays what the
// HeldKeyTracker reports through a KeyboardPlayer; `tmrKeyboardHook`
// (1000 ms) lets the scan run only while the main window, the editor, the
// morph or the locker is the active window.
//
// Wiring by the main window:
//   panel->setOutput([this] { return midiOut(); });          // instrument output, may be null
//   panel->setChannelProvider([this] { return selectedPart(); });  // 0..15
//   panel->setMainWindow(this);  // X/Z change the octave there; a e d f g h are swallowed
//   connect(panel, &KeyboardPanel::keyboardOnChanged, actKeyboard, &QAction::setChecked);
//   connect(actKeyboard, &QAction::toggled, panel, &KeyboardPanel::setKeyboardOn);
//   ... and lay the window out again on keyboardOnChanged.
// Hiding the panel or its window stops every sounding note; before closing
// the output otherwise, call player().ReleaseAll(). The destructor sends
// nothing (the owner's output may already be destroyed by then).
// Windows in which notes play name their class with the dynamic property
// "windowClass" (e.g. "TfrmPatchEdit"); the C++ class name or objectName
// also serve when they are one of the four names.

#include <QWidget>
#include <functional>

#include "midi/KeyboardPlayer.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;

namespace tarvix {

class HeldKeyTracker;

class KeyboardPanel : public QWidget {
  Q_OBJECT
 public:
  explicit KeyboardPanel(QWidget* parent = nullptr);
  ~KeyboardPanel() override;

  void setOutput(KeyboardPlayer::OutputProvider output);
  void setChannelProvider(std::function<int()> channel);
  void setMainWindow(QWidget* mainWindow);
  // Which window class is in front; by default the active Tarvix window's,
  // empty when another program has the focus. Tests replace it.
  void setForegroundClassProvider(std::function<QString()> provider);

  bool keyboardOn() const { return on_; }
  void setKeyboardOn(bool on);
  // The octave keys of the main window (X up, Z down).
  void OctaveUp();
  void OctaveDown();
  // Shows the player's octave (after another window changed it).
  void ShowOctave();

  KeyboardPlayer& player() { return player_; }
  HeldKeyTracker& tracker() { return *tracker_; }
  QTimer* keyboardTimer() const { return tmrKeyboard; }
  QTimer* hookTimer() const { return tmrKeyboardHook; }

  // The class name a window goes by for the key scan.
  static QString WindowClassOf(const QWidget* window);
  static QString ActiveWindowClass();

  void btnMinusOctClick();
  void btnPlusOctClick();
  void btnHideKeyboardClick();
  void ScrollBarVolumeChange(int value);
  void tmrKeyboardTimer();
  void tmrKeyboardHookTimer();

 signals:
  void keyboardOnChanged(bool on);

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  bool OnKeyPress(QObject* receiver, const QKeyEvent& event, char letter, bool fresh);
  void StopScan();

  KeyboardPlayer player_;
  std::function<int()> channel_;
  std::function<QString()> foreground_;
  QWidget* mainWindow_ = nullptr;
  bool on_ = true;
  HeldKeyTracker* tracker_;

  QPushButton* btnMinusOct;
  QPushButton* btnPlusOct;
  QLabel* lblOctave;
  QLabel* lblHelpUpper;
  QLabel* lblHelpLower;
  QPushButton* btnHideKeyboard;
  QLabel* lblVolume;
  QScrollBar* ScrollBarVolume;
  QTimer* tmrKeyboard;
  QTimer* tmrKeyboardHook;
};

}  // namespace tarvix
