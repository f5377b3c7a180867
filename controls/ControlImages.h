#pragma once
// The images of the knob and LED controls, drawn by code once and then
// looked up by name: "KNOBFACE1", "KNOBBACKGROUND1", "KBITMAP0".."KBITMAP9",
// "KMINUS", "KSPACE", "REDBUTTON", "BLACKBUTTON". Drawing them ourselves
// keeps the program free of binary image resources and crisp at 1:1 scale.

#include <QPixmap>
#include <QString>

namespace tarvix {

class ControlImages {
 public:
  // The image with this name; a null pixmap for an unknown name. Must be
  // called on the interface thread (after the QApplication exists).
  static const QPixmap& Get(const QString& name);
  // The image with every drawn pixel in `colour` (for the digit glyphs,
  // which follow the palette's text colour).
  static const QPixmap& Tinted(const QString& name, const QColor& colour);

  static constexpr int kGlyphWidth = 9;
  static constexpr int kGlyphHeight = 12;
};

}  // namespace tarvix
