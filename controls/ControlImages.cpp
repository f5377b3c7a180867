#include "controls/ControlImages.h"

#include <QHash>
#include <QPainter>
#include <QRadialGradient>

namespace tarvix {

namespace {

const QColor kDigitColour(236, 214, 150);

QPixmap Transparent(int w, int h) {
  QPixmap p(w, h);
  p.fill(Qt::transparent);
  return p;
}

// A dark knob cap with a lighter rim, lit from the upper left.
QPixmap DrawFace() {
  QPixmap p = Transparent(32, 32);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(Qt::NoPen);
  g.setBrush(QColor(18, 18, 20));
  g.drawEllipse(QRectF(1.5, 0.5, 29, 29));  // shadow ring
  QRadialGradient rim(QPointF(12, 10), 18);
  rim.setColorAt(0, QColor(110, 110, 118));
  rim.setColorAt(1, QColor(44, 44, 50));
  g.setBrush(rim);
  g.drawEllipse(QRectF(3, 2, 26, 26));
  QRadialGradient cap(QPointF(13, 11), 14);
  cap.setColorAt(0, QColor(74, 74, 80));
  cap.setColorAt(1, QColor(30, 30, 34));
  g.setBrush(cap);
  g.drawEllipse(QRectF(5.5, 4.5, 21, 21));
  return p;
}

QPixmap DrawBackground() {
  QPixmap p(32, 48);
  p.fill(QColor(40, 40, 44));
  return p;
}

// Seven-segment glyphs in whole pixels, so they stay sharp.
QPixmap DrawGlyph(const char* segments) {
  QPixmap p = Transparent(ControlImages::kGlyphWidth, ControlImages::kGlyphHeight);
  QPainter g(&p);
  const QRect rects[7] = {
      {1, 0, 7, 2},   // a  top
      {6, 0, 2, 7},   // b  upper right
      {6, 5, 2, 7},   // c  lower right
      {1, 10, 7, 2},  // d  bottom
      {1, 5, 2, 7},   // e  lower left
      {1, 0, 2, 7},   // f  upper left
      {1, 5, 7, 2},   // g  middle
  };
  for (const char* s = segments; *s; ++s) g.fillRect(rects[*s - 'a'], kDigitColour);
  return p;
}

QPixmap DrawLed(bool lit) {
  // The background stays clear: the control fills it from its palette.
  QPixmap p = Transparent(32, 16);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QColor(16, 16, 18));
  QRectF lamp(6.5, 4.5, 19, 7);
  if (lit) {
    QRadialGradient glow(QPointF(14, 7), 12);
    glow.setColorAt(0, QColor(255, 150, 130));
    glow.setColorAt(0.5, QColor(230, 30, 20));
    glow.setColorAt(1, QColor(140, 10, 10));
    g.setBrush(glow);
  } else {
    QRadialGradient dark(QPointF(14, 7), 12);
    dark.setColorAt(0, QColor(70, 60, 60));
    dark.setColorAt(1, QColor(22, 18, 18));
    g.setBrush(dark);
  }
  g.drawRoundedRect(lamp, 2.5, 2.5);
  return p;
}

QHash<QString, QPixmap> DrawAll() {
  QHash<QString, QPixmap> h;
  h.insert("KNOBFACE1", DrawFace());
  h.insert("KNOBBACKGROUND1", DrawBackground());
  const char* const digits[10] = {"abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg",
                                  "abcdfg"};
  for (int d = 0; d < 10; ++d) h.insert("KBITMAP" + QString::number(d), DrawGlyph(digits[d]));
  h.insert("KMINUS", DrawGlyph("g"));
  h.insert("KSPACE", DrawGlyph(""));
  h.insert("REDBUTTON", DrawLed(true));
  h.insert("BLACKBUTTON", DrawLed(false));
  return h;
}

}  // namespace

const QPixmap& ControlImages::Tinted(const QString& name, const QColor& colour) {
  // Few colours are ever asked for (one per palette), so the cache stays small.
  static QHash<QString, QPixmap> cache;
  const QString key = name + '#' + QString::number(colour.rgba(), 16);
  auto it = cache.constFind(key);
  if (it != cache.constEnd()) return it.value();
  QPixmap p = Get(name);
  if (!p.isNull()) {
    QPainter g(&p);
    g.setCompositionMode(QPainter::CompositionMode_SourceIn);
    g.fillRect(p.rect(), colour);
  }
  return cache.insert(key, p).value();
}

const QPixmap& ControlImages::Get(const QString& name) {
  static const QHash<QString, QPixmap> images = DrawAll();
  static const QPixmap none;
  auto it = images.constFind(name);
  return it == images.constEnd() ? none : it.value();
}

}  // namespace tarvix
