#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <map>

namespace picturegen {

// A transparent image of the logical size times scale. Its device pixel ratio is
// the scale, so a painter on it draws in logical pixels and every picture is
// described once for 1x and 2x.
QImage makeCanvas(QSize logical, int scale);

// The image as plain non-premultiplied ARGB with the device pixel ratio reset,
// which is what gets saved and packed into the icon.
QImage finished(const QImage &canvas);

// Paints hand-placed pixels: one string per row, one character per pixel, each
// character looked up in the legend; characters missing from it stay untouched.
void paintPixelMap(QImage &canvas, const QStringList &rows, const std::map<QChar, QColor> &legend);

} // namespace picturegen
