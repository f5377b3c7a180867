#pragma once
// TKnob: the editor's rotary knob, 32 x 48 pixels: a face with a pointer,
// a four-glyph value display beneath it and a caption label above it.
// Every repaint the knob asks for (any property change, click or drag)
// fires OnChange synchronously, also when the knob is hidden; the editor
// relies on that to follow its knobs on pages that are not shown.

#include <QImage>
#include <QWidget>
#include <memory>

#include "controls/CaptionLabel.h"

namespace tarvix {

class TKnob : public QWidget {
  Q_OBJECT
 public:
  explicit TKnob(QWidget* parent = nullptr);
  ~TKnob() override;

  int Position() const { return position_; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  QString Caption() const { return caption_; }
  int Channel() const { return channel_; }

  // Ignores values outside Min..Max and the current value.
  virtual void setPosition(int value);
  // Shows a stored value as it is, even outside Min..Max (the pointer stops
  // at the end of its travel). The user's next move brings it into range.
  void ShowValue(int value);
  // Taken only if different and below Max / above Min; Position is not moved.
  void setMin(int value);
  void setMax(int value);
  void setCaption(const QString& text);
  // Stored only for values 0..15.
  void setChannel(int value);

  QSize sizeHint() const override { return {kWidth, kHeight}; }
  void setVisible(bool visible) override;

  // The caption label (owned by the knob's parent), for tests and layout.
  QLabel* CaptionLabelWidget() const { return label_->Label(); }
  // The glyph names shown for a value: sign, hundreds, tens, units.
  static QStringList GlyphNames(int value);

  static constexpr int kWidth = 32;
  static constexpr int kHeight = 48;

 signals:
  void OnChange(tarvix::TKnob* sender);
  // The user changed the position with the mouse (a drag or a click on the
  // digits). Repaints fire OnChange too; this one says a person moved it.
  void Moved(tarvix::TKnob* sender);
  void OnEnter(tarvix::TKnob* sender);
  void OnLeave(tarvix::TKnob* sender);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  bool event(QEvent* e) override;
  void moveEvent(QMoveEvent* e) override;

 private:
  // Renders into the off-screen image, schedules the screen update and
  // fires OnChange.
  void Repaint();
  void Render();

  int position_ = 63;
  int min_ = 0;
  int max_ = 127;
  QString caption_;
  int channel_ = 0;
  bool dragging_ = false;
  int dragStartValue_ = 0;
  int dragStartY_ = 0;
  QImage image_;
  std::unique_ptr<CaptionLabel> label_;
};

}  // namespace tarvix
