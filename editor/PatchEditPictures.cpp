// The pictures of TfrmPatchEdit's first four pages, redrawn from EditSound
// after every transfer pass for the page shown. Each picture is drawn into
// a fresh off-screen image and then shown.
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "editor/EnvelopeShape.h"
#include "editor/TfrmPatchEdit.h"
#include "editor/Vocabulary.h"
#include "editor/WaveCurves.h"

namespace tarvix {

namespace {

struct PictureSpec {
  const char* name;
  int w, h;
};

const std::vector<PictureSpec>& PicturesOf(int page) {
  static const std::vector<PictureSpec> pages[4] = {
      {{"imgOscillator1", 128, 33}, {"imgOscillator2", 128, 33}, {"imgOscillator3", 128, 33}},
      {{"imgFilter1", 256, 66}, {"imgFilter2", 256, 66}, {"imgFilterRouting", 345, 74}},
      {{"ImgFilterEnvelope", 211, 66}, {"ImgAmpEnvelope", 211, 66}, {"ImgEnvelope3", 211, 66}, {"ImgEnvelope4", 211, 66}},
      {{"ImgLFO1", 211, 66}, {"ImgLFO2", 211, 66}, {"ImgLFO3", 211, 66}},
  };
  return pages[page];
}

QPixmap Frame(int w, int h) {
  QPixmap pm(w, h);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setPen(Qt::black);
  p.drawRect(0, 0, w - 1, h - 1);
  return pm;
}

void Curve(QPainter& p, const std::vector<double>& values, int h) {
  QPolygon line;
  const double mid = h / 2.0;
  for (std::size_t x = 0; x < values.size(); ++x)
    line << QPoint(static_cast<int>(x), static_cast<int>(mid - values[x] * (mid - 3)));
  p.drawPolyline(line);
}

std::optional<QPixmap> Envelope(const SoundData& s, int e, int w, int h) {
  const auto shape = EnvelopeShapeOf(s, e, w, h);
  if (!shape) return std::nullopt;  // unknown mode: the picture stays as it was
  QPixmap pm = Frame(w, h);
  QPainter p(&pm);
  p.setPen(Qt::black);
  QPolygon line;
  for (auto pt : shape->points) {
    p.drawRect(pt.x - 2, pt.y - 2, 4, 4);
    line << QPoint(pt.x, pt.y);
  }
  p.drawPolyline(line);
  QFont f = p.font();
  f.setPixelSize(9);
  p.setFont(f);
  for (const auto& t : shape->texts) p.drawText(t.at.x, t.at.y + 9, QString::fromStdString(t.text));
  return pm;
}

std::optional<QPixmap> Lfo(const SoundData& s, int l, int w, int h) {
  const auto curve = LfoCurve(s, l, w);
  if (!curve) return std::nullopt;
  QPixmap pm = Frame(w, h);
  QPainter p(&pm);
  p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
  p.drawLine(0, h / 2, w, h / 2);
  p.setPen(Qt::black);
  Curve(p, *curve, h);
  return pm;
}

QPixmap Oscillator(const SoundData& s, int o, int w, int h) {
  QPixmap pm = Frame(w, h);
  QPainter p(&pm);
  p.setPen(Qt::black);
  if (const auto curve = OscillatorCurve(s, o, w)) {
    Curve(p, *curve, h);
  } else {
    // Wavetables and samples are shown by name.
    const auto shape = OscillatorShapeOf(s, o);
    const auto& names = WaveShapeNames();
    const QString text = shape.sample ? "Sample " + QString::number(shape.shape + 1)
                         : shape.shape < static_cast<int>(names.size())
                             ? QString::fromUtf8(names[static_cast<std::size_t>(shape.shape)].c_str())
                             : QString::number(shape.shape);
    QFont f = p.font();
    f.setPixelSize(10);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, text);
  }
  return pm;
}

// PICTURE HOOK: the filter response and routing pictures come with the page
// picture drawing of the editor's picture module; until then each shows its
// frame and the filter type.
QPixmap FilterPlaceholder(const SoundData& s, int index, int w, int h) {
  QPixmap pm = Frame(w, h);
  QPainter p(&pm);
  const int type = index < 2 ? s[index == 0 ? 84 : 104] : s[124];
  p.drawText(pm.rect(), Qt::AlignCenter,
             index < 2 ? "Filter type " + QString::number(type) : (type == 0 ? "parallel" : "serial"));
  return pm;
}

}  // namespace

QWidget* TfrmPatchEdit::BuildPictures(int page) {
  auto* row = new QWidget;
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  for (const auto& spec : PicturesOf(page)) {
    auto* img = new QLabel(row);
    img->setObjectName(spec.name);
    img->setFixedSize(spec.w, spec.h);
    img->setPixmap(Frame(spec.w, spec.h));
    pictures_[page].push_back(img);
    h->addWidget(img);
  }
  h->addStretch(1);
  return row;
}

void TfrmPatchEdit::RedrawPictures(int page) {
  if (page < 0 || page > 3) return;
  const SoundData& s = pass_.EditSound;
  const auto& specs = PicturesOf(page);
  for (std::size_t i = 0; i < specs.size() && i < pictures_[page].size(); ++i) {
    const int k = static_cast<int>(i);
    std::optional<QPixmap> pm;
    switch (page) {
      case 0: pm = Oscillator(s, k, specs[i].w, specs[i].h); break;
      case 1: pm = FilterPlaceholder(s, k, specs[i].w, specs[i].h); break;
      case 2: pm = Envelope(s, k, specs[i].w, specs[i].h); break;
      case 3: pm = Lfo(s, k, specs[i].w, specs[i].h); break;
    }
    if (pm) pictures_[page][i]->setPixmap(*pm);
  }
  ++picturePasses_;
}

}  // namespace tarvix
