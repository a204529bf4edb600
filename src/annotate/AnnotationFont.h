#pragma once

#include <QFont>
#include <QString>

namespace tern {

// Where the "Tahoma" face is looked for when the font configuration does not list it.
inline constexpr const char* kTahomaFile = "/usr/share/wine/fonts/tahoma.ttf";

// The family of annotation text and frame labels: "Tahoma", registered with the application once
// from kTahomaFile when needed; the default sans-serif family when the face cannot be had.
QString AnnotationFamily();

// That family, regular, at an em size of `emPixels` pixels, antialiased.
QFont AnnotationFont(int emPixels);

} // namespace tern
