// The pictures of TfrmPatchEdit's first four pages, redrawn from EditSound
// after every transfer pass for the page shown. Each picture is drawn into
// a fresh off-screen image and then shown.
#include <QLabel>
#include <QPixmap>

#include <QComboBox>

#include "editor/PagePictures.h"
#include "editor/ParameterMap.h"
#include "editor/TfrmPatchEdit.h"

namespace tarvix {

namespace {

struct PictureSpec {
  const char* name;
  QSize size;
};

const std::vector<PictureSpec>& PicturesOf(int page) {
  using namespace pictures;
  static const std::vector<PictureSpec> pages[4] = {
      {{"imgOscillator1", kOscillatorSize}, {"imgOscillator2", kOscillatorSize}, {"imgOscillator3", kOscillatorSize}},
      {{"imgFilter1", kFilterSize}, {"imgFilter2", kFilterSize}, {"imgFilterRouting", kRoutingSize}},
      {{"ImgFilterEnvelope", kEnvelopeSize},
       {"ImgAmpEnvelope", kEnvelopeSize},
       {"ImgEnvelope3", kEnvelopeSize},
       {"ImgEnvelope4", kEnvelopeSize}},
      {{"ImgLFO1", kLfoSize}, {"ImgLFO2", kLfoSize}, {"ImgLFO3", kLfoSize}},
  };
  return pages[page];
}

QImage Blank(QSize size) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

}  // namespace

// The pictures of a page, in drawing order; each is placed in the group box
// of the controls it draws (PictureGroup).
void TfrmPatchEdit::BuildPictures(int page) {
  for (const auto& spec : PicturesOf(page)) {
    auto* img = new QLabel;
    img->setObjectName(spec.name);
    img->setFixedSize(spec.size);
    img->setPixmap(QPixmap::fromImage(Blank(spec.size)));
    pictures_[page].push_back(img);
  }
}

std::string TfrmPatchEdit::PictureGroup(int page, std::size_t picture) {
  static const char* const kGroups[4][4] = {
      {"Oscillator 1", "Oscillator 2", "Oscillator 3", ""},
      {"Filter 1", "Filter 2", "Filter Routing", ""},
      {"Filter Envelope", "Amplifier Envelope", "Envelope 3", "Envelope 4"},
      {"LFO 1", "LFO 2", "LFO 3", ""},
  };
  if (page < 0 || page > 3 || picture > 3) return {};
  return kGroups[page][picture];
}

void TfrmPatchEdit::RedrawPictures(int page) {
  if (page < 0 || page > 3) return;
  const SoundData& s = pass_.EditSound;
  auto& shown = pictures_[page];
  auto previous = [&](std::size_t i) { return shown[i]->pixmap().toImage(); };
  auto show = [&](std::size_t i, const QImage& img) { shown[i]->setPixmap(QPixmap::fromImage(img)); };
  switch (page) {
    case 0:
      for (std::size_t o = 0; o < shown.size(); ++o) {
        // The shape list's text names wavetables and samples.
        const auto index = ParameterMap::Instance().IndexOf("cmbShape" + std::to_string(o + 1));
        auto* combo = qobject_cast<QComboBox*>(controls_[index].widget);
        show(o, pictures::DrawOscillator(s, static_cast<int>(o), combo ? combo->currentText() : QString()));
      }
      break;
    case 1: {
      const QImage f1 = pictures::DrawFilter(s, 0, previous(0));
      const QImage f2 = pictures::DrawFilter(s, 1, previous(1));
      show(0, f1);
      show(1, f2);
      show(2, pictures::DrawFilterRouting(s, f1, f2));
      break;
    }
    case 2:
      for (std::size_t e = 0; e < shown.size(); ++e) show(e, pictures::DrawEnvelope(s, static_cast<int>(e), previous(e)));
      break;
    case 3:
      for (std::size_t l = 0; l < shown.size(); ++l) show(l, pictures::DrawLfo(s, static_cast<int>(l), previous(l)));
      break;
  }
  ++picturePasses_;
}

}  // namespace tarvix
