#pragma once
// The pictures on the editor's first four pages, drawn from the sound's
// bytes into fresh images of the picture's size. Functions whose picture is
// "left as it was" for bytes they cannot show take the previous image and
// return it unchanged in that case.

#include <QImage>
#include <QSize>
#include <QString>

#include "library/SoundData.h"

namespace tarvix::pictures {

inline constexpr QSize kOscillatorSize{128, 33};
inline constexpr QSize kFilterSize{256, 66};
inline constexpr QSize kRoutingSize{345, 74};
inline constexpr QSize kEnvelopeSize{211, 66};
inline constexpr QSize kLfoSize{211, 66};

// Oscillator 0..2: the wave with its pitch (octave, semitone) and pulse
// width; wavetables and samples by name (the shape list's text, given by the
// caller) with one tick per cycle.
QImage DrawOscillator(const SoundData& sound, int osc, const QString& shapeName);

// Filter 0..1 by its type: pass, notch and comb pictures with the cutoff
// and resonance. A type byte above 11 leaves `previous` as it was.
QImage DrawFilter(const SoundData& sound, int filter, const QImage& previous);

// The routing byte's connections (0 parallel, 1 serial) with reduced copies
// of the two filter pictures.
QImage DrawFilterRouting(const SoundData& sound, const QImage& filter1, const QImage& filter2);

// Envelope 0..3 (filter, amplifier, 3, 4). A mode outside 0..4 leaves
// `previous` as it was.
QImage DrawEnvelope(const SoundData& sound, int envelope, const QImage& previous);

// LFO 0..2. A shape byte above 5 leaves `previous` as it was.
QImage DrawLfo(const SoundData& sound, int lfo, const QImage& previous);

}  // namespace tarvix::pictures
