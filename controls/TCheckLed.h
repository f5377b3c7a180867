#pragma once
// TCheckLed: the editor's on/off button, a 32 x 16 LED with a caption label
// above it. A click toggles it and fires OnChange; setting Status from code
// does not fire.

#include <QImage>
#include <QWidget>
#include <memory>

#include "controls/CaptionLabel.h"

namespace tarvix {

class TCheckLed : public QWidget {
  Q_OBJECT
 public:
  explicit TCheckLed(QWidget* parent = nullptr);
  ~TCheckLed() override;

  static constexpr int kMaxCaption = 32;
  static constexpr int kWidth = 32;
  static constexpr int kHeight = 16;

  QString Caption() const { return caption_; }
  bool Status() const { return status_; }
  int Channel() const { return channel_; }

  // Keeps the first 32 characters.
  void setCaption(const QString& text);
  void setStatus(bool lit);
  void setChannel(int value);  // 0..15 only

  QSize sizeHint() const override { return {kWidth, kHeight}; }
  void setVisible(bool visible) override;
  QLabel* CaptionLabelWidget() const { return label_->Label(); }

 signals:
  void OnChange(tarvix::TCheckLed* sender);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  bool event(QEvent* e) override;
  void moveEvent(QMoveEvent*) override;

 private:
  void Repaint();

  QString caption_ = "Instrument";
  bool status_ = false;
  int channel_ = 0;
  QImage image_;
  std::unique_ptr<CaptionLabel> label_;
};

}  // namespace tarvix
